// The completion message reaches the owner even when its queue refuses
// posts (a full queue refuses them: the page's thread was busy while a fast
// run posted its progress), and a worker whose window is gone still ends.
#include "support/Digests.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"

#include <atomic>
#include <memory>

namespace {

std::atomic<int> refusedCompletions{0};
std::atomic<int> completionsToRefuse{0};

// Every progress post and the first completion posts are refused, as a full
// queue refuses them.
BOOL WINAPI RefusingPost(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (lParam == 0)
        return FALSE;
    if (completionsToRefuse.fetch_sub(1) > 0) {
        ++refusedCompletions;
        return FALSE;
    }
    return ::PostMessageW(window, message, wParam, lParam);
}

class HashDataDelivery : public ::testing::Test {
protected:
    HashDataDelivery() : bound(settings) { settings.enabled = {L"MD5"}; }

    HashDataPtr NewJob(const MessageRecorder& recorder)
    {
        HashDataPtr job = HashData::Create();
        job->SetReports(recorder.Reports(&RefusingPost));
        return job;
    }

    FixedSettings settings;
    BoundSettings bound;
    TempFolder folder;
};

}  // namespace

TEST_F(HashDataDelivery, ARefusedCompletionIsPostedAgainUntilTaken)
{
    refusedCompletions = 0;
    completionsToRefuse = 5;
    MessageRecorder recorder;
    HashDataPtr job = NewJob(recorder);
    ASSERT_TRUE(job->Open(folder.Write(L"refused.bin", PatternBytes(307200))));
    win::UniqueThread worker(job->Start(true));
    ASSERT_TRUE(worker);

    ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE));
    EXPECT_EQ(refusedCompletions.load(), 5);
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{-static_cast<int>(HASHJOB_FILE)}));
    EXPECT_TRUE(job->Completed());
    EXPECT_EQ(::WaitForSingleObject(worker.get(), 30000), WAIT_OBJECT_0);
}

TEST_F(HashDataDelivery, AWorkerWhoseWindowIsGoneStopsPostingAndEnds)
{
    completionsToRefuse = 1 << 30;  // never taken
    auto recorder = std::make_unique<MessageRecorder>();
    HashDataPtr job = NewJob(*recorder);
    ASSERT_TRUE(job->Open(folder.Write(L"orphan.bin", PatternBytes(1000))));
    win::UniqueThread worker(job->Start(true));
    ASSERT_TRUE(worker);

    recorder.reset();  // the window goes while the completion is refused
    EXPECT_EQ(::WaitForSingleObject(worker.get(), 30000), WAIT_OBJECT_0);
    EXPECT_FALSE(job->IsRunning());
}
