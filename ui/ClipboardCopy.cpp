#include "ClipboardCopy.h"

#include "win/GlobalMemory.h"
#include "win/ScopedClipboard.h"

#include <cstring>
#include <optional>

namespace {

// Another program may hold the clipboard for a moment (a clipboard manager
// reading what changed): a few short tries before the copy is given up.
constexpr int kOpenTries = 5;
constexpr DWORD kOpenPauseMs = 20;

}  // namespace

bool CopyTextToClipboard(HWND owner, const std::wstring& text)
{
    if (!::IsWindow(owner))
        return false;
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
    std::optional<win::ScopedClipboard> clipboard;
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        if (attempt > 0)
            ::Sleep(kOpenPauseMs);
        clipboard.emplace(owner);
        if (clipboard->IsOpen())
            break;
        clipboard.reset();
    }
    if (!clipboard || !::EmptyClipboard())
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
