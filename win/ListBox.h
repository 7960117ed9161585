#pragma once
// A list box through its messages, one call each; the message a call sends
// is named in it.
#include <windows.h>

namespace win {

class ListBox {
public:
    explicit ListBox(HWND window = nullptr) noexcept : window(window) {}
    // The control's window for the calls that are not its own.
    operator HWND() const noexcept { return window; }

    // LB_GETCURSEL: the selected item, LB_ERR for none.
    LRESULT CurrentSelection() const { return ::SendMessageW(window, LB_GETCURSEL, 0, 0); }
    // LB_ITEMFROMPOINT: the item in the low word; a high word not 0 when the
    // point is outside the client area.
    LRESULT ItemFromPoint(LPARAM clientPoint) const
    {
        return ::SendMessageW(window, LB_ITEMFROMPOINT, 0, clientPoint);
    }
    // LB_GETTEXTLEN: characters, LB_ERR for no such item.
    LRESULT TextLength(int item) const
    {
        return ::SendMessageW(window, LB_GETTEXTLEN, static_cast<WPARAM>(item), 0);
    }
    // LB_GETTEXT into a buffer of TextLength + 1 characters; LB_ERR on failure.
    LRESULT GetText(int item, wchar_t* buffer) const
    {
        return ::SendMessageW(window, LB_GETTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(buffer));
    }
    // LB_GETITEMRECT, client coordinates; LB_ERR on failure.
    LRESULT GetItemRect(int item, RECT& rect) const
    {
        return ::SendMessageW(window, LB_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect));
    }

private:
    HWND window;
};

}  // namespace win
