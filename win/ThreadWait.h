#pragma once
#include <windows.h>

namespace win {

// Waits without limit for the object (a thread, say) while handling the
// messages that other threads send to this one's windows, and nothing else:
// a thread blocked in SendMessageW to a window of this thread cannot hold
// the wait up. Posted messages stay queued.
void WaitTakingSentMessages(HANDLE object) noexcept;

}  // namespace win
