// The compact page linked in directly, alone in a modeless sheet, its reads
// behind the test's file seam. Digests are checked against the independent
// values of PatternDigests; texts are those of the English and the Chinese
// resources, chosen by the thread's language.
#include "PageInSheet.h"
#include "support/HangWatchdog.h"
#include "support/Leaks.h"
#include "support/Text.h"
#include "support/ThreadLanguage.h"
#include "ui/CompactHashDialog.h"

#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <random>

namespace {

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID kChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
constexpr std::size_t kFileSize = 102401;

struct Language {
    LANGID id;
    const wchar_t* name;
    const wchar_t* title;
    const wchar_t* md5Frame;
    const wchar_t* compare;
    const wchar_t* match;
    const wchar_t* differ;
    const wchar_t* compareCaption;
    const wchar_t* cancel;
    const wchar_t* cancelled;
    const wchar_t* hashAgain;
    const wchar_t* cannotRead;
};

const Language kLanguages[] = {
    {kEnglish, L"english", L"File Hashes", L"MD5 Hash", L"Compare...", L"Hashes match", L"Hashes do not match",
     L"Compare Hashes", L"Cancel", L"Cancelled", L"Hash the File", L"The file could not be read"},
    {kChinese, L"chinese", L"文件校验", L"MD5校验码", L"对比...", L"校验值相同", L"不同的校验值", L"校验值对比", L"取消",
     L"已取消", L"校验文件", L"无法读取该文件"},
};

struct Row {
    const wchar_t* algorithm;
    UINT digest;
    UINT edit;
    UINT button;
    compact::Algorithm kind;
};
const Row kRows[] = {
    {L"MD5", IDC_MD5_DIGEST, IDC_MD5_COMPARE, IDC_MD5_COMPARE_BUTTON, compact::Algorithm::MD5},
    {L"SHA-1", IDC_SHA1_DIGEST, IDC_SHA1_COMPARE, IDC_SHA1_COMPARE_BUTTON, compact::Algorithm::SHA1},
    {L"CRC32", IDC_CRC32_DIGEST, IDC_CRC32_COMPARE, IDC_CRC32_COMPARE_BUTTON, compact::Algorithm::CRC32},
};
constexpr UINT kCompareControls[] = {IDC_MD5_COMPARE,  IDC_MD5_COMPARE_BUTTON,  IDC_SHA1_COMPARE,
                                     IDC_SHA1_COMPARE_BUTTON, IDC_CRC32_COMPARE, IDC_CRC32_COMPARE_BUTTON};

std::wstring Expected(std::size_t size, const wchar_t* algorithm)
{
    return PatternDigests(size, {algorithm})[algorithm];
}

bool Exclusive(const std::wstring& path)
{
    return static_cast<bool>(win::UniqueFile(
        ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
}

class CompactPageTest : public PageInSheetTest<compact::CHashDialog> {
protected:
    void ShowHashed(const std::wstring& path)
    {
        Show(path);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitForEnds(1));
    }

    bool WaitForEnds(int count) { return PageInSheetTest::WaitForEnds(compact::HashJob::kEndReport, count); }

    std::wstring Text(UINT id) const { return WindowText(Control(id)); }

    void ExpectNoDigestsShown(const std::wstring& shown, const Language& language)
    {
        for (const Row& row : kRows)
            EXPECT_EQ(Text(row.digest), shown) << Narrow(row.algorithm);
        EXPECT_EQ(Text(IDC_STOP), language.hashAgain);
        EXPECT_TRUE(Enabled(IDC_STOP));
        EXPECT_TRUE(Visible(IDC_PROGRESS));
        for (UINT id : kCompareControls)
            EXPECT_FALSE(Enabled(id)) << id;
    }
};

}  // namespace

TEST_F(CompactPageTest, ShowsTheDigestsOfTheWholeFileAndClosesIt)
{
    for (std::size_t size : {std::size_t{0}, std::size_t{102400}, kFileSize}) {
        SCOPED_TRACE(size);
        const std::wstring path = folder.Write(L"file" + std::to_wstring(size) + L".bin", PatternBytes(size));
        ShowHashed(path);
        for (const Row& row : kRows)
            EXPECT_EQ(Text(row.digest), Expected(size, row.algorithm)) << Narrow(row.algorithm);
        // An empty file is not read: 100, then the end; a whole block first says 0.
        const std::vector<WPARAM> progress =
            size == 0 ? std::vector<WPARAM>{100} : size == 102400 ? std::vector<WPARAM>{0, 100} : std::vector<WPARAM>{0, 99, 100};
        EXPECT_EQ(reports->progress, progress);
        for (UINT id : kCompareControls)
            EXPECT_TRUE(Enabled(id)) << id;
        for (UINT id : {IDC_STOP, IDC_PROGRESS, IDC_PROGRESS_FRAME})
            EXPECT_FALSE(Visible(id)) << id;
        EXPECT_TRUE(PumpUntil([&] { return Exclusive(path); })) << "the file is still open";
        CloseSheet();
    }
}

// A file that cannot be opened, and one whose read fails part-way, show no
// digest: the page says so in its language and offers to hash again.
TEST_F(CompactPageTest, AFileNotReadWholeShowsNoDigestInEitherLanguage)
{
    const std::wstring path = folder.Write(L"fails.bin", PatternBytes(307200));
    for (const Language& language : kLanguages) {
        SCOPED_TRACE(Narrow(language.name));
        ScopedThreadLanguage thread(language.id);
        ShowHashed(folder.Path() + L"\\missing.bin");
        ExpectNoDigestsShown(language.cannotRead, language);
        CloseSheet();

        seam.ThrowDuringRead(seam.Reads() + 1);  // an allocation failing in the worker
        ShowHashed(path);
        ExpectNoDigestsShown(language.cannotRead, language);
        CloseSheet();

        seam.FailRead(seam.Reads() + 1, ERROR_NETWORK_UNREACHABLE);
        ShowHashed(path);
        ExpectNoDigestsShown(language.cannotRead, language);
        EXPECT_TRUE(PumpUntil([&] { return Exclusive(path); })) << "the file is still open";
        // Hashed again, it reads through.
        Click(IDC_STOP);
        ASSERT_TRUE(WaitForEnds(2));
        EXPECT_EQ(Text(IDC_MD5_DIGEST), Expected(307200, L"MD5"));
        CloseSheet();
    }
}

TEST_F(CompactPageTest, ACancelLocksTheComparisonUntilANewRunHasEnded)
{
    seam.Close();
    Show(folder.Write(L"cancelled.bin", PatternBytes(307200)));
    // Its progress report is taken first: the read comes after it.
    ASSERT_TRUE(PumpUntil([&] { return seam.WaitUntilHeld(0, 0); }));
    Click(IDC_STOP);
    EXPECT_FALSE(Enabled(IDC_STOP)) << "a second click before the run ended would start another";
    seam.Release(0);
    ASSERT_TRUE(WaitForEnds(1));
    ExpectNoDigestsShown(L"Cancelled", kLanguages[0]);

    Click(IDC_STOP);  // hash the file again
    ASSERT_TRUE(PumpUntil([&] { return seam.WaitUntilHeld(1, 0); }));
    EXPECT_EQ(Text(IDC_STOP), L"Cancel");
    for (UINT id : kCompareControls)
        EXPECT_FALSE(Enabled(id)) << id;
    seam.Open();
    ASSERT_TRUE(WaitForEnds(2));
    EXPECT_EQ(Text(IDC_SHA1_DIGEST), Expected(307200, L"SHA-1"));
    for (UINT id : kCompareControls)
        EXPECT_TRUE(Enabled(id)) << id;
}

// Blanks around the text go as it is typed, inner ones stay; a text longer
// than a path is kept whole; nothing is compared while typing.
TEST_F(CompactPageTest, TheCompareEditsAreTrimmedAsTyped)
{
    ShowHashed(folder.Write(L"tidy.bin", PatternBytes(kFileSize)));
    const std::wstring longText(300, L'7');
    const struct {
        std::wstring typed;
        std::wstring kept;
    } cases[] = {
        {L" \t" + Expected(kFileSize, L"MD5") + L" \r\n", Expected(kFileSize, L"MD5")},
        {L"  AB CD\tEF  ", L"AB CD\tEF"},
        {L"   ", L""},
        {L" " + longText + L" ", longText},
    };
    ModalDialogAnswers noBox({sheet}, {});
    for (const Row& row : kRows) {
        for (const auto& c : cases) {
            SCOPED_TRACE(Narrow(row.algorithm) + " " + Narrow(c.typed.substr(0, 20)));
            ::SetWindowTextW(Control(row.edit), c.typed.c_str());
            EXPECT_EQ(Text(row.edit), c.kept);
        }
    }
    PumpPending();
    EXPECT_EQ(noBox.Unexpected(), 0);
}

// Both languages: the template, and the compare boxes' texts and icons for a
// digest in either case and a wrong one, on each row.
TEST_F(CompactPageTest, ComparesInTheThreadsLanguage)
{
    const std::wstring path = folder.Write(L"compare.bin", PatternBytes(kFileSize));
    for (const Language& language : kLanguages) {
        SCOPED_TRACE(Narrow(language.name));
        ScopedThreadLanguage thread(language.id);
        ShowHashed(path);
        EXPECT_EQ(WindowText(window), language.title);
        EXPECT_EQ(Text(IDC_MD5_FRAME), language.md5Frame);
        EXPECT_EQ(Text(IDC_MD5_COMPARE_BUTTON), language.compare);
        SaveScreenshot(CaptureShown(sheet), std::wstring(L"compact-page-") + language.name);
        for (const Row& row : kRows) {
            std::wstring lower = Expected(kFileSize, row.algorithm);
            for (wchar_t& c : lower)
                c = static_cast<wchar_t>(towlower(c));
            const struct {
                std::wstring text;
                MessageBoxSeen box;
            } cases[] = {
                {Expected(kFileSize, row.algorithm), {language.compareCaption, language.match, nullptr}},
                {lower, {language.compareCaption, language.match, nullptr}},
                {L"0x" + Expected(kFileSize, row.algorithm), {language.compareCaption, language.differ, IDI_WARNING}},
            };
            for (const auto& c : cases) {
                SCOPED_TRACE(Narrow(row.algorithm) + " " + Narrow(c.text));
                ::SetWindowTextW(Control(row.edit), c.text.c_str());
                MessageBoxSeen seen;
                ModalDialogAnswers answers({sheet}, {RecordMessageBox(seen)});
                Click(row.button);
                EXPECT_EQ(answers.Answered(), 1);
                EXPECT_EQ(seen, c.box);
            }
        }
        CloseSheet();
    }
}

// "Compare..." with an empty edit hashes a second file with that one
// algorithm; a cancelled dialog does nothing at all; the second file's
// failures have their own boxes and leave the page's digests alone.
TEST_F(CompactPageTest, AnEmptyCompareEditComparesASecondFile)
{
    const std::wstring path = folder.Write(L"first.bin", PatternBytes(kFileSize));
    const std::wstring other = folder.Write(L"other.bin", PatternBytes(102400));
    ShowHashed(path);
    const auto cancel = [](HWND dialog) { ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0); };
    const MessageBoxSeen match{L"Compare Hashes", L"Hashes match", nullptr};
    const MessageBoxSeen differ{L"Compare Hashes", L"Hashes do not match", IDI_WARNING};
    const MessageBoxSeen cannotOpen{L"ERROR", L"Failed to open file for reading.", nullptr};
    const MessageBoxSeen cannotRead{L"ERROR", L"Error reading file.", nullptr};
    for (const Row& row : kRows) {
        struct Case {
            const char* what;
            ModalDialogAnswers::Answer choose;
            bool failRead;
            std::optional<MessageBoxSeen> box;
            std::wstring edit;  // afterwards
        } cases[] = {
            {"cancelled", cancel, false, std::nullopt, L""},
            {"same bytes", ChooseInOpenFileDialog(path), false, match, Expected(kFileSize, row.algorithm)},
            {"other bytes", ChooseInOpenFileDialog(other), false, differ, Expected(102400, row.algorithm)},
            {"cannot open", ChooseInOpenFileDialog(folder.Path() + L"\\gone.bin"), false, cannotOpen, L""},
            {"read fails", ChooseInOpenFileDialog(path), true, cannotRead, L""},
        };
        for (Case& c : cases) {
            SCOPED_TRACE(Narrow(row.algorithm) + " " + c.what);
            ::SetWindowTextW(Control(row.edit), L"");
            if (c.failRead)
                seam.FailRead(seam.Reads(), ERROR_READ_FAULT);
            MessageBoxSeen seen;
            ModalDialogAnswers answers({sheet}, {c.choose, RecordMessageBox(seen)});
            Click(row.button);
            EXPECT_EQ(answers.Answered(), c.box ? 2 : 1);
            EXPECT_EQ(answers.Unexpected(), 0);
            if (c.box)
                EXPECT_EQ(seen, *c.box);
            EXPECT_EQ(Text(row.edit), c.edit);
            EXPECT_EQ(Text(row.digest), Expected(kFileSize, row.algorithm));
        }
    }
}

// A path longer than MAX_PATH is opened whole, not cut at 259 characters.
TEST(CompactSecondFile, APathLongerThanMaxPathIsHashedWhole)
{
    TempFolder folder;
    std::wstring directory = folder.Path();
    for (int i = 0; i < 3; ++i) {
        directory += L"\\" + std::wstring(90, static_cast<wchar_t>(L'a' + i));
        ASSERT_TRUE(::CreateDirectoryW(compact::OpenablePath(directory).c_str(), nullptr));
    }
    const std::wstring path = directory + L"\\long.bin";
    ASSERT_GT(path.size(), 259u);
    const std::vector<std::uint8_t> bytes = PatternBytes(kFileSize);
    {
        win::UniqueFile file(::CreateFileW(compact::OpenablePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(file && ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    }
    compact::HashJob job;
    const compact::SecondFileDigest digest = compact::HashSecondFile(path, compact::Algorithm::SHA1, job.SystemCalls());
    EXPECT_EQ(digest.failure, compact::SecondFileDigest::Failure::None);
    EXPECT_EQ(digest.text, Expected(kFileSize, L"SHA-1"));
    ::DeleteFileW(compact::OpenablePath(path).c_str());
    for (int i = 0; i < 3; ++i) {
        ::RemoveDirectoryW(compact::OpenablePath(directory).c_str());
        directory.resize(directory.rfind(L'\\'));
    }
}

// The worker reports synchronously: closing the sheet while it is blocked in
// such a report, or while it reads, must neither hang nor leave anything
// behind. A hundred closes at moments chosen by a seeded generator, each
// within a hang bound kept by a watchdog.
TEST_F(CompactPageTest, ClosingAtAnyMomentNeverHangsAndLeavesNothingBehind)
{
    const std::wstring path = folder.Write(L"long-run.bin", PatternBytes(10));
    seam.FakeReads();
    seam.ReportSize(std::uint64_t{1} << 32);  // reports enough for any moment
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> reportsBefore(0, 30);
    const auto cycle = [&](bool whileBlockedInAReport, int reportsFirst) {
        Show(path);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return static_cast<int>(reports->progress.size()) >= reportsFirst; }));
        if (whileBlockedInAReport)
            ASSERT_TRUE(WaitWithoutPumping([] { return (::GetQueueStatus(QS_SENDMESSAGE) >> 16) & QS_SENDMESSAGE; }));
        HangWatchdog bound("closing the sheet: the worker and the page wait for each other");
        CloseSheet();
    };
    // Warm-up: what is made once per process (GoogleTest's own watcher thread
    // among it, started by the first check of a fatal failure).
    ASSERT_NO_FATAL_FAILURE(cycle(true, 1));
    ASSERT_NO_FATAL_FAILURE(cycle(false, 1));
    const int threads = ThreadsOfThisProcess();
    const ULONG_PTR handles = HandleHighWater();
    const size_t windows = CountThreadWindows();
    for (int i = 0; i < 100; ++i)
        ASSERT_NO_FATAL_FAILURE(cycle(i % 2 == 0, reportsBefore(random)));
    // Every worker has ended by the time its sheet is gone (the system may
    // still be ending a thread of its own).
    EXPECT_TRUE(PumpUntil([&] { return ThreadsOfThisProcess() <= threads; }))
        << ThreadsOfThisProcess() << " threads, " << threads << " before";
    EXPECT_LE(HandleHighWater(), handles + 4 * 20);
    EXPECT_LE(CountThreadWindows(), windows);
    EXPECT_TRUE(Exclusive(path)) << "a run left the file open";
}
