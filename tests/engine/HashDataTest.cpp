// The file hashing job under Wine: real files, a real worker thread, a real
// window's message loop. Expected digests were computed independently
// (Python's hashlib and zlib, RHash, PyCryptodome) over PatternBytes.
#include "engine/HashData.h"
#include "support/Digests.h"
#include "support/Leaks.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"

#include <map>
#include <random>
#include <set>

namespace {

constexpr int kDone1 = -static_cast<int>(HASHJOB_FILE);
constexpr int kDone2 = -static_cast<int>(HASHJOB_COMPARE);

using Digests = std::map<std::wstring, std::string>;

const Digests kEmpty = {{L"CRC32", "00000000"},
                        {L"MD5", "D41D8CD98F00B204E9800998ECF8427E"},
                        {L"SHA-256", "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855"}};
const Digests k102401 = {{L"CRC32", "D24F301E"},
                         {L"MD5", "E3D44B6B393C9F729AA6C530606640FB"},
                         {L"SHA-256", "B44AB4312B17BC493382602FED2F8D3F7FA93004EEBB2DD4BF5F1AB1CF3392D3"}};
const Digests k204800 = {{L"CRC32", "565143C0"},
                         {L"MD5", "6582564C0820FB30AD9CBF45BA31C1A1"},
                         {L"SHA-256", "6D5A6D45647368226ED1A997F32B5E07992003686B3924991CE6ED5B448810E5"}};
const Digests k307200 = {{L"CRC32", "23935EEC"},
                         {L"MD5", "DF40F349DDF0456CC2A1C4A42C54A7AF"},
                         {L"SHA-256", "813BAC1A723CCA534163D0CC99BB57F02F111085F79B846CB942380D35DD1136"}};
const size_t kLargeSize = 3 * 1024 * 1024 + 5;
const Digests kLarge = {
    {L"Adler32", "1DAE6801"},
    {L"CRC32", "54401C7A"},
    {L"MD2", "3C45644D0B7354D4E40CB3ED597E0AE9"},
    {L"MD4", "79068BFCD3D95DAB8F738074D4B0F703"},
    {L"MD5", "6816386FF5017D753C13F4A9F13BA88F"},
    {L"SHA-1", "DCDE4472B357F701A6BDF4B3B1457F5C8D9471CC"},
    {L"SHA-256", "E7CAEA4C4C1C8F5EE362AE49543107D71D519FE3D26BAEA0AD6A80A86219A9F9"},
    {L"Tiger", "471BE85A71851FFE606D507685E04E952889BA8598964513"},
    {L"Whirlpool",
     "86B7FF4B6526E9AA9EA873D19349A7A30739A91FC77DEFF3B047945814FBDEE2E1D1DCC473E21C31CA400BCE6E6610A165EFACF3134ED61AD379431BAAC98155"}};

Digests DigestsOf(const HashData& job)
{
    Digests digests;
    for (size_t i = 0; i < job.Count(); ++i)
        digests[job.At(i)->GetName()] = Narrow(job.At(i)->GetDigestText());
    return digests;
}

// A thread handle closed when the test is done with it.
win::UniqueFile Started(HANDLE thread)
{
    return win::UniqueFile(thread);
}

void WaitForThread(const win::UniqueFile& thread)
{
    ASSERT_TRUE(thread);
    ASSERT_EQ(::WaitForSingleObject(thread.get(), 30000), WAIT_OBJECT_0);
}

// Stand-ins for the file calls, steered by the test through globals (the
// worker runs on a thread of its own).
struct FileSeam {
    std::atomic<int> reads{0};
    std::atomic<int> stopAtRead{-1};    // set the stop flag during this read
    std::atomic<int> failAtRead{-1};    // fail this read
    std::atomic<DWORD> readError{ERROR_NETNAME_DELETED};
    std::atomic<DWORD> sleepMs{0};
    std::atomic<long long> reportedSize{-1};  // -1: the real size
    std::atomic<bool> sizeFails{false};
    std::atomic<bool> fakeReads{false};  // whole blocks of zeros, the file untouched
    StopFlag stop;
};
FileSeam* seam = nullptr;

BOOL WINAPI SeamRead(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped)
{
    const int index = seam->reads++;
    if (seam->sleepMs)
        ::Sleep(seam->sleepMs);
    if (index == seam->failAtRead) {
        *read = 0;
        ::SetLastError(seam->readError);
        return FALSE;
    }
    BOOL result = TRUE;
    if (seam->fakeReads)
        *read = toRead;
    else
        result = ::ReadFile(file, buffer, toRead, read, overlapped);
    if (index == seam->stopAtRead)
        seam->stop->store(true);
    return result;
}

DWORD WINAPI SeamSize(HANDLE file, LPDWORD high)
{
    if (seam->sizeFails) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_FILE_SIZE;
    }
    if (seam->reportedSize >= 0) {
        const auto size = static_cast<unsigned long long>(seam->reportedSize.load());
        *high = static_cast<DWORD>(size >> 32);
        return static_cast<DWORD>(size);
    }
    return ::GetFileSize(file, high);
}

class HashDataTest : public ::testing::Test {
protected:
    HashDataTest() : bound(settings)
    {
        settings.enabled = {L"CRC32", L"MD5", L"SHA-256"};
        stop = std::make_shared<std::atomic<bool>>(false);
        fileSeam.stop = stop;
        seam = &fileSeam;
    }
    ~HashDataTest() override { seam = nullptr; }

    HashDataPtr NewJob(std::uint32_t tag = HASHJOB_FILE, bool useSeam = false)
    {
        HashDataPtr job = HashData::Create();
        job->SetWindow(recorder.Window());
        job->SetStopFlag(stop);
        job->SetJobTag(tag);
        if (useSeam)
            job->SetFileAccessForTesting({&SeamRead, &SeamSize});
        return job;
    }

    // Open and Start(true), then wait for the completion message.
    void RunToCompletion(const HashDataPtr& job, const std::wstring& path)
    {
        ASSERT_TRUE(job->Open(path));
        win::UniqueFile thread = Started(job->Start(true));
        ASSERT_TRUE(thread);
        ASSERT_TRUE(recorder.WaitForCompletion(job->JobTag()));
        WaitForThread(thread);
    }

    FixedSettings settings;
    BoundSettings bound;
    StopFlag stop;
    FileSeam fileSeam;
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
    const std::map<size_t, Digests> expected = {{0, kEmpty}, {102401, k102401}, {307200, k307200}};
    for (const auto& [size, digests] : expected) {
        HashDataPtr job = NewJob();
        RunToCompletion(job, folder.Write(L"d" + std::to_wstring(size), PatternBytes(size)));
        EXPECT_EQ(DigestsOf(*job), digests) << size << " bytes";
    }
}

TEST_F(HashDataTest, TagsTellTheJobsApartAndProgressCarriesNoTag)
{
    const std::wstring path = folder.Write(L"two", PatternBytes(250000));
    HashDataPtr fileJob = NewJob(HASHJOB_FILE);
    HashDataPtr compareJob = NewJob(HASHJOB_COMPARE);
    ASSERT_TRUE(fileJob->Open(path));
    ASSERT_TRUE(compareJob->Open(path));
    win::UniqueFile first = Started(fileJob->Start(true));
    win::UniqueFile second = Started(compareJob->Start(true));
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
    job->SetWindow(nullptr);
    ASSERT_TRUE(job->Open(folder.Write(L"quiet", PatternBytes(102401))));
    win::UniqueFile thread = Started(job->Start(true));
    WaitForThread(thread);
    recorder.Drain();
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(DigestsOf(*job), k102401);
}

TEST_F(HashDataTest, StoppingAndResumingAnyNumberOfTimesGivesTheUninterruptedDigests)
{
    settings.enabled.clear();
    for (const auto& [name, digest] : kLarge)
        settings.enabled.push_back(name);
    const std::wstring path = folder.Write(L"large", PatternBytes(kLargeSize));
    const int blocks = static_cast<int>((kLargeSize + kHashBlockSize - 1) / kHashBlockSize);

    std::mt19937 random(20261208);
    for (int round = 0; round < 3; ++round) {
        HashDataPtr job = NewJob(HASHJOB_FILE, true);
        fileSeam.reads = 0;
        stop->store(false);
        ASSERT_TRUE(job->Open(path));
        int stops = 0;
        bool prepare = true;
        for (;;) {
            // Stop during a random one of the reads still to come.
            fileSeam.stopAtRead = fileSeam.reads + static_cast<int>(random() % 6);
            recorder.messages.clear();
            win::UniqueFile thread = Started(job->Start(prepare));
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
            fileSeam.stopAtRead = -1;
            stop->store(false);
        }
        EXPECT_GE(stops, blocks / 6);
        EXPECT_EQ(DigestsOf(*job), kLarge) << "round " << round << " with " << stops << " stops";
    }
}

TEST_F(HashDataTest, AStopDuringTheLastBlockLeavesTheRunStoppedAndResumeFinalisesAtOnce)
{
    const std::wstring path = folder.Write(L"last", PatternBytes(102401));
    HashDataPtr job = NewJob(HASHJOB_FILE, true);
    fileSeam.stopAtRead = 1;  // the second and last read
    ASSERT_TRUE(job->Open(path));
    {
        win::UniqueFile thread = Started(job->Start(true));
        ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE));
        WaitForThread(thread);
    }
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{0, 99, 0, kDone1}));
    EXPECT_EQ(job->BytesDone(), 102401u);
    EXPECT_TRUE(job->At(0)->GetDigestText().empty());

    recorder.messages.clear();
    stop->store(false);
    win::UniqueFile thread = Started(job->Start(false));
    ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE));
    WaitForThread(thread);
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{100, kDone1}));
    EXPECT_EQ(fileSeam.reads, 2);  // nothing more was read
    EXPECT_EQ(DigestsOf(*job), k102401);
}

TEST_F(HashDataTest, ASecondOpenOfAStoppedJobStartsAgainFromTheFirstByte)
{
    const std::wstring path = folder.Write(L"again", PatternBytes(307200));
    HashDataPtr job = NewJob(HASHJOB_FILE, true);
    fileSeam.stopAtRead = 1;
    ASSERT_TRUE(job->Open(path));
    {
        win::UniqueFile thread = Started(job->Start(true));
        ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE));
        WaitForThread(thread);
    }
    EXPECT_EQ(job->BytesDone(), 204800u);
    fileSeam.stopAtRead = -1;
    stop->store(false);
    ASSERT_TRUE(job->Open(path));
    EXPECT_EQ(job->BytesDone(), 0u);
    recorder.messages.clear();
    win::UniqueFile thread = Started(job->Start(true));
    ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE));
    WaitForThread(thread);
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{0, 33, 66, 100, kDone1}));
    EXPECT_EQ(DigestsOf(*job), k307200);
}

TEST_F(HashDataTest, AFileThatShrinksEndsAsCompleteWithTheBytesRead)
{
    const std::wstring path = folder.Write(L"shrunk", PatternBytes(204800));
    HashDataPtr job = NewJob(HASHJOB_FILE, true);
    fileSeam.reportedSize = 307200;  // the size taken before the file lost its last block
    RunToCompletion(job, path);
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{0, 33, 66, 100, kDone1}));
    EXPECT_EQ(DigestsOf(*job), k204800);
    EXPECT_EQ(job->LastError(), static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(HashDataTest, AFileThatGrowsIsReadToTheEndOfTheBlockThatPassesTheSize)
{
    const std::wstring path = folder.Write(L"grown", PatternBytes(307200));
    HashDataPtr job = NewJob(HASHJOB_FILE, true);
    fileSeam.reportedSize = 150000;  // the size taken before the file grew
    RunToCompletion(job, path);
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{0, 68, 100, kDone1}));
    EXPECT_EQ(DigestsOf(*job), k204800);
}

TEST_F(HashDataTest, AFailedReadIsReportedAndNeverGivesDigests)
{
    const std::wstring path = folder.Write(L"failing", PatternBytes(307200));
    HashDataPtr job = NewJob(HASHJOB_FILE, true);
    fileSeam.failAtRead = 1;
    RunToCompletion(job, path);
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{0, 33, kDone1}));
    EXPECT_EQ(job->LastError(), static_cast<DWORD>(ERROR_NETNAME_DELETED));
    EXPECT_FALSE(job->Completed());
    for (size_t i = 0; i < job->Count(); ++i)
        EXPECT_TRUE(job->At(i)->GetDigestText().empty());

    // A resume cannot turn the failed run into digests either.
    recorder.messages.clear();
    win::UniqueFile thread = Started(job->Start(false));
    ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE));
    WaitForThread(thread);
    EXPECT_EQ(job->LastError(), static_cast<DWORD>(ERROR_NETNAME_DELETED));
    EXPECT_TRUE(job->At(0)->GetDigestText().empty());

    // Opening again forgets the failure.
    fileSeam.failAtRead = -1;
    recorder.messages.clear();
    RunToCompletion(job, path);
    EXPECT_EQ(job->LastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(DigestsOf(*job), k307200);
}

TEST_F(HashDataTest, AnUnusableFileSizeIsAFailedRun)
{
    HashDataPtr job = NewJob(HASHJOB_FILE, true);
    fileSeam.sizeFails = true;
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
    fileSeam.reportedSize = static_cast<long long>(size);
    fileSeam.fakeReads = true;
    fileSeam.stopAtRead = reads - 2;  // past 4 GiB
    ASSERT_TRUE(job->Open(path));
    {
        win::UniqueFile thread = Started(job->Start(true));
        ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE, 120000));
        WaitForThread(thread);
    }
    EXPECT_EQ(job->BytesDone(), static_cast<unsigned long long>(reads - 1) * kHashBlockSize);
    EXPECT_GT(job->BytesDone(), 1ULL << 32);

    stop->store(false);
    fileSeam.stopAtRead = -1;
    win::UniqueFile thread = Started(job->Start(false));
    ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE, 120000));
    WaitForThread(thread);
    EXPECT_EQ(fileSeam.reads, reads);

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

TEST_F(HashDataTest, TheRecordOutlivesItsOwnerAndAStartWhileRunningIsRefused)
{
    const std::wstring path = folder.Write(L"slow", PatternBytes(307200));
    HashDataPtr job = NewJob(HASHJOB_COMPARE, true);
    fileSeam.sleepMs = 100;
    ASSERT_TRUE(job->Open(path));
    win::UniqueFile thread = Started(job->Start(true));
    ASSERT_TRUE(thread);

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
    ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_COMPARE));
    WaitForThread(thread);
    EXPECT_TRUE(watch.expired());  // the worker's reference went with it
    EXPECT_EQ(Sequence(recorder.messages), (std::vector<int>{0, 33, 66, 100, kDone2}));
}

TEST_F(HashDataTest, AThousandRunsLeaveNoHandleOrThreadBehind)
{
    const std::wstring path = folder.Write(L"cycles", PatternBytes(307200));
    // One warm-up run makes what is made once per process.
    RunToCompletion(NewJob(), path);
    const ULONG_PTR handleBefore = HandleHighWater();
    const int threadsBefore = ThreadsOfThisProcess();
    ASSERT_GT(threadsBefore, 0);

    std::vector<win::UniqueFile> threads;
    for (int cycle = 0; cycle < 1000; ++cycle) {
        HashDataPtr job = NewJob();
        stop->store(cycle % 3 == 1);  // some stop at once, some run, some are dropped while running
        ASSERT_TRUE(job->Open(path));
        win::UniqueFile thread = Started(job->Start(true));
        ASSERT_TRUE(thread);
        if (cycle % 3 != 2) {
            ASSERT_TRUE(recorder.WaitForCompletion(HASHJOB_FILE));
            recorder.messages.clear();
            WaitForThread(thread);
        } else {
            threads.push_back(std::move(thread));
        }
    }
    for (const win::UniqueFile& thread : threads)
        WaitForThread(thread);
    threads.clear();
    recorder.Drain();
    // Some slack for what the system itself keeps; a leak per run is 1000.
    EXPECT_LE(HandleHighWater(), handleBefore + 50 * sizeof(HANDLE));
    EXPECT_LE(ThreadsOfThisProcess(), threadsBefore);
}
