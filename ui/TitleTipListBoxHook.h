#pragma once
// The title-tip hook of a list box: the tip stands over the item under the
// cursor, in the selected item's colours when that item is selected.
#include "ui/TitleTipHook.h"

namespace titletip {

// The attach message's record for a list box.
struct ListBoxTitleTipRecord {
    HWND window;
    COLORREF text;
    COLORREF background;
    COLORREF selectedText;
    COLORREF selectedBackground;
};

class XTitleTipListBoxHook final : public XControlHook {
public:
    XTitleTipListBoxHook(const ListBoxTitleTipRecord& record, HWND toolTip, HookOwner* handler, UINT hookQuery);

    int trackedItem = -1;
    TipColours colours;
    TipColours selectedColours;

    Measure MeasureText(HWND control, TextBuffer& buffer) override;
    bool PlaceTip(HWND toolTip, HWND control, TextBuffer& buffer) override;

    static const win::MessageMap<XTitleTipListBoxHook>& Messages();

private:
    LRESULT Route(win::Message& m) override { return RouteThroughMap(*this, m); }
    bool Tracking() const noexcept override { return trackedItem != -1; }
    void StopTracking() noexcept override { trackedItem = -1; }

    LRESULT OnMouseMove(win::Message& m);
    LRESULT OnKeyDown(win::Message& m);
};

}  // namespace titletip
