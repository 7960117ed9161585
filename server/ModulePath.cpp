#include "ModulePath.h"

#include "win/ThisModule.h"

HRESULT ThisModulePath(std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(ThisModule(), buffer, MAX_PATH);
    if (length == 0)
        return HRESULT_FROM_WIN32(::GetLastError());
    if (length >= MAX_PATH)
        return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    path.assign(buffer, length);
    return S_OK;
}
