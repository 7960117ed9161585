#include "Clipboard.h"

#include "win/ScopedClipboard.h"

#include <cstring>

namespace {

constexpr std::size_t kGarbageTail = 6;

}  // namespace

win::UniqueGlobal MakeBlock(const void* bytes, std::size_t size)
{
    win::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, size + kGarbageTail));
    if (!block)
        return block;
    {
        const win::GlobalLock locked(block.get());
        if (locked.Data() == nullptr)
            return {};
        std::memset(locked.Data(), 'Z', size + kGarbageTail);
        if (size > 0)
            std::memcpy(locked.Data(), bytes, size);
    }
    const HGLOBAL shrunk = ::GlobalReAlloc(block.get(), size, GMEM_MOVEABLE);
    if (shrunk != nullptr && shrunk != block.get()) {
        block.release();  // moved: the old handle is gone
        block.reset(shrunk);
    }
    return block;
}

win::UniqueGlobal MakeTextBlock(const std::wstring& characters)
{
    return MakeBlock(characters.data(), characters.size() * sizeof(wchar_t));
}

bool PutOnClipboard(UINT format, win::UniqueGlobal block)
{
    const win::ScopedClipboard clipboard;
    if (!block || !clipboard.IsOpen() || !::EmptyClipboard() || ::SetClipboardData(format, block.get()) == nullptr)
        return false;
    block.release();  // the clipboard's now
    return true;
}

bool EmptyTheClipboard()
{
    const win::ScopedClipboard clipboard;
    return clipboard.IsOpen() && ::EmptyClipboard();
}
