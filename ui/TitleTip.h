#pragma once
// Title tips: when a control's text is wider than the room it is shown in
// and the mouse rests over it, a tool tip in the control's own font and
// colours appears exactly over the visible text and shows all of it.
//
// The page's handler works by subclassing alone: the host window (whose
// WM_NOTIFY receives the tool tip's requests), the tool tip it creates, and
// each control it serves. The shared variant keeps one tool tip for all the
// hosts of a thread and is chained into its host's message map instead.
#include "ui/TitleTipMeasure.h"
#include "win/RegisteredMessage.h"
#include "win/Subclass.h"

#include <map>

namespace titletip {

// Registered window messages (names shared with other components).
// Hook query: wParam = TypeIdentity<hook class>(), lParam = address of a pointer.
extern const win::RegisteredMessage kGetHookObjectMessage;
// Sent to the host: attach (wParam != 0) or detach (wParam == 0) the
// control whose record lParam points to.
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

struct EditTitleTipRecord {
    HWND window;
    COLORREF text;
    COLORREF background;
};

struct ListBoxTitleTipRecord {
    HWND window;
    COLORREF text;
    COLORREF background;
    COLORREF selectedText;
    COLORREF selectedBackground;
};

// What a hook query compares wParam with.
template <class Class>
WPARAM TypeIdentity() noexcept
{
    static const char tag = 0;
    return reinterpret_cast<WPARAM>(&tag);
}

constexpr COLORREF kSystemColour = static_cast<COLORREF>(-1);

template <class T>
class CTitleTipHandlerImplT {
public:
    enum Kind { kEditKind = 0, kListBoxKind = 1 };

    // What every control hook starts with: the kind selects the measuring
    // and placing rules.
    struct XControlHook {
        XControlHook(int kind, HWND toolTip, T* handler) : kind(kind), toolTip(toolTip), handler(handler) {}
        const int kind;
        win::Subclass subclass;
        bool deleteOnDestroy = true;
        HWND window = nullptr;
        HWND toolTip;
        T* handler;  // null once the handler has let go of this hook

        // Both kinds of hook: the tool tip asks the tool's window, whose
        // parent holds the handler; a button going up hides the tip.
        LRESULT ForwardToHost(win::Message& m);
        LRESULT PopAndPassOn(win::Message& m);

    protected:
        // Subclasses the control for the hook, which deletes itself with it.
        template <class Hook>
        static bool InstallHook(Hook* hook, HWND control);
    };

    class XTitleTipEditHook : public XControlHook {
    public:
        XTitleTipEditHook(TipColours colours, HWND toolTip, T* handler);
        bool Install(HWND edit);

        TrackedLine tracked;
        TipColours colours;

        static const win::MessageMap<XTitleTipEditHook>& Messages();

    private:
        LRESULT OnHookQuery(win::Message& m);
        LRESULT OnNcHitTest(win::Message& m);
        LRESULT OnButtonDown(win::Message& m);
        LRESULT OnKeyDown(win::Message& m);
        LRESULT OnMouseMove(win::Message& m);
        void Untrack();
    };

    class XTitleTipListBoxHook : public XControlHook {
    public:
        XTitleTipListBoxHook(const ListBoxTitleTipRecord& record, HWND toolTip, T* handler);
        bool Install(HWND listBox);

        int trackedItem = -1;
        TipColours colours;
        TipColours selectedColours;

        static const win::MessageMap<XTitleTipListBoxHook>& Messages();

    private:
        LRESULT OnHookQuery(win::Message& m);
        LRESULT OnNcHitTest(win::Message& m);
        LRESULT OnTrackedEnds(win::Message& m);
        LRESULT OnMouseMove(win::Message& m);
        LRESULT OnKeyDown(win::Message& m);
        void Untrack();
    };

    class XToolTipCtrlHook {
    public:
        bool Install(HWND toolTip);
        win::Subclass subclass;
        bool deleteOnDestroy = true;

        static const win::MessageMap<XToolTipCtrlHook>& Messages();

    private:
        LRESULT OnHookQuery(win::Message& m);
        LRESULT OnClick(win::Message& m);
    };

    CTitleTipHandlerImplT() = default;
    ~CTitleTipHandlerImplT();
    CTitleTipHandlerImplT(const CTitleTipHandlerImplT&) = delete;
    CTitleTipHandlerImplT& operator=(const CTitleTipHandlerImplT&) = delete;

    // Creates the tool tip when none is alive, then subclasses the host
    // (or, when the host routes its messages, only remembers it).
    bool Attach(HWND host);
    // A host that chains its messages here: true when the handler kept it.
    bool Route(win::Message& m, LRESULT& result);
    // Serves a single- or multi-line edit; kSystemColour stands for the
    // system's window text and window colours as they are now.
    bool AddEdit(HWND edit, COLORREF text = kSystemColour, COLORREF background = kSystemColour);

    HWND ToolTip() const noexcept { return toolTip; }
    std::size_t TextBufferLength() const noexcept { return buffer.Capacity() + 1; }

    // A served control is gone (its hook deletes itself).
    void Forget(HWND control) noexcept;

    static const win::MessageMap<CTitleTipHandlerImplT>& Messages();

private:
    bool CreateToolTip(HWND host);
    void DeleteTools(HWND control) noexcept;
    void* HookOf(HWND control) const;
    LRESULT OnHookQuery(win::Message& m);
    LRESULT OnEditTitleTip(win::Message& m);
    LRESULT OnListBoxTitleTip(win::Message& m);
    LRESULT OnNeedText(win::Message& m);
    LRESULT OnShow(win::Message& m);
    template <class Hook>
    void AttachThroughMessage(Hook* hook, HWND control);
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

using XTitleTipEditHook = CTitleTipHandlerImplT<CTitleTipHandlerImpl>::XTitleTipEditHook;
using XTitleTipListBoxHook = CTitleTipHandlerImplT<CTitleTipHandlerImpl>::XTitleTipListBoxHook;
using XToolTipCtrlHook = CTitleTipHandlerImplT<CTitleTipHandlerImpl>::XToolTipCtrlHook;

}  // namespace titletip
