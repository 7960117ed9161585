#pragma once
// The module (DLL or program) these sources are linked into.
#include <string>
#include <windows.h>

HINSTANCE ThisModule();

// The module's full path; HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER) when
// it fills the whole MAX_PATH buffer, since a path cut off there names
// another file or folder.
HRESULT ThisModulePath(std::wstring& path);
