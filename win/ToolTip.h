#pragma once
// A tool-tip control through its messages, one call each; the message a
// call sends is named in it.
#include <windows.h>
#include <commctrl.h>

namespace win {

class ToolTip {
public:
    explicit ToolTip(HWND window = nullptr) noexcept : window(window) {}
    // The control's window for the calls that are not its own.
    operator HWND() const noexcept { return window; }

    // TTM_SETDELAYTIME of one of TTDT_INITIAL, TTDT_AUTOPOP, TTDT_RESHOW.
    void SetDelayTime(DWORD which, int milliseconds) const
    {
        ::SendMessageW(window, TTM_SETDELAYTIME, which, milliseconds);
    }
    void AddTool(const TTTOOLINFOW& tool) const
    {
        ::SendMessageW(window, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    void DeleteTool(const TTTOOLINFOW& tool) const
    {
        ::SendMessageW(window, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    LRESULT ToolCount() const { return ::SendMessageW(window, TTM_GETTOOLCOUNT, 0, 0); }
    // TTM_GETCURRENTTOOLW into tool (whose cbSize is set); false when no tool is current.
    bool GetCurrentTool(TTTOOLINFOW& tool) const
    {
        return ::SendMessageW(window, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
    }
    // TTM_SETMAXTIPWIDTH; -1 for no limit.
    void SetMaxTipWidth(int width) const { ::SendMessageW(window, TTM_SETMAXTIPWIDTH, 0, width); }
    // TTM_POP: hides the tip.
    void Pop() const { ::SendMessageW(window, TTM_POP, 0, 0); }

    // TTM_ADJUSTRECT with TRUE: a text rectangle into the tip's window
    // rectangle; false when the control does not do it.
    bool TextRectToWindowRect(RECT& rect) const
    {
        return ::SendMessageW(window, TTM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&rect)) != 0;
    }
    RECT Margin() const
    {
        RECT margin = {};
        ::SendMessageW(window, TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
        return margin;
    }
    void SetTipTextColour(COLORREF colour) const { ::SendMessageW(window, TTM_SETTIPTEXTCOLOR, colour, 0); }
    void SetTipBackgroundColour(COLORREF colour) const { ::SendMessageW(window, TTM_SETTIPBKCOLOR, colour, 0); }

private:
    HWND window;
};

}  // namespace win
