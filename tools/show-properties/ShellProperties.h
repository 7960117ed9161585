#pragma once
// Opens the Properties dialog of a file (or of several items) through the shell, as a user's context
// menu does, and reads what the hash page shows. Used by the main command
// and by the end-to-end tests.
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

namespace shellprops {

// Runs the shell's "properties" verb on the items (files or folders of one
// folder) on this thread (the sheet is modal: this returns when it closes) while watch(sheet) runs on a thread
// of its own with the sheet's window once it appears (null after a timeout).
HRESULT ShowProperties(const std::vector<std::wstring>& paths, const std::function<void(HWND sheet)>& watch,
                       DWORD appearTimeoutMs = 30000);

// Brings the tab with this caption to the front; its page window, or null.
HWND SelectPage(HWND sheet, const std::wstring& caption);

// Waits until the page's list has rows, the page is disabled or its progress
// controls are hidden (a run over no algorithm), or the compact page's run
// has ended (its digest edits show a text), or the files page or checksum
// file's page has ended its run (its stop button disabled); false on timeout.
bool WaitForResult(HWND page, DWORD timeoutMs);

// algorithm and digest; on the files page file and digest, on a checksum
// file's page file and result.
using Row = std::pair<std::wstring, std::wstring>;
// The list's rows, or the compact page's three digest edits (MD5, SHA-1, CRC32).
std::vector<Row> ReadRows(HWND page);

// The window as it is on the screen, as a 24-bit BMP file.
bool SaveScreenshot(HWND window, const std::wstring& bmpPath);

void CloseSheet(HWND sheet);

}  // namespace shellprops
