#include "JobWindow.h"

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
