#include "ScratchRegistry.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <stdexcept>
#include <gtest/gtest.h>

namespace {

// A key of its own for every scratch object alive in this process.
std::wstring ScratchPath(const wchar_t* kind, const void* owner)
{
    return L"Software\\TallyraTests\\" + std::wstring(kind) + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(reinterpret_cast<std::uintptr_t>(owner));
}

}  // namespace

ScratchRegistry::ScratchRegistry() : path(ScratchPath(L"user-", this))
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                       KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the scratch registry key");
    redirect = std::make_unique<win::PredefinedKeyRedirect>(HKEY_CURRENT_USER, key.get());
    if (!redirect->Active())
        throw std::runtime_error("cannot redirect HKEY_CURRENT_USER");
}

ScratchRegistry::~ScratchRegistry()
{
    redirect.reset();
    key.reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
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

ScratchMachineRegistry::ScratchMachineRegistry() : path(ScratchPath(L"machine-", this))
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, (path + L"\\classes").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          classes.put(), nullptr) != ERROR_SUCCESS ||
        ::RegCreateKeyExW(HKEY_CURRENT_USER, (path + L"\\machine").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          machine.put(), nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the scratch keys");
    classesRedirect = std::make_unique<win::PredefinedKeyRedirect>(HKEY_CLASSES_ROOT, classes.get());
    machineRedirect = std::make_unique<win::PredefinedKeyRedirect>(HKEY_LOCAL_MACHINE, machine.get());
    if (!classesRedirect->Active() || !machineRedirect->Active())
        throw std::runtime_error("cannot redirect HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE");
}

ScratchMachineRegistry::~ScratchMachineRegistry()
{
    classesRedirect.reset();
    machineRedirect.reset();
    classes.reset();
    machine.reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
}

namespace {

// A value as text: strings as they are, anything else as its type and bytes.
std::wstring ValueText(DWORD type, const std::vector<BYTE>& data, DWORD size)
{
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0')
            text.pop_back();
        return text;
    }
    std::wstring text = L"<type " + std::to_wstring(type) + L">";
    for (DWORD i = 0; i < size; ++i) {
        wchar_t hex[4];
        swprintf(hex, 4, L" %02x", data[i]);
        text += hex;
    }
    return text;
}

void DumpInto(HKEY key, const std::wstring& path, std::vector<std::wstring>& lines)
{
    lines.push_back(path);
    DWORD subkeys = 0, longestSubkey = 0, values = 0, longestName = 0, longestData = 0;
    if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values, &longestName,
                           &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    std::vector<wchar_t> name(std::max(longestName, longestSubkey) + 2);
    std::vector<BYTE> data(longestData + 2);
    for (DWORD index = 0; index < values; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size()), type = 0, size = static_cast<DWORD>(data.size());
        if (::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            continue;
        lines.push_back(path + L" | " + (nameLength ? std::wstring(name.data(), nameLength) : L"@") + L" = " +
                        ValueText(type, data, size));
    }
    for (DWORD index = 0; index < subkeys; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (::RegEnumKeyExW(key, index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            continue;
        const std::wstring child(name.data(), nameLength);
        win::UniqueKey opened;
        if (::RegOpenKeyExW(key, child.c_str(), 0, KEY_READ, opened.put()) == ERROR_SUCCESS)
            DumpInto(opened.get(), path.empty() ? child : path + L"\\" + child, lines);
    }
}

}  // namespace

std::vector<std::wstring> DumpTree(HKEY root, const std::wstring& path)
{
    std::vector<std::wstring> lines;
    win::UniqueKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS)
        DumpInto(key.get(), path, lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

bool KeyExistsIn(HKEY root, const std::wstring& path)
{
    win::UniqueKey key;
    return ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::optional<std::wstring> ReadText(HKEY root, const std::wstring& path, const wchar_t* name)
{
    wchar_t buffer[1024] = {};
    DWORD size = sizeof(buffer);
    if (::RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}
