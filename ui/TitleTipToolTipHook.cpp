#include "TitleTipToolTipHook.h"

#include "win/ToolTip.h"

namespace titletip {

const win::MessageMap<XToolTipCtrlHook>& XToolTipCtrlHook::Messages()
{
    using H = XToolTipCtrlHook;
    static const win::MessageMap<H> map{
        win::OnMessage(WM_LBUTTONDOWN, &H::OnClick),
        win::OnMessage(WM_LBUTTONDBLCLK, &H::OnClick),
        win::OnMessage(WM_RBUTTONDOWN, &H::OnClick),
        win::OnMessage(WM_RBUTTONDBLCLK, &H::OnClick),
        win::OnMessage(WM_MBUTTONDOWN, &H::OnClick),
        win::OnMessage(WM_MBUTTONDBLCLK, &H::OnClick),
        win::OnMessage(WM_XBUTTONDOWN, &H::OnClick),
        win::OnMessage(WM_XBUTTONDBLCLK, &H::OnClick),
    };
    return map;
}

// Hides the tip and hands the click on at the same screen point.
LRESULT XToolTipCtrlHook::OnClick(win::Message& m)
{
    TTTOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    const win::ToolTip toolTip(m.window);
    if (!toolTip.GetCurrentTool(info)) {
        m.PassOn();
        return 0;
    }
    const HWND control = reinterpret_cast<HWND>(info.uId);
    if (!::IsWindow(control)) {
        PopTip(toolTip);
        m.PassOn();
        return 0;
    }
    // Converted while the tip still stands where it was clicked: hiding may
    // move it (Wine's does).
    POINT point = {PointX(m.lParam), PointY(m.lParam)};
    ::MapWindowPoints(toolTip, control, &point, 1);
    PopTip(toolTip);
    return ::SendMessageW(control, m.id, m.wParam, MAKELPARAM(point.x, point.y));
}

}  // namespace titletip
