#pragma once
// A message-only window that receives a hashing job's posted messages, so
// that the tool runs a file through exactly the page's code path.
#include "engine/HashData.h"
#include "win/MessageOnlyWindow.h"

#include <functional>
#include <memory>

class JobWindow {
public:
    JobWindow();
    HWND Handle() const { return window.Handle(); }
    // What a job reports, posted to this window as the page's are to it.
    std::shared_ptr<JobReports> Reports() const;

    // Pumps messages until the job with this tag reports that it ended;
    // every progress percentage goes to the callback on the way.
    void WaitForCompletion(std::uint32_t tag, const std::function<void(unsigned)>& onProgress);

private:
    void OnJobMessage(WPARAM wParam, LPARAM lParam);

    const std::function<void(unsigned)>* progress = nullptr;
    std::uint32_t endedTag = 0;
    win::MessageOnlyWindow window;
};
