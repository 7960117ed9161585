// The page linked in directly, its file behind the test's seam: reads held
// until the test lets them through, so that every stop lands where the test
// says; a read that fails part-way (as a network file that goes away does);
// the bytes read counted, to tell a resume from a fresh run.
#include "support/Digests.h"
#include "support/FileSeam.h"
#include "support/Gui.h"
#include "support/Leaks.h"
#include "support/TallyraDll.h"
#include "support/TestFiles.h"
#include "server/TallyraModule.h"
#include "ui/HashDialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <memory>
#include <ole2.h>

namespace {

// The file job's completions the page has handled: seen by a subclass above
// the page, after the page's own handling.
class HandledCompletions {
public:
    explicit HandledCompletions(HWND page) : page(page)
    {
        ::SetWindowSubclass(page, &Procedure, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    ~HandledCompletions()
    {
        if (::IsWindow(page))
            ::RemoveWindowSubclass(page, &Procedure, 0);
    }
    HandledCompletions(const HandledCompletions&) = delete;
    HandledCompletions& operator=(const HandledCompletions&) = delete;

    int count = 0;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self)
    {
        const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
        if (message == WM_HASHDATA_NOTIFY && wParam == 0 && lParam == HASHJOB_FILE)
            ++reinterpret_cast<HandledCompletions*>(self)->count;
        return result;
    }

    HWND page;
};

class HashDialogTest : public ::testing::Test {
protected:
    HashDialogTest() : bound(settings) { ::OleInitialize(nullptr); }
    ~HashDialogTest() override
    {
        CloseSheet();
        ::OleUninitialize();
    }

    // The page for the file alone in a modeless sheet, which owns it; its
    // reads go through the seam.
    CHashDialog* Show(const std::wstring& path)
    {
        auto* page = new CHashDialog(path);
        page->SetFileAccessForTesting(FileSeam::Access());
        HPROPSHEETPAGE handle = page->Create();
        sheet = handle ? ShowInModelessSheet({handle}) : nullptr;
        EXPECT_NE(sheet, nullptr);
        window = sheet ? page->Window() : nullptr;
        if (window)
            completions = std::make_unique<HandledCompletions>(window);
        return page;
    }

    void CloseSheet()
    {
        completions.reset();
        if (sheet)
            ::DestroyWindow(sheet);
        sheet = window = nullptr;
    }

    // Pumps until the page has handled this many completions of its file job.
    bool WaitForCompletions(int count)
    {
        return PumpUntil([&] { return completions && completions->count >= count; });
    }

    HWND Control(UINT id) const { return ::GetDlgItem(window, static_cast<int>(id)); }
    int Rows() const { return static_cast<int>(::SendMessageW(Control(IDC_HASH_LIST), LVM_GETITEMCOUNT, 0, 0)); }
    bool Locked() const { return ::SendMessageW(window, WM_QUERY_COMPARE_LOCKED, 0, 0) != 0; }
    void Click(UINT id)
    {
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(id)));
    }

    FixedSettings settings;
    BoundSettings bound;
    TempFolder folder;
    FileSeam seam;
    HWND sheet = nullptr;
    HWND window = nullptr;
    std::unique_ptr<HandledCompletions> completions;
};

}  // namespace

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
    seam.Close();
    CHashDialog* page = Show(folder.Write(L"again.bin", PatternBytes(102401)));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(seam.WaitUntilHeld(0));

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
    seam.Close();
    Show(folder.Write(L"large.bin", PatternBytes(kLargePatternSize)));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(seam.WaitUntilHeld(0));
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

TEST_F(HashDialogTest, NoDropIsTakenWhileTheFileIsHashed)
{
    settings.enabled = {L"MD5"};
    seam.Close();
    Show(folder.Write(L"busy.bin", PatternBytes(307200)));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(seam.WaitUntilHeld(0));
    RECT area = {};
    ::GetWindowRect(window, &area);
    ::SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    win::ComPtr<IDataObject> data = ShellDataObject({folder.Write(L"candidate.bin", PatternBytes(10))});
    ASSERT_TRUE(data);
    DropAtOnce source;
    DWORD effect = 0xFFFF;
    ::DoDragDrop(data.Get(), &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_TRUE(Locked());
}

TEST_F(HashDialogTest, ClosingTheSheetMidRunAHundredTimesLeavesNothingBehind)
{
    settings.enabled = {L"MD2", L"SHA-512"};
    const std::wstring path = folder.Write(L"closing.bin", PatternBytes(307200));
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
