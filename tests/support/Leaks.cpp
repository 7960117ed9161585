#include "Leaks.h"

#include "win/UniqueHandle.h"

#include <algorithm>
#include <tlhelp32.h>
#include <vector>

ULONG_PTR HandleHighWater()
{
    std::vector<win::UniqueFile> events;
    ULONG_PTR highest = 0;
    for (int i = 0; i < 2000; ++i) {
        events.emplace_back(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        highest = std::max(highest, reinterpret_cast<ULONG_PTR>(events.back().get()));
    }
    return highest;
}

int ThreadsOfThisProcess()
{
    win::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry))
        count += entry.th32OwnerProcessID == ::GetCurrentProcessId();
    return count;
}
