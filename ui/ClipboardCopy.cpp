#include "ClipboardCopy.h"

#include "win/GlobalMemory.h"
#include "win/ScopedClipboard.h"

#include <cstring>

bool CopyTextToClipboard(const std::wstring& text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    win::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes));
    if (!block)
        return false;
    {
        win::GlobalLock locked(block.get());
        if (locked.Data() == nullptr)
            return false;
        std::memcpy(locked.Data(), text.c_str(), bytes);
    }
    win::ScopedClipboard clipboard;
    if (!clipboard.IsOpen() || !::EmptyClipboard())
        return false;
    if (::SetClipboardData(CF_UNICODETEXT, block.get()) == nullptr)
        return false;
    block.release();  // the clipboard's now
    return true;
}

std::wstring AllDigestsText(const DescriptorList& descriptors)
{
    std::wstring text;
    for (const SharedDescriptor& descriptor : descriptors)
        text += descriptor->GetName() + L": " + descriptor->GetDigestText() + L"\r\n";
    return text;
}
