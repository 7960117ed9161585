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
    HPROPSHEETPAGE handle = page->Create();
    ASSERT_NE(handle, nullptr);
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS;
    header.pszCaption = L"failure";
    header.nPages = 1;
    header.phpage = &handle;
    HWND sheet = reinterpret_cast<HWND>(::PropertySheetW(&header));
    ASSERT_NE(sheet, nullptr);
    HWND window = page->Window();
    ASSERT_NE(window, nullptr);

    ASSERT_TRUE(PumpUntil([&] { return !::IsWindowEnabled(window); }, 30000)) << "the failure was not shown";
    EXPECT_EQ(::SendDlgItemMessageW(window, CHashDialog::IDC_HASH_LIST, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(page->FileJob().LastError(), static_cast<DWORD>(ERROR_NETNAME_DELETED));
    wchar_t label[512] = {};
    ::GetDlgItemTextW(window, CHashDialog::IDC_ALGORITHM_LABEL, label, 512);
    EXPECT_GT(std::wstring(label).size(), 5u) << "no error text on the page";
    EXPECT_NE(::SendMessageW(window, WM_QUERY_COMPARE_LOCKED, 0, 0), 0);
    for (size_t i = 0; i < page->FileJob().Count(); ++i)
        EXPECT_TRUE(page->FileJob().At(i)->GetDigestText().empty());

    ::DestroyWindow(sheet);
    ::OleUninitialize();
}
