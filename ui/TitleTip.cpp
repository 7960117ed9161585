#include "TitleTip.h"

#include "win/ActivationContext.h"
#include "win/Edit.h"
#include "win/ToolTip.h"

#include <commctrl.h>

namespace titletip {

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

COLORREF OrSystem(COLORREF colour, int systemColour)
{
    return colour == kSystemColour ? ::GetSysColor(systemColour) : colour;
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

// Routes the subclassed host's messages through the handler's map.
template <class Handler>
LRESULT RouteToHandler(void* handler, win::Message& m)
{
    LRESULT result = 0;
    if (!win::Dispatch(Handler::Messages(), *static_cast<Handler*>(handler), m, result))
        m.PassOn();
    return result;
}

}  // namespace

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
    auto hook = std::make_unique<XToolTipCtrlHook>(T::Wiring().hookQueryMessage);
    if (!hook->Install(toolTip)) {
        ::DestroyWindow(toolTip);
        toolTip = nullptr;
        return false;
    }
    hook.release();  // it goes with the tool tip
    const win::ToolTip tip(toolTip);
    tip.SetDelayTime(TTDT_INITIAL, 500);
    tip.SetDelayTime(TTDT_AUTOPOP, 5000);
    tip.SetDelayTime(TTDT_RESHOW, 500);
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
    return hostSubclass.Install(hostWindow, &RouteToHandler<CTitleTipHandlerImplT>, nullptr, this);
}

template <class T>
bool CTitleTipHandlerImplT<T>::Route(win::Message& m, LRESULT& result)
{
    return win::Dispatch(Messages(), *this, m, result);
}

template <class T>
LRESULT CTitleTipHandlerImplT<T>::RouteOrPassOn(win::Message& m)
{
    LRESULT result = 0;
    if (!Route(m, result))
        m.PassOn();
    return result;
}

template <class T>
bool CTitleTipHandlerImplT<T>::AddEdit(HWND edit, COLORREF text, COLORREF background)
{
    if (!::IsWindow(edit))
        return false;
    if (hooks.count(edit))
        return true;
    const TipColours colours{OrSystem(text, COLOR_WINDOWTEXT), OrSystem(background, COLOR_WINDOW)};
    auto owned = std::make_unique<XTitleTipEditHook>(colours, toolTip, Owner(), T::Wiring().hookQueryMessage);
    if (!owned->Install(edit))
        return false;
    XControlHook* hook = owned.release();  // it goes with the edit
    hooks[edit] = hook;
    TTTOOLINFOW info = ToolInfo(kEditToolFlags, edit, edit, hook);
    info.rect = win::Edit(edit).FormattingRect();
    win::ToolTip(toolTip).AddTool(info);
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
    win::ToolTip(toolTip).DeleteTool(edit);
    win::ToolTip(toolTip).DeleteTool(attached);
}

template <class T>
XControlHook* CTitleTipHandlerImplT<T>::HookOf(HWND control) const
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
void CTitleTipHandlerImplT<T>::AttachThroughMessage(std::unique_ptr<XControlHook> owned, HWND control)
{
    if (!owned->Install(control))
        return;
    XControlHook* hook = owned.release();  // it goes with the control
    hooks[control] = hook;
    win::ToolTip(toolTip).AddTool(ToolInfo(kAttachedToolFlags, host, control, hook));
}

template <class T>
void CTitleTipHandlerImplT<T>::DetachThroughMessage(HWND control)
{
    auto found = hooks.find(control);
    if (found == hooks.end())
        return;
    win::ToolTip(toolTip).DeleteTool(ToolInfo(kAttachedToolFlags, host, control, nullptr));
    if (!T::Wiring().sharedToolTip && win::ToolTip(toolTip).ToolCount() == 0) {
        ::DestroyWindow(toolTip);
        toolTip = nullptr;
    }
    XControlHook* hook = found->second;
    hooks.erase(found);
    hook->handler = nullptr;
    if (hook->subclass.IsTopmost()) {
        hook->subclass.Remove();
        delete hook;
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
        AttachThroughMessage(std::make_unique<XTitleTipEditHook>(TipColours{record->text, record->background},
                                                                 toolTip, Owner(), T::Wiring().hookQueryMessage),
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
        AttachThroughMessage(
            std::make_unique<XTitleTipListBoxHook>(*record, toolTip, Owner(), T::Wiring().hookQueryMessage),
            record->window);
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

    const Measure measured = hook->MeasureText(control, buffer);
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
    XControlHook* hook = HookOf(control);
    if (!hook) {
        m.PassOn();
        return 0;
    }
    win::ToolTip(toolTip).SetMaxTipWidth(-1);
    const bool placed = hook->PlaceTip(toolTip, control, buffer);
    if (!placed)
        PopTip(toolTip);
    return placed ? TRUE : FALSE;
}

template class CTitleTipHandlerImplT<CTitleTipHandlerImpl>;
template class CTitleTipHandlerImplT<CTitleTipHandler>;

}  // namespace titletip
