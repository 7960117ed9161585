#pragma once
// What every window subclassed for title tips has in common: the subclass
// that deletes its hook with the window, the answer to the hook query, and
// for the controls a tip stands over (edits and list boxes) the rows that
// forward the tool tip's requests to the host and hide the tip.
#include "ui/TitleTipMeasure.h"
#include "win/RegisteredMessage.h"
#include "win/Subclass.h"

#include <commctrl.h>
#include <initializer_list>

namespace titletip {

// Hook query: wParam = TypeIdentity<hook class>(), lParam = address of a pointer.
extern const win::RegisteredMessage kGetHookObjectMessage;

// What a hook query compares wParam with.
template <class Class>
WPARAM TypeIdentity() noexcept
{
    static const char tag = 0;
    return reinterpret_cast<WPARAM>(&tag);
}

// The registered messages carry pointers, which mean something only to
// this thread's own windows: a message sent from another thread (perhaps of
// another process, where nothing marshals them) is not answered.
bool SentFromThisThread() noexcept;

// A hook answers the query for its own class only, and never passes it on.
LRESULT AnswerHookQuery(const win::Message& m, WPARAM identity, void* hook) noexcept;

// The tool tip's own calls that the hooks and the handler share.
void PopTip(HWND toolTip) noexcept;                    // TTM_POP
bool CurrentToolIs(HWND toolTip, HWND control) noexcept;  // TTM_GETCURRENTTOOLW names the control
int PointX(LPARAM point) noexcept;
int PointY(LPARAM point) noexcept;

// A window subclassed for title tips. Made with new: it deletes itself once
// its window is destroyed (when deleteOnDestroy is still set then).
class XMessageHook {
public:
    virtual ~XMessageHook() = default;
    XMessageHook(const XMessageHook&) = delete;
    XMessageHook& operator=(const XMessageHook&) = delete;

    bool Install(HWND window);

    win::Subclass subclass;
    bool deleteOnDestroy = true;

protected:
    // hookQuery 0: the hook answers no query.
    explicit XMessageHook(UINT hookQuery) : hookQuery(hookQuery) {}

    // The hook query first, then the hook's map; what the map leaves goes on.
    template <class Hook>
    static LRESULT RouteThroughMap(Hook& hook, win::Message& m)
    {
        if (hook.hookQuery != 0 && m.id == hook.hookQuery)
            return AnswerHookQuery(m, TypeIdentity<Hook>(), &hook);
        LRESULT result = 0;
        if (!win::Dispatch(Hook::Messages(), hook, m, result))
            m.PassOn();
        return result;
    }

private:
    virtual LRESULT Route(win::Message& m) = 0;
    // The window is gone (after its last message), before the hook is deleted.
    virtual void OnWindowGone() noexcept {}

    const UINT hookQuery;
};

// Told by a control hook that its control is gone.
class HookOwner {
public:
    virtual void Forget(HWND control) noexcept = 0;

protected:
    ~HookOwner() = default;
};

// A hook on a control a tip stands over: it measures the text under the
// cursor, places the tip over it, and hides the tip when the cursor leaves
// what it tracks.
class XControlHook : public XMessageHook {
public:
    HWND window = nullptr;
    HWND toolTip;
    HookOwner* handler;  // null once the handler has let go of this hook

    bool Install(HWND control);

    // Reads the text under the cursor into the buffer and tells whether the
    // control shows all of it.
    virtual Measure MeasureText(HWND control, TextBuffer& buffer) = 0;
    // Moves the tool tip over the measured text; false when that failed.
    virtual bool PlaceTip(HWND toolTip, HWND control, TextBuffer& buffer) = 0;

protected:
    XControlHook(UINT hookQuery, HWND toolTip, HookOwner* handler)
        : XMessageHook(hookQuery), toolTip(toolTip), handler(handler)
    {
    }

    // The rows of every control hook, the hook's own after them.
    template <class H>
    static win::MessageMap<H> Rows(std::initializer_list<win::MessageEntry<H>> own)
    {
        win::MessageMap<H> rows{
            win::OnNotify<H>(win::kAnyControl, TTN_NEEDTEXTW, &H::ForwardToHost),
            win::OnNotify<H>(win::kAnyControl, TTN_SHOW, &H::ForwardToHost),
            win::OnMessage<H>(WM_NCHITTEST, &H::OnNcHitTest),
            win::OnMessage<H>(WM_LBUTTONUP, &H::PopAndPassOn),
            win::OnMessage<H>(WM_RBUTTONUP, &H::PopAndPassOn),
            win::OnMessage<H>(WM_MBUTTONUP, &H::PopAndPassOn),
            win::OnMessage<H>(WM_XBUTTONUP, &H::PopAndPassOn),
            win::OnMessage<H>(WM_LBUTTONDOWN, &H::OnTrackedEnds),
            win::OnMessage<H>(WM_RBUTTONDOWN, &H::OnTrackedEnds),
            win::OnMessage<H>(WM_MBUTTONDOWN, &H::OnTrackedEnds),
            win::OnMessage<H>(WM_XBUTTONDOWN, &H::OnTrackedEnds),
            win::OnMessage<H>(WM_MOUSEWHEEL, &H::OnTrackedEnds),
        };
        rows.insert(rows.end(), own.begin(), own.end());
        return rows;
    }

    // The line or item the cursor rests on, as measuring found it.
    virtual bool Tracking() const noexcept = 0;
    virtual void StopTracking() noexcept = 0;
    // Forgets what is tracked and hides the tip.
    void Untrack() noexcept;

    // The tool tip asks the tool's window, whose parent holds the handler.
    LRESULT ForwardToHost(win::Message& m);
    // A button going up hides the tip.
    LRESULT PopAndPassOn(win::Message& m);
    // The cursor left the client area.
    LRESULT OnNcHitTest(win::Message& m);
    // A button down or the wheel ends what is tracked.
    LRESULT OnTrackedEnds(win::Message& m);

private:
    void OnWindowGone() noexcept override;
};

}  // namespace titletip
