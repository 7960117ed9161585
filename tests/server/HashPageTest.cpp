// The shell extension object and the hash page of the real module, in a real
// property sheet under Wine: selections from the shell's own data objects,
// the page's digests and controls, a file that cannot be opened, and the drop
// target as a drag source sees it. (Stop, resume and closing mid-run, which
// need the page's file calls, are with the page linked in: page_tests.)
#include "ui/DropTargetImpl.h"
#include "resource.h"
#include "FilesPageResources.h"
#include "ui/typelib/TallyraLib.h"
#include "settings/AlgorithmFlags.h"
#include "support/FileListData.h"
#include "support/Gui.h"
#include "support/ChildProcess.h"
#include "support/Leaks.h"
#include "support/ScratchRegistry.h"
#include "support/TallyraDll.h"
#include "support/TestFiles.h"
#include "support/Text.h"
#include "tools/show-properties/ShellProperties.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <prsht.h>
#include <shlobj.h>

namespace {


// A data object with nothing in it: no file list to give.
BOOL CALLBACK CollectPage(HPROPSHEETPAGE page, LPARAM lParam)
{
    reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(lParam)->push_back(page);
    return TRUE;
}

BOOL CALLBACK RefusePage(HPROPSHEETPAGE, LPARAM lParam)
{
    ++*reinterpret_cast<int*>(lParam);
    return FALSE;
}

class HashPageTest : public ::testing::Test {
protected:
    HashPageTest() { ::OleInitialize(nullptr); }
    ~HashPageTest() override
    {
        if (sheet)
            ::DestroyWindow(sheet);
        ::OleUninitialize();
    }

    void Enable(std::initializer_list<const wchar_t*> names)
    {
        for (const wchar_t* name : names)
            WriteDword(AlgorithmKeyPath(name), L"Enabled", 1);
    }

    win::ComPtr<IShellExtInit> NewExtension() { return dll().Create<IShellExtInit>(CLSID_HashPage, IID_IShellExtInit); }

    // The extension's pages for the selection, in a modeless sheet; the page window.
    HWND OpenPage(const std::vector<std::wstring>& selection)
    {
        win::ComPtr<IShellExtInit> extension = NewExtension();
        EXPECT_TRUE(extension);
        if (!extension)
            return nullptr;
        win::ComPtr<IDataObject> data = ShellDataObject(selection);
        EXPECT_TRUE(data);
        extension->Initialize(nullptr, data.Get(), nullptr);
        win::ComPtr<IShellPropSheetExt> pages;
        extension.As(&pages);
        std::vector<HPROPSHEETPAGE> added;
        EXPECT_EQ(pages->AddPages(&CollectPage, reinterpret_cast<LPARAM>(&added)), S_OK);
        EXPECT_EQ(added.size(), 1u);
        if (added.empty())
            return nullptr;
        return ShowSheet(added);
    }

    HWND ShowSheet(std::vector<HPROPSHEETPAGE>& added)
    {
        sheet = ShowInModelessSheet(added);
        EXPECT_NE(sheet, nullptr);
        return sheet ? reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)) : nullptr;
    }

    void CloseSheet()
    {
        if (sheet)
            ::DestroyWindow(sheet);  // about 2 s under Wine, whatever the pages are
        sheet = nullptr;
    }

    static bool HasRows(HWND page) { return ::SendDlgItemMessageW(page, IDC_HASH_LIST, LVM_GETITEMCOUNT, 0, 0) > 0; }
    static bool Visible(HWND page, int id) { return ::IsWindowVisible(::GetDlgItem(page, id)) != FALSE; }
    static bool Enabled(HWND page, int id) { return ::IsWindowEnabled(::GetDlgItem(page, id)) != FALSE; }

    static DigestTable ReadRows(HWND page) { return ListRows(::GetDlgItem(page, IDC_HASH_LIST)); }

    TallyraDll& dll()
    {
        if (!loaded)
            loaded = std::make_unique<TallyraDll>();  // after the settings are in place
        return *loaded;
    }

    ScratchRegistry user;
    TempFolder folder;
    std::unique_ptr<TallyraDll> loaded;
    HWND sheet = nullptr;
};

}  // namespace

TEST_F(HashPageTest, InitializeTakesOneFileForTheFilePageAndSeveralItemsOrAFolderForTheFilesPage)
{
    const std::wstring first = folder.Write(L"first.bin", PatternBytes(10));
    const std::wstring second = folder.Write(L"second.bin", PatternBytes(10));

    struct Case {
        std::vector<std::wstring> selection;
        HRESULT initialized;
        HRESULT added;
        size_t pages;
    };
    const Case cases[] = {
        {{first}, S_OK, S_OK, 1},
        {{first, second}, S_OK, S_OK, 1},  // the files page (the other configurations refuse: below)
        {{folder.Path()}, S_OK, S_OK, 1},
        {{folder.Write(L"list.sha256", {})}, S_OK, S_OK, 2},  // a checksum file: its page too
        // by its content (SHA-1 of "abc", a published vector)
        {{folder.Write(L"notes.txt", Bytes("SHA1 (abc) = a9993e364706816aba3e25717850c26c9cd0d89d\n"))}, S_OK, S_OK, 2},
    };
    for (const Case& c : cases) {
        win::ComPtr<IShellExtInit> extension = NewExtension();
        win::ComPtr<IDataObject> data = ShellDataObject(c.selection);
        ASSERT_TRUE(data);
        EXPECT_EQ(extension->Initialize(nullptr, data.Get(), nullptr), c.initialized);
        win::ComPtr<IShellPropSheetExt> pages;
        ASSERT_EQ(extension.As(&pages), S_OK);
        std::vector<HPROPSHEETPAGE> added;
        EXPECT_EQ(pages->AddPages(&CollectPage, reinterpret_cast<LPARAM>(&added)), c.added);
        EXPECT_EQ(added.size(), c.pages);
        for (HPROPSHEETPAGE page : added)
            ::DestroyPropertySheetPage(page);
        EXPECT_EQ(pages->ReplacePage(0, &CollectPage, 0), E_NOTIMPL);
    }

    // No file list at all, or no data object.
    win::ComPtr<IShellExtInit> extension = NewExtension();
    FileListData empty(std::nullopt);
    EXPECT_EQ(extension->Initialize(nullptr, &empty, nullptr), E_INVALIDARG);
    EXPECT_EQ(extension->Initialize(nullptr, nullptr, nullptr), E_INVALIDARG);

    // Two files first, one file after: the page stays refused.
    win::ComPtr<IShellExtInit> twice = NewExtension();
    twice->Initialize(nullptr, ShellDataObject({first, second}).Get(), nullptr);
    EXPECT_EQ(twice->Initialize(nullptr, ShellDataObject({first}).Get(), nullptr), S_OK);
    win::ComPtr<IShellPropSheetExt> pages;
    twice.As(&pages);
    std::vector<HPROPSHEETPAGE> added;
    EXPECT_EQ(pages->AddPages(&CollectPage, reinterpret_cast<LPARAM>(&added)), S_FALSE);
    EXPECT_TRUE(added.empty());
}

// The other configurations keep refusing several items.
TEST_F(HashPageTest, TheReducedAndCompactHandlersStillRefuseSeveralItems)
{
    const std::vector<std::wstring> two = {folder.Write(L"one.bin", PatternBytes(10)), folder.Write(L"two.bin", PatternBytes(10))};
    for (const wchar_t* configuration : {L"reduced", L"compact"}) {
        SCOPED_TRACE(Narrow(configuration));
        loaded = std::make_unique<TallyraDll>(configuration);
        win::ComPtr<IShellExtInit> extension = NewExtension();
        EXPECT_EQ(extension->Initialize(nullptr, ShellDataObject(two).Get(), nullptr), S_FALSE);
        win::ComPtr<IShellPropSheetExt> pages;
        ASSERT_EQ(extension.As(&pages), S_OK);
        std::vector<HPROPSHEETPAGE> added;
        EXPECT_EQ(pages->AddPages(&CollectPage, reinterpret_cast<LPARAM>(&added)), S_FALSE);
        EXPECT_TRUE(added.empty());
        extension.Reset();
        pages.Reset();
        loaded.reset();
    }
}

// The shell's data object of a file and a folder: the files page lists the
// file and the folder's files and shows their digests.
TEST_F(HashPageTest, SeveralItemsFromTheShellGiveTheFilesPageWithEveryFilesDigest)
{
    Enable({L"SHA-256", L"MD5"});
    folder.MakeFolder(L"inner");
    folder.Write(L"inner\\deep.bin", PatternBytes(307200));
    const std::wstring file = folder.Write(L"top.bin", PatternBytes(102401));
    HWND page = OpenPage({file, folder.Path() + L"\\inner"});
    ASSERT_NE(page, nullptr);
    const HWND list = ::GetDlgItem(page, IDC_FILES_LIST);
    ASSERT_NE(list, nullptr) << "not the files page";
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindowEnabled(::GetDlgItem(page, IDC_FILES_STOP)); }, 30000));
    const std::map<std::wstring, std::wstring> rows = ListRows(list);  // name to size
    EXPECT_EQ(rows, (std::map<std::wstring, std::wstring>{{L"inner\\deep.bin", L"307200"}, {L"top.bin", L"102401"}}));
    std::vector<std::wstring> digests;
    for (int row = 0; row < 2; ++row) {
        wchar_t text[256] = {};
        LVITEMW item = {};
        item.iSubItem = 2;
        item.pszText = text;
        item.cchTextMax = 256;
        ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        digests.push_back(text);
    }
    // In the selection's order: the file, then the folder's files.
    EXPECT_EQ(digests, (std::vector<std::wstring>{PatternDigests(102401, {L"SHA-256"}).at(L"SHA-256"),
                                                  PatternDigests(307200, {L"SHA-256"}).at(L"SHA-256")}));
}

TEST_F(HashPageTest, APageTheShellRefusesIsDestroyedAndFreesItsLock)
{
    const std::wstring file = folder.Write(L"refused.bin", PatternBytes(10));
    {
        win::ComPtr<IShellExtInit> extension = NewExtension();
        extension->Initialize(nullptr, ShellDataObject({file}).Get(), nullptr);
        win::ComPtr<IShellPropSheetExt> pages;
        extension.As(&pages);
        int offered = 0;
        EXPECT_EQ(pages->AddPages(&RefusePage, reinterpret_cast<LPARAM>(&offered)), S_OK);
        EXPECT_EQ(offered, 1);

    }
    EXPECT_EQ(dll().CanUnloadNow(), S_OK);  // the refused page and its drop target are gone
}

TEST_F(HashPageTest, ThePageShowsTheDigestsAndHoldsTheModuleWhileItLives)
{
    Enable({L"SHA-256", L"MD5", L"CRC32"});
    HWND page = OpenPage({folder.Write(L"small.bin", PatternBytes(102401))});
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(WindowText(sheet).empty(), false);
    ASSERT_TRUE(PumpUntil([&] { return HasRows(page); }, 30000));
    EXPECT_EQ(ReadRows(page), PatternDigests(102401, {L"CRC32", L"MD5", L"SHA-256"}));

    // Row 0 is selected, the progress controls are hidden, comparing is allowed.
    EXPECT_EQ(::SendDlgItemMessageW(page, IDC_HASH_LIST, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 0);
    EXPECT_FALSE(Visible(page, IDC_STOP));
    EXPECT_FALSE(Visible(page, IDC_PROGRESS));
    EXPECT_FALSE(Visible(page, IDC_PROGRESS_FRAME));
    EXPECT_TRUE(Enabled(page, IDC_COMPARE_FILE));
    EXPECT_TRUE(Enabled(page, IDC_RESULT_ICON));
    EXPECT_EQ(::SendMessageW(page, WM_QUERY_COMPARE_LOCKED, 0, 0), 0);

    // Columns: 75 pixels, then the client width less 80.
    HWND list = ::GetDlgItem(page, IDC_HASH_LIST);
    RECT client = {};
    ::GetClientRect(list, &client);
    EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 75);
    EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), client.right - 80);

    EXPECT_EQ(dll().CanUnloadNow(), S_FALSE);  // the extension object is gone, the page is not
    CloseSheet();
    EXPECT_EQ(dll().CanUnloadNow(), S_OK);
}

// The module goes as soon as it is let go right after a completion: the
// lanes ended before the completion was posted, and the worker, still on its
// way out, holds the module until its very last instruction. (On a machine
// with one processor the run has no lanes.)
TEST_F(HashPageTest, TheModuleUnloadsRightAfterACompletionWithNothingOfItsOwnLeftRunning)
{
    Enable({L"MD2", L"SHA-512", L"CRC32"});
    const std::wstring path = folder.Write(L"unload.bin", PatternBytes(307200));
    int threads = 0;
    for (int round = 0; round < 4; ++round) {
        HWND page = OpenPage({path});
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return HasRows(page); }, 30000));
        CloseSheet();
        ASSERT_EQ(dll().CanUnloadNow(), S_OK);
        loaded.reset();
        EXPECT_TRUE(PumpUntil([] { return ::GetModuleHandleW(L"Tallyra32.dll") == nullptr; }));
        if (round == 0)
            threads = ThreadsOfThisProcess();  // with what OLE and the test keep once made
        else
            EXPECT_TRUE(PumpUntil([&] { return ThreadsOfThisProcess() <= threads; }));
    }
}

namespace {

BOOL CALLBACK CountToolTip(HWND window, LPARAM count)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (_wcsicmp(name, TOOLTIPS_CLASSW) == 0)
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int ToolTipsOfThisThread()
{
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountToolTip, reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

// Every configuration's page holds its module for as long as the sheet holds
// the page, also once its run has ended and the extension object is gone;
// closed, it leaves no window of the module's behind (a tool tip left
// subclassed would call into the module after it unloaded).
TEST_F(HashPageTest, EveryConfigurationsPageHoldsItsModuleAndLeavesNoWindowBehind)
{
    Enable({L"MD5", L"CRC32"});
    const std::wstring file = folder.Write(L"held.bin", PatternBytes(1000));
    for (const wchar_t* configuration : {L"full", L"reduced", L"compact"}) {
        SCOPED_TRACE(Narrow(configuration));
        ASSERT_EQ(ToolTipsOfThisThread(), 0);
        loaded = std::make_unique<TallyraDll>(configuration);
        HWND page = OpenPage({file});
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return !shellprops::ReadRows(page).empty(); }, 30000));
        EXPECT_EQ(dll().CanUnloadNow(), S_FALSE);
        CloseSheet();
        EXPECT_EQ(dll().CanUnloadNow(), S_OK);
        EXPECT_EQ(ToolTipsOfThisThread(), 0);
        loaded.reset();
        EXPECT_TRUE(PumpUntil([&] { return ::GetModuleHandleW(TallyraDll::Path(configuration).c_str()) == nullptr; }));
    }
}

TEST_F(HashPageTest, WithNoAlgorithmTheRunGivesAnEmptyListAndNoComparing)
{
    HWND page = OpenPage({folder.Write(L"none.bin", PatternBytes(1000))});
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !Visible(page, IDC_STOP); }, 30000));
    EXPECT_FALSE(HasRows(page));
    EXPECT_FALSE(Visible(page, IDC_PROGRESS));
    EXPECT_FALSE(Enabled(page, IDC_RESULT_ICON));
    EXPECT_FALSE(Enabled(page, IDC_COMPARE_FILE));
    EXPECT_NE(::SendMessageW(page, WM_QUERY_COMPARE_LOCKED, 0, 0), 0);
}

TEST_F(HashPageTest, AFileThatCannotBeOpenedDisablesThePageWithoutAMessage)
{
    Enable({L"MD5"});
    const std::wstring path = folder.Write(L"locked.bin", PatternBytes(1000));
    win::UniqueFile writer(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    HWND page = OpenPage({path});
    ASSERT_NE(page, nullptr);
    PumpPending();
    EXPECT_FALSE(::IsWindowEnabled(page));  // at once: the file is opened when the page is made
    EXPECT_FALSE(HasRows(page));
    EXPECT_TRUE(Visible(page, IDC_STOP));
    EXPECT_EQ(WindowText(::GetDlgItem(page, IDC_ALGORITHM_LABEL)), L"");
}

TEST_F(HashPageTest, ADropReportsACopyToTheSourceAndNeverAMove)
{
    Enable({L"MD5"});
    HWND page = OpenPage({folder.Write(L"page.bin", PatternBytes(100))});
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return HasRows(page); }, 30000));
    RECT area = {};
    ::GetWindowRect(::GetDlgItem(page, IDC_HASH_LIST), &area);
    ::SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);

    const std::wstring dropped = folder.Write(L"dropped.bin", PatternBytes(100));
    const std::wstring other = folder.Write(L"other.bin", PatternBytes(100));
    struct Case {
        std::vector<std::wstring> files;
        DWORD allowed;
        DWORD expected;
    };
    const Case cases[] = {
        {{dropped}, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
        {{dropped}, DROPEFFECT_MOVE, DROPEFFECT_NONE},  // a source that can only move gets "none"
        {{dropped, other}, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_NONE},
        {{folder.Path()}, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_NONE},
    };
    DropAtOnce source;
    for (const Case& c : cases) {
        win::ComPtr<IDataObject> data = ShellDataObject(c.files);
        ASSERT_TRUE(data);
        DWORD effect = 0xFFFF;
        const HRESULT hr = ::DoDragDrop(data.Get(), &source, c.allowed, &effect);
        EXPECT_TRUE(hr == DRAGDROP_S_DROP || hr == DRAGDROP_S_CANCEL) << std::hex << hr;
        EXPECT_EQ(effect, c.expected) << c.files.size() << " item(s), allowed " << c.allowed;
        PumpPending();
    }
    EXPECT_NE(::GetFileAttributesW(dropped.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(::GetFileAttributesW(other.c_str()), INVALID_FILE_ATTRIBUTES);
}

// The language chosen in the settings dialog (opened from the page's options
// link) is written to the user's settings, and the next Properties dialog's
// page is built from that module: the one in force stays until its page goes.
TEST_F(HashPageTest, ALanguageChosenInTheSettingsDialogIsTheNextPagesLanguage)
{
    Enable({L"CRC32"});
    const std::wstring file = folder.Write(L"small.bin", PatternBytes(1000));
    const auto compareButton = [](HINSTANCE resources) {
        const win::UniqueWindow page = CreateFromTemplate(resources, IDD_HASH_PAGE);
        return page ? WindowText(::GetDlgItem(page.get(), IDC_COMPARE_FILE)) : L"";
    };
    win::UniqueModule japanese(::LoadLibraryExW(BesideThisProgram(L"full\\Tallyra32.ja.dll").c_str(), nullptr,
                                                LOAD_LIBRARY_AS_DATAFILE));
    win::UniqueModule builtIn(
        ::LoadLibraryExW(TallyraDll::Path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(japanese && builtIn);
    ASSERT_NE(compareButton(japanese.get()), compareButton(builtIn.get()));

    HWND page = OpenPage({file});
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return HasRows(page); }, 30000));
    EXPECT_EQ(WindowText(::GetDlgItem(page, IDC_COMPARE_FILE)), compareButton(builtIn.get()));
    {
        ModalDialogAnswers answers({sheet}, {[](HWND dialog) {
                                       ::SendDlgItemMessageW(dialog, IDC_LANGUAGE, CB_SELECTSTRING,
                                                             static_cast<WPARAM>(-1),
                                                             reinterpret_cast<LPARAM>(L"日本語"));
                                       ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                                      reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
                                   }});
        NMHDR click = {::GetDlgItem(page, IDC_OPTIONS_LINK), IDC_OPTIONS_LINK, static_cast<UINT>(NM_CLICK)};
        ::SendMessageW(page, WM_NOTIFY, IDC_OPTIONS_LINK, reinterpret_cast<LPARAM>(&click));
        EXPECT_EQ(answers.Answered(), 1);
    }
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, L"SOFTWARE\\Tallyra\\Settings", L"LanguageModule"),
              std::optional<std::wstring>(L"Tallyra32.ja.dll"));
    EXPECT_EQ(WindowText(::GetDlgItem(page, IDC_COMPARE_FILE)), compareButton(builtIn.get()));
    CloseSheet();

    HWND next = OpenPage({file});
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(WindowText(::GetDlgItem(next, IDC_COMPARE_FILE)), compareButton(japanese.get()));
    ASSERT_TRUE(PumpUntil([&] { return HasRows(next); }, 30000));
    CloseSheet();
}
