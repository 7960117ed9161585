#pragma once
#include <string>
#include <windows.h>

// The system's own text for a Win32 error code, without the line end and the
// final full stop; "error N" when the system has none.
std::wstring SystemErrorText(DWORD error);
