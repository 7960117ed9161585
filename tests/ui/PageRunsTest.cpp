// The page's runs without a page: real jobs on real workers, their reads held
// at the test's file seam, their reports queued and handed to the runs when
// the test says, so that every race lands where the test puts it.
#include "support/Digests.h"
#include "support/FileSeam.h"
#include "support/TestFiles.h"
#include "ui/PageRuns.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t kFileSize = 102401;  // two reads
constexpr DWORD kLimitMs = 30000;

// The reports of every run, queued on the workers' threads until the test
// hands them on.
class QueuedReports final : public JobReports {
public:
    bool Progress(unsigned) override { return Queue(std::nullopt); }
    bool Ended(std::uint32_t tag) override { return Queue(tag); }
    bool Listening() const override { return true; }

    // Waits until the reports queued hold this many ends; false after a
    // safety limit.
    bool WaitForEnds(std::size_t count)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(kLimitMs), [&] { return ends >= count; });
    }

    // The reports queued so far, in order, taken off the queue.
    std::vector<std::optional<std::uint32_t>> Take()
    {
        std::lock_guard<std::mutex> lock(mutex);
        ends = 0;
        return std::exchange(queued, {});
    }

private:
    bool Queue(std::optional<std::uint32_t> ended)
    {
        std::lock_guard<std::mutex> lock(mutex);
        queued.push_back(ended);
        ends += ended.has_value();
        changed.notify_all();
        return true;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<std::uint32_t>> queued;
    std::size_t ends = 0;
};

DigestTable DigestsOf(const HashData& job)
{
    DigestTable digests;
    for (std::size_t i = 0; i < job.Count(); ++i)
        digests[job.At(i)->GetName()] = job.At(i)->GetDigestText();
    return digests;
}

class PageRunsTest : public ::testing::Test {
protected:
    PageRunsTest() : bound(settings)
    {
        runs.SetSystemCallsForTesting(FileSeam::Calls());
        runs.ReportTo(reports);
    }

    // Hands every report queued now to the runs; the events other than
    // progress, in order.
    std::vector<RunEvent> Deliver()
    {
        std::vector<RunEvent> events;
        for (const std::optional<std::uint32_t>& report : reports->Take()) {
            const RunEvent event = runs.OnReport(report);
            if (event != RunEvent::Progress)
                events.push_back(event);
        }
        return events;
    }

    // Waits until this many runs have reported their end, then hands on
    // everything queued.
    std::vector<RunEvent> DeliverEnds(std::size_t count)
    {
        EXPECT_TRUE(reports->WaitForEnds(count)) << "no end reported";
        return Deliver();
    }

    // Starts a run, stops it while its first read is held, then lets every
    // read through.
    void StopInFirstRead(const std::function<bool()>& start)
    {
        seam.Close();
        const int read = seam.Reads();
        ASSERT_TRUE(start());
        ASSERT_TRUE(seam.WaitUntilHeld(read));
        runs.Stop();
        seam.Open();
    }

    // The file hashed, its run's end handed on.
    void HashToTheEnd(const std::wstring& path)
    {
        ASSERT_TRUE(runs.HashFile(path));
        ASSERT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::FileRunDone});
    }

    FixedSettings settings;
    BoundSettings bound;
    TempFolder folder;
    FileSeam seam;
    std::shared_ptr<QueuedReports> reports = std::make_shared<QueuedReports>();
    PageRuns runs;
};

}  // namespace

// The events a report gives when nothing is awaited: a progress report, an
// end of either job, or of no job at all.
TEST_F(PageRunsTest, ReportsOfNoAwaitedRunAreStale)
{
    const struct {
        std::optional<std::uint32_t> report;
        RunEvent event;
    } cases[] = {
        {std::nullopt, RunEvent::Progress},
        {HASHJOB_FILE, RunEvent::Stale},
        {HASHJOB_COMPARE, RunEvent::Stale},
        {0u, RunEvent::Stale},
        {77u, RunEvent::Stale},
    };
    for (const auto& c : cases)
        EXPECT_EQ(runs.OnReport(c.report), c.event) << (c.report ? static_cast<int>(*c.report) : -1);

    // The end of a run already handled comes again.
    settings.enabled = {L"MD5"};
    HashToTheEnd(folder.Write(L"once.bin", PatternBytes(kFileSize)));
    EXPECT_EQ(runs.OnReport(HASHJOB_FILE), RunEvent::Stale);
}

TEST_F(PageRunsTest, EachRunsEndGivesItsEvent)
{
    settings.enabled = {L"CRC32", L"MD5"};
    const std::wstring path = folder.Write(L"page.bin", PatternBytes(kFileSize));
    seam.FailRead(1, ERROR_NETNAME_DELETED);
    ASSERT_TRUE(runs.HashFile(path));
    EXPECT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::FileRunFailed});
    EXPECT_EQ(runs.FileJob().LastError(), static_cast<DWORD>(ERROR_NETNAME_DELETED));

    StopInFirstRead([&] { return runs.HashFile(path); });
    EXPECT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::FileRunStopped});
    EXPECT_TRUE(runs.Stopped());
    runs.Resume();
    EXPECT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::FileRunDone});
    EXPECT_EQ(DigestsOf(runs.FileJob()), PatternDigests(kFileSize, settings.enabled));

    ASSERT_TRUE(runs.CompareWith(path));
    EXPECT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::ComparisonDone});
    EXPECT_EQ(DigestsOf(runs.CompareJob()), PatternDigests(kFileSize, settings.enabled));

    StopInFirstRead([&] { return runs.CompareWith(path); });
    EXPECT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::ComparisonStopped});
    EXPECT_FALSE(runs.Stopped()) << "the next file run would be born stopped";

    seam.FailRead(seam.Reads(), ERROR_NETNAME_DELETED);
    ASSERT_TRUE(runs.CompareWith(path));
    EXPECT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::ComparisonFailed});
    EXPECT_FALSE(runs.CompareWith(folder.Path() + L"\\missing.bin"));
}

// A stop that comes after the last block was read leaves the run's digests
// standing and the flag cleared.
TEST_F(PageRunsTest, AStopTooLateForTheRunLeavesItsDigests)
{
    settings.enabled = {L"SHA-1"};
    seam.Close();
    ASSERT_TRUE(runs.HashFile(folder.Write(L"late.bin", PatternBytes(102400))));  // one read
    ASSERT_TRUE(seam.WaitUntilHeld(0));
    seam.Release(0);
    ASSERT_TRUE(reports->WaitForEnds(1));
    runs.Stop();
    EXPECT_EQ(Deliver(), std::vector<RunEvent>{RunEvent::FileRunDone});
    EXPECT_FALSE(runs.Stopped());
    EXPECT_EQ(DigestsOf(runs.FileJob()), PatternDigests(102400, settings.enabled));
}

// The stopped worker is still inside its read (a slow network file) when the
// page hashes again with other algorithms: the new run gets a record of its
// own, and the old one's late end changes nothing.
TEST_F(PageRunsTest, HashingAgainWhileTheStoppedWorkerStillReadsGivesTheNewAlgorithmsDigests)
{
    settings.enabled = {L"MD2"};
    const std::wstring path = folder.Write(L"slow.bin", PatternBytes(kFileSize));
    seam.Close();
    ASSERT_TRUE(runs.HashFile(path));
    ASSERT_TRUE(seam.WaitUntilHeld(0));
    runs.Stop();

    settings.enabled = {L"CRC32", L"SHA-256"};
    runs.ForgetRuns();
    ASSERT_TRUE(runs.HashFile(path));
    seam.Release(1);  // the new run's two reads
    seam.Release(2);
    EXPECT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::FileRunDone});
    const DigestTable digests = PatternDigests(kFileSize, settings.enabled);
    EXPECT_EQ(DigestsOf(runs.FileJob()), digests);

    seam.Release(0);
    EXPECT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::Stale});
    EXPECT_EQ(DigestsOf(runs.FileJob()), digests);
    EXPECT_EQ(seam.Reads(), 3) << "the stopped worker read on";
    EXPECT_FALSE(runs.Stopped());
}

// A resume before the stopped worker has ended: while it is still inside its
// read, or after it has stopped but before its end was handed on.
TEST_F(PageRunsTest, AResumeBeforeTheStoppedWorkerEndedGivesTheWholeFilesDigests)
{
    settings.enabled = {L"MD5", L"SHA-1"};
    const std::wstring path = folder.Write(L"resumed.bin", PatternBytes(307200));
    for (const bool workerStopped : {false, true}) {
        SCOPED_TRACE(workerStopped ? "the worker had stopped" : "the worker was in its read");
        PageRuns fresh;
        fresh.SetSystemCallsForTesting(FileSeam::Calls());
        fresh.ReportTo(reports);
        const int first = seam.Reads();
        const std::uint64_t bytes = seam.BytesRead();
        seam.Close();
        ASSERT_TRUE(fresh.HashFile(path));
        ASSERT_TRUE(seam.WaitUntilHeld(first));
        fresh.Stop();
        if (workerStopped) {
            seam.Release(first);
            ASSERT_TRUE(reports->WaitForEnds(1));  // ended: the end is queued, not handed on
        }
        fresh.Resume();
        seam.Open();
        std::vector<RunEvent> events;
        while (events.empty() || events.back() != RunEvent::FileRunDone) {
            ASSERT_TRUE(reports->WaitForEnds(1));
            for (const std::optional<std::uint32_t>& report : reports->Take()) {
                const RunEvent event = fresh.OnReport(report);
                if (event != RunEvent::Progress)
                    events.push_back(event);
            }
        }
        EXPECT_EQ(DigestsOf(fresh.FileJob()), PatternDigests(307200, settings.enabled));
        EXPECT_EQ(seam.BytesRead() - bytes, 307200u) << "a block was read twice or skipped";
        EXPECT_EQ(std::count(events.begin(), events.end(), RunEvent::FileRunStopped), 0);
    }
}

// A comparison stopped while its worker is still inside its read (a slow
// network file): hashed again, the runs go on without it; it stays stopped
// and its late end changes nothing, and a new comparison does not wait for it.
TEST_F(PageRunsTest, AStoppedComparisonStillReadingStaysStoppedAndANewOneGoesAhead)
{
    settings.enabled = {L"CRC32", L"MD5", L"SHA-256"};
    const std::wstring path = folder.Write(L"page.bin", PatternBytes(kFileSize));
    HashToTheEnd(path);
    seam.Close();
    const int held = seam.Reads();
    ASSERT_TRUE(runs.CompareWith(folder.Write(L"other.bin", PatternBytes(kFileSize + 1))));
    ASSERT_TRUE(seam.WaitUntilHeld(held));
    runs.Stop();

    runs.ForgetRuns();
    ASSERT_TRUE(runs.HashFile(path));
    seam.Release(held + 1);  // the file run's two reads
    seam.Release(held + 2);
    EXPECT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::FileRunDone});

    seam.Release(held + 3);  // the new comparison's two reads
    seam.Release(held + 4);
    ASSERT_TRUE(runs.CompareWith(folder.Write(L"same.bin", PatternBytes(kFileSize))));
    EXPECT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::ComparisonDone});
    const DigestTable same = PatternDigests(kFileSize, settings.enabled);
    EXPECT_EQ(DigestsOf(runs.CompareJob()), same);

    seam.Open();  // the stopped comparison's read ends
    EXPECT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::Stale});
    EXPECT_EQ(DigestsOf(runs.CompareJob()), same);
    EXPECT_EQ(seam.Reads(), held + 5) << "the stopped comparison read on";
    EXPECT_FALSE(runs.Stopped());
}

// The stopped comparison's end comes while a newer comparison runs: it is
// stale, and the newer one's end is the one that counts.
TEST_F(PageRunsTest, AStoppedComparisonsEndDuringANewerOneIsStale)
{
    settings.enabled = {L"MD5"};
    const std::wstring path = folder.Write(L"page.bin", PatternBytes(kFileSize));
    HashToTheEnd(path);
    seam.Close();
    const int held = seam.Reads();
    ASSERT_TRUE(runs.CompareWith(folder.Write(L"other.bin", PatternBytes(kFileSize + 1))));
    ASSERT_TRUE(seam.WaitUntilHeld(held));
    runs.Stop();
    runs.ForgetRuns();
    ASSERT_TRUE(runs.HashFile(path));
    seam.Release(held + 1);  // the file run's two reads
    seam.Release(held + 2);
    EXPECT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::FileRunDone});

    ASSERT_TRUE(runs.CompareWith(path));
    ASSERT_TRUE(seam.WaitUntilHeld(held + 3));
    seam.Release(held);  // the stopped comparison ends
    EXPECT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::Stale});
    seam.Open();
    EXPECT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::ComparisonDone});
    EXPECT_EQ(DigestsOf(runs.CompareJob()), PatternDigests(kFileSize, settings.enabled));
}

// The stopped comparison's worker has ended but its end has not been handed
// on when the file is hashed again: that end, heard mid-run, is stale (the
// page stays locked).
TEST_F(PageRunsTest, AComparisonsEndHeardAfterHashingStartedAgainIsStale)
{
    settings.enabled = {L"CRC32", L"MD5", L"SHA-256"};
    const std::wstring path = folder.Write(L"page.bin", PatternBytes(kFileSize));
    HashToTheEnd(path);
    seam.Close();
    const int held = seam.Reads();
    ASSERT_TRUE(runs.CompareWith(folder.Write(L"other.bin", PatternBytes(kFileSize + 1))));
    ASSERT_TRUE(seam.WaitUntilHeld(held));
    runs.Stop();
    seam.Release(held);
    ASSERT_TRUE(reports->WaitForEnds(1));

    runs.ForgetRuns();
    ASSERT_TRUE(runs.HashFile(path));
    ASSERT_TRUE(seam.WaitUntilHeld(held + 1));  // the file run's first read
    EXPECT_EQ(Deliver(), std::vector<RunEvent>{RunEvent::Stale});

    seam.Open();
    EXPECT_EQ(DeliverEnds(1), std::vector<RunEvent>{RunEvent::FileRunDone});
    EXPECT_FALSE(runs.Stopped());
}
