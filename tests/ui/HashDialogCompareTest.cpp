// The page's comparisons: text typed or pasted into the compare edit, the real
// clipboard and its viewer chain, a second file chosen in the real open-file
// dialog or dropped on the page, and a stop in the middle of a comparison.
// The page's file is PatternBytes(kFileSize) with CRC32, MD5 and SHA-256
// (rows 0, 1 and 2); the digests are PatternDigests.
#include "HashDialogFixture.h"
#include "support/Clipboard.h"
#include "support/Text.h"

#include <algorithm>
#include <cwctype>
#include <dlgs.h>
#include <optional>
#include <ostream>
#include <tuple>
#include <utility>

namespace {

constexpr std::size_t kFileSize = 102401;
constexpr std::size_t kOtherSize = 204800;  // a second file that differs

std::wstring Digest(const std::wstring& algorithm, std::size_t size = kFileSize)
{
    return PatternDigests(size, {algorithm})[algorithm];
}

std::wstring Lower(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

// What the page shows of a comparison.
struct Shown {
    std::wstring edit;
    std::optional<ComparisonOutcome> icon;
    std::wstring label;
    int row;  // the selected row, -1 for none

    bool operator==(const Shown& o) const
    {
        return std::tie(edit, icon, label, row) == std::tie(o.edit, o.icon, o.label, o.row);
    }
};

void PrintTo(const Shown& shown, std::ostream* out)
{
    const char* icons[] = {"question", "check", "cross"};
    *out << "edit \"" << Narrow(shown.edit) << "\", icon "
         << (shown.icon ? icons[static_cast<int>(*shown.icon)] : "none") << ", label \"" << Narrow(shown.label)
         << "\", row " << shown.row;
}

constexpr auto kQuestion = ComparisonOutcome::NothingToCompare;
constexpr auto kCheck = ComparisonOutcome::Match;
constexpr auto kCross = ComparisonOutcome::Mismatch;

class PageCompareTest : public HashDialogTest {
protected:
    PageCompareTest()
    {
        EmptyTheClipboard();  // nothing from an earlier test is found there
        settings.enabled = {L"CRC32", L"MD5", L"SHA-256"};
    }

    // The page on PatternBytes(kFileSize), once its digests are shown.
    void ShowHashed()
    {
        page = Show(folder.Write(L"page.bin", PatternBytes(kFileSize)));
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitForCompletions(1));
    }

    Shown State() const
    {
        const auto row = ::SendMessageW(Control(IDC_HASH_LIST), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED);
        return {WindowText(Control(IDC_COMPARE_EDIT)), page->ShownOutcome(), WindowText(Control(IDC_ALGORITHM_LABEL)),
                static_cast<int>(row)};
    }

    void Type(const std::wstring& text) { ::SetWindowTextW(Control(IDC_COMPARE_EDIT), text.c_str()); }

    // Selects the row alone; none for -1.
    void SelectRow(int row)
    {
        LVITEMW item = {};
        item.stateMask = LVIS_SELECTED;
        ::SendMessageW(Control(IDC_HASH_LIST), LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&item));
        item.state = LVIS_SELECTED;
        if (row >= 0)
            ::SendMessageW(Control(IDC_HASH_LIST), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }

    bool WaitForCompares(int count)
    {
        return PumpUntil([&] { return reports->Ends(HASHJOB_COMPARE) >= count; });
    }

    void Copy(const OtherViewer& other, const std::wstring& text) { ASSERT_TRUE(CopyUntilHeard(other, text)); }

    // Drops the file with the seam closed and stops its comparison while its
    // first read is held; that read's number.
    int StopComparisonInItsRead(const std::wstring& path)
    {
        seam.Close();
        const int held = seam.Reads();
        EXPECT_EQ(DropOnPage({path}), static_cast<DWORD>(DROPEFFECT_COPY));
        EXPECT_TRUE(PumpUntil([&] { return page->CompareJob().IsRunning(); }));
        EXPECT_TRUE(seam.WaitUntilHeld(held));
        Click(IDC_STOP);
        return held;
    }

    CHashDialog* page = nullptr;
};

}  // namespace

TEST_F(PageCompareTest, TypedTextIsTidiedAndComparedWithEveryDigest)
{
    ASSERT_NO_FATAL_FAILURE(ShowHashed());
    EXPECT_EQ(State(), (Shown{L"", kQuestion, L"", 0}));
    const std::wstring crc = Digest(L"CRC32"), md5 = Digest(L"MD5"), sha = Digest(L"SHA-256");
    std::wstring wrong = md5;
    wrong[5] = wrong[5] == L'0' ? L'1' : L'0';
    // SHA-256 in groups of four, between blanks of every kind.
    std::wstring grouped = L" \t";
    for (std::size_t i = 0; i < sha.size(); i += 4)
        grouped += (i == 0 ? L"" : i % 12 == 0 ? L" " : i % 12 == 4 ? L"-" : L"\t") + sha.substr(i, 4);
    grouped += L" \t ";

    struct Case {
        std::wstring typed;
        Shown shown;
        const wchar_t* screenshot;
    };
    const Case cases[] = {
        {L"0x" + md5, {L"0x" + md5, kCheck, L"MD5", 1}, L"page-check"},
        {L"0X" + Lower(crc), {L"0X" + Lower(crc), kCheck, L"CRC32", 0}, nullptr},
        {grouped, {sha, kCheck, L"SHA-256", 2}, nullptr},
        {Lower(md5), {Lower(md5), kCheck, L"MD5", 1}, nullptr},
        {L" \t - ", {L"", kQuestion, L"", 1}, L"page-question"},
        {L"0x", {L"0x", kQuestion, L"", 1}, nullptr},
        {wrong, {wrong, kCross, L"", 1}, L"page-cross"},
        {md5.substr(1), {md5.substr(1), kCross, L"", 1}, nullptr},
        {Digest(L"MD5", kOtherSize), {Digest(L"MD5", kOtherSize), kCross, L"", 1}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.typed));
        Type(c.typed);
        EXPECT_EQ(State(), c.shown);
        if (c.screenshot)
            SaveScreenshot(CaptureShown(window), c.screenshot);
    }

    // Pasted at the caret: the caret stays after what was pasted.
    struct Paste {
        std::wstring before;
        DWORD caret;
        std::wstring pasted;
        std::wstring after;
        DWORD caretAfter;
    };
    const Paste pastes[] = {
        {L"", 0, L"  AB CD", L"ABCD", 4},
        {L"CD", 0, L"\x3000" L"AB", L"ABCD", 2},  // a leading ideographic space taken
    };
    for (const Paste& p : pastes) {
        SCOPED_TRACE(Narrow(p.pasted));
        HWND edit = Control(IDC_COMPARE_EDIT);
        Type(p.before);
        ::SendMessageW(edit, EM_SETSEL, p.caret, p.caret);
        ::SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(p.pasted.c_str()));
        DWORD start = 0, end = 0;
        ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(WindowText(edit), p.after);
        EXPECT_EQ(std::make_pair(start, end), std::make_pair(p.caretAfter, p.caretAfter));
    }
}

// The other viewer joins before the page: the page passes every change on to
// it while it is in the chain, and leaves it at the head when it goes.
TEST_F(PageCompareTest, ACopiedDigestFillsTheEmptyEditAndEndsTheWatching)
{
    OtherViewer other;
    ASSERT_NO_FATAL_FAILURE(ShowHashed());
    EXPECT_EQ(::GetClipboardViewer(), window);

    Copy(other, L"no digest here: " + Digest(L"MD5", kOtherSize));
    EXPECT_EQ(State(), (Shown{L"", kQuestion, L"", 0}));

    Copy(other, Lower(Digest(L"MD5")) + L" *page.bin\r\n");
    EXPECT_EQ(State(), (Shown{Digest(L"MD5"), kCheck, L"MD5", 1}));
    EXPECT_EQ(::GetClipboardViewer(), other.Handle());

    Type(L"");
    Copy(other, Digest(L"CRC32"));  // not watched any more
    EXPECT_EQ(State(), (Shown{L"", kQuestion, L"", 1}));
}

TEST_F(PageCompareTest, TextsCopiedWhileTheFileIsHashedAreSearchedWhenItsDigestsAreKnown)
{
    OtherViewer other;
    page = ShowWithFirstReadHeld(folder.Write(L"page.bin", PatternBytes(kFileSize)));
    ASSERT_NE(page, nullptr);

    Copy(other, L"crc32: " + Lower(Digest(L"CRC32")));
    // The newest text with a digest: MD5 before SHA-256 in the list.
    Copy(other, L"SHA-256 " + Digest(L"SHA-256") + L"\r\nMD5 " + Lower(Digest(L"MD5")));
    Copy(other, L"nothing to compare");
    EXPECT_EQ(WindowText(Control(IDC_COMPARE_EDIT)), L"");

    seam.Open();
    ASSERT_TRUE(WaitForCompletions(1));
    EXPECT_EQ(State(), (Shown{Digest(L"MD5"), kCheck, L"MD5", 1}));
    EXPECT_EQ(::GetClipboardViewer(), other.Handle());
}

TEST_F(PageCompareTest, TheFileChosenInTheOpenDialogIsHashedAndCompared)
{
    ASSERT_NO_FATAL_FAILURE(ShowHashed());
    const std::wstring same = folder.Write(L"same.bin", PatternBytes(kFileSize));
    const std::wstring other = folder.Write(L"other.bin", PatternBytes(kOtherSize));
    struct Case {
        std::wstring path;
        int selected;
        Shown shown;  // a mismatch names no algorithm
    };
    const Case cases[] = {
        {same, 1, {Digest(L"MD5"), kCheck, L"MD5", 1}},
        {other, 2, {Digest(L"SHA-256", kOtherSize), kCross, L"", 2}},
        {other, -1, {Digest(L"CRC32", kOtherSize), kCross, L"", -1}},  // no row: row 0's algorithm
        {same, -1, {Digest(L"CRC32"), kCheck, L"CRC32", 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.path) + " with row " + std::to_string(c.selected));
        SelectRow(c.selected);
        const int compares = reports->Ends(HASHJOB_COMPARE);
        ModalDialogAnswers answers({sheet}, {ChooseInOpenFileDialog(c.path)});
        Click(IDC_COMPARE_FILE);
        EXPECT_EQ(answers.Answered(), 1);
        ASSERT_TRUE(WaitForCompares(compares + 1));
        EXPECT_EQ(State(), c.shown);
        EXPECT_FALSE(Locked());
        EXPECT_EQ(answers.Unexpected(), 0);
    }
    SaveScreenshot(CaptureShown(window), L"page-second-file");
}

TEST_F(PageCompareTest, AFileThatCannotBeOpenedIsReportedAndACancelChangesNothing)
{
    ASSERT_NO_FATAL_FAILURE(ShowHashed());
    Type(Digest(L"SHA-256"));
    const Shown before = State();
    const std::wstring locked = folder.Write(L"locked.bin", PatternBytes(10));
    win::UniqueFile writer(::CreateFileW(locked.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);

    std::wstring caption;
    std::vector<std::wstring> texts;
    const auto answerBox = [&](HWND box) {
        caption = WindowText(box);
        texts = StaticTexts(box);
        ::SendMessageW(box, WM_COMMAND, IDOK, 0);
    };
    {
        ModalDialogAnswers answers({sheet}, {ChooseInOpenFileDialog(locked), answerBox});
        Click(IDC_COMPARE_FILE);
        EXPECT_EQ(answers.Answered(), 2);
    }
    EXPECT_EQ(caption, L"Error");
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Failed to open the file for reading."), texts.end());
    {
        ModalDialogAnswers answers({sheet}, {[](HWND dialog) { ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0); }});
        Click(IDC_COMPARE_FILE);
        EXPECT_EQ(answers.Answered(), 1);
    }
    PumpPending();
    EXPECT_EQ(State(), before);
    EXPECT_EQ(reports->Ends(HASHJOB_COMPARE), 0);
    EXPECT_FALSE(Locked());
    EXPECT_TRUE(::IsWindowEnabled(Control(IDC_COMPARE_FILE)));
}

TEST_F(PageCompareTest, DroppedFilesAreComparedOneAfterAnotherAndAStopLeavesTheLastResult)
{
    ASSERT_NO_FATAL_FAILURE(ShowHashed());
    ModalDialogAnswers noBox({sheet}, {});
    EXPECT_EQ(DropOnPage({folder.Write(L"same.bin", PatternBytes(kFileSize))}), static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_TRUE(WaitForCompares(1));
    EXPECT_EQ(State(), (Shown{Digest(L"CRC32"), kCheck, L"CRC32", 0}));
    // At once: the first comparison's record has just ended.
    EXPECT_EQ(DropOnPage({folder.Write(L"other.bin", PatternBytes(kOtherSize))}), static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_TRUE(WaitForCompares(2));
    const Shown compared{Digest(L"CRC32", kOtherSize), kCross, L"", 0};
    EXPECT_EQ(State(), compared);

    // A third, stopped while its first block is read.
    StopComparisonInItsRead(folder.Write(L"stopped.bin", PatternBytes(kOtherSize)));
    seam.Open();
    ASSERT_TRUE(WaitForCompares(3));
    EXPECT_EQ(State(), compared);
    EXPECT_FALSE(Locked());
    EXPECT_TRUE(::IsWindowEnabled(Control(IDC_COMPARE_FILE)));

    // The next file run is not born stopped.
    settings.enabled = {L"MD5", L"SHA-1"};
    page->RunHashing();
    ASSERT_TRUE(WaitForCompletions(2));
    EXPECT_EQ(ListRows(Control(IDC_HASH_LIST)), PatternDigests(kFileSize, settings.enabled));
    EXPECT_EQ(noBox.Unexpected(), 0);
}
