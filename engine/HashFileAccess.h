#pragma once
#include <windows.h>

// The system calls a run makes; tests put a failing or slow read, a refused
// post, or another number of processors in their place.
struct HashFileAccess {
    BOOL(WINAPI* readFile)(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped);
    DWORD(WINAPI* getFileSize)(HANDLE file, LPDWORD high);
    BOOL(WINAPI* postMessage)(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = &::PostMessageW;
    // One lane per processor that the process may run on (a process held to
    // one processor has no lanes).
    BOOL(WINAPI* getProcessAffinityMask)(HANDLE process, PDWORD_PTR processMask, PDWORD_PTR systemMask) =
        &::GetProcessAffinityMask;
};
