#include "TallyraDll.h"

#include "ChildProcess.h"

#include <shlobj.h>
#include <stdexcept>

TallyraDll::TallyraDll(const std::wstring& configuration) : module(::LoadLibraryW(Path(configuration).c_str()))
{
    if (!module)
        throw std::runtime_error("the module did not load");
}

TallyraDll::~TallyraDll() = default;

std::wstring TallyraDll::Path(const std::wstring& configuration)
{
    const wchar_t* module = configuration == L"compact" ? L"\\Tallyra.dll" : L"\\Tallyra32.dll";
    return BesideThisProgram(configuration + module);
}

template <class Function>
Function* TallyraDll::Export(const char* name) const
{
    auto* function = reinterpret_cast<Function*>(reinterpret_cast<void*>(::GetProcAddress(module.get(), name)));
    if (function == nullptr)
        throw std::runtime_error(std::string("no export ") + name);
    return function;
}

HRESULT TallyraDll::GetClassObject(REFCLSID clsid, REFIID riid, void** object) const
{
    return Export<HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**)>("DllGetClassObject")(clsid, riid, object);
}

HRESULT TallyraDll::CanUnloadNow() const
{
    return Export<HRESULT STDAPICALLTYPE()>("DllCanUnloadNow")();
}

HRESULT TallyraDll::Register() const
{
    return Export<HRESULT STDAPICALLTYPE()>("DllRegisterServer")();
}

HRESULT TallyraDll::Unregister() const
{
    return Export<HRESULT STDAPICALLTYPE()>("DllUnregisterServer")();
}

HRESULT TallyraDll::Install(BOOL install, const wchar_t* commandLine) const
{
    return Export<HRESULT STDAPICALLTYPE(BOOL, PCWSTR)>("DllInstall")(install, commandLine);
}

win::ComPtr<IDataObject> ShellDataObject(const std::vector<std::wstring>& paths)
{
    std::vector<PIDLIST_ABSOLUTE> items;
    std::vector<PCUITEMID_CHILD> children;
    win::ComPtr<IShellFolder> folder;
    win::ComPtr<IDataObject> data;
    for (const std::wstring& path : paths) {
        PIDLIST_ABSOLUTE item = nullptr;
        if (FAILED(::SHParseDisplayName(path.c_str(), nullptr, &item, 0, nullptr)))
            break;
        items.push_back(item);
        win::ComPtr<IShellFolder> parent;
        PCUITEMID_CHILD child = nullptr;
        if (FAILED(::SHBindToParent(item, IID_PPV_ARGS(parent.GetAddressOf()), &child)))
            break;
        if (!folder)
            folder = parent;
        children.push_back(child);
    }
    if (folder && children.size() == paths.size())
        folder->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(), IID_IDataObject, nullptr,
                              reinterpret_cast<void**>(data.GetAddressOf()));
    for (PIDLIST_ABSOLUTE item : items)
        ::CoTaskMemFree(item);
    return data;
}

IFACEMETHODIMP DropAtOnce::QueryInterface(REFIID riid, void** object)
{
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
        *object = this;
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

IFACEMETHODIMP DropAtOnce::QueryContinueDrag(BOOL escape, DWORD)
{
    return escape ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
}

HWND ShowInModelessSheet(std::vector<HPROPSHEETPAGE> pages)
{
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | PSH_NOAPPLYNOW;
    header.pszCaption = L"Tallyra test";
    header.nPages = static_cast<UINT>(pages.size());
    header.phpage = pages.data();
    return reinterpret_cast<HWND>(::PropertySheetW(&header));
}
