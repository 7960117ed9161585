#include "TypeLibrary.h"

#include "win/ComObject.h"
#include "win/ProcessTermination.h"
#include "win/ThisModule.h"

#include <mutex>
#include <utility>
#include <vector>

namespace win {

namespace {

constexpr LCID kLibraryLocale = 0x409;

HRESULT LoadFromModule(const std::wstring& modulePath, ITypeLib** library)
{
    HRESULT hr = ::LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, library);
    if (FAILED(hr)) {
        std::wstring tlb = modulePath;
        const size_t dot = tlb.find_last_of(L'.');
        const size_t slash = tlb.find_last_of(L"\\/");
        if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash))
            tlb.resize(dot);
        hr = ::LoadTypeLibEx((tlb + L".tlb").c_str(), REGKIND_NONE, library);
    }
    return hr;
}

// One entry per interface asked for, loaded or not; released when the module
// unloads, while OLE is still loaded.
class TypeInfoCache {
public:
    ~TypeInfoCache()
    {
        if (ProcessIsTerminating())
            return;  // OLE may be gone already; the system reclaims it all
        for (auto& entry : entries) {
            if (entry.second)
                entry.second->Release();
        }
    }

    ITypeInfo* Get(REFGUID libid, REFIID iid)
    {
        std::lock_guard<std::mutex> lock(guard);
        for (const auto& entry : entries) {
            if (IsEqualIID(entry.first, iid))
                return entry.second;
        }
        ITypeInfo* info = Load(libid, iid);
        entries.emplace_back(iid, info);
        return info;
    }

private:
    // The module's own library first: the configurations share the library's
    // id, and the registered one may be another configuration's module.
    static ITypeInfo* Load(REFGUID libid, REFIID iid)
    {
        ComPtr<ITypeLib> library;
        std::wstring path;
        if ((FAILED(ThisModulePath(path)) || FAILED(LoadFromModule(path, library.GetAddressOf()))) &&
            FAILED(::LoadRegTypeLib(libid, 1, 0, kLibraryLocale, library.GetAddressOf())))
            return nullptr;
        ITypeInfo* info = nullptr;
        library->GetTypeInfoOfGuid(iid, &info);
        return info;
    }

    std::mutex guard;
    std::vector<std::pair<IID, ITypeInfo*>> entries;
};

TypeInfoCache cache;

}  // namespace

HRESULT RegisterModuleTypeLibrary(const std::wstring& modulePath)
{
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadFromModule(modulePath, library.GetAddressOf());
    if (FAILED(hr))
        return hr;
    std::wstring path = modulePath;
    return ::RegisterTypeLib(library.Get(), path.data(), nullptr);
}

HRESULT UnregisterModuleTypeLibrary(const std::wstring& modulePath)
{
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadFromModule(modulePath, library.GetAddressOf());
    if (FAILED(hr))
        return hr;
    TLIBATTR* attributes = nullptr;
    hr = library->GetLibAttr(&attributes);
    if (FAILED(hr))
        return hr;
    const GUID libid = attributes->guid;
    const SYSKIND kind = attributes->syskind;
    library->ReleaseTLibAttr(attributes);
    return ::UnRegisterTypeLib(libid, 1, 0, kLibraryLocale, kind);
}

ITypeInfo* CachedTypeInfo(REFGUID libid, REFIID iid)
{
    try {
        return cache.Get(libid, iid);
    } catch (...) {
        return nullptr;  // no memory for the entry: IDispatch answers that it cannot load
    }
}

}  // namespace win
