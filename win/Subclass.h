#pragma once
// Window subclassing through a thunk: the window's procedure is replaced by
// one of ours that sees every message first and hands the rest to the
// previous procedure it recorded.
//
// Removal is safe in any order: when another subclass sits above this one,
// the window procedure cannot be put back, so this subclass stays in the
// chain and only passes messages on until the window is destroyed, then frees
// itself. Its owner may be gone by then; the module is held until then.
#include "win/MessageMap.h"

#include <cstddef>

namespace win {

class Subclass {
public:
    // Sees every message of the window while installed; leaving
    // message.handled false hands the message to the previous procedure.
    using Handler = LRESULT (*)(void* owner, Message& message);
    // Called once the window's last message (WM_NCDESTROY) has been through
    // the previous procedure; the subclass is already gone by then.
    using Final = void (*)(void* owner);

    Subclass() = default;
    ~Subclass();
    Subclass(const Subclass&) = delete;
    Subclass& operator=(const Subclass&) = delete;

    // Fails for a window that is not a window of this thread, or when this
    // object already subclasses one.
    bool Install(HWND window, Handler handler, Final final, void* owner) noexcept;

    // True when the previous procedure was given back (or nothing was
    // installed); false when another subclass sits above: then this one
    // passes messages on until the window is destroyed. Either way the owner
    // is no longer called.
    bool Remove() noexcept;

    bool IsInstalled() const noexcept { return record != nullptr; }
    // Whether the window's procedure is this subclass's own right now.
    bool IsTopmost() const noexcept;
    HWND Window() const noexcept;
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    struct Record;
    Record* record = nullptr;
};

// Subclass records that exist in the process (installed or passing on).
std::size_t LiveSubclassRecords() noexcept;

}  // namespace win
