#include "HangWatchdog.h"

#include <cstdio>

HangWatchdog::HangWatchdog(std::string step, DWORD limitMs) : done(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    watcher = std::thread([this, step = std::move(step), limitMs] {
        if (::WaitForSingleObject(done, limitMs) != WAIT_OBJECT_0) {
            std::fprintf(stderr, "hung: %s\n", step.c_str());
            std::fflush(stderr);
            ::TerminateProcess(::GetCurrentProcess(), 3);
        }
    });
}

HangWatchdog::~HangWatchdog()
{
    ::SetEvent(done);
    watcher.join();
    ::CloseHandle(done);
}
