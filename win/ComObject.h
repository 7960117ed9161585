#pragma once
// COM objects without a template library. A class lists its interfaces in a
// QISearch table; ComObject<T> gives it its IUnknown as a stand-alone object,
// ComAggObject<T> as a part aggregated into an outer object. Every live object
// holds one lock on the module; nothing thrown ever leaves CreateComInstance.
#include "win/ExceptionBarrier.h"
#include "win/ModuleLock.h"

#include <windows.h>
#include <shlwapi.h>

#include <atomic>
#include <new>
#include <wrl/client.h>

namespace win {

using Microsoft::WRL::ComPtr;

// A class T for these templates derives from its interfaces (their IUnknown
// methods stay abstract) and provides
//   static const QITAB* Interfaces();  // ends with { nullptr, 0 }; entry 0 is its IUnknown
//   HRESULT FinalConstruct();          // run once before the first interface goes out
struct ComClassBase {
    HRESULT FinalConstruct() { return S_OK; }
};

// An object's reference count, starting with the creator's reference, and
// its lock on the module for as long as the object lives.
class LiveObject {
public:
    LiveObject() = default;
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;

    ULONG AddReference() { return ++references; }
    // True when the last reference went.
    bool ReleaseReference(ULONG& left) { return (left = --references) == 0; }

private:
    ModuleLockHold moduleLock;
    std::atomic<ULONG> references{1};
};

template <class T>
class ComObject final : public T {
public:
    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override
    {
        return ::QISearch(static_cast<T*>(this), T::Interfaces(), riid, object);
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return life.AddReference(); }
    IFACEMETHODIMP_(ULONG) Release() override
    {
        ULONG left = 0;
        if (life.ReleaseReference(left))
            delete this;
        return left;
    }

private:
    LiveObject life;
};

// The object's own interfaces, whose IUnknown calls go to the outer object.
template <class T>
class ComContained final : public T {
public:
    explicit ComContained(IUnknown* outer) : outer(outer) {}

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override { return outer->QueryInterface(riid, object); }
    IFACEMETHODIMP_(ULONG) AddRef() override { return outer->AddRef(); }
    IFACEMETHODIMP_(ULONG) Release() override { return outer->Release(); }

private:
    IUnknown* outer;  // not counted: the outer object owns us
};

// The inner, non-delegating IUnknown that the outer object holds.
template <class T>
class ComAggObject final : public IUnknown {
public:
    explicit ComAggObject(IUnknown* outer) : contained(outer) {}

    T& Object() { return contained; }

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown)) {
            *object = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return ::QISearch(static_cast<T*>(&contained), T::Interfaces(), riid, object);
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return life.AddReference(); }
    IFACEMETHODIMP_(ULONG) Release() override
    {
        ULONG left = 0;
        if (life.ReleaseReference(left))
            delete this;
        return left;
    }

private:
    LiveObject life;  // made first, gone last: the module stays locked around the object
    ComContained<T> contained;
};

namespace detail {

template <class Object, class Constructed>
HRESULT Finish(Object* object, Constructed& constructed, REFIID riid, void** result) noexcept
{
    HRESULT hr = GuardedHResult([&] { return constructed.FinalConstruct(); });
    if (SUCCEEDED(hr))
        hr = object->QueryInterface(riid, result);
    object->Release();  // the creator's reference: a failed object goes here
    return hr;
}

}  // namespace detail

// The class factory's creation: plain without an outer object, aggregated
// (IID_IUnknown only) with one.
template <class T>
HRESULT CreateComInstance(IUnknown* outer, REFIID riid, void** result) noexcept
{
    if (result == nullptr)
        return E_POINTER;
    *result = nullptr;
    if (outer != nullptr && !IsEqualIID(riid, IID_IUnknown))
        return CLASS_E_NOAGGREGATION;
    return GuardedHResult([&] {
        if (outer != nullptr) {
            auto* object = new ComAggObject<T>(outer);
            return detail::Finish(object, object->Object(), riid, result);
        }
        auto* object = new ComObject<T>();
        return detail::Finish(object, *object, riid, result);
    });
}

// A stand-alone object made directly (not through COM); throws on failure:
// std::bad_alloc, or HResultError with what FinalConstruct answered.
template <class T>
ComPtr<ComObject<T>> MakeComObject()
{
    // Not Attach: MinGW's ComPtr::Attach adds a reference, Microsoft's does
    // not. Taking the pointer adds one with both; the creator's goes.
    auto* created = new ComObject<T>();
    ComPtr<ComObject<T>> object(created);
    created->Release();
    const HRESULT hr = object->FinalConstruct();
    if (FAILED(hr))
        throw HResultError(hr);
    return object;
}

}  // namespace win
