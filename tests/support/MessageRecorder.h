#pragma once
// A real message-only window that records the job messages it receives,
// pumped by a real message loop on the test's thread.
#include "engine/HashData.h"
#include "ui/WindowJobReports.h"
#include "win/MessageOnlyWindow.h"

#include <memory>
#include <vector>

struct JobMessage {
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const JobMessage& other) const { return wParam == other.wParam && lParam == other.lParam; }
};

class MessageRecorder {
public:
    MessageRecorder();
    HWND Window() const { return window.Handle(); }
    // A job's reports, posted to this window (through post) as the page's
    // are to the page.
    std::shared_ptr<JobReports> Reports(WindowJobReports::PostFunction post = &::PostMessageW) const;

    // Pumps until a completion message of the tag arrives (one not recorded
    // before the call); false on timeout.
    bool WaitForCompletion(std::uint32_t tag, DWORD timeoutMs = 30000);
    // Pumps what is queued now.
    void Drain();

    std::vector<JobMessage> messages;

private:
    win::MessageOnlyWindow window;
};

// Progress messages as percentages, the completion as -tag.
std::vector<int> Sequence(const std::vector<JobMessage>& messages);
