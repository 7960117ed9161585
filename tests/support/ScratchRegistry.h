#pragma once
// Redirects HKEY_CURRENT_USER of this process to a fresh scratch key for the
// life of the object, so that tests never see or change the user's settings.
// The redirection is process-wide: one object at a time.
#include "win/RegistryRedirect.h"
#include "win/UniqueHandle.h"

#include <memory>

#include <optional>
#include <vector>
#include <string>

class ScratchRegistry {
public:
    ScratchRegistry();
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    // The scratch key's path under the real HKEY_CURRENT_USER (for a child
    // process to redirect its own to).
    const std::wstring& Path() const { return path; }

private:
    std::wstring path;
    win::UniqueKey key;
    std::unique_ptr<win::PredefinedKeyRedirect> redirect;
};

// Redirects HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE of this process to two
// fresh scratch keys, for registration tests that must leave the prefix's
// real registration alone.
class ScratchMachineRegistry {
public:
    ScratchMachineRegistry();
    ~ScratchMachineRegistry();
    ScratchMachineRegistry(const ScratchMachineRegistry&) = delete;
    ScratchMachineRegistry& operator=(const ScratchMachineRegistry&) = delete;

private:
    std::wstring path;
    win::UniqueKey classes;
    win::UniqueKey machine;
    std::unique_ptr<win::PredefinedKeyRedirect> classesRedirect, machineRedirect;
};

// Every key and value below root\path, one line each, sorted.
std::vector<std::wstring> DumpTree(HKEY root, const std::wstring& path);
bool KeyExistsIn(HKEY root, const std::wstring& path);
// A REG_SZ value (nullptr name: the default value); nothing when missing.
std::optional<std::wstring> ReadText(HKEY root, const std::wstring& path, const wchar_t* name);

// Direct reads and writes under the (redirected) HKEY_CURRENT_USER.
bool KeyExists(const std::wstring& path);
std::optional<DWORD> ReadDword(const std::wstring& path, const wchar_t* name);
// The value's type, or REG_NONE when it is missing.
DWORD ValueType(const std::wstring& path, const wchar_t* name);
void WriteDword(const std::wstring& path, const wchar_t* name, DWORD value);
void WriteRaw(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size);
void WriteString(const std::wstring& path, const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ);
