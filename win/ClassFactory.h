#pragma once
// The standard class factory: one per class per process, kept by the module's
// object map. It locks the module while anyone besides the map holds it.
#include "win/ComObject.h"

namespace win {

template <class T>
class ClassFactory final : public IClassFactory {
public:
    ClassFactory() = default;
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override
    {
        static const QITAB interfaces[] = {QITABENT(ClassFactory, IClassFactory), {nullptr, 0}};
        return ::QISearch(this, interfaces, riid, object);
    }
    IFACEMETHODIMP_(ULONG) AddRef() override
    {
        const ULONG count = ++references;
        if (count == 2)
            LockModule();
        return count;
    }
    IFACEMETHODIMP_(ULONG) Release() override
    {
        const ULONG left = --references;
        if (left == 1)
            UnlockModule();
        if (left == 0)
            delete this;
        return left;
    }

    IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override
    {
        return CreateComInstance<T>(outer, riid, object);
    }
    IFACEMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            LockModule();
        else
            UnlockModule();
        return S_OK;
    }

private:
    std::atomic<ULONG> references{1};  // the object map's
};

}  // namespace win
