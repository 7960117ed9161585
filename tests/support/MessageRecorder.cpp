#include "MessageRecorder.h"

#include "Features.h"

#include <stdexcept>

namespace {

const wchar_t kClassName[] = L"TallyraTestMessageRecorder";

}  // namespace

MessageRecorder::MessageRecorder()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &MessageRecorder::WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassW(&windowClass);  // fails harmlessly once registered
    window.reset(::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   ::GetModuleHandleW(nullptr), this));
    if (!window)
        throw std::runtime_error("cannot create the recorder window");
    ::SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CALLBACK MessageRecorder::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HASHDATA_NOTIFY) {
        auto* recorder = reinterpret_cast<MessageRecorder*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (recorder != nullptr)
            recorder->messages.push_back({wParam, lParam});
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

std::shared_ptr<JobReports> MessageRecorder::Reports(WindowJobReports::PostFunction post) const
{
    return std::make_shared<WindowJobReports>(window.get(), WM_HASHDATA_NOTIFY, WindowJobReports::Delivery::Post, post);
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
