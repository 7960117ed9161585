#pragma once
// A configuration's built module (the full one's Tallyra32.dll unless
// another is named) loaded into the test process, its exports at hand,
// shell data objects for files, as the shell hands them to an extension, and
// a drag source to drop them with.
#include "win/ComObject.h"
#include "win/UniqueHandle.h"

#include <objbase.h>
#include <oleidl.h>
#include <prsht.h>
#include <string>
#include <vector>

class TallyraDll {
public:
    explicit TallyraDll(const std::wstring& configuration = L"full");
    ~TallyraDll();
    TallyraDll(const TallyraDll&) = delete;
    TallyraDll& operator=(const TallyraDll&) = delete;

    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object) const;
    HRESULT CanUnloadNow() const;
    HRESULT Register() const;
    HRESULT Unregister() const;
    HRESULT Install(BOOL install, const wchar_t* commandLine) const;

    // An object of the class through its class factory.
    template <class Interface>
    win::ComPtr<Interface> Create(REFCLSID clsid, REFIID riid) const
    {
        win::ComPtr<IClassFactory> factory;
        win::ComPtr<Interface> object;
        if (SUCCEEDED(GetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()))))
            factory->CreateInstance(nullptr, riid, reinterpret_cast<void**>(object.GetAddressOf()));
        return object;
    }

    // bin/<configuration>/Tallyra32.dll (bin/compact/Tallyra.dll).
    static std::wstring Path(const std::wstring& configuration = L"full");

private:
    template <class Function>
    Function* Export(const char* name) const;
    win::UniqueModule module;
};

// The shell's own data object for these items (all in one folder).
win::ComPtr<IDataObject> ShellDataObject(const std::vector<std::wstring>& paths);

// A drag source that lets go at once, wherever the cursor is.
class DropAtOnce final : public IDropSource {
public:
    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override;
    IFACEMETHODIMP_(ULONG) AddRef() override { return 2; }
    IFACEMETHODIMP_(ULONG) Release() override { return 1; }
    IFACEMETHODIMP QueryContinueDrag(BOOL escape, DWORD) override;
    IFACEMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

// The pages in a modeless property sheet, which owns them from now on; the
// sheet's window (the first page's window exists then).
HWND ShowInModelessSheet(std::vector<HPROPSHEETPAGE> pages);
