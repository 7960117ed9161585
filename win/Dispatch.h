#pragma once
// IDispatch of a dual interface, answered from its type information.
#include <oaidl.h>
#include <oleauto.h>
#include <windows.h>

namespace win {

// TypeInfo() gives the interface's type information (not counted), or null
// when it cannot be loaded.
template <class Interface, ITypeInfo* (*TypeInfo)()>
class DispatchImpl : public Interface {
public:
    IFACEMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (count == nullptr)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }

    IFACEMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (info == nullptr)
            return E_POINTER;
        *info = nullptr;
        if (index != 0)
            return DISP_E_BADINDEX;
        ITypeInfo* loaded = TypeInfo();
        if (loaded == nullptr)
            return TYPE_E_CANTLOADLIBRARY;
        loaded->AddRef();
        *info = loaded;
        return S_OK;
    }

    IFACEMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (!IsEqualIID(riid, IID_NULL))
            return DISP_E_UNKNOWNINTERFACE;
        ITypeInfo* loaded = TypeInfo();
        return loaded ? ::DispGetIDsOfNames(loaded, names, count, ids) : TYPE_E_CANTLOADLIBRARY;
    }

    IFACEMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                          EXCEPINFO* exception, UINT* badArgument) override
    {
        if (!IsEqualIID(riid, IID_NULL))
            return DISP_E_UNKNOWNINTERFACE;
        ITypeInfo* loaded = TypeInfo();
        if (loaded == nullptr)
            return TYPE_E_CANTLOADLIBRARY;
        return ::DispInvoke(static_cast<Interface*>(this), loaded, id, flags, parameters, result, exception,
                            badArgument);
    }
};

}  // namespace win
