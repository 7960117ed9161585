#pragma once
// Redirects HKEY_CURRENT_USER of this process to a fresh scratch key for the
// life of the object, so that tests never see or change the user's settings.
#include "win/UniqueHandle.h"

#include <optional>
#include <string>

class ScratchRegistry {
public:
    ScratchRegistry();
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;
};

// Direct reads and writes under the (redirected) HKEY_CURRENT_USER.
bool KeyExists(const std::wstring& path);
std::optional<DWORD> ReadDword(const std::wstring& path, const wchar_t* name);
// The value's type, or REG_NONE when it is missing.
DWORD ValueType(const std::wstring& path, const wchar_t* name);
void WriteDword(const std::wstring& path, const wchar_t* name, DWORD value);
void WriteRaw(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size);
void WriteString(const std::wstring& path, const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ);
