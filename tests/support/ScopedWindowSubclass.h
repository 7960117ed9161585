#pragma once
// A comctl32 subclass for as long as this object lives, for tests that watch
// what a window handles from above it. Declare it after whatever its
// procedure writes, so that it is installed last and removed first.
#include <windows.h>

#include <commctrl.h>

class ScopedWindowSubclass {
public:
    ScopedWindowSubclass(HWND window, SUBCLASSPROC procedure, void* data) : window(window), procedure(procedure)
    {
        ::SetWindowSubclass(window, procedure, 0, reinterpret_cast<DWORD_PTR>(data));
    }
    ~ScopedWindowSubclass()
    {
        if (::IsWindow(window))
            ::RemoveWindowSubclass(window, procedure, 0);
    }
    ScopedWindowSubclass(const ScopedWindowSubclass&) = delete;
    ScopedWindowSubclass& operator=(const ScopedWindowSubclass&) = delete;

private:
    HWND window;
    SUBCLASSPROC procedure;
};
