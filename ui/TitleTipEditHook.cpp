#include "TitleTipEditHook.h"

#include "win/Edit.h"

namespace titletip {

XTitleTipEditHook::XTitleTipEditHook(TipColours colours, HWND toolTip, HookOwner* handler, UINT hookQuery)
    : XControlHook(hookQuery, toolTip, handler), colours(colours)
{
}

const win::MessageMap<XTitleTipEditHook>& XTitleTipEditHook::Messages()
{
    using H = XTitleTipEditHook;
    static const win::MessageMap<H> map = Rows<H>({
        win::OnMessage(WM_KEYDOWN, &H::OnKeyDown),
        win::OnMessage(WM_MOUSEMOVE, &H::OnMouseMove),
    });
    return map;
}

Measure XTitleTipEditHook::MeasureText(HWND control, TextBuffer& buffer)
{
    return (::GetWindowLongW(control, GWL_STYLE) & ES_MULTILINE) ? MeasureMultiLineEdit(control, buffer, tracked)
                                                                 : MeasureSingleLineEdit(control, buffer);
}

bool XTitleTipEditHook::PlaceTip(HWND tip, HWND control, TextBuffer& buffer)
{
    return buffer.Data() && PlaceOverEdit(tip, control, tracked.line, colours);
}

LRESULT XTitleTipEditHook::OnKeyDown(win::Message& m)
{
    if (CurrentToolIs(toolTip, window))
        Untrack();
    m.PassOn();
    return 0;
}

LRESULT XTitleTipEditHook::OnMouseMove(win::Message& m)
{
    if (Tracking()) {
        const int x = PointX(m.lParam), y = PointY(m.lParam);
        const LRESULT hit = win::Edit(window).CharFromPos(m.lParam);
        if (static_cast<int>(HIWORD(hit)) != tracked.line || y > tracked.textBottom || x > tracked.textRight)
            Untrack();
    }
    m.PassOn();
    return 0;
}

}  // namespace titletip
