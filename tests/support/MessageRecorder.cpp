#include "MessageRecorder.h"

#include "Features.h"

MessageRecorder::MessageRecorder()
    : window(WM_HASHDATA_NOTIFY, [this](WPARAM wParam, LPARAM lParam) { messages.push_back({wParam, lParam}); })
{
}

std::shared_ptr<JobReports> MessageRecorder::Reports(WindowJobReports::PostFunction post) const
{
    return std::make_shared<WindowJobReports>(window.Handle(), WM_HASHDATA_NOTIFY, WindowJobReports::Delivery::Post, post);
}

bool MessageRecorder::WaitForCompletion(std::uint32_t tag, DWORD timeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    size_t seen = messages.size();  // only what arrives from now on
    for (;;) {
        for (; seen < messages.size(); ++seen) {
            if (messages[seen].wParam == 0 && messages[seen].lParam == static_cast<LPARAM>(tag))
                return true;
        }
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLPOSTMESSAGE);
        Drain();
    }
}

void MessageRecorder::Drain()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

std::vector<int> Sequence(const std::vector<JobMessage>& messages)
{
    std::vector<int> sequence;
    for (const JobMessage& message : messages)
        sequence.push_back(message.lParam != 0 ? -static_cast<int>(message.lParam) : static_cast<int>(message.wParam));
    return sequence;
}
