// The file hashing job under Wine: real files, a real worker thread, a real
// window's message loop, the file calls through the test's seam where a case
// needs to steer them.
#include "engine/HashData.h"
#include "support/Digests.h"
#include "support/FileSeam.h"
#include "support/Leaks.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"
#include "support/Text.h"

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace {

constexpr int kDone1 = -static_cast<int>(HASHJOB_FILE);
constexpr int kDone2 = -static_cast<int>(HASHJOB_COMPARE);

const std::vector<std::wstring> kThree = {L"CRC32", L"MD5", L"SHA-256"};

std::vector<std::wstring> NamesOf(const DescriptorList& descriptors)
{
    std::vector<std::wstring> names;
    for (const SharedDescriptor& descriptor : descriptors)
        names.push_back(descriptor->GetName());
    return names;
}

DigestTable DigestsOf(const HashData& job)
{
    DigestTable digests;
    for (size_t i = 0; i < job.Count(); ++i)
        digests[job.At(i)->GetName()] = job.At(i)->GetDigestText();
    return digests;
}

// A thread handle closed when the test is done with it.
win::UniqueThread Started(HANDLE thread)
{
    return win::UniqueThread(thread);
}

void WaitForThread(const win::UniqueThread& thread)
{
    ASSERT_TRUE(thread);
    ASSERT_EQ(::WaitForSingleObject(thread.get(), 30000), WAIT_OBJECT_0);
}

class HashDataTest : public ::testing::Test {
protected:
    HashDataTest() : bound(settings)
    {
        settings.enabled = kThree;
        stop = std::make_shared<std::atomic<bool>>(false);
    }

    HashDataPtr NewJob(std::uint32_t tag = HASHJOB_FILE, bool useSeam = false)
    {
        HashDataPtr job = HashData::Create();
        job->SetReports(recorder.Reports(useSeam ? FileSeam::Post() : &::PostMessageW));
        job->SetStopFlag(stop);
        job->SetJobTag(tag);
        if (useSeam)
            job->SetSystemCallsForTesting(FileSeam::Calls());
        return job;
    }

    // Open and Start(true), then wait for the completion message.
    void RunToCompletion(const HashDataPtr& job, const std::wstring& path)
    {
        ASSERT_TRUE(job->Open(path));
        win::UniqueThread thread = Started(job->Start(true));
        ASSERT_TRUE(thread);
        ASSERT_TRUE(recorder.WaitForCompletion(job->JobTag()));
        WaitForThread(thread);
    }

    FixedSettings settings;
    BoundSettings bound;
    StopFlag stop;
    FileSeam seam;
    MessageRecorder recorder;
    TempFolder folder;
};

}  // namespace

TEST_F(HashDataTest, ProgressIsPostedBeforeEveryBlockThenHundredThenCompletion)
{
    const std::map<size_t, std::vector<int>> expected = {
        {0, {100, kDone1}},
        {102400, {0, 100, kDone1}},
        {102401, {0, 99, 100, kDone1}},
        {307200, {0, 33, 66, 100, kDone1}},
    };
    for (const auto& [size, sequence] : expected) {
        recorder.messages.clear();
        HashDataPtr job = NewJob();
        RunToCompletion(job, folder.Write(L"f" + std::to_wstring(size), PatternBytes(size)));
        EXPECT_EQ(Sequence(recorder.messages), sequence) << size << " bytes";
        EXPECT_EQ(job->LastError(), static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_TRUE(job->Completed());
        EXPECT_EQ(job->BytesDone(), 0u);  // a completed run closes its file
    }
}

TEST_F(HashDataTest, CompletedRunsHoldTheDigestsOfTheWholeFile)
{
    for (const size_t size : {0, 102401, 307200}) {
        HashDataPtr job = NewJob();
        RunToCompletion(job, folder.Write(L"d" + std::to_wstring(size), PatternBytes(size)));
        EXPECT_EQ(DigestsOf(*job), PatternDigests(size, kThree)) << size << " bytes";
    }
}

TEST_F(HashDataTest, TagsTellTheJobsApartAndProgressCarriesNoTag)
{
    const std::wstring path = folder.Write(L"two", PatternBytes(250000));
    HashDataPtr fileJob = NewJob(HASHJOB_FILE);
    HashDataPtr compareJob = NewJob(HASHJOB_COMPARE);
    ASSERT_TRUE(fileJob->Open(path));
    ASSERT_TRUE(compareJob->Open(path));
    win::UniqueThread first = Started(fileJob->Start(true));
    win::UniqueThread second = Started(compareJob->Start(true));
    // Both workers post everything before they end.
    WaitForThread(first);
    WaitForThread(second);
    recorder.Drain();
    int completions1 = 0, completions2 = 0;
    for (const JobMessage& message : recorder.messages) {
        if (message.lParam != 0) {
            EXPECT_EQ(message.wParam, 0u);
            completions1 += message.lParam == HASHJOB_FILE;
            completions2 += message.lParam == HASHJOB_COMPARE;
        }
    }
    EXPECT_EQ(completions1, 1);
    EXPECT_EQ(completions2, 1);
    EXPECT_EQ(DigestsOf(*fileJob), DigestsOf(*compareJob));
    EXPECT_EQ(fileJob->At(fileJob->Count()), nullptr);
    EXPECT_EQ(fileJob->At(1000), nullptr);
    EXPECT_EQ(fileJob->At(1)->GetName(), L"MD5");
}

TEST_F(HashDataTest, ANullWindowRunsToTheEndAndPostsNothing)
{
    HashDataPtr job = NewJob();
    job->SetReports(nullptr);
    ASSERT_TRUE(job->Open(folder.Write(L"quiet", PatternBytes(102401))));
    win::UniqueThread thread = Started(job->Start(true));
    WaitForThread(thread);
    recorder.Drain();
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(DigestsOf(*job), PatternDigests(102401, kThree));
}

TEST_F(HashDataTest, ARunOnTheCallingThreadPostsAndEndsAsTheWorkersRunAndAFailedReadGivesNoDigests)
{
    HashDataPtr job = NewJob();
    ASSERT_TRUE(job->Open(folder.Write(L"here", PatternBytes(102401))));
    EXPECT_TRUE(job->RunOnThisThread(true));
    EXPECT_FALSE(job->IsRunning());
    recorder.Drain();
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{0, 99, 100, kDone1}));
    EXPECT_EQ(DigestsOf(*job), PatternDigests(102401, kThree));

    HashDataPtr failing = NewJob(HASHJOB_FILE, true);
    seam.FailRead(seam.Reads() + 1, ERROR_NETNAME_DELETED);
    ASSERT_TRUE(failing->Open(folder.Write(L"fails", PatternBytes(307200))));
    EXPECT_FALSE(failing->RunOnThisThread(true));
    EXPECT_EQ(failing->LastError(), static_cast<DWORD>(ERROR_NETNAME_DELETED));
    EXPECT_FALSE(failing->Completed());
}

TEST_F(HashDataTest, EveryLaneCountGivesTheMessagesAndDigestsOfOneLane)
{
    const std::vector<std::wstring> all = NamesOf(HashCatalogue::Instance().CreateAll());
    for (const size_t size : {size_t{0}, size_t{1}, size_t{102400}, size_t{102401}, size_t{204800}, size_t{307200},
                              kLargePatternSize}) {
        // MD2 over megabytes would take most of the test's time; the stop and
        // resume test below has it on that file in every lane.
        settings.enabled = all;
        if (size == kLargePatternSize)
            settings.enabled.erase(std::find(settings.enabled.begin(), settings.enabled.end(), L"MD2"));
        const unsigned algorithms = static_cast<unsigned>(settings.enabled.size());
        const std::wstring path = folder.Write(L"lanes" + std::to_wstring(size), PatternBytes(size));
        std::vector<int> oneLaneMessages;
        DigestTable oneLane;
        for (unsigned processors = 1; processors <= algorithms; ++processors) {
            SCOPED_TRACE(testing::Message() << size << " bytes, " << processors << " processors");
            seam.ReportProcessors(processors);
            recorder.messages.clear();
            HashDataPtr job = NewJob(HASHJOB_FILE, true);
            RunToCompletion(job, path);
            if (processors == 1) {
                oneLaneMessages = Sequence(recorder.messages);
                oneLane = DigestsOf(*job);
                for (const auto& [name, digest] : PatternDigests(size)) {
                    if (oneLane.count(name) != 0) {
                        EXPECT_EQ(oneLane[name], digest) << Narrow(name);
                    }
                }
            } else {
                EXPECT_EQ(Sequence(recorder.messages), oneLaneMessages);
                EXPECT_EQ(DigestsOf(*job), oneLane);
            }
        }
    }
}

TEST_F(HashDataTest, StoppingAndResumingAnyNumberOfTimesGivesTheUninterruptedDigestsForEveryLaneCount)
{
    const DigestTable expected = PatternDigests(kLargePatternSize);
    settings.enabled.clear();
    for (const auto& [name, digest] : expected)
        settings.enabled.push_back(name);
    const std::wstring path = folder.Write(L"large", PatternBytes(kLargePatternSize));
    const int blocks = static_cast<int>((kLargePatternSize + kHashBlockSize - 1) / kHashBlockSize);

    std::mt19937 random(20261208);
    for (unsigned processors = 1; processors <= settings.enabled.size(); ++processors) {
        SCOPED_TRACE(testing::Message() << processors << " processors");
        seam.ReportProcessors(processors);
        HashDataPtr job = NewJob(HASHJOB_FILE, true);
        const std::uint64_t bytesBefore = seam.BytesRead();
        stop->store(false);
        ASSERT_TRUE(job->Open(path));
        int stops = 0;
        bool prepare = true;
        for (;;) {
            // Stop during a random one of the reads still to come.
            seam.StopDuringRead(seam.Reads() + static_cast<int>(random() % 6), stop);
            recorder.messages.clear();
            win::UniqueThread thread = Started(job->Start(prepare));
            prepare = false;
            ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE));
            WaitForThread(thread);
            if (!stop->load())
                break;
            // A stopped run: progress 0 after the last percentage, then completion; nothing finalised.
            const std::vector<int> sequence = Sequence(recorder.messages);
            ASSERT_GE(sequence.size(), 2u);
            EXPECT_EQ(sequence[sequence.size() - 2], 0);
            EXPECT_EQ(sequence.back(), kDone1);
            EXPECT_TRUE(job->At(0)->GetDigestText().empty());
            EXPECT_FALSE(job->Completed());
            EXPECT_GT(job->BytesDone(), 0u);
            ++stops;
            ASSERT_LT(stops, 200);
            stop->store(false);
        }
        EXPECT_GE(stops, blocks / 6);
        EXPECT_EQ(DigestsOf(*job), expected) << stops << " stops";
        EXPECT_EQ(seam.BytesRead() - bytesBefore, kLargePatternSize);  // every byte once: resumed, never restarted
    }
}

TEST_F(HashDataTest, AStopDuringTheLastBlockLeavesTheRunStoppedAndResumeFinalisesAtOnce)
{
    const std::wstring path = folder.Write(L"last", PatternBytes(102401));
    HashDataPtr job = NewJob(HASHJOB_FILE, true);
    seam.StopDuringRead(1, stop);  // the second and last read
    ASSERT_TRUE(job->Open(path));
    {
        win::UniqueThread thread = Started(job->Start(true));
        ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE));
        WaitForThread(thread);
    }
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{0, 99, 0, kDone1}));
    EXPECT_EQ(job->BytesDone(), 102401u);
    EXPECT_TRUE(job->At(0)->GetDigestText().empty());

    recorder.messages.clear();
    stop->store(false);
    win::UniqueThread thread = Started(job->Start(false));
    ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE));
    WaitForThread(thread);
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{100, kDone1}));
    EXPECT_EQ(seam.Reads(), 2);  // nothing more was read
    EXPECT_EQ(DigestsOf(*job), PatternDigests(102401, kThree));
}

// A resume that clears the flag right after the loop saw it (while the lanes
// still hash the last block read) leaves the run stopped: it never finishes
// with the digests of the part read as the file's.
TEST_F(HashDataTest, AResumeRightAfterTheLoopSawTheStopLeavesTheRunStopped)
{
    const std::wstring path = folder.Write(L"resumed", PatternBytes(307200));
    for (const unsigned processors : {1u, 3u}) {
        SCOPED_TRACE(testing::Message() << processors << " processors");
        seam.ReportProcessors(processors);
        HashDataPtr job = NewJob(HASHJOB_FILE, true);
        recorder.messages.clear();
        seam.StopDuringRead(seam.Reads() + 1, stop);
        seam.ResumeWhenStopReported(stop);
        RunToCompletion(job, path);
        EXPECT_FALSE(stop->load()) << "the resume did not come";
        EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{0, 33, 0, kDone1}));
        EXPECT_FALSE(job->Completed());
        EXPECT_TRUE(job->At(0)->GetDigestText().empty());
        EXPECT_EQ(job->BytesDone(), 204800u);

        // The resumed run goes on from there to the whole file's digests.
        recorder.messages.clear();
        win::UniqueThread thread = Started(job->Start(false));
        ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE));
        WaitForThread(thread);
        EXPECT_TRUE(job->Completed());
        EXPECT_EQ(DigestsOf(*job), PatternDigests(307200, kThree));
    }
}

TEST_F(HashDataTest, ASecondOpenOfAStoppedJobStartsAgainFromTheFirstByte)
{
    const std::wstring path = folder.Write(L"again", PatternBytes(307200));
    HashDataPtr job = NewJob(HASHJOB_FILE, true);
    seam.StopDuringRead(1, stop);
    ASSERT_TRUE(job->Open(path));
    {
        win::UniqueThread thread = Started(job->Start(true));
        ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE));
        WaitForThread(thread);
    }
    EXPECT_EQ(job->BytesDone(), 204800u);
    stop->store(false);
    ASSERT_TRUE(job->Open(path));
    EXPECT_EQ(job->BytesDone(), 0u);
    recorder.messages.clear();
    win::UniqueThread thread = Started(job->Start(true));
    ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE));
    WaitForThread(thread);
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{0, 33, 66, 100, kDone1}));
    EXPECT_EQ(DigestsOf(*job), PatternDigests(307200, kThree));
    EXPECT_EQ(seam.BytesRead(), 204800u + 307200u);  // the first two blocks twice
}

TEST_F(HashDataTest, AFileThatShrinksEndsAsCompleteWithTheBytesRead)
{
    const std::wstring path = folder.Write(L"shrunk", PatternBytes(204800));
    HashDataPtr job = NewJob(HASHJOB_FILE, true);
    seam.ReportSize(307200);  // the size taken before the file lost its last block
    RunToCompletion(job, path);
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{0, 33, 66, 100, kDone1}));
    EXPECT_EQ(DigestsOf(*job), PatternDigests(204800, kThree));
    EXPECT_EQ(job->LastError(), static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(HashDataTest, AFileThatGrowsIsReadToTheEndOfTheBlockThatPassesTheSize)
{
    const std::wstring path = folder.Write(L"grown", PatternBytes(307200));
    HashDataPtr job = NewJob(HASHJOB_FILE, true);
    seam.ReportSize(150000);  // the size taken before the file grew
    RunToCompletion(job, path);
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{0, 68, 100, kDone1}));
    EXPECT_EQ(DigestsOf(*job), PatternDigests(204800, kThree));
}

TEST_F(HashDataTest, AFailedReadIsReportedAndNeverGivesDigestsWithOrWithoutLanes)
{
    const std::wstring path = folder.Write(L"failing", PatternBytes(307200));
    for (const unsigned processors : {1u, 3u}) {
        SCOPED_TRACE(testing::Message() << processors << " processors");
        seam.ReportProcessors(processors);
        recorder.messages.clear();
        HashDataPtr job = NewJob(HASHJOB_FILE, true);
        seam.FailRead(seam.Reads() + 1, ERROR_NETNAME_DELETED);  // while the lanes hash the first block
        RunToCompletion(job, path);
        EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{0, 33, kDone1}));
        EXPECT_EQ(job->LastError(), static_cast<DWORD>(ERROR_NETNAME_DELETED));
        EXPECT_FALSE(job->Completed());
        for (size_t i = 0; i < job->Count(); ++i)
            EXPECT_TRUE(job->At(i)->GetDigestText().empty());

        // A resume cannot turn the failed run into digests either.
        recorder.messages.clear();
        win::UniqueThread thread = Started(job->Start(false));
        ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE));
        WaitForThread(thread);
        EXPECT_EQ(job->LastError(), static_cast<DWORD>(ERROR_NETNAME_DELETED));
        EXPECT_TRUE(job->At(0)->GetDigestText().empty());

        // Opening again forgets the failure (the reads from now on succeed).
        recorder.messages.clear();
        RunToCompletion(job, path);
        EXPECT_EQ(job->LastError(), static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_EQ(DigestsOf(*job), PatternDigests(307200, kThree));
    }
}

TEST_F(HashDataTest, AnUnusableFileSizeIsAFailedRun)
{
    HashDataPtr job = NewJob(HASHJOB_FILE, true);
    seam.FailSize(ERROR_ACCESS_DENIED);
    RunToCompletion(job, folder.Write(L"nosize", PatternBytes(1000)));
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{kDone1}));
    EXPECT_EQ(job->LastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(job->At(0)->GetDigestText().empty());
}

TEST_F(HashDataTest, FilesOfFourGigabytesAndMoreAreCountedIn64Bits)
{
    settings.enabled.clear();  // only the counting is under test
    const std::wstring path = folder.Write(L"huge", PatternBytes(10));
    HashDataPtr job = NewJob(HASHJOB_FILE, true);
    const unsigned long long size = (4ULL << 30) + 2 * kHashBlockSize;
    const int reads = static_cast<int>((size + kHashBlockSize - 1) / kHashBlockSize);
    seam.ReportSize(size);
    seam.FakeReads();
    seam.StopDuringRead(reads - 2, stop);  // past 4 GiB
    ASSERT_TRUE(job->Open(path));
    {
        win::UniqueThread thread = Started(job->Start(true));
        ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE, 120000));
        WaitForThread(thread);
    }
    EXPECT_EQ(job->BytesDone(), static_cast<unsigned long long>(reads - 1) * kHashBlockSize);
    EXPECT_GT(job->BytesDone(), 1ULL << 32);

    stop->store(false);
    win::UniqueThread thread = Started(job->Start(false));
    ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE, 120000));
    WaitForThread(thread);
    EXPECT_EQ(seam.Reads(), reads);

    // Percentages rise evenly from 0 to 99 across both runs, then 100.
    std::vector<int> progress;
    for (int value : Sequence(recorder.messages)) {
        if (value >= 0)
            progress.push_back(value);
    }
    ASSERT_EQ(progress.size(), static_cast<size_t>(reads) + 2);  // + the stop's 0 and the final 100
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress[progress.size() - 2], 99);
    EXPECT_EQ(progress.back(), 100);
    std::set<int> seen(progress.begin(), progress.end());
    EXPECT_EQ(seen.size(), 101u);  // every percentage, none skipped by an overflow
}

TEST_F(HashDataTest, TheRecordOutlivesItsOwnerAndItsLanesAndAStartWhileRunningIsRefused)
{
    const std::wstring path = folder.Write(L"held", PatternBytes(307200));
    seam.ReportProcessors(3);
    HashDataPtr job = NewJob(HASHJOB_COMPARE, true);
    seam.Close();
    ASSERT_TRUE(job->Open(path));
    win::UniqueThread thread = Started(job->Start(true));
    ASSERT_TRUE(thread);
    ASSERT_TRUE(seam.WaitUntilHeld(0));
    seam.Release(0);
    ASSERT_TRUE(seam.WaitUntilHeld(1));  // the worker reads ahead while the lanes have the first block

    ::SetLastError(0);
    EXPECT_EQ(job->Start(false), nullptr);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_BUSY));
    EXPECT_FALSE(job->Open(path));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_BUSY));

    std::weak_ptr<HashData> watch = job;
    StopFlag flag = stop;
    job.reset();    // the owner lets go while the worker reads
    stop.reset();   // and so does the flag's owner
    EXPECT_FALSE(watch.expired());
    seam.Open();
    ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_COMPARE));
    WaitForThread(thread);
    EXPECT_TRUE(watch.expired());  // the worker's reference went with it
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{0, 33, 66, 100, kDone2}));
}

TEST_F(HashDataTest, AThousandRunsWithLanesLeaveNoHandleThreadOrMemoryBehind)
{
    const std::wstring path = folder.Write(L"cycles", PatternBytes(307200));
    seam.ReportProcessors(3);
    // One warm-up run makes what is made once per process.
    RunToCompletion(NewJob(HASHJOB_FILE, true), path);
    recorder.messages.clear();
    recorder.messages.shrink_to_fit();
    std::vector<win::UniqueThread> threads;
    threads.reserve(1000);
    const ULONG_PTR handleBefore = HandleHighWater();
    const int threadsBefore = ThreadsOfThisProcess();
    const std::size_t heapBefore = HeapBytesInUse();
    ASSERT_GT(threadsBefore, 0);

    for (int cycle = 0; cycle < 1000; ++cycle) {
        HashDataPtr job = NewJob(HASHJOB_FILE, true);
        stop->store(cycle % 3 == 1);  // some stop at once, some run, some are dropped while running
        ASSERT_TRUE(job->Open(path));
        win::UniqueThread thread = Started(job->Start(true));
        ASSERT_TRUE(thread);
        if (cycle % 3 != 2) {
            ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE));
            recorder.messages.clear();
            WaitForThread(thread);
        } else {
            threads.push_back(std::move(thread));
        }
    }
    for (const win::UniqueThread& thread : threads)
        WaitForThread(thread);
    threads.clear();
    recorder.Drain();
    recorder.messages.clear();
    recorder.messages.shrink_to_fit();
    // Some slack for what the system itself keeps; a leak per run is 1000.
    EXPECT_LE(HandleHighWater(), handleBefore + 50 * sizeof(HANDLE));
    EXPECT_LE(ThreadsOfThisProcess(), threadsBefore);
    const std::size_t heapAfter = HeapBytesInUse();
    EXPECT_LE(heapAfter, heapBefore + 16 * 1024) << heapAfter - heapBefore << " bytes more";  // a leak per run is 1000
}
