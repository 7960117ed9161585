#include "ClipboardText.h"

#include "win/GlobalMemory.h"
#include "win/ScopedClipboard.h"

#include <algorithm>

std::wstring ReadUnicodeTextBlock(HGLOBAL block)
{
    const win::GlobalLock locked(block);
    const auto* first = static_cast<const wchar_t*>(locked.Data());
    if (first == nullptr)
        return {};
    const std::size_t length = std::min(locked.Bytes() / sizeof(wchar_t), kMaxClipboardTextLength);
    return std::wstring(first, std::find(first, first + length, L'\0'));
}

std::wstring ReadClipboardText()
{
    const win::ScopedClipboard clipboard;
    if (!clipboard.IsOpen())
        return {};
    return ReadUnicodeTextBlock(::GetClipboardData(CF_UNICODETEXT));
}
