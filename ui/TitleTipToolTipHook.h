#pragma once
// The hook of the tool tip itself: the tip stands over the control's text,
// so a click on it is the control's.
#include "ui/TitleTipHook.h"

namespace titletip {

class XToolTipCtrlHook final : public XMessageHook {
public:
    explicit XToolTipCtrlHook(UINT hookQuery) : XMessageHook(hookQuery) {}

    static const win::MessageMap<XToolTipCtrlHook>& Messages();

private:
    LRESULT Route(win::Message& m) override { return RouteThroughMap(*this, m); }
    LRESULT OnClick(win::Message& m);
};

}  // namespace titletip
