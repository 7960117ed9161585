#include "JobWindow.h"

#include "Features.h"
#include "ui/WindowJobReports.h"

#include <stdexcept>

namespace {

const wchar_t kClassName[] = L"TallyraHashJobWindow";

}  // namespace

JobWindow::JobWindow()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &JobWindow::WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassW(&windowClass);
    window.reset(::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr));
    if (!window)
        throw std::runtime_error("cannot create the job window");
    ::SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CALLBACK JobWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<JobWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != WM_HASHDATA_NOTIFY || self == nullptr)
        return ::DefWindowProcW(window, message, wParam, lParam);
    if (lParam != 0)
        self->endedTag = static_cast<std::uint32_t>(lParam);
    else if (self->progress != nullptr && *self->progress)
        (*self->progress)(static_cast<unsigned>(wParam));
    return 0;
}

std::shared_ptr<JobReports> JobWindow::Reports() const
{
    return std::make_shared<WindowJobReports>(window.get(), WM_HASHDATA_NOTIFY);
}

void JobWindow::WaitForCompletion(std::uint32_t tag, const std::function<void(unsigned)>& onProgress)
{
    progress = &onProgress;
    endedTag = 0;
    MSG message;
    while (endedTag != tag && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    progress = nullptr;
}
