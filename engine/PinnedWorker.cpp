#include "PinnedWorker.h"

#include <memory>
#include <new>

namespace {

struct WorkerStart {
    std::function<void()> work;
    HMODULE module = nullptr;
};

DWORD WINAPI PinnedThreadProc(void* parameter)
{
    HMODULE module = nullptr;
    {
        // Everything the work holds is gone before the module reference is dropped.
        const std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(parameter));
        module = start->module;
        start->work();
    }
    ::FreeLibraryAndExitThread(module, 0);
    return 0;
}

}  // namespace

HANDLE StartPinnedWorker(std::function<void()> work)
{
    std::unique_ptr<WorkerStart> start(new (std::nothrow) WorkerStart);
    if (!start) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    start->work = std::move(work);
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&PinnedThreadProc),
                              &start->module))
        return nullptr;
    HANDLE thread = ::CreateThread(nullptr, 0, &PinnedThreadProc, start.get(), 0, nullptr);
    if (thread == nullptr) {
        const DWORD error = ::GetLastError();
        ::FreeLibrary(start->module);
        ::SetLastError(error);
        return nullptr;
    }
    start.release();  // now the worker's
    return thread;
}
