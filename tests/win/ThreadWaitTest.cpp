// Waiting for a thread that is blocked sending to a window of the waiting
// thread: the wait takes the sent message and ends; posted messages stay.
#include "support/Gui.h"
#include "support/HangWatchdog.h"
#include "win/ThreadWait.h"
#include "win/UniqueHandle.h"

#include <gtest/gtest.h>

TEST(ThreadWait, AThreadBlockedSendingToThisThreadsWindowDoesNotHoldTheWaitUp)
{
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ::PostMessageW(window, WM_APP, 7, 0);
    win::UniqueThread sender(::CreateThread(
        nullptr, 0, [](void* target) -> DWORD { return static_cast<DWORD>(::SendMessageW(static_cast<HWND>(target), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"sent"))); },
        window, 0, nullptr));
    ASSERT_TRUE(sender);
    ASSERT_TRUE(WaitWithoutPumping([] { return ((::GetQueueStatus(QS_SENDMESSAGE) >> 16) & QS_SENDMESSAGE) != 0; }));
    {
        HangWatchdog bound("waiting for a thread blocked in SendMessageW to this thread");
        win::WaitTakingSentMessages(sender.get());
    }
    DWORD exitCode = 0;
    EXPECT_TRUE(::GetExitCodeThread(sender.get(), &exitCode));
    EXPECT_EQ(exitCode, TRUE);  // WM_SETTEXT done
    EXPECT_EQ(WindowText(window), L"sent");
    MSG posted = {};
    EXPECT_TRUE(::PeekMessageW(&posted, window, WM_APP, WM_APP, PM_REMOVE));
    EXPECT_EQ(posted.wParam, 7u);
    ::DestroyWindow(window);
}
