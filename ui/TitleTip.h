#pragma once
// Title tips: when a control's text is wider than the room it is shown in
// and the mouse rests over it, a tool tip in the control's own font and
// colours appears exactly over the visible text and shows all of it.
//
// The page's handler works by subclassing alone: the host window (whose
// WM_NOTIFY receives the tool tip's requests), the tool tip it creates, and
// each control it serves. The shared variant keeps one tool tip for all the
// hosts of a thread and is chained into its host's message map instead.
#include "ui/TitleTipEditHook.h"
#include "ui/TitleTipListBoxHook.h"
#include "ui/TitleTipToolTipHook.h"

#include <map>
#include <memory>

namespace titletip {

// Registered window messages (names shared with other components), sent to
// the host: attach (wParam != 0) or detach (wParam == 0) the control whose
// record (EditTitleTipRecord, ListBoxTitleTipRecord) lParam points to.
extern const win::RegisteredMessage kEditTitleTipMessage;
extern const win::RegisteredMessage kListBoxTitleTipMessage;
// The same two of the shared variant, under names of their own.
extern const win::RegisteredMessage kSharedEditTitleTipMessage;
extern const win::RegisteredMessage kSharedListBoxTitleTipMessage;

// How a handler is wired to its host and its tool tip.
struct TitleTipWiring {
    bool sharedToolTip;  // one tool tip for every host of the thread, kept when a handler goes
    bool subclassHost;   // or else the host routes its messages through Route()
    UINT editMessage;
    UINT listBoxMessage;
    UINT hookQueryMessage;  // 0: the hooks and the handler answer no query
};

constexpr COLORREF kSystemColour = static_cast<COLORREF>(-1);

template <class T>
class CTitleTipHandlerImplT : private HookOwner {
public:
    using XTitleTipEditHook = titletip::XTitleTipEditHook;
    using XTitleTipListBoxHook = titletip::XTitleTipListBoxHook;
    using XToolTipCtrlHook = titletip::XToolTipCtrlHook;

    CTitleTipHandlerImplT() = default;
    ~CTitleTipHandlerImplT();
    CTitleTipHandlerImplT(const CTitleTipHandlerImplT&) = delete;
    CTitleTipHandlerImplT& operator=(const CTitleTipHandlerImplT&) = delete;

    // Creates the tool tip when none is alive, then subclasses the host
    // (or, when the host routes its messages, only remembers it).
    bool Attach(HWND host);
    // A host that chains its messages here: true when the handler kept it.
    bool Route(win::Message& m, LRESULT& result);
    // The last row of such a host's map: what the handler does not keep
    // either goes on to the host's default handling.
    LRESULT RouteOrPassOn(win::Message& m);
    // Serves a single- or multi-line edit; kSystemColour stands for the
    // system's window text and window colours as they are now.
    bool AddEdit(HWND edit, COLORREF text = kSystemColour, COLORREF background = kSystemColour);

    HWND ToolTip() const noexcept { return toolTip; }
    std::size_t TextBufferLength() const noexcept { return buffer.Capacity() + 1; }

    // A served control is gone (its hook deletes itself).
    void Forget(HWND control) noexcept override;

    static const win::MessageMap<CTitleTipHandlerImplT>& Messages();

private:
    HookOwner* Owner() noexcept { return this; }
    bool CreateToolTip(HWND host);
    void DeleteTools(HWND control) noexcept;
    XControlHook* HookOf(HWND control) const;
    LRESULT OnHookQuery(win::Message& m);
    LRESULT OnEditTitleTip(win::Message& m);
    LRESULT OnListBoxTitleTip(win::Message& m);
    LRESULT OnNeedText(win::Message& m);
    LRESULT OnShow(win::Message& m);
    void AttachThroughMessage(std::unique_ptr<XControlHook> hook, HWND control);
    void DetachThroughMessage(HWND control);

    win::Subclass hostSubclass;
    HWND host = nullptr;
    std::map<HWND, XControlHook*> hooks;
    HWND toolTip = nullptr;
    bool usesSharedToolTip = false;  // counted among the users of this thread's shared tool tip
    TextBuffer buffer;
};

// The handler a page owns (through an owning pointer) for its compare edit.
class CTitleTipHandlerImpl : public CTitleTipHandlerImplT<CTitleTipHandlerImpl> {
public:
    static const TitleTipWiring& Wiring();
};

// The shared variant: the tool tip of this thread (made when none is alive)
// serves every host, and is destroyed with the last handler of the thread;
// the host passes what it does not handle to Route().
class CTitleTipHandler : public CTitleTipHandlerImplT<CTitleTipHandler> {
public:
    static const TitleTipWiring& Wiring();
};

}  // namespace titletip
