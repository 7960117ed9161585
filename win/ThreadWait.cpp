#include "ThreadWait.h"

namespace win {

void WaitTakingSentMessages(HANDLE object) noexcept
{
    for (;;) {
        const DWORD woken = ::MsgWaitForMultipleObjectsEx(1, &object, INFINITE, QS_SENDMESSAGE, 0);
        if (woken != WAIT_OBJECT_0 + 1)
            return;  // the object is signalled, or the wait failed
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // handles the sent messages
    }
}

}  // namespace win
