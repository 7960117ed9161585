// The page linked in directly, its file behind the test's seam: reads held
// until the test lets them through, so that every stop lands where the test
// says; a read that fails part-way (as a network file that goes away does);
// the bytes read counted, to tell a resume from a fresh run.
#include "HashDialogFixture.h"
#include "support/Leaks.h"
#include "support/ScratchRegistry.h"
#include "server/TallyraModule.h"

TEST_F(HashDialogTest, AReadThatFailsPartWayShowsTheFailureAndNoDigests)
{
    settings.enabled = {L"MD5", L"CRC32"};
    seam.FailRead(1, ERROR_NETNAME_DELETED);
    CHashDialog* page = Show(folder.Write(L"vanishing.bin", PatternBytes(307200)));
    ASSERT_NE(window, nullptr);

    ASSERT_TRUE(WaitForCompletions(1));
    EXPECT_FALSE(::IsWindowEnabled(window)) << "the failure was not shown";
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(page->FileJob().LastError(), static_cast<DWORD>(ERROR_NETNAME_DELETED));
    EXPECT_GT(WindowText(Control(IDC_ALGORITHM_LABEL)).size(), 5u) << "no error text on the page";
    EXPECT_TRUE(Locked());
    for (size_t i = 0; i < page->FileJob().Count(); ++i)
        EXPECT_TRUE(page->FileJob().At(i)->GetDigestText().empty());
}

TEST_F(HashDialogTest, AfterAStopItHashesAfreshWithTheAlgorithmsEnabledNow)
{
    settings.enabled = {L"MD2"};
    CHashDialog* page = ShowWithFirstReadHeld(folder.Write(L"again.bin", PatternBytes(102401)));
    ASSERT_NE(page, nullptr);

    page->StopHashing();
    page->UpdateControls(true);
    seam.Open();
    ASSERT_TRUE(WaitForCompletions(1));
    EXPECT_EQ(Rows(), 0);

    settings.enabled = {L"CRC32", L"SHA-256"};  // as the settings dialog would leave them
    page->RunHashing();
    ASSERT_TRUE(PumpUntil([&] { return Rows() > 0; }));
    EXPECT_EQ(ListRows(Control(IDC_HASH_LIST)), PatternDigests(102401, settings.enabled));
    EXPECT_EQ(seam.BytesRead(), 102400u + 102401u);  // the stopped run's first block, then the whole file
    EXPECT_EQ(WindowText(Control(IDC_STOP)), L"停止");
    EXPECT_FALSE(::IsWindowVisible(Control(IDC_STOP)));
}

TEST_F(HashDialogTest, StopAndResumeReadEveryByteOnceAndGiveTheUninterruptedDigests)
{
    settings.enabled = {L"MD5", L"SHA-256", L"CRC32"};
    ASSERT_NE(ShowWithFirstReadHeld(folder.Write(L"large.bin", PatternBytes(kLargePatternSize))), nullptr);
    EXPECT_EQ(WindowText(Control(IDC_STOP)), L"停止");
    EXPECT_FALSE(::IsWindowEnabled(Control(IDC_HASH_LIST)));

    for (int round = 0; round < 2; ++round) {
        const int first = 2 * round;  // the read the run waits in
        seam.Release(first);
        ASSERT_TRUE(seam.WaitUntilHeld(first + 1));
        Click(IDC_STOP);  // stop while the next block is read
        seam.Release(first + 1);
        ASSERT_TRUE(WaitForCompletions(round + 1));
        EXPECT_EQ(seam.Reads(), first + 2) << "a block was read after the stop";
        EXPECT_EQ(WindowText(Control(IDC_STOP)), L"效验文件哈希值");
        EXPECT_EQ(Rows(), 0);
        EXPECT_TRUE(::IsWindowEnabled(Control(IDC_HASH_LIST)));
        EXPECT_TRUE(::IsWindowVisible(Control(IDC_STOP)));
        EXPECT_FALSE(::IsWindowEnabled(Control(IDC_COMPARE_FILE)));
        EXPECT_TRUE(Locked());

        Click(IDC_STOP);  // resume
        EXPECT_EQ(WindowText(Control(IDC_STOP)), L"停止");
        EXPECT_FALSE(::IsWindowEnabled(Control(IDC_HASH_LIST)));
    }
    seam.Open();
    ASSERT_TRUE(PumpUntil([&] { return Rows() > 0; }));
    EXPECT_EQ(ListRows(Control(IDC_HASH_LIST)), PatternDigests(kLargePatternSize, settings.enabled));
    EXPECT_EQ(seam.BytesRead(), kLargePatternSize);  // resumed where it stopped: nothing read twice
    EXPECT_FALSE(::IsWindowVisible(Control(IDC_STOP)));
}

// The list view may keep reading a text the page handed out until it has
// asked for two more.
TEST_F(HashDialogTest, ACellTextStaysAsHandedOutUntilTwoMoreWereAskedFor)
{
    settings.enabled = {L"CRC32", L"MD5"};
    Show(folder.Write(L"cells.bin", PatternBytes(102401)));
    ASSERT_TRUE(WaitForCompletions(1));
    const DigestTable digests = PatternDigests(102401, {L"CRC32", L"MD5"});
    const struct {
        int row, column;
        std::wstring text;
    } asked[] = {{0, 0, L"CRC32"}, {0, 1, digests.at(L"CRC32")}, {1, 1, digests.at(L"MD5")}};
    std::vector<const wchar_t*> handedOut;
    for (const auto& cell : asked) {
        wchar_t own[4] = {};
        NMLVDISPINFOW info = {};
        info.hdr = {Control(IDC_HASH_LIST), IDC_HASH_LIST, static_cast<UINT>(LVN_GETDISPINFOW)};
        info.item.mask = LVIF_TEXT;
        info.item.iItem = cell.row;
        info.item.iSubItem = cell.column;
        info.item.pszText = own;
        info.item.cchTextMax = 4;
        ::SendMessageW(window, WM_NOTIFY, IDC_HASH_LIST, reinterpret_cast<LPARAM>(&info));
        handedOut.push_back(info.item.pszText);
    }
    for (size_t i = 0; i < handedOut.size(); ++i)
        EXPECT_EQ(std::wstring(handedOut[i]), asked[i].text) << i;
}

TEST_F(HashDialogTest, NoDropIsTakenWhileTheFileIsHashed)
{
    settings.enabled = {L"MD5"};
    ASSERT_NE(ShowWithFirstReadHeld(folder.Write(L"busy.bin", PatternBytes(307200))), nullptr);
    EXPECT_EQ(DropOnPage({folder.Write(L"candidate.bin", PatternBytes(10))}), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_TRUE(Locked());
}

TEST_F(HashDialogTest, ClosingTheSheetMidRunAHundredTimesLeavesNothingBehind)
{
    settings.enabled = {L"MD2", L"SHA-512"};
    const std::wstring path = folder.Write(L"closing.bin", PatternBytes(307200));
    seam.ReportProcessors(2);  // a lane each: after the first read, the lanes hold a block when the sheet closes
    seam.Close();  // every run waits in a read when its sheet closes
    Show(path);    // warm-up: what is made once per process
    ASSERT_TRUE(seam.WaitUntilHeld(0));
    CloseSheet();
    const int threads = ThreadsOfThisProcess();
    const ULONG_PTR handles = HandleHighWater();
    const size_t windows = CountThreadWindows();
    for (int cycle = 0; cycle < 100; ++cycle) {
        // Closed in the first, second or third (last) read of the file.
        const int first = seam.Reads();
        Show(path);
        ASSERT_NE(window, nullptr);
        for (int read = first; read < first + cycle % 3; ++read)
            seam.Release(read);
        ASSERT_TRUE(seam.WaitUntilHeld(first + cycle % 3));
        CloseSheet();  // stops the run: flag and a short pause, no waiting for the worker
    }
    EXPECT_EQ(CTallyraModule::Instance().GetLockCount(), 0);
    seam.Open();
    // Each worker ends its read, sees the flag before the next block and ends.
    EXPECT_TRUE(PumpUntil([&] { return ThreadsOfThisProcess() <= threads; }));
    EXPECT_LE(HandleHighWater(), handles + 50 * sizeof(HANDLE));
    EXPECT_LE(CountThreadWindows(), windows);
}

TEST_F(HashDialogTest, ClosingTheSheetDuringAComparisonAHundredTimesLeavesNothingBehind)
{
    settings.enabled = {L"MD5"};
    const std::wstring empty = folder.Write(L"empty.bin", {});  // hashed without a read
    const std::wstring second = folder.Write(L"second.bin", PatternBytes(102401));
    seam.Close();  // every comparison waits in its first read when its sheet closes
    auto cycle = [&] {
        CHashDialog* page = Show(empty);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitForCompletions(1));
        const int read = seam.Reads();
        ASSERT_TRUE(page->HashCompareFile(second));
        ASSERT_TRUE(seam.WaitUntilHeld(read));
        CloseSheet();
    };
    cycle();  // warm-up: what is made once per process
    const int threads = ThreadsOfThisProcess();
    const ULONG_PTR handles = HandleHighWater();
    const size_t windows = CountThreadWindows();
    for (int i = 0; i < 100; ++i)
        ASSERT_NO_FATAL_FAILURE(cycle());
    EXPECT_EQ(CTallyraModule::Instance().GetLockCount(), 0);
    seam.Open();
    EXPECT_TRUE(PumpUntil([&] { return ThreadsOfThisProcess() <= threads; }));
    // Handles are numbered four apart: fewer than one kept for every two closes.
    const ULONG_PTR after = HandleHighWater();
    EXPECT_LE(after, handles + 4 * 50) << (after - handles) / 4 << " handles more";
    EXPECT_LE(CountThreadWindows(), windows);
}

// The options link opens the settings dialog: a cancel leaves the page as it
// is, a save hashes the file again with what is enabled then.
TEST_F(HashDialogTest, TheOptionsLinkOpensTheSettingsAndASaveHashesAgain)
{
    static ScratchRegistry registry;  // the dialog's save writes the user's flags
    settings.enabled = {L"MD5"};
    Show(folder.Write(L"options.bin", PatternBytes(102401)));
    ASSERT_TRUE(WaitForCompletions(1));
    auto clickLink = [&](UINT button) {
        ModalDialogAnswers answers({sheet}, {[button](HWND dialog) {
                                       EXPECT_NE(::GetDlgItem(dialog, IDC_ALGORITHM_LIST), nullptr) << "not the settings";
                                       ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                                                      reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
                                   }});
        NMHDR click = {Control(IDC_OPTIONS_LINK), IDC_OPTIONS_LINK, static_cast<UINT>(NM_CLICK)};
        ::SendMessageW(window, WM_NOTIFY, IDC_OPTIONS_LINK, reinterpret_cast<LPARAM>(&click));
        EXPECT_EQ(answers.Answered(), 1);
        EXPECT_EQ(answers.Unexpected(), 0);
    };

    clickLink(IDCANCEL);
    EXPECT_EQ(ListRows(Control(IDC_HASH_LIST)), PatternDigests(102401, {L"MD5"}));
    EXPECT_FALSE(::IsWindowVisible(Control(IDC_STOP))) << "hashing again after a cancel";

    settings.enabled = {L"CRC32", L"SHA-1"};  // as the saved choice leaves them
    clickLink(IDOK);
    ASSERT_TRUE(WaitForCompletions(2));
    EXPECT_EQ(ListRows(Control(IDC_HASH_LIST)), PatternDigests(102401, settings.enabled));
}
