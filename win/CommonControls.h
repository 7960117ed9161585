#pragma once
// The small controls through their messages, one call each; the message a
// call sends is named in it. (List views, edits, list boxes and tool tips
// have headers of their own.)
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace win {

class ProgressBar {
public:
    explicit ProgressBar(HWND window = nullptr) noexcept : window(window) {}
    // The control's window for the calls that are not its own.
    operator HWND() const noexcept { return window; }

    // PBM_SETRANGE: 0 to top, in 16 bits.
    void SetRange(WORD top) const { ::SendMessageW(window, PBM_SETRANGE, 0, MAKELPARAM(0, top)); }
    // PBM_SETRANGE32: 0 to top.
    void SetRange32(int top) const { ::SendMessageW(window, PBM_SETRANGE32, 0, top); }
    void SetPosition(WPARAM position) const { ::SendMessageW(window, PBM_SETPOS, position, 0); }

private:
    HWND window;
};

class CheckBox {
public:
    explicit CheckBox(HWND window = nullptr) noexcept : window(window) {}
    // The control's window for the calls that are not its own.
    operator HWND() const noexcept { return window; }

    // BM_SETCHECK / BM_GETCHECK with BST_CHECKED or BST_UNCHECKED.
    void SetChecked(bool checked) const
    {
        ::SendMessageW(window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    bool IsChecked() const { return ::SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED; }

private:
    HWND window;
};

class ComboBox {
public:
    explicit ComboBox(HWND window = nullptr) noexcept : window(window) {}
    // The control's window for the calls that are not its own.
    operator HWND() const noexcept { return window; }

    void ResetContent() const { ::SendMessageW(window, CB_RESETCONTENT, 0, 0); }
    void AddString(const std::wstring& text) const
    {
        ::SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // CB_FINDSTRINGEXACT from the start, case aside: the item, CB_ERR for none.
    LRESULT FindStringExact(const std::wstring& text) const
    {
        return ::SendMessageW(window, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    }
    void SetCurrentSelection(WPARAM item) const { ::SendMessageW(window, CB_SETCURSEL, item, 0); }
    // CB_GETCURSEL: the selected item, CB_ERR for none.
    LRESULT CurrentSelection() const { return ::SendMessageW(window, CB_GETCURSEL, 0, 0); }

private:
    HWND window;
};

// A static control that shows an icon.
class IconStatic {
public:
    explicit IconStatic(HWND window = nullptr) noexcept : window(window) {}
    // The control's window for the calls that are not its own.
    operator HWND() const noexcept { return window; }

    void SetIcon(HICON icon) const { ::SendMessageW(window, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0); }
    HICON Icon() const { return reinterpret_cast<HICON>(::SendMessageW(window, STM_GETICON, 0, 0)); }

private:
    HWND window;
};

// A SysLink control's first link.
class Link {
public:
    explicit Link(HWND window = nullptr) noexcept : window(window) {}
    // The control's window for the calls that are not its own.
    operator HWND() const noexcept { return window; }

    // LM_GETITEM, then LM_SETITEM with LIS_ENABLED changed and the other
    // state bits as read.
    void EnableFirstLink(bool enabled) const
    {
        LITEM link = {};
        link.mask = LIF_ITEMINDEX | LIF_STATE;
        link.iLink = 0;
        link.stateMask = LIS_ENABLED;
        ::SendMessageW(window, LM_GETITEM, 0, reinterpret_cast<LPARAM>(&link));
        link.mask = LIF_ITEMINDEX | LIF_STATE;
        link.stateMask = LIS_ENABLED;
        link.state = enabled ? (link.state | LIS_ENABLED) : (link.state & ~LIS_ENABLED);
        ::SendMessageW(window, LM_SETITEM, 0, reinterpret_cast<LPARAM>(&link));
    }

private:
    HWND window;
};

}  // namespace win
