#pragma once
// A hang bound for a step that must return: unless the object is destroyed
// within the limit, the process reports the step on stderr and ends with
// exit code 3 (a hang, not a timing check: the limit is generous).
#include <windows.h>

#include <string>
#include <thread>

class HangWatchdog {
public:
    HangWatchdog(std::string step, DWORD limitMs = 60000);
    ~HangWatchdog();
    HangWatchdog(const HangWatchdog&) = delete;
    HangWatchdog& operator=(const HangWatchdog&) = delete;

private:
    HANDLE done;
    std::thread watcher;
};
