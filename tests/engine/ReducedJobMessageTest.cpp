// The reduced configuration's job reports on its own message: WM_USER + 0x65
// (0x465), never the full configuration's WM_APP + 0x65 (0x8065): the page's
// adapter posts the configuration's message.
#include "Features.h"
#include "engine/HashData.h"
#include "ui/WindowJobReports.h"
#include "support/Digests.h"
#include "support/TestFiles.h"
#include "win/UniqueHandle.h"

#include <gtest/gtest.h>
#include <mutex>
#include <set>

namespace {

std::mutex postedLock;
std::set<UINT> posted;

BOOL WINAPI RecordPost(HWND, UINT message, WPARAM, LPARAM)
{
    std::lock_guard<std::mutex> held(postedLock);
    posted.insert(message);
    return TRUE;
}

}  // namespace

TEST(ReducedJob, ReportsProgressAndCompletionOnWmUserPlus0x65)
{
    FixedSettings settings;
    settings.enabled = {L"MD5"};
    BoundSettings bound(settings);
    TempFolder folder;
    win::UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);

    HashDataPtr job = HashData::Create();
    job->SetReports(std::make_shared<WindowJobReports>(window.get(), WM_HASHDATA_NOTIFY,
                                                       WindowJobReports::Delivery::Post, &RecordPost));
    ASSERT_TRUE(job->Open(folder.Write(L"two-blocks.bin", PatternBytes(2 * kHashBlockSize))));
    win::UniqueThread worker(job->Start(true));
    ASSERT_TRUE(worker);
    ASSERT_EQ(::WaitForSingleObject(worker.get(), 30000), WAIT_OBJECT_0);

    EXPECT_EQ(posted, std::set<UINT>{0x465});
    EXPECT_EQ(job->At(0)->GetDigestText(), PatternDigests(2 * kHashBlockSize, {L"MD5"}).at(L"MD5"));
}
