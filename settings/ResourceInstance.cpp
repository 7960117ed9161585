#include "ResourceInstance.h"

#include <atomic>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

std::atomic<HINSTANCE> resourceInstance{nullptr};

}  // namespace

HINSTANCE ThisModule()
{
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

HINSTANCE ResourceInstance()
{
    HINSTANCE instance = resourceInstance.load();
    return instance ? instance : ThisModule();
}

HINSTANCE ExchangeResourceInstance(HINSTANCE instance)
{
    HINSTANCE previous = resourceInstance.exchange(instance);
    return previous ? previous : ThisModule();
}

std::wstring LoadResourceString(unsigned id)
{
    // With a zero buffer size LoadStringW hands out a pointer into the
    // resource itself, which is not zero-terminated: take the length it gives.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(ResourceInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr)
        return std::wstring();
    return std::wstring(text, static_cast<size_t>(length));
}
