#include "TitleTipListBoxHook.h"

#include "win/ListBox.h"

namespace titletip {

XTitleTipListBoxHook::XTitleTipListBoxHook(const ListBoxTitleTipRecord& record, HWND toolTip, HookOwner* handler,
                                           UINT hookQuery)
    : XControlHook(hookQuery, toolTip, handler),
      colours{record.text, record.background},
      selectedColours{record.selectedText, record.selectedBackground}
{
}

const win::MessageMap<XTitleTipListBoxHook>& XTitleTipListBoxHook::Messages()
{
    using H = XTitleTipListBoxHook;
    static const win::MessageMap<H> map = Rows<H>({
        win::OnMessage(WM_MOUSEMOVE, &H::OnMouseMove),
        win::OnMessage(WM_KEYDOWN, &H::OnKeyDown),
        win::OnMessage(WM_SYSKEYDOWN, &H::OnKeyDown),
    });
    return map;
}

Measure XTitleTipListBoxHook::MeasureText(HWND control, TextBuffer& buffer)
{
    return MeasureListBoxItem(control, buffer, trackedItem);
}

bool XTitleTipListBoxHook::PlaceTip(HWND tip, HWND control, TextBuffer&)
{
    const bool selected = win::ListBox(control).CurrentSelection() == trackedItem;
    return PlaceOverListBoxItem(tip, control, trackedItem, selected ? selectedColours : colours);
}

LRESULT XTitleTipListBoxHook::OnMouseMove(win::Message& m)
{
    if (Tracking()) {
        const LRESULT hit = win::ListBox(window).ItemFromPoint(m.lParam);
        if (HIWORD(hit) != 0 || static_cast<int>(LOWORD(hit)) != trackedItem)
            Untrack();
    }
    m.PassOn();
    return 0;
}

// Keys that move the selection: the tip of the old item must go once the
// list box has moved it.
LRESULT XTitleTipListBoxHook::OnKeyDown(win::Message& m)
{
    const UINT key = static_cast<UINT>(m.wParam);
    const bool movesSelection =
        m.id == WM_KEYDOWN
            ? (key == VK_BACK || key == VK_RETURN || (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT ||
               key == VK_DELETE)
            : (key >= VK_LEFT && key <= VK_DOWN && (::GetKeyState(VK_MENU) & 0x8000) != 0);
    if (!Tracking() || !movesSelection) {
        m.PassOn();
        return 0;
    }
    const win::ListBox listBox(window);
    const LRESULT before = listBox.CurrentSelection();
    const LRESULT result = subclass.CallPrevious(m.id, m.wParam, m.lParam);
    if (listBox.CurrentSelection() != before && CurrentToolIs(toolTip, window))
        Untrack();
    return result;
}

}  // namespace titletip
