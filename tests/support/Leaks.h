#pragma once
#include <windows.h>

// The highest of many new handles: slots that leaked handles keep push it
// up, whatever holes the table has. (Wine has no process handle count.)
ULONG_PTR HandleHighWater();
int ThreadsOfThisProcess();
