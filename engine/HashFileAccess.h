#pragma once
#include <windows.h>

// The system calls a run makes; tests put a failing or slow read, or a
// refused post, in their place.
struct HashFileAccess {
    BOOL(WINAPI* readFile)(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped);
    DWORD(WINAPI* getFileSize)(HANDLE file, LPDWORD high);
    BOOL(WINAPI* postMessage)(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = &::PostMessageW;
};
