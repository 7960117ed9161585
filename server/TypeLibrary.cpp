#include "TypeLibrary.h"

#include "server/ModulePath.h"
#include "server/TallyraLib.h"
#include "win/ComObject.h"

#include <mutex>

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

// Kept until the module unloads; released then, while OLE is still loaded.
class TypeInfoCache {
public:
    ~TypeInfoCache()
    {
        if (hashPage)
            hashPage->Release();
        if (dropTarget)
            dropTarget->Release();
    }

    ITypeInfo* Get(REFIID iid)
    {
        std::call_once(loaded, [this] { Load(); });
        return IsEqualIID(iid, IID_IHashPage) ? hashPage : dropTarget;
    }

private:
    void Load()
    {
        win::ComPtr<ITypeLib> library;
        if (FAILED(::LoadRegTypeLib(LIBID_TallyraLib, 1, 0, kLibraryLocale, library.GetAddressOf()))) {
            std::wstring path;
            if (FAILED(ThisModulePath(path)) || FAILED(LoadFromModule(path, library.GetAddressOf())))
                return;
        }
        library->GetTypeInfoOfGuid(IID_IHashPage, &hashPage);
        library->GetTypeInfoOfGuid(IID_IDropTargetImpl, &dropTarget);
    }

    std::once_flag loaded;
    ITypeInfo* hashPage = nullptr;
    ITypeInfo* dropTarget = nullptr;
};

TypeInfoCache cache;

}  // namespace

HRESULT RegisterModuleTypeLibrary(const std::wstring& modulePath)
{
    win::ComPtr<ITypeLib> library;
    HRESULT hr = LoadFromModule(modulePath, library.GetAddressOf());
    if (FAILED(hr))
        return hr;
    std::wstring path = modulePath;
    return ::RegisterTypeLib(library.Get(), path.data(), nullptr);
}

HRESULT UnregisterModuleTypeLibrary(const std::wstring& modulePath)
{
    win::ComPtr<ITypeLib> library;
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

ITypeInfo* HashPageTypeInfo()
{
    return cache.Get(IID_IHashPage);
}

ITypeInfo* DropTargetTypeInfo()
{
    return cache.Get(IID_IDropTargetImpl);
}
