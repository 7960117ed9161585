// The COM side of the real module: class objects, creation, aggregation,
// interface maps, IDispatch from the type library, the unload query.
#include "ui/typelib/TallyraLib.h"
#include "support/ScratchRegistry.h"
#include "support/TallyraDll.h"

#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>

namespace {

const CLSID kUnservedClsid = {0xB1883831, 0xF0D8, 0x4453, {0x82, 0x45, 0xEE, 0xAA, 0xD8, 0x66, 0xDD, 0x6E}};

// An outer object that only counts the calls its inner part delegates to it.
class CountingOuter final : public IUnknown {
public:
    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override
    {
        ++queries;
        if (IsEqualIID(riid, IID_IUnknown)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return ++references; }
    IFACEMETHODIMP_(ULONG) Release() override { return --references; }

    ULONG references = 1;
    int queries = 0;
};

class ComServer : public ::testing::Test {
protected:
    ComServer() { ::OleInitialize(nullptr); }
    ~ComServer() override { ::OleUninitialize(); }

    win::ComPtr<IClassFactory> Factory(REFCLSID clsid)
    {
        win::ComPtr<IClassFactory> factory;
        EXPECT_EQ(dll.GetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())), S_OK);
        return factory;
    }

    ScratchRegistry user;  // the settings the module reads and writes back when it unloads
    TallyraDll dll;
};

}  // namespace

TEST_F(ComServer, ClassObjectsForServedClassesOnly)
{
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(dll.GetClassObject(CLSID_HashPage, IID_IClassFactory, nullptr), E_POINTER);
    EXPECT_EQ(dll.GetClassObject(kUnservedClsid, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(dll.GetClassObject(CLSID_HashPage, IID_IDispatch, &object), E_NOINTERFACE);

    win::ComPtr<IClassFactory> first = Factory(CLSID_HashPage);
    win::ComPtr<IClassFactory> second = Factory(CLSID_HashPage);
    win::ComPtr<IClassFactory> other = Factory(CLSID_DropTargetImpl);
    EXPECT_EQ(first.Get(), second.Get());  // one factory per class per process
    EXPECT_NE(first.Get(), other.Get());
    win::ComPtr<IUnknown> unknown;
    EXPECT_EQ(dll.GetClassObject(CLSID_DropTargetImpl, IID_IUnknown, reinterpret_cast<void**>(unknown.GetAddressOf())),
              S_OK);
}

TEST_F(ComServer, EveryMappedInterfaceAnswersAndOthersDoNot)
{
    struct Expectation {
        const CLSID* clsid;
        std::vector<const IID*> served;
        std::vector<const IID*> refused;
    };
    const Expectation expectations[] = {
        {&CLSID_HashPage,
         {&IID_IUnknown, &IID_IDispatch, &IID_IHashPage, &IID_IShellExtInit, &IID_IShellPropSheetExt},
         {&IID_IDropTarget, &IID_IDropTargetImpl, &IID_IClassFactory, &IID_IContextMenu}},
        {&CLSID_DropTargetImpl,
         {&IID_IUnknown, &IID_IDispatch, &IID_IDropTargetImpl, &IID_IDropTarget},
         {&IID_IHashPage, &IID_IShellExtInit, &IID_IShellPropSheetExt}},
    };
    for (const Expectation& expectation : expectations) {
        win::ComPtr<IUnknown> object = dll.Create<IUnknown>(*expectation.clsid, IID_IUnknown);
        ASSERT_TRUE(object);
        for (const IID* iid : expectation.served) {
            win::ComPtr<IUnknown> answer;
            EXPECT_EQ(object->QueryInterface(*iid, reinterpret_cast<void**>(answer.GetAddressOf())), S_OK);
            // Every interface leads back to the same identity.
            win::ComPtr<IUnknown> identity;
            ASSERT_EQ(answer->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf())), S_OK);
            EXPECT_EQ(identity.Get(), object.Get());
        }
        for (const IID* iid : expectation.refused) {
            void* answer = reinterpret_cast<void*>(1);
            EXPECT_EQ(object->QueryInterface(*iid, &answer), E_NOINTERFACE);
            EXPECT_EQ(answer, nullptr);
        }
        EXPECT_EQ(object->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
    }
}

TEST_F(ComServer, AggregationDelegatesToTheOuterObjectAndAsksForIUnknownOnly)
{
    for (const CLSID* clsid : {&CLSID_HashPage, &CLSID_DropTargetImpl}) {
        CountingOuter outer;
        win::ComPtr<IClassFactory> factory = Factory(*clsid);
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(factory->CreateInstance(&outer, IID_IDispatch, &object), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(object, nullptr);

        IUnknown* inner = nullptr;
        ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)), S_OK);
        IDispatch* dispatch = nullptr;
        ASSERT_EQ(inner->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
        EXPECT_EQ(outer.references, 2u);  // the part's AddRef went to the outer object
        win::ComPtr<IUnknown> viaPart;
        dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(viaPart.GetAddressOf()));
        EXPECT_EQ(viaPart.Get(), &outer);  // and so does its QueryInterface
        EXPECT_EQ(outer.queries, 1);
        viaPart.Reset();
        dispatch->Release();
        EXPECT_EQ(outer.references, 1u);
        EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
        EXPECT_EQ(inner->Release(), 0u);
    }
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

TEST_F(ComServer, DispatchIsAnsweredFromTheTypeLibrary)
{
    // The registered library (same id) is the reduced module's, which lacks
    // the drop target: the module answers from its own.
    ScratchMachineRegistry machine;
    ASSERT_EQ(TallyraDll(L"reduced").Register(), S_OK);
    win::ComPtr<IDispatch> page = dll.Create<IDispatch>(CLSID_HashPage, IID_IDispatch);
    ASSERT_TRUE(page);
    UINT count = 0;
    EXPECT_EQ(page->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    win::ComPtr<ITypeInfo> info;
    EXPECT_EQ(page->GetTypeInfo(1, 0, info.GetAddressOf()), DISP_E_BADINDEX);
    ASSERT_EQ(page->GetTypeInfo(0, 0, info.GetAddressOf()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, IID_IHashPage));
    info->ReleaseTypeAttr(attributes);

    win::ComPtr<IDispatch> target = dll.Create<IDispatch>(CLSID_DropTargetImpl, IID_IDispatch);
    ASSERT_TRUE(target);
    wchar_t name[] = L"SetWindowHandle";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    EXPECT_EQ(target->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 0x60020000);
    wchar_t unknown[] = L"NoSuchMethod";
    names[0] = unknown;
    EXPECT_EQ(target->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
}

TEST_F(ComServer, LocksAndObjectsKeepTheModuleLoaded)
{
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
    win::ComPtr<IClassFactory> factory = Factory(CLSID_HashPage);
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);  // a factory held by someone besides the map
    factory->LockServer(TRUE);
    factory.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
    Factory(CLSID_HashPage)->LockServer(FALSE);
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);

    win::ComPtr<IUnknown> object = dll.Create<IUnknown>(CLSID_DropTargetImpl, IID_IUnknown);
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
    object.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}
