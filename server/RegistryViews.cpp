#include "RegistryViews.h"

#include "win/UniqueHandle.h"

#include <optional>
#include <vector>
#include <wchar.h>
#include <windows.h>

namespace {

std::optional<std::wstring> InprocServerOfOtherView(const std::wstring& clsid)
{
    const std::wstring server = L"CLSID\\" + clsid + L"\\InprocServer32";
#ifdef _WIN64
    // The 32-bit view of HKEY_CLASSES_ROOT, under its documented alias.
    const std::wstring path = L"Wow6432Node\\" + server;
    const REGSAM view = 0;
#else
    BOOL wow64 = FALSE;
    if (!::IsWow64Process(::GetCurrentProcess(), &wow64) || !wow64)
        return std::nullopt;  // no other view on 32-bit Windows
    const std::wstring& path = server;
    const REGSAM view = KEY_WOW64_64KEY;
#endif
    win::UniqueKey key;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_QUERY_VALUE | view, key.put()) != ERROR_SUCCESS) {
        key.release();
        return std::nullopt;
    }
    DWORD bytes = 0;
    if (::RegGetValueW(key.get(), nullptr, nullptr, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr,
                       nullptr, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegGetValueW(key.get(), nullptr, nullptr, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr,
                       text.data(), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(text.data());
}

}  // namespace

bool OtherViewServes(const std::wstring& clsid, const std::wstring& ownModulePath)
{
    const std::optional<std::wstring> server = InprocServerOfOtherView(clsid);
    return server && !server->empty() && _wcsicmp(server->c_str(), ownModulePath.c_str()) != 0;
}
