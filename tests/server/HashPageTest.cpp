// The shell extension object and the hash page of the real module, in a real
// property sheet under Wine: selections from the shell's own data objects,
// the page's states through hashing, stop, resume and completion, failures,
// closing mid-run, and the drop target as a drag source sees it.
#include "PrivateMessages.h"
#include "resource.h"
#include "TallyraLib.h"
#include "settings/AlgorithmFlags.h"
#include "support/Gui.h"
#include "support/Leaks.h"
#include "support/ScratchRegistry.h"
#include "support/TallyraDll.h"
#include "support/TestFiles.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <map>
#include <ole2.h>
#include <prsht.h>
#include <shlobj.h>

namespace {

using Rows = std::map<std::wstring, std::wstring>;

// PatternBytes(102401) and PatternBytes(16 MiB), digests computed independently.
const Rows kSmallDigests = {{L"CRC32", L"D24F301E"},
                            {L"MD5", L"E3D44B6B393C9F729AA6C530606640FB"},
                            {L"SHA-256", L"B44AB4312B17BC493382602FED2F8D3F7FA93004EEBB2DD4BF5F1AB1CF3392D3"}};
const size_t kLargeSize = 16 * 1024 * 1024;
const Rows kLargeDigests = {{L"CRC32", L"4AC95458"},
                            {L"MD2", L"9A25B48D881D56A5AC2AD9CB0A169AE5"},
                            {L"MD5", L"D576AA19A1A539149FB8CB7769FB2162"},
                            {L"SHA-256", L"88BCA7A81AB460A424FFFBB5BF321C27F5ED546A7866EA7DA43F5E42DF1282BD"}};

// A data object with nothing in it: no file list to give.
class EmptyDataObject final : public IDataObject {
public:
    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return 2; }
    IFACEMETHODIMP_(ULONG) Release() override { return 1; }
    IFACEMETHODIMP GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    IFACEMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    IFACEMETHODIMP QueryGetData(FORMATETC*) override { return DV_E_FORMATETC; }
    IFACEMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    IFACEMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    IFACEMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    IFACEMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    IFACEMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
};

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

std::wstring Text(HWND window)
{
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
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

    static Rows ReadRows(HWND page)
    {
        Rows rows;
        HWND list = ::GetDlgItem(page, IDC_HASH_LIST);
        const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t name[64] = {}, digest[256] = {};
            LVITEMW item = {};
            item.pszText = name;
            item.cchTextMax = 64;
            ::SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            item.iSubItem = 1;
            item.pszText = digest;
            item.cchTextMax = 256;
            ::SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            rows[name] = digest;
        }
        return rows;
    }

    static void Click(HWND page, int id)
    {
        ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(page, id)));
    }

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

TEST_F(HashPageTest, InitializeTakesExactlyOneFileThatIsNotAFolder)
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
        {{first, second}, S_FALSE, S_FALSE, 0},
        {{folder.Path()}, S_FALSE, S_OK, 1},  // a page with an empty path: shown as unreadable
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
    EmptyDataObject empty;
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
    EXPECT_EQ(Text(sheet).empty(), false);
    ASSERT_TRUE(PumpUntil([&] { return HasRows(page); }, 30000));
    EXPECT_EQ(ReadRows(page), kSmallDigests);

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

TEST_F(HashPageTest, StopAndResumeGiveTheUninterruptedDigests)
{
    Enable({L"MD2", L"MD5", L"SHA-256", L"CRC32"});  // MD2 is slow: there is time to stop
    HWND page = OpenPage({folder.Write(L"large.bin", PatternBytes(kLargeSize))});
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Text(::GetDlgItem(page, IDC_STOP)), L"停止");
    EXPECT_FALSE(Enabled(page, IDC_HASH_LIST));
    PumpUntil([] { return false; }, 300);
    ASSERT_FALSE(HasRows(page)) << "the run ended before it could be stopped";

    for (int round = 0; round < 2; ++round) {
        Click(page, IDC_STOP);  // stop
        PumpUntil([] { return false; }, 300);
        EXPECT_EQ(Text(::GetDlgItem(page, IDC_STOP)), L"效验文件哈希值");
        EXPECT_FALSE(HasRows(page));
        EXPECT_TRUE(Enabled(page, IDC_HASH_LIST));
        EXPECT_TRUE(Visible(page, IDC_STOP));
        EXPECT_FALSE(Enabled(page, IDC_COMPARE_FILE));
        EXPECT_NE(::SendMessageW(page, WM_QUERY_COMPARE_LOCKED, 0, 0), 0);

        Click(page, IDC_STOP);  // resume
        EXPECT_EQ(Text(::GetDlgItem(page, IDC_STOP)), L"停止");
        EXPECT_FALSE(Enabled(page, IDC_HASH_LIST));
        PumpUntil([] { return false; }, 200);
    }
    ASSERT_TRUE(PumpUntil([&] { return HasRows(page); }, 60000));
    EXPECT_EQ(ReadRows(page), kLargeDigests);
    EXPECT_FALSE(Visible(page, IDC_STOP));
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

TEST_F(HashPageTest, AFileThatCannotBeOpenedDisablesThePageAndSaysWhy)
{
    Enable({L"MD5"});
    const std::wstring path = folder.Write(L"locked.bin", PatternBytes(1000));
    win::UniqueFile writer(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    HWND page = OpenPage({path});
    ASSERT_NE(page, nullptr);
    PumpUntil([] { return false; }, 200);
    EXPECT_FALSE(::IsWindowEnabled(page));
    EXPECT_FALSE(HasRows(page));
    EXPECT_TRUE(Visible(page, IDC_STOP));
    EXPECT_FALSE(Text(::GetDlgItem(page, IDC_ALGORITHM_LABEL)).empty()) << "no error text";
}

TEST_F(HashPageTest, ClosingTheSheetMidRunAHundredTimesLeavesNothingBehind)
{
    Enable({L"MD2", L"SHA-512"});
    const std::wstring path = folder.Write(L"closing.bin", PatternBytes(kLargeSize));
    {  // warm-up: what is made once per process
        OpenPage({path});
        CloseSheet();
    }
    PumpUntil([] { return false; }, 500);
    const int threads = ThreadsOfThisProcess();
    const ULONG_PTR handles = HandleHighWater();
    const size_t windows = CountThreadWindows();
    for (int cycle = 0; cycle < 100; ++cycle) {
        HWND page = OpenPage({path});
        ASSERT_NE(page, nullptr);
        PumpUntil([] { return false; }, cycle % 10);
        CloseSheet();  // stops the run: flag and a short pause, no waiting for the worker
    }
    EXPECT_EQ(dll().CanUnloadNow(), S_OK);
    // Each worker sees the flag before its next block and ends.
    EXPECT_TRUE(PumpUntil([&] { return ThreadsOfThisProcess() <= threads; }, 20000));
    EXPECT_LE(HandleHighWater(), handles + 50 * sizeof(HANDLE));
    // GDI objects: Wine's sheet keeps one per sheet, so they are counted
    // against a bare page on the same template (page_tests).
    EXPECT_LE(CountThreadWindows(), windows);
}

namespace {

// A drag source that lets go at once, wherever the cursor is.
class DropAtOnce final : public IDropSource {
public:
    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return 2; }
    IFACEMETHODIMP_(ULONG) Release() override { return 1; }
    IFACEMETHODIMP QueryContinueDrag(BOOL escape, DWORD) override
    {
        return escape ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
    }
    IFACEMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

}  // namespace

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
        PumpUntil([] { return false; }, 50);
    }
    EXPECT_NE(::GetFileAttributesW(dropped.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(::GetFileAttributesW(other.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(HashPageTest, NoDropIsTakenWhileComparingIsLocked)
{
    Enable({L"MD2"});
    HWND page = OpenPage({folder.Write(L"busy.bin", PatternBytes(kLargeSize))});
    ASSERT_NE(page, nullptr);  // still hashing: comparing is locked
    RECT area = {};
    ::GetWindowRect(page, &area);
    ::SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    win::ComPtr<IDataObject> data = ShellDataObject({folder.Write(L"candidate.bin", PatternBytes(10))});
    DropAtOnce source;
    DWORD effect = 0xFFFF;
    ::DoDragDrop(data.Get(), &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_NE(::SendMessageW(page, WM_QUERY_COMPARE_LOCKED, 0, 0), 0);
}
