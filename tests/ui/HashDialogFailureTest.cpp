// The page with its file behind a read that fails part-way (as a network
// file that goes away does): the page must not show digests of part of the
// file, and it says why.
#include "support/Digests.h"
#include "support/TallyraDll.h"
#include "support/TestFiles.h"
#include "ui/HashDialog.h"

#include <gtest/gtest.h>
#include <ole2.h>

namespace {

std::atomic<int> reads{0};

BOOL WINAPI FailingSecondRead(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped)
{
    if (reads++ == 1) {
        *read = 0;
        ::SetLastError(ERROR_NETNAME_DELETED);
        return FALSE;
    }
    return ::ReadFile(file, buffer, toRead, read, overlapped);
}

// The page alone in a modeless sheet, which owns it from now on.
HWND ShowInSheet(CHashDialog* page)
{
    HPROPSHEETPAGE handle = page->Create();
    return handle ? ShowInModelessSheet({handle}) : nullptr;
}

}  // namespace

TEST(HashDialogFailure, AReadThatFailsPartWayShowsTheFailureAndNoDigests)
{
    ::OleInitialize(nullptr);
    FixedSettings settings;
    settings.enabled = {L"MD5", L"CRC32"};
    BoundSettings bound(settings);
    TempFolder folder;
    const std::wstring path = folder.Write(L"vanishing.bin", PatternBytes(307200));

    auto* page = new CHashDialog(path);
    page->SetFileAccessForTesting({&FailingSecondRead, &::GetFileSize});
    HWND sheet = ShowInSheet(page);
    ASSERT_NE(sheet, nullptr);
    HWND window = page->Window();
    ASSERT_NE(window, nullptr);

    ASSERT_TRUE(PumpUntil([&] { return !::IsWindowEnabled(window); }, 30000)) << "the failure was not shown";
    EXPECT_EQ(::SendDlgItemMessageW(window, IDC_HASH_LIST, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(page->FileJob().LastError(), static_cast<DWORD>(ERROR_NETNAME_DELETED));
    wchar_t label[512] = {};
    ::GetDlgItemTextW(window, IDC_ALGORITHM_LABEL, label, 512);
    EXPECT_GT(std::wstring(label).size(), 5u) << "no error text on the page";
    EXPECT_NE(::SendMessageW(window, WM_QUERY_COMPARE_LOCKED, 0, 0), 0);
    for (size_t i = 0; i < page->FileJob().Count(); ++i)
        EXPECT_TRUE(page->FileJob().At(i)->GetDigestText().empty());

    ::DestroyWindow(sheet);
    ::OleUninitialize();
}

TEST(HashDialogRunHashing, AfterAStopItHashesAfreshWithTheAlgorithmsEnabledNow)
{
    ::OleInitialize(nullptr);
    FixedSettings settings;
    settings.enabled = {L"MD2"};  // slow enough to stop
    BoundSettings bound(settings);
    TempFolder folder;
    const std::wstring path = folder.Write(L"again.bin", PatternBytes(102401));

    auto* page = new CHashDialog(path);
    // Every read is slow: the stop lands before the end.
    page->SetFileAccessForTesting({[](HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped) {
                                       ::Sleep(100);
                                       return ::ReadFile(file, buffer, toRead, read, overlapped);
                                   },
                                   &::GetFileSize});
    HWND sheet = ShowInSheet(page);
    ASSERT_NE(sheet, nullptr);
    HWND window = page->Window();
    HWND list = ::GetDlgItem(window, IDC_HASH_LIST);

    page->StopHashing();
    page->UpdateControls(true);
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);

    settings.enabled = {L"CRC32", L"SHA-256"};  // as the settings dialog would leave them
    page->RunHashing();
    ASSERT_TRUE(PumpUntil([&] { return ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0; }, 30000));
    ASSERT_EQ(page->FileJob().Count(), 2u);
    EXPECT_EQ(page->FileJob().At(0)->GetDigestText(), L"D24F301E");  // independently computed
    EXPECT_EQ(page->FileJob().At(1)->GetDigestText(),
              L"B44AB4312B17BC493382602FED2F8D3F7FA93004EEBB2DD4BF5F1AB1CF3392D3");
    wchar_t stop[64] = {};
    ::GetDlgItemTextW(window, IDC_STOP, stop, 64);
    EXPECT_STREQ(stop, L"停止");
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(window, IDC_STOP)));

    ::DestroyWindow(sheet);
    ::OleUninitialize();
}
