#pragma once
#include <string>
#include <windows.h>

// The module's full path; HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER) when
// it fills the whole MAX_PATH buffer.
HRESULT ThisModulePath(std::wstring& path);
