#include "ClipboardViewer.h"

void CClipboardViewer::Join(HWND window) noexcept
{
    Leave();
    own = window;
    next = ::SetClipboardViewer(window);
}

void CClipboardViewer::Leave() noexcept
{
    if (own == nullptr)
        return;
    ::ChangeClipboardChain(own, next);
    own = nullptr;
    next = nullptr;
}

void CClipboardViewer::OnDrawClipboard(WPARAM wParam, LPARAM lParam) const noexcept
{
    if (next != nullptr)
        ::SendMessageW(next, WM_DRAWCLIPBOARD, wParam, lParam);
}

LRESULT CClipboardViewer::OnChangeChain(WPARAM leaving, LPARAM after) noexcept
{
    if (next == nullptr)
        return 1;
    if (reinterpret_cast<HWND>(leaving) == next)
        next = reinterpret_cast<HWND>(after);
    else
        ::SendMessageW(next, WM_CHANGECBCHAIN, leaving, after);
    return 0;
}
