#include "MessageOnlyWindow.h"

#include "win/ExceptionBarrier.h"

#include <stdexcept>

namespace win {

namespace {

const wchar_t kClassName[] = L"TallyraMessageOnlyWindow";

}  // namespace

MessageOnlyWindow::MessageOnlyWindow(UINT message, Receiver receiver) : message(message), receiver(std::move(receiver))
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &MessageOnlyWindow::Procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassW(&windowClass);  // fails harmlessly once registered
    window.reset(::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr));
    if (!window)
        throw std::runtime_error("cannot create a message-only window");
    ::SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CALLBACK MessageOnlyWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<MessageOnlyWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || message != self->message)
        return ::DefWindowProcW(window, message, wParam, lParam);
    RunGuarded([&] { self->receiver(wParam, lParam); });
    return 0;
}

}  // namespace win
