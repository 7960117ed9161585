#pragma once
// A window message registered by name on first use. A namespace-scope
// constant that called RegisterWindowMessageW in its initializer would call
// user32 while the module loads, inside DllMain, which Windows forbids; this
// one is constant-initialised and registers when a message is first sent
// or compared.
#include <atomic>
#include <windows.h>

namespace win {

class RegisteredMessage {
public:
    constexpr explicit RegisteredMessage(const wchar_t* name) noexcept : name(name) {}
    RegisteredMessage(const RegisteredMessage&) = delete;
    RegisteredMessage& operator=(const RegisteredMessage&) = delete;

    // 0 when the system could not register it (no message is ever 0 then).
    operator UINT() const noexcept
    {
        UINT id = registered.load(std::memory_order_acquire);
        if (id == 0) {
            id = ::RegisterWindowMessageW(name);  // the same id for the same name, whoever asks first
            registered.store(id, std::memory_order_release);
        }
        return id;
    }

private:
    const wchar_t* name;
    mutable std::atomic<UINT> registered{0};
};

}  // namespace win
