#pragma once
#include <windows.h>

// The system calls a run makes to read its file and to learn how many
// processors it may use; tests put a failing or slow read, another size or
// another number of processors in their place.
struct JobSystemCalls {
    BOOL(WINAPI* readFile)(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped) =
        &::ReadFile;
    DWORD(WINAPI* getFileSize)(HANDLE file, LPDWORD high) = &::GetFileSize;
    // One lane per processor that the process may run on (a process held to
    // one processor has no lanes).
    BOOL(WINAPI* getProcessAffinityMask)(HANDLE process, PDWORD_PTR processMask, PDWORD_PTR systemMask) =
        &::GetProcessAffinityMask;
};
