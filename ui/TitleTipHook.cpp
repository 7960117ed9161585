#include "TitleTipHook.h"

#include "win/ToolTip.h"

namespace titletip {

const win::RegisteredMessage kGetHookObjectMessage(
    L"KWM_GET_HOOK_OBJECT_MSG-{440A9A55-EDF6-4590-968D-C6CEB85F2460}");

bool SentFromThisThread() noexcept
{
    return ::InSendMessageEx(nullptr) == ISMEX_NOSEND;
}

LRESULT AnswerHookQuery(const win::Message& m, WPARAM identity, void* hook) noexcept
{
    if (m.wParam != identity || m.lParam == 0 || !SentFromThisThread())
        return 0;
    *reinterpret_cast<void**>(m.lParam) = hook;
    return 1;
}

void PopTip(HWND toolTip) noexcept
{
    win::ToolTip(toolTip).Pop();
}

bool CurrentToolIs(HWND toolTip, HWND control) noexcept
{
    TTTOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    return win::ToolTip(toolTip).GetCurrentTool(info) && info.uId == reinterpret_cast<UINT_PTR>(control);
}

int PointX(LPARAM point) noexcept
{
    return static_cast<short>(LOWORD(point));
}

int PointY(LPARAM point) noexcept
{
    return static_cast<short>(HIWORD(point));
}

bool XMessageHook::Install(HWND window)
{
    return subclass.Install(
        window, [](void* self, win::Message& m) { return static_cast<XMessageHook*>(self)->Route(m); },
        [](void* self) {
            auto* hook = static_cast<XMessageHook*>(self);
            hook->OnWindowGone();
            if (hook->deleteOnDestroy)
                delete hook;
        },
        this);
}

bool XControlHook::Install(HWND control)
{
    window = control;
    return XMessageHook::Install(control);
}

void XControlHook::OnWindowGone() noexcept
{
    if (handler)
        handler->Forget(window);
}

void XControlHook::Untrack() noexcept
{
    StopTracking();
    PopTip(toolTip);
}

LRESULT XControlHook::ForwardToHost(win::Message& m)
{
    return ::SendMessageW(::GetParent(window), WM_NOTIFY, m.wParam, m.lParam);
}

LRESULT XControlHook::PopAndPassOn(win::Message& m)
{
    PopTip(toolTip);
    m.PassOn();
    return 0;
}

LRESULT XControlHook::OnNcHitTest(win::Message& m)
{
    const LRESULT hit = subclass.CallPrevious(m.id, m.wParam, m.lParam);
    if (hit != HTCLIENT)
        Untrack();
    return hit;
}

LRESULT XControlHook::OnTrackedEnds(win::Message& m)
{
    if (Tracking())
        Untrack();
    m.PassOn();
    return 0;
}

}  // namespace titletip
