#include "StringResource.h"

namespace win {

std::wstring LoadStringResource(HINSTANCE module, unsigned id)
{
    // With a zero buffer size LoadStringW hands out a pointer into the
    // resource itself, which is not zero-terminated: take the length it gives.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr)
        return std::wstring();
    return std::wstring(text, static_cast<size_t>(length));
}

}  // namespace win
