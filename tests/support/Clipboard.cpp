#include "Clipboard.h"

#include "Gui.h"
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

OtherViewer::OtherViewer()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TallyraTestOtherViewer";
    ::RegisterClassW(&windowClass);
    window.reset(::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   windowClass.hInstance, nullptr));
    ::SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    next = ::SetClipboardViewer(window.get());
}

LRESULT CALLBACK OtherViewer::Procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<OtherViewer*>(::GetWindowLongPtrW(handle, GWLP_USERDATA));
    if (self == nullptr || (message != WM_DRAWCLIPBOARD && message != WM_CHANGECBCHAIN))
        return ::DefWindowProcW(handle, message, wParam, lParam);
    if (message == WM_DRAWCLIPBOARD)
        ++self->changes;
    if (message == WM_CHANGECBCHAIN && reinterpret_cast<HWND>(wParam) == self->next)
        self->next = reinterpret_cast<HWND>(lParam);
    else if (self->next != nullptr)
        ::SendMessageW(self->next, message, wParam, lParam);
    return 0;
}

bool CopyUntilHeard(const OtherViewer& viewer, const std::wstring& text)
{
    const int heard = viewer.changes;
    return PutOnClipboard(CF_UNICODETEXT, MakeTextBlock(text + L'\0')) &&
           PumpUntil([&] { return viewer.changes > heard; });
}
