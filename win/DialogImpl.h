#pragma once
// The dialog procedure shared by modal dialogs and property pages: binds the
// window to its C++ object on the first message, routes every message
// through the object's message map and returns results the way a dialog
// procedure must. No exception leaves it.
//
// T provides `static const win::MessageMap<T>& Messages();` and may hide
// `void OnFinalMessage()`, called after WM_NCDESTROY.
#include "win/ExceptionBarrier.h"
#include "win/MessageMap.h"

namespace win {

namespace detail {

// The object that the next dialog created on this thread with this
// procedure belongs to. Set just before the system creates the window
// (DialogBoxParamW, a page's PSPCB_CREATE), taken by its first message.
void SetPendingBinding(void* object, DLGPROC procedure) noexcept;
void* TakePendingBinding(DLGPROC procedure) noexcept;

// A dialog procedure hands most results back through DWLP_MSGRESULT; a
// few messages take theirs as the procedure's own return value.
INT_PTR DialogReturn(HWND dialog, UINT message, LRESULT result) noexcept;

}  // namespace detail

template <class T>
class DialogImpl {
public:
    HWND Window() const noexcept { return window; }

    static INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
    {
        T* object = Bound(dialog);
        if (!object)
            return FALSE;

        Message m{dialog, message, wParam, lParam};
        LRESULT result = 0;
        bool handled = false;
        RunGuarded([&] { handled = Dispatch(T::Messages(), *object, m, result); });

        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(dialog, DWLP_USER, 0);
            object->window = nullptr;
            RunGuarded([&] { object->OnFinalMessage(); });
        }
        return handled ? detail::DialogReturn(dialog, message, result) : FALSE;
    }

protected:
    DialogImpl() = default;
    ~DialogImpl() = default;
    DialogImpl(const DialogImpl&) = delete;
    DialogImpl& operator=(const DialogImpl&) = delete;

    void OnFinalMessage() {}

    // The object the next window made with this class's procedure binds to.
    void PrepareBinding() noexcept
    {
        detail::SetPendingBinding(static_cast<T*>(this), &DialogProcedure);
    }
    static void CancelBinding() noexcept { detail::TakePendingBinding(&DialogProcedure); }

private:
    static T* Bound(HWND dialog) noexcept
    {
        if (auto* object = reinterpret_cast<T*>(::GetWindowLongPtrW(dialog, DWLP_USER)))
            return object;
        auto* object = static_cast<T*>(detail::TakePendingBinding(&DialogProcedure));
        if (object) {
            ::SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(object));
            object->window = dialog;
        }
        return object;
    }

    HWND window = nullptr;
};

}  // namespace win
