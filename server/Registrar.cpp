#include "Registrar.h"

#include "win/UniqueHandle.h"

namespace registry {

namespace {

HRESULT FromStatus(LSTATUS status)
{
    return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
}

HRESULT SetText(HKEY key, const wchar_t* name, const std::wstring& text)
{
    return FromStatus(::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))));
}

HRESULT RegisterKey(HKEY parent, const ScriptKey& node)
{
    if (node.name.empty() || node.name.find(L'\\') != std::wstring::npos)
        return E_INVALIDARG;
    if (node.removal == Removal::ForceRemove) {
        const LSTATUS status = ::RegDeleteTreeW(parent, node.name.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            return FromStatus(status);
        ::RegDeleteKeyW(parent, node.name.c_str());
    }
    win::UniqueKey key;
    HRESULT hr = FromStatus(::RegCreateKeyExW(parent, node.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                              KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr));
    if (FAILED(hr)) {
        key.release();
        return hr;
    }
    if (node.defaultText && FAILED(hr = SetText(key.get(), nullptr, *node.defaultText)))
        return hr;
    for (const NamedValue& value : node.values) {
        if (FAILED(hr = SetText(key.get(), value.name.c_str(), value.text)))
            return hr;
    }
    for (const ScriptKey& child : node.children) {
        if (FAILED(hr = RegisterKey(key.get(), child)))
            return hr;
    }
    return S_OK;
}

bool HasSubkeys(HKEY key)
{
    DWORD subkeys = 0;
    return ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys > 0;
}

HRESULT UnregisterKey(HKEY parent, const ScriptKey& node, SharedKeys shared)
{
    if (node.name.empty() || node.name.find(L'\\') != std::wstring::npos)
        return E_INVALIDARG;
    if (node.sharedByBothViews && shared == SharedKeys::Keep)
        return S_OK;
    win::UniqueKey key;
    const LSTATUS opened = ::RegOpenKeyExW(parent, node.name.c_str(), 0, KEY_READ | KEY_WRITE, key.put());
    if (opened == ERROR_FILE_NOT_FOUND) {
        key.release();
        return S_OK;  // nothing of ours is there
    }
    if (opened != ERROR_SUCCESS) {
        key.release();
        return FromStatus(opened);
    }
    HRESULT hr = S_OK;
    for (const ScriptKey& child : node.children) {
        if (FAILED(hr = UnregisterKey(key.get(), child, shared)))
            return hr;
    }
    for (const NamedValue& value : node.values) {
        const LSTATUS status = ::RegDeleteValueW(key.get(), value.name.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            return FromStatus(status);
    }
    if (node.removal == Removal::NoRemove || HasSubkeys(key.get()))
        return S_OK;
    key.reset();
    const LSTATUS status = ::RegDeleteKeyW(parent, node.name.c_str());
    return status == ERROR_FILE_NOT_FOUND ? S_OK : FromStatus(status);
}

}  // namespace

HRESULT RunForRegistration(const Script& script)
{
    for (const ScriptRoot& root : script) {
        for (const ScriptKey& key : root.keys) {
            const HRESULT hr = RegisterKey(root.root, key);
            if (FAILED(hr))
                return hr;
        }
    }
    return S_OK;
}

HRESULT RunForUnregistration(const Script& script, SharedKeys shared)
{
    for (const ScriptRoot& root : script) {
        for (const ScriptKey& key : root.keys) {
            const HRESULT hr = UnregisterKey(root.root, key, shared);
            if (FAILED(hr))
                return hr;
        }
    }
    return S_OK;
}

}  // namespace registry
