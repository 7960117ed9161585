// DllRegisterServer and DllUnregisterServer of the real module, with
// HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE redirected to scratch keys.
#include "ui/typelib/TallyraLib.h"
#include "support/ScratchRegistry.h"
#include "support/TallyraDll.h"
#include "support/Text.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

const std::wstring kHashPage = L"{8A56567E-A333-4843-B6E1-C3A262E41D8C}";
const std::wstring kDropTarget = L"{E7435935-AAEF-4CE2-AD7C-66D46C192A0F}";
const std::wstring kAppId = L"{0A3C1C8E-5829-4CFD-B1CC-475DB010B883}";
const std::wstring kLibId = L"{1F9B20F0-0AA5-4EEB-B5ED-FADA0C41D073}";
const std::wstring kApproved = L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

struct Row {
    HKEY root;
    std::wstring key;
    const wchar_t* value;  // nullptr: the default value
    std::wstring text;
};

std::vector<Row> ClassRows(const std::wstring& name, const std::wstring& clsid, const std::wstring& module)
{
    const std::wstring description = name + L" Class";
    const std::wstring progId = L"Tallyra." + name + L".1";
    const std::wstring independent = L"Tallyra." + name;
    const std::wstring clsidKey = L"CLSID\\" + clsid;
    return {
        {HKEY_CLASSES_ROOT, progId, nullptr, description},
        {HKEY_CLASSES_ROOT, progId + L"\\CLSID", nullptr, clsid},
        {HKEY_CLASSES_ROOT, independent, nullptr, description},
        {HKEY_CLASSES_ROOT, independent + L"\\CLSID", nullptr, clsid},
        {HKEY_CLASSES_ROOT, independent + L"\\CurVer", nullptr, progId},
        {HKEY_CLASSES_ROOT, clsidKey, nullptr, description},
        {HKEY_CLASSES_ROOT, clsidKey, L"AppID", kAppId},
        {HKEY_CLASSES_ROOT, clsidKey + L"\\ProgID", nullptr, progId},
        {HKEY_CLASSES_ROOT, clsidKey + L"\\VersionIndependentProgID", nullptr, independent},
        {HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", nullptr, module},
        {HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {HKEY_CLASSES_ROOT, clsidKey + L"\\TypeLib", nullptr, kLibId},
    };
}

// Every row of the scripts of a module with a drop target (the full
// configuration's) or without one, with the handler key named "Tallyra" and
// the approved list, or not (the compact configuration's: its handler key,
// named by the class id, has no value).
std::vector<Row> AllRows(const std::wstring& module = TallyraDll::Path(), bool dropTarget = true,
                         bool namedHandler = true, bool folderHandler = true)
{
    std::vector<Row> rows = {
        {HKEY_CLASSES_ROOT, L"AppID\\" + kAppId, nullptr, L"Tallyra"},
        {HKEY_CLASSES_ROOT, L"AppID\\Tallyra.DLL", L"AppID", kAppId},
    };
    if (namedHandler) {
        rows.push_back({HKEY_LOCAL_MACHINE, kApproved, L"{B1883831-F0D8-4453-8245-EEAAD866DD6E}", L"Tallyra Context Menu"});
        rows.push_back({HKEY_LOCAL_MACHINE, kApproved, kHashPage.c_str(), L"Tallyra Property Page"});
        rows.push_back({HKEY_CLASSES_ROOT, L"*\\shellex\\PropertySheetHandlers\\Tallyra", nullptr, kHashPage});
    }
    if (folderHandler)
        rows.push_back({HKEY_CLASSES_ROOT, L"Directory\\shellex\\PropertySheetHandlers\\Tallyra", nullptr, kHashPage});
    for (const auto& [name, clsid] : {std::pair{L"HashPage", kHashPage}, std::pair{L"DropTargetImpl", kDropTarget}}) {
        if (clsid == kDropTarget && !dropTarget)
            continue;
        const std::vector<Row> rowsOfClass = ClassRows(name, clsid, module);
        rows.insert(rows.end(), rowsOfClass.begin(), rowsOfClass.end());
    }
    return rows;
}

class Registration : public ::testing::Test {
protected:
    ScratchMachineRegistry scratch;
    TallyraDll dll;
};

// A configuration's module: with the drop target (script 123, a class of the
// object map and of the type library) or without.
struct Served {
    const wchar_t* configuration;
    bool dropTarget;
    bool namedHandler;
    bool folderHandler;  // the files page's configuration: for folders too
};

class RegistrationOfConfiguration : public ::testing::TestWithParam<Served> {
protected:
    ScratchMachineRegistry scratch;
    TallyraDll dll{GetParam().configuration};
};

}  // namespace

TEST_P(RegistrationOfConfiguration, EveryRowOfItsScriptsIsWrittenAndItsClassesServed)
{
    const std::wstring module = TallyraDll::Path(GetParam().configuration);
    const bool dropTarget = GetParam().dropTarget;
    const bool namedHandler = GetParam().namedHandler;
    const std::wstring folderKey = L"Directory\\shellex\\PropertySheetHandlers\\Tallyra";
    ASSERT_EQ(dll.Register(), S_OK);
    EXPECT_EQ(KeyExistsIn(HKEY_CLASSES_ROOT, folderKey), GetParam().folderHandler);
    for (const Row& row : AllRows(module, dropTarget, namedHandler, GetParam().folderHandler)) {
        EXPECT_EQ(ReadText(row.root, row.key, row.value), std::optional<std::wstring>(row.text))
            << Narrow(row.key) << " " << (row.value ? Narrow(row.value) : "(default)");
    }
    EXPECT_TRUE(KeyExistsIn(HKEY_CLASSES_ROOT, L"CLSID\\" + kHashPage + L"\\Programmable"));
    EXPECT_EQ(KeyExistsIn(HKEY_CLASSES_ROOT, L"CLSID\\" + kDropTarget), dropTarget);
    EXPECT_EQ(KeyExistsIn(HKEY_CLASSES_ROOT, L"Tallyra.DropTargetImpl.1"), dropTarget);
    EXPECT_FALSE(KeyExistsIn(HKEY_CLASSES_ROOT, L"CLSID\\{B1883831-F0D8-4453-8245-EEAAD866DD6E}"));
    EXPECT_FALSE(KeyExistsIn(HKEY_CLASSES_ROOT, L"*\\shellex\\PropertySheetHandlers\\TallyraDropTarget"));
    const std::wstring byClassId = L"*\\shellex\\PropertySheetHandlers\\" + kHashPage;
    EXPECT_EQ(KeyExistsIn(HKEY_CLASSES_ROOT, byClassId), !namedHandler);
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, byClassId, nullptr), std::nullopt);
    EXPECT_EQ(KeyExistsIn(HKEY_CLASSES_ROOT, L"*\\shellex\\PropertySheetHandlers\\Tallyra"), namedHandler);
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kApproved, kHashPage.c_str()).has_value(), namedHandler);
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L"TypeLib\\" + kLibId + L"\\1.0", nullptr),
              std::optional<std::wstring>(L"Tallyra 1.0 Type Library"));
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L"TypeLib\\" + kLibId + L"\\1.0\\409\\win64", nullptr),
              std::optional<std::wstring>(module));

    // The type library and the object map hold the drop target where the scripts do.
    win::ComPtr<ITypeLib> library;
    ASSERT_EQ(::LoadTypeLibEx(module.c_str(), REGKIND_NONE, library.GetAddressOf()), S_OK);
    for (const GUID* guid : {&CLSID_HashPage, &IID_IHashPage, &CLSID_DropTargetImpl, &IID_IDropTargetImpl}) {
        win::ComPtr<ITypeInfo> info;
        const bool ofDropTarget = guid == &CLSID_DropTargetImpl || guid == &IID_IDropTargetImpl;
        EXPECT_EQ(SUCCEEDED(library->GetTypeInfoOfGuid(*guid, info.GetAddressOf())), !ofDropTarget || dropTarget);
    }
    win::ComPtr<IClassFactory> factory;
    EXPECT_EQ(dll.GetClassObject(CLSID_DropTargetImpl, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())),
              dropTarget ? S_OK : CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(dll.Install(TRUE, L"anything"), S_OK);

    // Unregistered, nothing of ours is left.
    ASSERT_EQ(dll.Unregister(), S_OK);
    for (const std::wstring& key : std::vector<std::wstring>{L"CLSID\\" + kHashPage, L"Tallyra.HashPage", L"Tallyra.HashPage.1",
                                    L"AppID\\" + kAppId, L"AppID\\Tallyra.DLL", L"TypeLib\\" + kLibId, byClassId,
                                    std::wstring(L"*\\shellex\\PropertySheetHandlers\\Tallyra"), folderKey})
        EXPECT_FALSE(KeyExistsIn(HKEY_CLASSES_ROOT, key)) << Narrow(key);
    EXPECT_FALSE(ReadText(HKEY_LOCAL_MACHINE, kApproved, kHashPage.c_str()).has_value());
}

INSTANTIATE_TEST_SUITE_P(Configurations, RegistrationOfConfiguration,
                         ::testing::Values(Served{L"full", true, true, true}, Served{L"reduced", false, true, false},
                                           Served{L"compact", false, false, false}),
                         [](const ::testing::TestParamInfo<Served>& info) { return Narrow(info.param.configuration); });

TEST_F(Registration, RegisteringTwiceRebuildsTheClassKeysFromScratch)
{
    ASSERT_EQ(dll.Register(), S_OK);
    const std::vector<std::wstring> classes = DumpTree(HKEY_CLASSES_ROOT, L"CLSID");
    const std::vector<std::wstring> machine = DumpTree(HKEY_LOCAL_MACHINE, L"Software");
    // Something left in a class key by hand goes with the rebuild.
    win::UniqueKey stray;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, (L"CLSID\\" + kHashPage + L"\\Stray").c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, stray.put(), nullptr),
              ERROR_SUCCESS);
    stray.reset();
    ASSERT_EQ(dll.Register(), S_OK);
    EXPECT_EQ(DumpTree(HKEY_CLASSES_ROOT, L"CLSID"), classes);
    EXPECT_EQ(DumpTree(HKEY_LOCAL_MACHINE, L"Software"), machine);
}

TEST_F(Registration, UnregisteringRemovesOnlyOurKeysAndKeepsForeignOnes)
{
    // Keys and values of other software in the shared places.
    auto plant = [](HKEY root, const std::wstring& path) {
        win::UniqueKey key;
        ASSERT_EQ(::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
    };
    ASSERT_EQ(dll.Register(), S_OK);
    plant(HKEY_CLASSES_ROOT, L"Tallyra.HashPage\\ForeignSubkey");
    plant(HKEY_CLASSES_ROOT, L"CLSID\\" + kDropTarget + L"\\ForeignSubkey");
    plant(HKEY_CLASSES_ROOT, L"*\\shellex\\PropertySheetHandlers\\SomeoneElse");
    plant(HKEY_CLASSES_ROOT, L"AppID\\{00000000-1111-2222-3333-444444444444}");
    win::UniqueKey approved;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kApproved.c_str(), 0, KEY_ALL_ACCESS, approved.put()), ERROR_SUCCESS);
    const wchar_t other[] = L"Other Extension";
    ::RegSetValueExW(approved.get(), L"{12345678-1234-1234-1234-123456789012}", 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(other), sizeof(other));
    approved.reset();

    ASSERT_EQ(dll.Unregister(), S_OK);

    // Ours is gone ...
    for (const Row& row : AllRows()) {
        if (row.key == L"Tallyra.HashPage" || row.key == L"CLSID\\" + kDropTarget)
            continue;  // kept for the foreign subkeys, checked below
        EXPECT_FALSE(ReadText(row.root, row.key, row.value)) << Narrow(row.key);
    }
    EXPECT_FALSE(KeyExistsIn(HKEY_CLASSES_ROOT, L"CLSID\\" + kHashPage));
    EXPECT_FALSE(KeyExistsIn(HKEY_CLASSES_ROOT, L"Tallyra.HashPage.1"));
    EXPECT_FALSE(KeyExistsIn(HKEY_CLASSES_ROOT, L"Tallyra.HashPage\\CurVer"));
    EXPECT_FALSE(KeyExistsIn(HKEY_CLASSES_ROOT, L"CLSID\\" + kDropTarget + L"\\InprocServer32"));
    EXPECT_FALSE(KeyExistsIn(HKEY_CLASSES_ROOT, L"AppID\\" + kAppId));
    EXPECT_FALSE(KeyExistsIn(HKEY_CLASSES_ROOT, L"TypeLib\\" + kLibId + L"\\1.0"));
    // ... theirs stays, with the keys that hold it.
    EXPECT_TRUE(KeyExistsIn(HKEY_CLASSES_ROOT, L"Tallyra.HashPage\\ForeignSubkey"));
    EXPECT_TRUE(KeyExistsIn(HKEY_CLASSES_ROOT, L"CLSID\\" + kDropTarget + L"\\ForeignSubkey"));
    EXPECT_TRUE(KeyExistsIn(HKEY_CLASSES_ROOT, L"*\\shellex\\PropertySheetHandlers\\SomeoneElse"));
    EXPECT_TRUE(KeyExistsIn(HKEY_CLASSES_ROOT, L"AppID\\{00000000-1111-2222-3333-444444444444}"));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kApproved, L"{12345678-1234-1234-1234-123456789012}"),
              std::optional<std::wstring>(L"Other Extension"));
    // The shared keys are never removed, even when nothing is left in them.
    ASSERT_EQ(dll.Register(), S_OK);
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"*\\shellex\\PropertySheetHandlers\\SomeoneElse");
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"AppID\\{00000000-1111-2222-3333-444444444444}");
    ASSERT_EQ(dll.Unregister(), S_OK);
    EXPECT_TRUE(KeyExistsIn(HKEY_CLASSES_ROOT, L"CLSID"));
    EXPECT_TRUE(KeyExistsIn(HKEY_CLASSES_ROOT, L"AppID"));
    EXPECT_TRUE(KeyExistsIn(HKEY_CLASSES_ROOT, L"*\\shellex\\PropertySheetHandlers"));
    EXPECT_TRUE(KeyExistsIn(HKEY_LOCAL_MACHINE, kApproved));
    EXPECT_FALSE(ReadText(HKEY_LOCAL_MACHINE, kApproved, kHashPage.c_str()));
}

// The 64-bit and the 32-bit module share the keys Windows keeps once for both
// registry views (ProgIDs, the AppID, the shell's handler key): while the
// other view's module serves the class, unregistering this one removes only
// its own CLSID keys.
TEST_F(Registration, UnregisteringLeavesTheKeysBothViewsShareToTheOtherViewsModule)
{
    const std::wstring otherView = L"Wow6432Node\\CLSID\\" + kHashPage + L"\\InprocServer32";
    const std::wstring shared[] = {L"Tallyra.HashPage.1", L"Tallyra.HashPage", L"Tallyra.DropTargetImpl.1",
                                   L"AppID\\" + std::wstring(kAppId), L"*\\shellex\\PropertySheetHandlers\\Tallyra"};
    const struct {
        const wchar_t* otherModule;  // null: the other view serves nothing
        bool sharedKept;
    } cases[] = {{L"C:\\Program Files (x86)\\Tallyra\\Tallyra32.dll", true}, {nullptr, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sharedKept);
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Wow6432Node");
        if (c.otherModule)
            ASSERT_EQ(::RegSetKeyValueW(HKEY_CLASSES_ROOT, otherView.c_str(), nullptr, REG_SZ, c.otherModule,
                                        static_cast<DWORD>((wcslen(c.otherModule) + 1) * sizeof(wchar_t))),
                      ERROR_SUCCESS);
        ASSERT_EQ(dll.Register(), S_OK);
        ASSERT_EQ(dll.Unregister(), S_OK);
        EXPECT_FALSE(KeyExistsIn(HKEY_CLASSES_ROOT, L"CLSID\\" + kHashPage));
        EXPECT_FALSE(KeyExistsIn(HKEY_CLASSES_ROOT, L"CLSID\\" + kDropTarget));
        for (const std::wstring& key : shared)
            EXPECT_EQ(KeyExistsIn(HKEY_CLASSES_ROOT, key), c.sharedKept) << Narrow(key);
    }
}

TEST_F(Registration, DllInstallChangesNothing)
{
    EXPECT_EQ(dll.Install(TRUE, L"anything"), S_OK);
    EXPECT_EQ(dll.Install(FALSE, nullptr), S_OK);
    EXPECT_TRUE(DumpTree(HKEY_CLASSES_ROOT, L"CLSID").empty());
    EXPECT_TRUE(DumpTree(HKEY_LOCAL_MACHINE, L"Software").empty());
}
