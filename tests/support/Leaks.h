#pragma once
#include <cstddef>
#include <windows.h>

// The highest of many new handles: slots that leaked handles keep push it
// up, whatever holes the table has. (Wine has no process handle count.)
ULONG_PTR HandleHighWater();
// Threads of this process but the system thread pool's: the pool keeps its
// idle workers for a while and ends them itself (those started in ntdll).
int ThreadsOfThisProcess();
// Bytes allocated and not freed on every heap of the process.
std::size_t HeapBytesInUse();
