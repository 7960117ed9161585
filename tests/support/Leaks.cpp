#include "Leaks.h"

#include "win/UniqueHandle.h"

#include <algorithm>
#include <tlhelp32.h>
#include <vector>

namespace {

// The start address that a thread was created with (ntdll's
// ThreadQuerySetWin32StartAddress class), or null.
void* StartAddress(DWORD threadId)
{
    using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
    constexpr int kWin32StartAddress = 9;
    win::UniqueThread thread(::OpenThread(THREAD_QUERY_INFORMATION, FALSE, threadId));
    void* start = nullptr;
    if (!thread || query == nullptr || query(thread.get(), kWin32StartAddress, &start, sizeof(start), nullptr) != 0)
        return nullptr;
    return start;
}

bool StartedInNtdll(DWORD threadId)
{
    HMODULE module = nullptr;
    void* start = StartAddress(threadId);
    return start != nullptr &&
           ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                static_cast<LPCWSTR>(start), &module) &&
           module == ::GetModuleHandleW(L"ntdll.dll");
}

}  // namespace

ULONG_PTR HandleHighWater()
{
    std::vector<win::UniqueEvent> events;
    ULONG_PTR highest = 0;
    for (int i = 0; i < 2000; ++i) {
        events.emplace_back(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        highest = std::max(highest, reinterpret_cast<ULONG_PTR>(events.back().get()));
    }
    return highest;
}

int ThreadsOfThisProcess()
{
    win::UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry))
        count += entry.th32OwnerProcessID == ::GetCurrentProcessId() && !StartedInNtdll(entry.th32ThreadID);
    return count;
}

std::size_t HeapBytesInUse()
{
    std::vector<HANDLE> heaps(64);
    DWORD count = ::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (count > heaps.size()) {
        heaps.resize(count + 16);
        count = ::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    }
    heaps.resize(std::min<std::size_t>(count, heaps.size()));
    std::size_t total = 0;
    for (HANDLE heap : heaps) {
        if (!::HeapLock(heap))
            continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (::HeapWalk(heap, &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData;
        }
        ::HeapUnlock(heap);
    }
    return total;
}
