#include "ThisModule.h"

// The linker's symbol for the first byte of the image: the module handle of
// whichever binary this object ends up in, without a DllMain to record it.
extern "C" IMAGE_DOS_HEADER __ImageBase;

HINSTANCE ThisModule()
{
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

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
