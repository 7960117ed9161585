#pragma once
#include <string>
#include <windows.h>

// Writes to a console as UTF-16, to a file or pipe as UTF-8.
void WriteText(DWORD stdHandle, const std::wstring& text);
