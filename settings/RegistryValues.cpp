#include "RegistryValues.h"

#include <vector>

namespace registry {

win::UniqueKey OpenUserKey(const std::wstring& path, REGSAM access)
{
    win::UniqueKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, key.put()) != ERROR_SUCCESS)
        key.release();  // the slot may hold garbage after a failure
    return key;
}

win::UniqueKey CreateUserKey(const std::wstring& path, REGSAM access)
{
    win::UniqueKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                          key.put(), nullptr) != ERROR_SUCCESS)
        key.release();
    return key;
}

std::optional<DWORD> QueryDword(HKEY key, const wchar_t* name)
{
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_DWORD || size != sizeof(value))
        return std::nullopt;
    return value;
}

std::optional<std::wstring> QueryString(HKEY key, const wchar_t* name, size_t maxChars)
{
    std::vector<wchar_t> buffer(maxChars, L'\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(maxChars * sizeof(wchar_t));
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return std::nullopt;
    if (size % sizeof(wchar_t) != 0 || size < sizeof(wchar_t))
        return std::nullopt;
    const size_t chars = size / sizeof(wchar_t);
    if (buffer[chars - 1] != L'\0')
        return std::nullopt;
    return std::wstring(buffer.data());
}

bool SetDword(HKEY key, const wchar_t* name, DWORD value)
{
    return ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
           ERROR_SUCCESS;
}

bool SetString(HKEY key, const wchar_t* name, const std::wstring& text)
{
    const DWORD size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), size) == ERROR_SUCCESS;
}

bool ValueExists(HKEY key, const wchar_t* name)
{
    return ::RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace registry
