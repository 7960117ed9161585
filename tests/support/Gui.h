#pragma once
// Helpers for tests of real windows: pumping messages, driving the mouse,
// counting GDI objects and windows, capturing what a window paints.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Dispatches this thread's messages until the condition holds; false when it
// still does not after a generous safety limit (a hang, not a timing check).
bool PumpUntil(const std::function<bool()>& condition, DWORD limitMs = 15000);
// Dispatches what is queued now.
void PumpPending();

// A window's text: a caption, a control's label, an edit's contents.
std::wstring WindowText(HWND window);
// The rows of a report list view: the first column's text to the second's.
std::map<std::wstring, std::wstring> ListRows(HWND list);

// Moves the mouse (as input, so windows see WM_MOUSEMOVE) to a screen point.
void MoveMouseTo(POINT screen);

// GDI objects of this process (GetGuiResources, or Wine's handle table
// where that is a stub).
std::size_t CountGdiObjects();
// Windows of this thread, top-level and children.
std::size_t CountThreadWindows();

// Pixels of a window or of the screen.
struct ScreenCapture {
    RECT area = {};
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top-down
};
// What a window paints into its client area (WM_PRINTCLIENT), in client
// coordinates: independent of what else covers it on the screen.
ScreenCapture CaptureClient(HWND window);
// Writes a 32-bit BMP into the screenshots folder beside the test program;
// returns its path.
std::wstring SaveScreenshot(const ScreenCapture& capture, const std::wstring& name);
