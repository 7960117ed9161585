#pragma once
// A worker thread that keeps the module whose code it runs loaded until its
// very last instruction, together with whatever its work holds (a job
// shared with its owner): the owner may let go of both at any time.
#include <functional>
#include <windows.h>

// The thread's handle, which the caller closes; null (GetLastError() says
// why) when no thread was made, and then `work` never runs.
HANDLE StartPinnedWorker(std::function<void()> work);
