#include "TitleTip.h"

#include "win/ActivationContext.h"

#include <commctrl.h>

namespace titletip {

const win::RegisteredMessage kGetHookObjectMessage(
    L"KWM_GET_HOOK_OBJECT_MSG-{440A9A55-EDF6-4590-968D-C6CEB85F2460}");
const win::RegisteredMessage kEditTitleTipMessage(
    L"_UWM_TITLE_TIP_EDIT_COMBOBOX__MSG-{3B470660-8CB1-478b-A1A8-41CBC29A3754}");
const win::RegisteredMessage kListBoxTitleTipMessage(
    L"_UWM_TITLE_TIP_LISTBOX_COMBOBOX__MSG-{3B470660-8CB1-478b-A1A8-41CBC29A3754}");
const win::RegisteredMessage kSharedEditTitleTipMessage(
    L"UWM_TITLE_TIP_EDIT_COMBOBOX_MSG-{3B470660-8CB1-478b-A1A8-41CBC29A3754}");
const win::RegisteredMessage kSharedListBoxTitleTipMessage(
    L"UWM_TITLE_TIP_LISTBOX_COMBOBOX_MSG-{3B470660-8CB1-478b-A1A8-41CBC29A3754}");

const TitleTipWiring& CTitleTipHandlerImpl::Wiring()
{
    static const TitleTipWiring wiring{false, true, kEditTitleTipMessage, kListBoxTitleTipMessage,
                                       kGetHookObjectMessage};
    return wiring;
}

const TitleTipWiring& CTitleTipHandler::Wiring()
{
    static const TitleTipWiring wiring{true, false, kSharedEditTitleTipMessage, kSharedListBoxTitleTipMessage, 0};
    return wiring;
}

namespace {

constexpr UINT kEditToolFlags = TTF_SUBCLASS | TTF_TRANSPARENT;                   // 0x110
constexpr UINT kAttachedToolFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRANSPARENT;  // 0x111

TTTOOLINFOW ToolInfo(UINT flags, HWND window, HWND control, void* hook)
{
    TTTOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = flags;
    info.hwnd = window;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = LPSTR_TEXTCALLBACKW;
    info.lParam = reinterpret_cast<LPARAM>(hook);
    return info;
}

void Pop(HWND toolTip)
{
    ::SendMessageW(toolTip, TTM_POP, 0, 0);
}

// Whether the tool tip now stands for this control.
bool CurrentToolIs(HWND toolTip, HWND control)
{
    TTTOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    return ::SendMessageW(toolTip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&info)) &&
           info.uId == reinterpret_cast<UINT_PTR>(control);
}

int XOf(LPARAM point)
{
    return static_cast<short>(LOWORD(point));
}

int YOf(LPARAM point)
{
    return static_cast<short>(HIWORD(point));
}

COLORREF OrSystem(COLORREF colour, int systemColour)
{
    return colour == kSystemColour ? ::GetSysColor(systemColour) : colour;
}

// The registered messages carry pointers, which mean something only to
// this thread's own windows: a message sent from another thread (perhaps of
// another process, where nothing marshals them) is not answered.
bool SentFromThisThread()
{
    return ::InSendMessageEx(nullptr) == ISMEX_NOSEND;
}

// A hook answers the query for its own class only, and never passes it on.
LRESULT AnswerHookQuery(const win::Message& m, WPARAM identity, void* hook)
{
    if (m.wParam != identity || m.lParam == 0 || !SentFromThisThread())
        return 0;
    *reinterpret_cast<void**>(m.lParam) = hook;
    return 1;
}

// A map with the hook query in front, when the wiring has one.
template <class H>
win::MessageMap<H> WithHookQuery(UINT query, win::Handler<H> answer, win::MessageMap<H> rows)
{
    if (query != 0)
        rows.insert(rows.begin(), win::OnMessage(query, answer));
    return rows;
}

// The tool tip shared by the hosts of this thread. Per thread, not per
// process: a window answers only on its own thread, and comctl32 subclasses
// the tools' windows only from theirs. It goes with the last handler that
// uses it: a tool tip left subclassed by this module would call into freed
// code once the module unloads.
struct SharedToolTip {
    HWND window = nullptr;
    unsigned users = 0;  // handlers of this thread that use it
};
thread_local SharedToolTip sharedToolTip;

// Routes a subclassed window's message through its hook's message map.
template <class Hook>
LRESULT RouteToHook(void* hook, win::Message& m)
{
    LRESULT result = 0;
    if (!win::Dispatch(Hook::Messages(), *static_cast<Hook*>(hook), m, result))
        m.PassOn();
    return result;
}

}  // namespace

// ------------------------------------------------------- both control hooks

template <class T>
LRESULT CTitleTipHandlerImplT<T>::XControlHook::ForwardToHost(win::Message& m)
{
    return ::SendMessageW(::GetParent(window), WM_NOTIFY, m.wParam, m.lParam);
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::XControlHook::PopAndPassOn(win::Message& m)
{
    Pop(toolTip);
    m.PassOn();
    return 0;
}

template <class T>
template <class Hook>
bool CTitleTipHandlerImplT<T>::XControlHook::InstallHook(Hook* hook, HWND control)
{
    hook->window = control;
    return hook->subclass.Install(control, &RouteToHook<Hook>, [](void* self) {
        auto* destroyed = static_cast<Hook*>(self);
        if (destroyed->handler)
            destroyed->handler->Forget(destroyed->window);
        if (destroyed->deleteOnDestroy)
            delete destroyed;
    }, hook);
}

// ---------------------------------------------------------------- edit hook

template <class T>
CTitleTipHandlerImplT<T>::XTitleTipEditHook::XTitleTipEditHook(TipColours colours, HWND toolTip, T* handler)
    : XControlHook(kEditKind, toolTip, handler), colours(colours)
{
}

template <class T>
bool CTitleTipHandlerImplT<T>::XTitleTipEditHook::Install(HWND edit)
{
    return this->InstallHook(this, edit);
}

template <class T>
const win::MessageMap<typename CTitleTipHandlerImplT<T>::XTitleTipEditHook>&
CTitleTipHandlerImplT<T>::XTitleTipEditHook::Messages()
{
    using H = XTitleTipEditHook;
    static const win::MessageMap<H> map = WithHookQuery<H>(T::Wiring().hookQueryMessage, &H::OnHookQuery, {
        win::OnNotify<H>(win::kAnyControl, TTN_NEEDTEXTW, &H::ForwardToHost),
        win::OnNotify<H>(win::kAnyControl, TTN_SHOW, &H::ForwardToHost),
        win::OnMessage(WM_NCHITTEST, &H::OnNcHitTest),
        win::OnMessage<H>(WM_LBUTTONUP, &H::PopAndPassOn),
        win::OnMessage<H>(WM_RBUTTONUP, &H::PopAndPassOn),
        win::OnMessage<H>(WM_MBUTTONUP, &H::PopAndPassOn),
        win::OnMessage<H>(WM_XBUTTONUP, &H::PopAndPassOn),
        win::OnMessage(WM_KEYDOWN, &H::OnKeyDown),
        win::OnMessage(WM_MOUSEMOVE, &H::OnMouseMove),
        win::OnMessage(WM_LBUTTONDOWN, &H::OnButtonDown),
        win::OnMessage(WM_RBUTTONDOWN, &H::OnButtonDown),
        win::OnMessage(WM_MBUTTONDOWN, &H::OnButtonDown),
        win::OnMessage(WM_XBUTTONDOWN, &H::OnButtonDown),
        win::OnMessage(WM_MOUSEWHEEL, &H::OnButtonDown),
    });
    return map;
}

template <class T>
void CTitleTipHandlerImplT<T>::XTitleTipEditHook::Untrack()
{
    tracked.line = -1;
    Pop(this->toolTip);
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::XTitleTipEditHook::OnHookQuery(win::Message& m)
{
    return AnswerHookQuery(m, TypeIdentity<XTitleTipEditHook>(), this);
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::XTitleTipEditHook::OnNcHitTest(win::Message& m)
{
    const LRESULT hit = this->subclass.CallPrevious(m.id, m.wParam, m.lParam);
    if (hit != HTCLIENT)
        Untrack();
    return hit;
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::XTitleTipEditHook::OnButtonDown(win::Message& m)
{
    if (tracked.line != -1)
        Untrack();
    m.PassOn();
    return 0;
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::XTitleTipEditHook::OnKeyDown(win::Message& m)
{
    if (CurrentToolIs(this->toolTip, this->window))
        Untrack();
    m.PassOn();
    return 0;
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::XTitleTipEditHook::OnMouseMove(win::Message& m)
{
    if (tracked.line != -1) {
        const int x = XOf(m.lParam), y = YOf(m.lParam);
        const LRESULT hit = ::SendMessageW(this->window, EM_CHARFROMPOS, 0, m.lParam);
        if (static_cast<int>(HIWORD(hit)) != tracked.line || y > tracked.textBottom || x > tracked.textRight)
            Untrack();
    }
    m.PassOn();
    return 0;
}

// ------------------------------------------------------------ list-box hook

template <class T>
CTitleTipHandlerImplT<T>::XTitleTipListBoxHook::XTitleTipListBoxHook(const ListBoxTitleTipRecord& record,
                                                                     HWND toolTip, T* handler)
    : XControlHook(kListBoxKind, toolTip, handler),
      colours{record.text, record.background},
      selectedColours{record.selectedText, record.selectedBackground}
{
}

template <class T>
bool CTitleTipHandlerImplT<T>::XTitleTipListBoxHook::Install(HWND listBox)
{
    return this->InstallHook(this, listBox);
}

template <class T>
const win::MessageMap<typename CTitleTipHandlerImplT<T>::XTitleTipListBoxHook>&
CTitleTipHandlerImplT<T>::XTitleTipListBoxHook::Messages()
{
    using H = XTitleTipListBoxHook;
    static const win::MessageMap<H> map = WithHookQuery<H>(T::Wiring().hookQueryMessage, &H::OnHookQuery, {
        win::OnNotify<H>(win::kAnyControl, TTN_NEEDTEXTW, &H::ForwardToHost),
        win::OnNotify<H>(win::kAnyControl, TTN_SHOW, &H::ForwardToHost),
        win::OnMessage(WM_NCHITTEST, &H::OnNcHitTest),
        win::OnMessage<H>(WM_LBUTTONUP, &H::PopAndPassOn),
        win::OnMessage<H>(WM_RBUTTONUP, &H::PopAndPassOn),
        win::OnMessage<H>(WM_MBUTTONUP, &H::PopAndPassOn),
        win::OnMessage<H>(WM_XBUTTONUP, &H::PopAndPassOn),
        win::OnMessage(WM_MOUSEMOVE, &H::OnMouseMove),
        win::OnMessage(WM_LBUTTONDOWN, &H::OnTrackedEnds),
        win::OnMessage(WM_RBUTTONDOWN, &H::OnTrackedEnds),
        win::OnMessage(WM_MBUTTONDOWN, &H::OnTrackedEnds),
        win::OnMessage(WM_XBUTTONDOWN, &H::OnTrackedEnds),
        win::OnMessage(WM_MOUSEWHEEL, &H::OnTrackedEnds),
        win::OnMessage(WM_KEYDOWN, &H::OnKeyDown),
        win::OnMessage(WM_SYSKEYDOWN, &H::OnKeyDown),
    });
    return map;
}

template <class T>
void CTitleTipHandlerImplT<T>::XTitleTipListBoxHook::Untrack()
{
    trackedItem = -1;
    Pop(this->toolTip);
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::XTitleTipListBoxHook::OnHookQuery(win::Message& m)
{
    return AnswerHookQuery(m, TypeIdentity<XTitleTipListBoxHook>(), this);
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::XTitleTipListBoxHook::OnNcHitTest(win::Message& m)
{
    const LRESULT hit = this->subclass.CallPrevious(m.id, m.wParam, m.lParam);
    if (hit != HTCLIENT)
        Untrack();
    return hit;
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::XTitleTipListBoxHook::OnTrackedEnds(win::Message& m)
{
    if (trackedItem != -1)
        Untrack();
    m.PassOn();
    return 0;
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::XTitleTipListBoxHook::OnMouseMove(win::Message& m)
{
    if (trackedItem != -1) {
        const LRESULT hit = ::SendMessageW(this->window, LB_ITEMFROMPOINT, 0, m.lParam);
        if (HIWORD(hit) != 0 || static_cast<int>(LOWORD(hit)) != trackedItem)
            Untrack();
    }
    m.PassOn();
    return 0;
}

// Keys that move the selection: the tip of the old item must go once the
// list box has moved it.
template <class T>
LRESULT CTitleTipHandlerImplT<T>::XTitleTipListBoxHook::OnKeyDown(win::Message& m)
{
    const UINT key = static_cast<UINT>(m.wParam);
    const bool movesSelection =
        m.id == WM_KEYDOWN
            ? (key == VK_BACK || key == VK_RETURN || (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT ||
               key == VK_DELETE)
            : (key >= VK_LEFT && key <= VK_DOWN && (::GetKeyState(VK_MENU) & 0x8000) != 0);
    if (trackedItem == -1 || !movesSelection) {
        m.PassOn();
        return 0;
    }
    const LRESULT before = ::SendMessageW(this->window, LB_GETCURSEL, 0, 0);
    const LRESULT result = this->subclass.CallPrevious(m.id, m.wParam, m.lParam);
    if (::SendMessageW(this->window, LB_GETCURSEL, 0, 0) != before && CurrentToolIs(this->toolTip, this->window))
        Untrack();
    return result;
}

// ------------------------------------------------------------ tool-tip hook

template <class T>
bool CTitleTipHandlerImplT<T>::XToolTipCtrlHook::Install(HWND toolTipWindow)
{
    return subclass.Install(toolTipWindow, &RouteToHook<XToolTipCtrlHook>, [](void* self) {
        auto* hook = static_cast<XToolTipCtrlHook*>(self);
        if (hook->deleteOnDestroy)
            delete hook;
    }, this);
}

template <class T>
const win::MessageMap<typename CTitleTipHandlerImplT<T>::XToolTipCtrlHook>&
CTitleTipHandlerImplT<T>::XToolTipCtrlHook::Messages()
{
    using H = XToolTipCtrlHook;
    static const win::MessageMap<H> map = WithHookQuery<H>(T::Wiring().hookQueryMessage, &H::OnHookQuery, {
        win::OnMessage(WM_LBUTTONDOWN, &H::OnClick),
        win::OnMessage(WM_LBUTTONDBLCLK, &H::OnClick),
        win::OnMessage(WM_RBUTTONDOWN, &H::OnClick),
        win::OnMessage(WM_RBUTTONDBLCLK, &H::OnClick),
        win::OnMessage(WM_MBUTTONDOWN, &H::OnClick),
        win::OnMessage(WM_MBUTTONDBLCLK, &H::OnClick),
        win::OnMessage(WM_XBUTTONDOWN, &H::OnClick),
        win::OnMessage(WM_XBUTTONDBLCLK, &H::OnClick),
    });
    return map;
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::XToolTipCtrlHook::OnHookQuery(win::Message& m)
{
    return AnswerHookQuery(m, TypeIdentity<XToolTipCtrlHook>(), this);
}

// The tip stands over the control's text, so a click on it is the
// control's: hide the tip and hand the click on at the same screen point.
template <class T>
LRESULT CTitleTipHandlerImplT<T>::XToolTipCtrlHook::OnClick(win::Message& m)
{
    TTTOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    const HWND toolTipWindow = m.window;
    if (!::SendMessageW(toolTipWindow, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&info))) {
        m.PassOn();
        return 0;
    }
    const HWND control = reinterpret_cast<HWND>(info.uId);
    if (!::IsWindow(control)) {
        Pop(toolTipWindow);
        m.PassOn();
        return 0;
    }
    // Converted while the tip still stands where it was clicked: hiding may
    // move it (Wine's does).
    POINT point = {XOf(m.lParam), YOf(m.lParam)};
    ::MapWindowPoints(toolTipWindow, control, &point, 1);
    Pop(toolTipWindow);
    return ::SendMessageW(control, m.id, m.wParam, MAKELPARAM(point.x, point.y));
}

// ------------------------------------------------------------------ handler

template <class T>
CTitleTipHandlerImplT<T>::~CTitleTipHandlerImplT()
{
    // The hooks stay with their controls and delete themselves with them; a
    // shared tool tip stays for the other hosts, without this one's tools.
    for (auto& entry : hooks) {
        entry.second->handler = nullptr;
        if (T::Wiring().sharedToolTip)
            DeleteTools(entry.first);
    }
    hooks.clear();
    if (usesSharedToolTip && --sharedToolTip.users == 0 && ::IsWindow(sharedToolTip.window)) {
        ::DestroyWindow(sharedToolTip.window);
        sharedToolTip.window = nullptr;
    }
    if (!T::Wiring().sharedToolTip && ::IsWindow(toolTip))
        ::DestroyWindow(toolTip);
    hostSubclass.Remove();
}

template <class T>
const win::MessageMap<CTitleTipHandlerImplT<T>>& CTitleTipHandlerImplT<T>::Messages()
{
    using H = CTitleTipHandlerImplT;
    static const win::MessageMap<H> map = WithHookQuery<H>(T::Wiring().hookQueryMessage, &H::OnHookQuery, {
        win::OnMessage(T::Wiring().editMessage, &H::OnEditTitleTip),
        win::OnMessage(T::Wiring().listBoxMessage, &H::OnListBoxTitleTip),
        win::OnNotify(win::kAnyControl, TTN_NEEDTEXTW, &H::OnNeedText),
        win::OnNotify(win::kAnyControl, TTN_SHOW, &H::OnShow),
    });
    return map;
}

template <class T>
bool CTitleTipHandlerImplT<T>::CreateToolTip(HWND hostWindow)
{
    if (T::Wiring().sharedToolTip && !usesSharedToolTip) {
        ++sharedToolTip.users;
        usesSharedToolTip = true;
    }
    if (T::Wiring().sharedToolTip && ::IsWindow(sharedToolTip.window))
        toolTip = sharedToolTip.window;
    if (::IsWindow(toolTip))
        return true;
    {
        win::ScopedModuleActivation activation;
        toolTip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                    reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(hostWindow, GWLP_HINSTANCE)),
                                    nullptr);
    }
    if (!toolTip)
        return false;
    auto* hook = new XToolTipCtrlHook;
    if (!hook->Install(toolTip)) {
        delete hook;
        ::DestroyWindow(toolTip);
        toolTip = nullptr;
        return false;
    }
    ::SendMessageW(toolTip, TTM_SETDELAYTIME, TTDT_INITIAL, 500);
    ::SendMessageW(toolTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 5000);
    ::SendMessageW(toolTip, TTM_SETDELAYTIME, TTDT_RESHOW, 500);
    if (T::Wiring().sharedToolTip)
        sharedToolTip.window = toolTip;
    return true;
}

template <class T>
bool CTitleTipHandlerImplT<T>::Attach(HWND hostWindow)
{
    if (!CreateToolTip(hostWindow))
        return false;
    if (!T::Wiring().subclassHost) {
        if (host != nullptr)
            return host == hostWindow;
        host = hostWindow;
        return true;
    }
    if (hostSubclass.IsInstalled())
        return hostSubclass.Window() == hostWindow;
    host = hostWindow;
    return hostSubclass.Install(hostWindow, &RouteToHook<CTitleTipHandlerImplT>, nullptr, this);
}

template <class T>
bool CTitleTipHandlerImplT<T>::Route(win::Message& m, LRESULT& result)
{
    return win::Dispatch(Messages(), *this, m, result);
}

template <class T>
bool CTitleTipHandlerImplT<T>::AddEdit(HWND edit, COLORREF text, COLORREF background)
{
    if (!::IsWindow(edit))
        return false;
    if (hooks.count(edit))
        return true;
    auto* hook = new XTitleTipEditHook({OrSystem(text, COLOR_WINDOWTEXT), OrSystem(background, COLOR_WINDOW)},
                                       toolTip, static_cast<T*>(this));
    if (!hook->Install(edit)) {
        delete hook;
        return false;
    }
    hooks[edit] = hook;
    TTTOOLINFOW info = ToolInfo(kEditToolFlags, edit, edit, hook);
    ::SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&info.rect));
    ::SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    return true;
}

template <class T>
void CTitleTipHandlerImplT<T>::Forget(HWND control) noexcept
{
    auto found = hooks.find(control);
    if (found == hooks.end())
        return;
    // A later window may get the same handle: neither the map nor the tool
    // tip may still speak of this one.
    DeleteTools(control);
    hooks.erase(found);
}

template <class T>
void CTitleTipHandlerImplT<T>::DeleteTools(HWND control) noexcept
{
    TTTOOLINFOW edit = ToolInfo(kEditToolFlags, control, control, nullptr);
    TTTOOLINFOW attached = ToolInfo(kAttachedToolFlags, host, control, nullptr);
    ::SendMessageW(toolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&edit));
    ::SendMessageW(toolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&attached));
}

template <class T>
void* CTitleTipHandlerImplT<T>::HookOf(HWND control) const
{
    auto found = hooks.find(control);
    return found == hooks.end() ? nullptr : found->second;
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::OnHookQuery(win::Message& m)
{
    return AnswerHookQuery(m, TypeIdentity<T>(), static_cast<T*>(this));
}

template <class T>
template <class Hook>
void CTitleTipHandlerImplT<T>::AttachThroughMessage(Hook* hook, HWND control)
{
    if (!hook->Install(control)) {
        delete hook;
        return;
    }
    hooks[control] = hook;
    TTTOOLINFOW info = ToolInfo(kAttachedToolFlags, host, control, hook);
    ::SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

template <class T>
void CTitleTipHandlerImplT<T>::DetachThroughMessage(HWND control)
{
    auto found = hooks.find(control);
    if (found == hooks.end())
        return;
    TTTOOLINFOW info = ToolInfo(kAttachedToolFlags, host, control, nullptr);
    ::SendMessageW(toolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    if (!T::Wiring().sharedToolTip && ::SendMessageW(toolTip, TTM_GETTOOLCOUNT, 0, 0) == 0) {
        ::DestroyWindow(toolTip);
        toolTip = nullptr;
    }
    XControlHook* hook = found->second;
    hooks.erase(found);
    hook->handler = nullptr;
    if (hook->subclass.IsTopmost()) {
        hook->subclass.Remove();
        if (hook->kind == kEditKind)
            delete static_cast<XTitleTipEditHook*>(hook);
        else
            delete static_cast<XTitleTipListBoxHook*>(hook);
    } else {
        hook->deleteOnDestroy = true;  // someone subclassed above us: go with the control
    }
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::OnEditTitleTip(win::Message& m)
{
    const auto* record = reinterpret_cast<const EditTitleTipRecord*>(m.lParam);
    if (!record || !SentFromThisThread())
        return 0;
    if (m.wParam == 0)
        DetachThroughMessage(record->window);
    else if (!hooks.count(record->window))
        AttachThroughMessage(
            new XTitleTipEditHook({record->text, record->background}, toolTip, static_cast<T*>(this)),
            record->window);
    return 0;
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::OnListBoxTitleTip(win::Message& m)
{
    const auto* record = reinterpret_cast<const ListBoxTitleTipRecord*>(m.lParam);
    if (!record || !SentFromThisThread())
        return 0;
    if (m.wParam == 0)
        DetachThroughMessage(record->window);
    else if (!hooks.count(record->window))
        AttachThroughMessage(new XTitleTipListBoxHook(*record, toolTip, static_cast<T*>(this)), record->window);
    return 0;
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::OnNeedText(win::Message& m)
{
    auto& info = m.Notification<NMTTDISPINFOW>();
    buffer.Clear();
    const HWND control = reinterpret_cast<HWND>(info.hdr.idFrom);
    // Only our own hooks, and only while their control is served.
    auto* hook = reinterpret_cast<XControlHook*>(info.lParam);
    if (!hook || HookOf(control) != hook) {
        m.PassOn();
        return 0;
    }
    // No text unless measured otherwise: our own empty buffer, never a write
    // through whatever lpszText held on the way in.
    info.szText[0] = L'\0';
    info.lpszText = info.szText;
    info.hinst = nullptr;

    const HWND capture = ::GetCapture();
    if (capture && capture != control)
        return 0;

    Measure measured = Measure::Failed;
    if (hook->kind == kEditKind) {
        auto* edit = static_cast<XTitleTipEditHook*>(hook);
        measured = (::GetWindowLongW(control, GWL_STYLE) & ES_MULTILINE)
                       ? MeasureMultiLineEdit(control, buffer, edit->tracked)
                       : MeasureSingleLineEdit(control, buffer);
    } else {
        measured = MeasureListBoxItem(control, buffer, static_cast<XTitleTipListBoxHook*>(hook)->trackedItem);
    }
    if (measured == Measure::Truncated)
        info.lpszText = buffer.Data();
    else if (measured == Measure::Failed)
        ::PostMessageW(toolTip, TTM_POP, 0, 0);
    return 0;
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::OnShow(win::Message& m)
{
    const HWND control = reinterpret_cast<HWND>(m.Notification().idFrom);
    auto* hook = static_cast<XControlHook*>(HookOf(control));
    if (!hook) {
        m.PassOn();
        return 0;
    }
    ::SendMessageW(toolTip, TTM_SETMAXTIPWIDTH, 0, -1);
    bool placed = false;
    if (hook->kind == kEditKind) {
        auto* edit = static_cast<XTitleTipEditHook*>(hook);
        placed = buffer.Data() && PlaceOverEdit(toolTip, control, edit->tracked.line, edit->colours);
    } else {
        auto* listBox = static_cast<XTitleTipListBoxHook*>(hook);
        const bool selected = ::SendMessageW(control, LB_GETCURSEL, 0, 0) == listBox->trackedItem;
        placed = PlaceOverListBoxItem(toolTip, control, listBox->trackedItem,
                                      selected ? listBox->selectedColours : listBox->colours);
    }
    if (!placed)
        Pop(toolTip);
    return placed ? TRUE : FALSE;
}

template class CTitleTipHandlerImplT<CTitleTipHandlerImpl>;
template class CTitleTipHandlerImplT<CTitleTipHandler>;

}  // namespace titletip
