#pragma once
// The page's place in the clipboard-viewer chain, so that it hears of every
// change of the clipboard (WM_DRAWCLIPBOARD) and keeps the chain whole for
// the viewers after it.
//
// The page's window procedure hands the two chain messages here:
//   WM_DRAWCLIPBOARD: OnDrawClipboard(wParam, lParam), then reads the
//                     clipboard for itself (ReadClipboardText);
//   WM_CHANGECBCHAIN: return OnChangeChain(wParam, lParam).
// and calls Leave() before its window is destroyed (WM_DESTROY).
#include <windows.h>

class CClipboardViewer {
public:
    CClipboardViewer() = default;
    CClipboardViewer(const CClipboardViewer&) = delete;
    CClipboardViewer& operator=(const CClipboardViewer&) = delete;
    ~CClipboardViewer() { Leave(); }

    // Puts the window at the head of the chain (leaving its old place first:
    // a window twice in the chain would pass every change to itself). The
    // window may hear WM_DRAWCLIPBOARD before this returns; next is still
    // null then and nothing is passed on.
    void Join(HWND window) noexcept;
    // Takes the window out of the chain again; nothing when not joined.
    void Leave() noexcept;
    bool IsJoined() const noexcept { return own != nullptr; }

    // Passes the change on to the next viewer.
    void OnDrawClipboard(WPARAM wParam, LPARAM lParam) const noexcept;
    // leaving: the window leaving the chain; after: the window after it.
    // Mends the chain where the leaving window is the next one, passes the
    // message on otherwise. The message's result.
    LRESULT OnChangeChain(WPARAM leaving, LPARAM after) noexcept;

    HWND Next() const noexcept { return next; }

private:
    HWND own = nullptr;   // the page's window; null when not in the chain
    HWND next = nullptr;  // the viewer after it, as SetClipboardViewer said
};
