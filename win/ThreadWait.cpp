#include "ThreadWait.h"

namespace win {

void WaitTakingSentMessages(HANDLE object) noexcept
{
    for (;;) {
        // Takes what was sent before the wait too: the wait below only sees
        // messages that are new since the queue was last looked at, unless
        // asked for whatever is there.
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const DWORD woken = ::MsgWaitForMultipleObjectsEx(1, &object, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (woken != WAIT_OBJECT_0 + 1)
            return;  // the object is signalled, or the wait failed
    }
}

}  // namespace win
