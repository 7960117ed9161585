#include "DialogImpl.h"

namespace win {
namespace detail {

namespace {

struct PendingBinding {
    void* object = nullptr;
    DLGPROC procedure = nullptr;
};

// Per thread: each Properties dialog may run on a thread of its own.
thread_local PendingBinding pending;

}  // namespace

void SetPendingBinding(void* object, DLGPROC procedure) noexcept
{
    pending = {object, procedure};
}

void* TakePendingBinding(DLGPROC procedure) noexcept
{
    if (pending.procedure != procedure)
        return nullptr;
    void* object = pending.object;
    pending = {};
    return object;
}

INT_PTR DialogReturn(HWND dialog, UINT message, LRESULT result) noexcept
{
    switch (message) {
    case WM_INITDIALOG:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return static_cast<INT_PTR>(result);
    default:
        ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

}  // namespace detail
}  // namespace win
