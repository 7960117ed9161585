#include "JobWindow.h"

#include "Features.h"
#include "ui/WindowJobReports.h"

JobWindow::JobWindow()
    : window(WM_HASHDATA_NOTIFY, [this](WPARAM wParam, LPARAM lParam) { OnJobMessage(wParam, lParam); })
{
}

void JobWindow::OnJobMessage(WPARAM wParam, LPARAM lParam)
{
    if (lParam != 0)
        endedTag = static_cast<std::uint32_t>(lParam);
    else if (progress != nullptr && *progress)
        (*progress)(static_cast<unsigned>(wParam));
}

std::shared_ptr<JobReports> JobWindow::Reports() const
{
    return std::make_shared<WindowJobReports>(window.Handle(), WM_HASHDATA_NOTIFY);
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
