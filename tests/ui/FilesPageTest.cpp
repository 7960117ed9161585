// The page for several files or a folder, linked in directly, in a modeless
// sheet, its reads behind the test's seam: what the list shows against
// independent digests, the drop-down, stop and resume, the copy, the saved
// checksum file as sha256sum and rhash (run now) read it, the search of a
// digest typed or copied elsewhere, and a
// hundred closes mid-run.
#include "FilesPageResources.h"
#include "engine/SumFileSave.h"
#include "server/TallyraModule.h"
#include "ui/ClipboardText.h"
#include "support/ChildProcess.h"
#include "support/Clipboard.h"
#include "support/EnglishModule.h"
#include "support/Digests.h"
#include "support/FileSeam.h"
#include "support/Gui.h"
#include "support/HostTool.h"
#include "support/Leaks.h"
#include "support/TallyraDll.h"
#include "support/TestFiles.h"
#include "support/Text.h"
#include "win/UniqueHandle.h"
#include "ui/FileListDialog.h"
#include "ui/SumFileDialog.h"

#include <algorithm>
#include <commctrl.h>
#include <cwctype>
#include <functional>
#include <gtest/gtest.h>
#include <ole2.h>
#include <random>

namespace {

const std::vector<std::wstring> kThree = {L"CRC32", L"MD5", L"SHA-256"};

std::wstring Lower(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return text;
}

std::wstring CellText(HWND list, int row, int column)
{
    std::wstring text(1024, L'\0');
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    text.resize(static_cast<size_t>(::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item))));
    return text;
}

int Count(const std::string& text, const std::string& part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class FilesPageTest : public ::testing::Test {
protected:
    FilesPageTest() : bound(settings)
    {
        ::OleInitialize(nullptr);
        EmptyTheClipboard();  // the page looks for its digests there: nothing from an earlier test
        settings.enabled = kThree;
    }
    ~FilesPageTest() override
    {
        CloseSheet();
        ::OleUninitialize();
    }

    // a.bin, b.bin (empty) and the folder dir with x.bin and sub\y.bin.
    std::vector<std::wstring> MakeSelection()
    {
        folder.MakeFolder(L"dir");
        folder.MakeFolder(L"dir\\sub");
        folder.Write(L"dir\\x.bin", PatternBytes(1));
        folder.Write(L"dir\\sub\\y.bin", PatternBytes(307200));
        return {folder.Write(L"a.bin", PatternBytes(102401)), folder.Write(L"b.bin", {}), folder.Path() + L"\\dir"};
    }
    // The rows the selection gives, in order: shown name and size.
    const std::vector<std::pair<std::wstring, size_t>> kRows = {
        {L"a.bin", 102401}, {L"b.bin", 0}, {L"dir\\sub\\y.bin", 307200}, {L"dir\\x.bin", 1}};

    CFileListDialog* Show(const std::vector<std::wstring>& selection, ResourceLease resources = LeaseResourceInstance())
    {
        auto* created = new CFileListDialog(selection, std::move(resources));
        created->SetSystemCallsForTesting(FileSeam::Calls());
        HPROPSHEETPAGE handle = created->Create();
        sheet = handle ? ShowInModelessSheet({handle}) : nullptr;
        EXPECT_NE(sheet, nullptr);
        page = sheet ? created : nullptr;
        return page;
    }
    // A checksum file's page, its reads through the seam.
    bool ShowSumPage(const std::wstring& sumFile)
    {
        auto* created = new CSumFileDialog(sumFile);
        created->SetSystemCallsForTesting(FileSeam::Calls());
        HPROPSHEETPAGE handle = created->Create();
        sheet = handle ? ShowInModelessSheet({handle}) : nullptr;
        return sheet != nullptr;
    }
    // Until the run ended so and the page has shown its end.
    bool WaitUntilEnded(FileListOutcome outcome)
    {
        return PumpUntil([&] {
            const bool shown = outcome == FileListOutcome::Finished ? !::IsWindowEnabled(Control(IDC_FILES_STOP))
                                                                    : WindowText(Control(IDC_FILES_STOP)) == L"继续";
            return page->Job().Outcome() == outcome && !page->Job().IsRunning() && shown &&
                   ::SendMessageW(page->List(), LVM_GETITEMCOUNT, 0, 0) == static_cast<LRESULT>(page->Job().RowCount());
        });
    }
    void CloseSheet()
    {
        if (sheet)
            ::DestroyWindow(sheet);
        sheet = nullptr;
        page = nullptr;
    }
    HWND Control(UINT id) const { return ::GetDlgItem(page->Window(), static_cast<int>(id)); }
    void Click(UINT id) const { ::SendMessageW(Control(id), BM_CLICK, 0, 0); }
    void Choose(const std::wstring& algorithm) const
    {
        const HWND combo = Control(IDC_FILES_ALGORITHM);
        const LRESULT index =
            ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(algorithm.c_str()));
        ::SendMessageW(combo, CB_SETCURSEL, index, 0);
        ::SendMessageW(page->Window(), WM_COMMAND, MAKEWPARAM(IDC_FILES_ALGORITHM, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(combo));
    }
    std::vector<int> SelectedRows() const
    {
        std::vector<int> rows;
        for (int row = 0; row < ::SendMessageW(page->List(), LVM_GETITEMCOUNT, 0, 0); ++row) {
            if (::SendMessageW(page->List(), LVM_GETITEMSTATE, row, LVIS_SELECTED) != 0)
                rows.push_back(row);
        }
        return rows;
    }
    // The list's third column for every row.
    std::vector<std::wstring> ShownDigests() const
    {
        std::vector<std::wstring> digests;
        for (int row = 0; row < ::SendMessageW(page->List(), LVM_GETITEMCOUNT, 0, 0); ++row)
            digests.push_back(CellText(page->List(), row, 2));
        return digests;
    }
    std::vector<std::wstring> ExpectedDigests(const std::wstring& algorithm) const
    {
        std::vector<std::wstring> digests;
        for (const auto& [name, size] : kRows)
            digests.push_back(PatternDigests(size, {algorithm}).at(algorithm));
        return digests;
    }

    FixedSettings settings;
    BoundSettings bound;
    FileSeam seam;
    TempFolder folder;
    HWND sheet = nullptr;
    CFileListDialog* page = nullptr;
};

}  // namespace

TEST_F(FilesPageTest, EveryFileOfTheSelectionIsListedAndHashedOnceAndTheDropDownReadsNothingAgain)
{
    ASSERT_NE(Show(MakeSelection()), nullptr);
    ASSERT_TRUE(WaitUntilEnded(FileListOutcome::Finished));
    const HWND list = page->List();
    ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(kRows.size()));
    for (size_t row = 0; row < kRows.size(); ++row) {
        EXPECT_EQ(CellText(list, static_cast<int>(row), 0), kRows[row].first);
        EXPECT_EQ(CellText(list, static_cast<int>(row), 1), std::to_wstring(kRows[row].second));
    }
    EXPECT_EQ(ShownDigests(), ExpectedDigests(L"SHA-256"));  // the drop-down's first choice
    const std::uint64_t read = seam.BytesRead();
    EXPECT_EQ(read, 102401u + 307200u + 1u);

    Choose(L"MD5");
    EXPECT_EQ(ShownDigests(), ExpectedDigests(L"MD5"));
    Choose(L"CRC32");
    EXPECT_EQ(ShownDigests(), ExpectedDigests(L"CRC32"));
    EXPECT_EQ(seam.BytesRead(), read);
    EXPECT_FALSE(::IsWindowEnabled(Control(IDC_FILES_STOP)));
    EXPECT_FALSE(WindowText(Control(IDC_FILES_STATUS)).empty());
}

TEST_F(FilesPageTest, StopAndResumeReadEveryByteOnceAndAFailedReadFailsOnlyItsRow)
{
    seam.Close();
    ASSERT_NE(Show(MakeSelection()), nullptr);
    ASSERT_TRUE(seam.WaitUntilHeld(0));
    Click(IDC_FILES_STOP);
    seam.Open();
    ASSERT_TRUE(WaitUntilEnded(FileListOutcome::Stopped));
    EXPECT_EQ(WindowText(Control(IDC_FILES_STOP)), L"继续");
    EXPECT_TRUE(::IsWindowEnabled(Control(IDC_FILES_STOP)));

    seam.FailRead(seam.Reads() + 2, ERROR_NETNAME_DELETED);  // the second block of dir\sub\y.bin
    Click(IDC_FILES_STOP);
    ASSERT_TRUE(WaitUntilEnded(FileListOutcome::Finished));
    std::vector<std::wstring> expected = ExpectedDigests(L"SHA-256");
    const std::vector<std::wstring> shown = ShownDigests();
    ASSERT_EQ(shown.size(), expected.size());
    EXPECT_NE(shown[2].find(L"无法读取"), std::wstring::npos) << Utf8(shown[2]);
    expected[2] = shown[2];
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(seam.BytesRead(), 102401u + 102400u + 1u);  // a.bin once, y.bin's block before the failure, x.bin
}

TEST_F(FilesPageTest, CopiedLinesAndSavedChecksumFilesAreOnesTheToolsAccept)
{
    ASSERT_NE(Show(MakeSelection()), nullptr);
    ASSERT_TRUE(WaitUntilEnded(FileListOutcome::Finished));

    std::wstring lines;
    for (size_t row = 0; row < kRows.size(); ++row) {
        std::wstring name = kRows[row].first;
        std::replace(name.begin(), name.end(), L'\\', L'/');
        lines += Lower(ExpectedDigests(L"SHA-256")[row]) + L"  " + name + L"\r\n";
    }
    EXPECT_EQ(page->CopyText(), lines);
    LVITEMW selected = {};
    selected.stateMask = selected.state = LVIS_SELECTED;
    ::SendMessageW(page->List(), LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&selected));
    EXPECT_EQ(page->CopyText(), lines.substr(lines.find(L"\r\n", lines.find(L"y.bin")) + 2));
    PressListKey(page->Window(), IDC_FILES_LIST, 'C', true);
    EXPECT_EQ(ReadClipboardText(), page->CopyText());
    PressListKey(page->Window(), IDC_FILES_LIST, 'A', true);
    PressListKey(page->Window(), IDC_FILES_LIST, 'C', true);
    EXPECT_EQ(ReadClipboardText(), lines);

    // gnu and bsd, read by both tools; the names relative to the sum file's folder.
    struct Case {
        std::wstring name;
        SumFormat format;
    };
    for (const Case& c : {Case{L"SHA256SUMS", SumFormat::Gnu}, Case{L"tagged.sha256", SumFormat::Bsd}}) {
        SCOPED_TRACE(Utf8(c.name));
        ASSERT_EQ(page->SaveSumFile(folder.Path() + L"\\" + c.name, c.format), static_cast<DWORD>(ERROR_SUCCESS));
        const std::string coreutils = RunHostCommand(folder.Path(), L"sha256sum -c " + c.name);
        EXPECT_EQ(Count(coreutils, ": OK\n"), 4) << coreutils << ReadFileBytes(folder.Path() + L"\\" + c.name);
        EXPECT_EQ(Count(coreutils, "FAILED"), 0) << coreutils;
        const std::string rhash = RunHostCommand(folder.Path(), L"rhash -c " + c.name);
        EXPECT_NE(rhash.find("Everything OK"), std::string::npos) << rhash;
    }
    // sfv carries CRC32 values whatever the list shows.
    ASSERT_EQ(page->SaveSumFile(folder.Path() + L"\\all.sfv", SumFormat::Sfv), static_cast<DWORD>(ERROR_SUCCESS));
    const std::string sfv = RunHostCommand(folder.Path(), L"rhash -c all.sfv");
    EXPECT_NE(sfv.find("Everything OK"), std::string::npos) << sfv << ReadFileBytes(folder.Path() + L"\\all.sfv");
    EXPECT_NE(ReadFileBytes(folder.Path() + L"\\all.sfv").find(Narrow(ExpectedDigests(L"CRC32")[3])), std::string::npos);

    // Inside the folder: names below it (the others keep their whole paths).
    ASSERT_EQ(page->SaveSumFile(folder.Path() + L"\\dir\\SHA256SUMS", SumFormat::Gnu), static_cast<DWORD>(ERROR_SUCCESS));
    const std::string inner = RunHostCommand(folder.Path() + L"\\dir", L"sha256sum -c SHA256SUMS");
    EXPECT_NE(inner.find("sub/y.bin: OK"), std::string::npos) << inner;

    // A target that cannot be replaced (held open by another) keeps its bytes, and no temporary file stays.
    const std::wstring held = folder.Write(L"held.sha256", {'o', 'l', 'd'});
    win::UniqueFile holder(::CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_NE(page->SaveSumFile(held, SumFormat::Gnu), static_cast<DWORD>(ERROR_SUCCESS));
    holder.reset();
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(::GetFileAttributesExW(held.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 3u);
    WIN32_FIND_DATAW found = {};
    HANDLE search = ::FindFirstFileW((folder.Path() + L"\\sum*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << Utf8(found.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        ::FindClose(search);
}

TEST_F(FilesPageTest, ADigestTypedIsFoundAmongEveryAlgorithmOfEveryFile)
{
    ASSERT_NE(Show(MakeSelection()), nullptr);
    ASSERT_TRUE(WaitUntilEnded(FileListOutcome::Finished));
    const HWND edit = Control(IDC_FILES_COMPARE_EDIT);
    ::SetWindowTextW(edit, Lower(PatternDigests(307200, {L"MD5"}).at(L"MD5")).c_str());
    EXPECT_EQ(SelectedRows(), std::vector<int>{2}) << Utf8(WindowText(Control(IDC_FILES_COMPARE_RESULT)));
    EXPECT_EQ(page->Job().Algorithms()[page->ShownAlgorithm()], L"MD5");
    EXPECT_NE(WindowText(Control(IDC_FILES_COMPARE_RESULT)).find(L"MD5"), std::wstring::npos);
    ::SetWindowTextW(edit, (L"0x" + PatternDigests(1, {L"CRC32"}).at(L"CRC32")).c_str());
    EXPECT_EQ(SelectedRows(), std::vector<int>{3});
    // No digest: none of this length, "0x" alone, a digit that is not hexadecimal, half a digit.
    const std::wstring md5 = PatternDigests(307200, {L"MD5"}).at(L"MD5");
    for (const std::wstring& text : {std::wstring(64, L'0'), std::wstring(L"0x"), L"g" + md5.substr(1), md5 + L"0"}) {
        ::SetWindowTextW(edit, text.c_str());
        EXPECT_EQ(WindowText(Control(IDC_FILES_COMPARE_RESULT)), L"没有匹配的哈希值") << Utf8(text);
    }
}

// Copied before the page opened or while it is open: the first file hashed
// with a digest the newest copy holds (as a whole run of hex digits) is
// selected, its algorithm shown; the page's own copy and a text the user
// typed are left alone.
TEST_F(FilesPageTest, ADigestCopiedElsewhereSelectsItsFileButNeverReplacesTypedText)
{
    const OtherViewer other;
    const std::wstring shaOfY = PatternDigests(307200, {L"SHA-256"}).at(L"SHA-256");
    ASSERT_TRUE(CopyUntilHeard(other, Lower(shaOfY) + L"  dir/sub/y.bin\r\n"));
    ASSERT_NE(Show(MakeSelection()), nullptr);
    ASSERT_TRUE(WaitUntilEnded(FileListOutcome::Finished));
    const HWND edit = Control(IDC_FILES_COMPARE_EDIT);
    EXPECT_TRUE(PumpUntil([&] { return SelectedRows() == std::vector<int>{2}; }));
    EXPECT_EQ(WindowText(edit), shaOfY);
    EXPECT_EQ(page->Job().Algorithms()[page->ShownAlgorithm()], L"SHA-256");

    const std::wstring md5OfA = PatternDigests(102401, {L"MD5"}).at(L"MD5");
    const std::wstring crcOfX = PatternDigests(1, {L"CRC32"}).at(L"CRC32");
    const struct {
        std::wstring copied;
        std::wstring edit;  // afterwards
        int row;
    } copies[] = {
        {L"MD5 (a.bin) = " + Lower(md5OfA), md5OfA, 0},
        {L"crc " + crcOfX + L"0 and " + std::wstring(64, L'0'), md5OfA, 0},  // within a longer run; no file's
        {L"0x" + crcOfX, crcOfX, 3},
    };
    for (const auto& copy : copies) {
        ASSERT_TRUE(CopyUntilHeard(other, copy.copied)) << Utf8(copy.copied);
        EXPECT_EQ(WindowText(edit), copy.edit) << Utf8(copy.copied);
        EXPECT_EQ(SelectedRows(), std::vector<int>{copy.row}) << Utf8(copy.copied);
    }
    LVITEMW none = {};
    none.stateMask = LVIS_SELECTED;
    ::SendMessageW(page->List(), LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&none));  // all rows copied
    const int heard = other.changes;
    Click(IDC_FILES_COPY);
    ASSERT_TRUE(PumpUntil([&] { return other.changes > heard; }));
    EXPECT_EQ(WindowText(edit), crcOfX);
    ::SetWindowTextW(edit, L"typed");
    ASSERT_TRUE(CopyUntilHeard(other, shaOfY));
    EXPECT_EQ(WindowText(edit), L"typed");
}

// The files page and (every other time) a checksum file's page, closed in
// reads a seeded generator picks (within a file, or at the first read of the
// next): no worker, handle or window stays, and the module is unlocked.
TEST_F(FilesPageTest, ClosingTheSheetMidRunAHundredTimesLeavesNothingBehind)
{
    const std::vector<std::wstring> selection = MakeSelection();
    const std::string unlike(64, '0');
    const std::wstring sumFile = folder.Write(L"SHA256SUMS", Bytes(unlike + "  a.bin\n" + unlike + "  dir/sub/y.bin\n"));
    seam.Close();
    Show(selection);  // warm-up: what is made once per process
    ASSERT_TRUE(seam.WaitUntilHeld(0));
    CloseSheet();
    const int threads = ThreadsOfThisProcess();
    const ULONG_PTR handles = HandleHighWater();
    const size_t windows = CountThreadWindows();
    std::mt19937 random(23);
    for (int cycle = 0; cycle < 100; ++cycle) {
        const int first = seam.Reads();
        if (cycle % 2 == 0)
            ASSERT_NE(Show(selection), nullptr);
        else
            ASSERT_TRUE(ShowSumPage(sumFile));
        const int released = static_cast<int>(random() % 5);  // a.bin has two reads, y.bin three
        for (int read = first; read < first + released; ++read)
            seam.Release(read);
        ASSERT_TRUE(seam.WaitUntilHeld(first + released));
        CloseSheet();
    }
    EXPECT_EQ(CTallyraModule::Instance().GetLockCount(), 0);
    seam.Open();
    EXPECT_TRUE(PumpUntil([&] { return ThreadsOfThisProcess() <= threads; }))
        << ThreadsOfThisProcess() << " threads, " << threads << " before";
    const ULONG_PTR after = HandleHighWater();
    EXPECT_LE(after, handles + 4 * 50) << (after - handles) / 4 << " handles more";
    EXPECT_LE(CountThreadWindows(), windows);
}

namespace {

// The resources a page leases: this program's built-in ones, or the English
// module as a Properties dialog with that module chosen would lease it.
struct PageLanguage {
    const char* name;
    const wchar_t* module;  // beside this program; null: the built-in resources
};
const PageLanguage kPageLanguages[] = {{"built-in", nullptr}, {"English", kEnglishModule}};

win::UniqueModule LoadPageLanguage(const PageLanguage& language)
{
    return win::UniqueModule(language.module ? ::LoadLibraryExW(BesideThisProgram(language.module).c_str(), nullptr,
                                                                LOAD_LIBRARY_AS_DATAFILE)
                                             : nullptr);
}

ResourceLease LeaseOf(const win::UniqueModule& module)
{
    return module ? ResourceLease{module.get(), nullptr} : LeaseResourceInstance();
}

std::wstring ColumnHeading(HWND list, int column)
{
    wchar_t text[64] = {};
    LVCOLUMNW heading = {};
    heading.mask = LVCF_TEXT;
    heading.pszText = text;
    heading.cchTextMax = 64;
    ::SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&heading));
    return text;
}

}  // namespace

TEST_F(FilesPageTest, TheFilesPagesTemplateAndTextsAreThoseOfTheModuleItLeases)
{
    const struct {
        const PageLanguage& language;
        const wchar_t *copy, *save, *file;
    } cases[] = {{kPageLanguages[0], L"复制", L"Save checksum file...", L"文件"},
                 {kPageLanguages[1], L"Copy", L"Save checksum file...", L"File"}};
    const std::vector<std::wstring> selection = MakeSelection();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language.name);
        const win::UniqueModule module = LoadPageLanguage(c.language);
        ASSERT_TRUE(module || !c.language.module);
        ASSERT_NE(Show(selection, LeaseOf(module)), nullptr);
        ASSERT_TRUE(WaitUntilEnded(FileListOutcome::Finished));
        EXPECT_EQ(WindowText(Control(IDC_FILES_COPY)), c.copy);
        EXPECT_EQ(WindowText(Control(IDC_FILES_SAVE)), c.save);
        EXPECT_EQ(ColumnHeading(page->List(), 0), c.file);
        CloseSheet();
    }
}

// A checksum file sha256sum wrote (now), then one file altered and one
// removed: the checksum file's page shows each line's result and the counts,
// in the language of the resources it leases.
TEST_F(FilesPageTest, AChecksumFilesPageShowsEveryLinesResultAndTheCounts)
{
    MakeSelection();
    RunHostCommand(folder.Path(), L"sha256sum a.bin b.bin dir/x.bin | tee SHA256SUMS");
    folder.Write(L"a.bin", PatternBytes(102400));  // altered
    ASSERT_TRUE(::DeleteFileW((folder.Path() + L"\\b.bin").c_str()));
    const struct {
        const PageLanguage& language;
        const wchar_t *matches, *doesNotMatch, *missing, *counts, *stop;
    } cases[] = {
        {kPageLanguages[0], L"匹配", L"不匹配", L"文件不存在", L"匹配 1, 不匹配 1, 文件不存在 1, 无法读取 0, 无法识别的行 0", L"停止"},
        {kPageLanguages[1], L"Matches", L"Does not match", L"Missing",
         L"1 match, 1 do not match, 1 missing, 0 cannot be read, 0 lines not understood", L"Stop"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language.name);
        const win::UniqueModule module = LoadPageLanguage(c.language);
        ASSERT_TRUE(module || !c.language.module);
        auto* created = new CSumFileDialog(folder.Path() + L"\\SHA256SUMS", LeaseOf(module));
        HPROPSHEETPAGE handle = created->Create();
        ASSERT_NE(handle, nullptr);
        sheet = ShowInModelessSheet({handle});
        ASSERT_NE(sheet, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return created->Job().Ended(); }));
        PumpPending();
        const HWND window = created->Window();
        const HWND list = ::GetDlgItem(window, IDC_SUMS_LIST);
        ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
        const std::vector<std::vector<std::wstring>> expected = {{L"a.bin", L"SHA-256", c.doesNotMatch},
                                                                 {L"b.bin", L"SHA-256", c.missing},
                                                                 {L"dir/x.bin", L"SHA-256", c.matches}};
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column)
                EXPECT_EQ(CellText(list, row, column), expected[row][column]) << row << " " << column;
        }
        EXPECT_EQ(WindowText(::GetDlgItem(window, IDC_SUMS_COUNTS)), c.counts);
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(window, IDC_SUMS_STOP)));
        EXPECT_EQ(WindowText(::GetDlgItem(window, IDC_SUMS_STOP)), c.stop);  // from the template
        CloseSheet();
    }
}

// The checksum file's page sorted by a heading (the result's: problems first;
// again: the other way round) and its rows copied as shown.
TEST_F(FilesPageTest, AChecksumFilesRowsSortByAHeadingAndCopyAsShown)
{
    MakeSelection();
    RunHostCommand(folder.Path(), L"sha256sum dir/x.bin a.bin > SHA256SUMS && echo 'not a line' >> SHA256SUMS && "
                                  L"md5sum --tag b.bin >> SHA256SUMS");
    folder.Write(L"a.bin", PatternBytes(102400));  // altered
    ASSERT_TRUE(::DeleteFileW((folder.Path() + L"\\b.bin").c_str()));
    ASSERT_TRUE(ShowSumPage(folder.Path() + L"\\SHA256SUMS"));
    const HWND window = PropSheet_GetCurrentPageHwnd(sheet);
    const HWND list = ::GetDlgItem(window, IDC_SUMS_LIST);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindowEnabled(::GetDlgItem(window, IDC_SUMS_STOP)); }));
    PumpPending();
    const auto names = [&] {
        std::vector<std::wstring> shown;
        for (int row = 0; row < ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); ++row)
            shown.push_back(CellText(list, row, 0));
        return shown;
    };
    ASSERT_EQ(names(), (std::vector<std::wstring>{L"dir/x.bin", L"a.bin", L"not a line", L"b.bin"}));
    const struct {
        int column;
        std::vector<std::wstring> names;
    } clicks[] = {
        {2, {L"a.bin", L"b.bin", L"not a line", L"dir/x.bin"}},  // does not match, missing, not understood, matches
        {2, {L"dir/x.bin", L"not a line", L"b.bin", L"a.bin"}},
        {1, {L"b.bin", L"dir/x.bin", L"a.bin", L"not a line"}},  // MD5 before SHA-256, none last
        {0, {L"dir/x.bin", L"a.bin", L"not a line", L"b.bin"}},
    };
    for (const auto& click : clicks) {
        ClickListColumn(window, IDC_SUMS_LIST, click.column);
        EXPECT_EQ(names(), click.names) << click.column;
    }

    ClickListColumn(window, IDC_SUMS_LIST, 2);
    const std::wstring sentinel = L"left alone";
    ASSERT_TRUE(PutOnClipboard(CF_UNICODETEXT, MakeTextBlock(sentinel + L'\0')));
    LVITEMW first = {};
    first.stateMask = first.state = LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
    PressListKey(window, IDC_SUMS_LIST, 'C', false);
    EXPECT_EQ(ReadClipboardText(), sentinel);
    PressListKey(window, IDC_SUMS_LIST, 'C', true);
    EXPECT_EQ(ReadClipboardText(), L"a.bin\tSHA-256\t不匹配\r\n");
    PressListKey(window, IDC_SUMS_LIST, 'A', true);
    PressListKey(window, IDC_SUMS_LIST, 'C', true);
    EXPECT_EQ(ReadClipboardText(), L"a.bin\tSHA-256\t不匹配\r\nb.bin\tMD5\t文件不存在\r\nnot a line\t\t无法识别的行\r\n"
                                   L"dir/x.bin\tSHA-256\t匹配\r\n");
}

// Sorted by a heading: by size, the other way round, by the shown digest
// (identical files side by side); the copy and the search follow the rows
// to their places.
TEST_F(FilesPageTest, RowsSortByAHeadingAndTheCopyAndSearchFollowThem)
{
    std::vector<std::wstring> selection = MakeSelection();
    selection.push_back(folder.Write(L"same-as-a.bin", PatternBytes(102401)));
    ASSERT_NE(Show(selection), nullptr);
    ASSERT_TRUE(WaitUntilEnded(FileListOutcome::Finished));
    const auto names = [&] {
        std::vector<std::wstring> shown;
        for (int row = 0; row < ::SendMessageW(page->List(), LVM_GETITEMCOUNT, 0, 0); ++row)
            shown.push_back(CellText(page->List(), row, 0));
        return shown;
    };
    ClickListColumn(page->Window(), IDC_FILES_LIST, 1);
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"b.bin", L"dir\\x.bin", L"a.bin", L"same-as-a.bin", L"dir\\sub\\y.bin"}));
    ClickListColumn(page->Window(), IDC_FILES_LIST, 1);
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"dir\\sub\\y.bin", L"a.bin", L"same-as-a.bin", L"dir\\x.bin", L"b.bin"}));

    ClickListColumn(page->Window(), IDC_FILES_LIST, 2);
    std::vector<std::pair<std::wstring, std::wstring>> byDigest;  // SHA-256, shown name
    for (const auto& [name, size] : kRows)
        byDigest.push_back({PatternDigests(size, {L"SHA-256"}).at(L"SHA-256"), name});
    byDigest.push_back({PatternDigests(102401, {L"SHA-256"}).at(L"SHA-256"), L"same-as-a.bin"});
    std::stable_sort(byDigest.begin(), byDigest.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<std::wstring> expected;
    for (const auto& [digest, name] : byDigest)
        expected.push_back(name);
    EXPECT_EQ(names(), expected);

    const int placeOfY = static_cast<int>(std::find(expected.begin(), expected.end(), L"dir\\sub\\y.bin") - expected.begin());
    ::SetWindowTextW(Control(IDC_FILES_COMPARE_EDIT), PatternDigests(307200, {L"MD5"}).at(L"MD5").c_str());
    EXPECT_EQ(SelectedRows(), std::vector<int>{placeOfY});
    EXPECT_NE(page->CopyText().find(L"  dir/sub/y.bin\r\n"), std::wstring::npos) << Utf8(page->CopyText());
    EXPECT_EQ(Count(Utf8(page->CopyText()), "\n"), 1);
}

namespace {

// Dispatches one of this thread's messages, but no timer tick; false when
// none is queued. Counts the row changes among them.
bool DispatchOneButTicks(int& rowChanges)
{
    MSG message;
    if (!::PeekMessageW(&message, nullptr, 0, WM_TIMER - 1, PM_REMOVE) &&
        !::PeekMessageW(&message, nullptr, WM_TIMER + 1, 0xFFFFFFFF, PM_REMOVE))
        return false;
    rowChanges += message.message == WM_FILES_NOTIFY && message.wParam == kFilesRowsChanged ? 1 : 0;
    ::DispatchMessageW(&message);
    return true;
}

// With ten reads (of a file each) from the first let through one at a time, then the
// rest, every message but timer ticks dispatched meanwhile until the run ended
// (within safety limits): the row changes the page was sent.
int RowChangesWithoutTicks(FileSeam& seam, int first, const std::function<bool()>& ended)
{
    int changes = 0;
    for (int read = first; read < first + 10; ++read) {
        const ULONGLONG limit = ::GetTickCount64() + 15000;
        while (!seam.WaitUntilHeld(read, 5) && ::GetTickCount64() < limit)
            DispatchOneButTicks(changes);
        EXPECT_TRUE(seam.WaitUntilHeld(read, 0)) << read;
        while (DispatchOneButTicks(changes)) {
        }
        seam.Release(read);
    }
    seam.Open();
    const ULONGLONG deadline = ::GetTickCount64() + 15000;
    while (!ended() && ::GetTickCount64() < deadline) {
        if (!DispatchOneButTicks(changes))
            ::Sleep(1);
    }
    EXPECT_TRUE(ended());
    return changes;
}

}  // namespace

// However fast rows come, the page takes one row change a tick of its timer:
// with no tick, one for the whole run, and the run's end shows every row.
TEST_F(FilesPageTest, RowChangesComeAtMostOnceATickOfThePagesTimer)
{
    for (int i = 0; i < 40; ++i)
        folder.Write(L"f" + std::to_wstring(i) + L".bin", PatternBytes(static_cast<size_t>(i + 1)));
    seam.Close();
    const int first = seam.Reads();  // the page's worker may hold its first read before Show returns
    ASSERT_NE(Show({folder.Path()}), nullptr);
    EXPECT_EQ(RowChangesWithoutTicks(seam, first, [&] {
                  return page->Job().Outcome() == FileListOutcome::Finished && !::IsWindowEnabled(Control(IDC_FILES_STOP));
              }),
              1);
    EXPECT_EQ(::SendMessageW(page->List(), LVM_GETITEMCOUNT, 0, 0), 40);
}
