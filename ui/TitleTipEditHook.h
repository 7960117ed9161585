#pragma once
// The title-tip hook of a single- or multi-line edit: a multi-line edit's tip
// stands over the line under the cursor.
#include "ui/TitleTipHook.h"

namespace titletip {

// The attach message's record for an edit.
struct EditTitleTipRecord {
    HWND window;
    COLORREF text;
    COLORREF background;
};

class XTitleTipEditHook final : public XControlHook {
public:
    XTitleTipEditHook(TipColours colours, HWND toolTip, HookOwner* handler, UINT hookQuery);

    TrackedLine tracked;
    TipColours colours;

    Measure MeasureText(HWND control, TextBuffer& buffer) override;
    bool PlaceTip(HWND toolTip, HWND control, TextBuffer& buffer) override;

    static const win::MessageMap<XTitleTipEditHook>& Messages();

private:
    LRESULT Route(win::Message& m) override { return RouteThroughMap(*this, m); }
    bool Tracking() const noexcept override { return tracked.line != -1; }
    void StopTracking() noexcept override { tracked.line = -1; }

    LRESULT OnKeyDown(win::Message& m);
    LRESULT OnMouseMove(win::Message& m);
};

}  // namespace titletip
