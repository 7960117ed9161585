#include "ScratchRegistry.h"

#include <atomic>
#include <gtest/gtest.h>

namespace {

std::wstring ScratchPath()
{
    static std::atomic<int> counter{0};
    return L"Software\\TallyraTests\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
}

// The real HKCU key that stands in for HKEY_CURRENT_USER, and its path.
win::UniqueKey scratchKey;
std::wstring scratchPath;

}  // namespace

ScratchRegistry::ScratchRegistry()
{
    scratchPath = ScratchPath();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, scratchPath.c_str());
    LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, scratchPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                       KEY_ALL_ACCESS, nullptr, scratchKey.put(), nullptr);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the scratch registry key");
    status = ::RegOverridePredefKey(HKEY_CURRENT_USER, scratchKey.get());
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("cannot redirect HKEY_CURRENT_USER");
}

ScratchRegistry::~ScratchRegistry()
{
    ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    scratchKey.reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, scratchPath.c_str());
}

bool KeyExists(const std::wstring& path)
{
    win::UniqueKey key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::optional<DWORD> ReadDword(const std::wstring& path, const wchar_t* name)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

DWORD ValueType(const std::wstring& path, const wchar_t* name)
{
    DWORD type = REG_NONE;
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr) !=
        ERROR_SUCCESS)
        return REG_NONE;
    return type;
}

void WriteRaw(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    win::UniqueKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                                nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

void WriteDword(const std::wstring& path, const wchar_t* name, DWORD value)
{
    WriteRaw(path, name, REG_DWORD, &value, sizeof(value));
}

void WriteString(const std::wstring& path, const wchar_t* name, const std::wstring& text, DWORD type)
{
    WriteRaw(path, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}
