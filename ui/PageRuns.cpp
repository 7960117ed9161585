#include "PageRuns.h"

PageRuns::PageRuns()
    : stopFlag(std::make_shared<std::atomic<bool>>(false)),
      fileJob(FreshJob(HASHJOB_FILE)),
      compareJob(FreshJob(HASHJOB_COMPARE))
{
}

void PageRuns::ReportTo(std::shared_ptr<JobReports> pageReports)
{
    reports = std::move(pageReports);
    fileJob->SetReports(reports);
    compareJob->SetReports(reports);
}

void PageRuns::SetSystemCallsForTesting(const JobSystemCalls& calls)
{
    testCalls = calls;
    fileJob->SetSystemCallsForTesting(calls);
    compareJob->SetSystemCallsForTesting(calls);
}

HashDataPtr PageRuns::FreshJob(std::uint32_t tag) const
{
    HashDataPtr fresh = HashData::Create();
    fresh->SetReports(reports);
    fresh->SetStopFlag(stopFlag);
    fresh->SetJobTag(tag);
    if (testCalls)
        fresh->SetSystemCallsForTesting(*testCalls);
    return fresh;
}

bool PageRuns::HashFile(const std::wstring& path)
{
    if (!fileJob->Open(path))
        return false;
    StartFileRun(true);
    return true;
}

void PageRuns::StartFileRun(bool prepare)
{
    awaitingFileRun = true;
    // Null when no worker could start: the job has reported its end (with
    // the failure), or the stopped worker is still running and will.
    fileWorker.reset(fileJob->Start(prepare));
}

void PageRuns::ForgetRuns()
{
    // A stopped run still reading must not see the flag cleared: the file's
    // would read on with the old algorithms, a comparison would come back
    // and fill the edit.
    if (fileJob->IsRunning() || compareJob->IsRunning())
        ReplaceBusyJobs();
    // A comparison's end not heard of yet would unlock the page mid-run.
    awaitingComparison = false;
    stopFlag->store(false);
}

// The old runs keep their flag, which stays set; a running file job keeps its
// record too. The compare job takes the new flag for its next run (a running
// worker keeps its own) and is replaced when a comparison starts.
void PageRuns::ReplaceBusyJobs()
{
    stopFlag = std::make_shared<std::atomic<bool>>(stopFlag->load());
    if (fileJob->IsRunning())
        fileJob = FreshJob(HASHJOB_FILE);
    else
        fileJob->SetStopFlag(stopFlag);
    compareJob->SetStopFlag(stopFlag);
    awaitingFileRun = false;
}

void PageRuns::Stop()
{
    stopFlag->store(true);
    // The worker's record is shared with it: nothing here waits for it.
    fileWorker.reset();
}

void PageRuns::Resume()
{
    stopFlag->store(false);
    StartFileRun(false);
}

bool PageRuns::CompareWith(const std::wstring& path)
{
    // A stopped comparison whose worker is still inside a read keeps its
    // record: busy is not a file that cannot be opened.
    if (compareJob->IsRunning())
        compareJob = FreshJob(HASHJOB_COMPARE);
    compareJob->SetReports(reports);
    compareJob->SetStopFlag(stopFlag);
    if (!compareJob->Open(path))
        return false;
    awaitingComparison = true;
    compareWorker.reset(compareJob->Start(true));
    return true;
}

std::vector<std::wstring> PageRuns::FileDigests() const
{
    std::vector<std::wstring> digests;
    if (fileJob->IsRunning() || !fileJob->Completed())
        return digests;
    for (std::size_t i = 0; i < fileJob->Count(); ++i)
        digests.push_back(fileJob->At(i)->GetDigestText());
    return digests;
}

RunEvent PageRuns::OnReport(std::optional<std::uint32_t> endedTag)
{
    if (!endedTag)
        return RunEvent::Progress;
    // A run that was stopped or replaced may report after a newer one
    // started, or after the newer one ended.
    if (*endedTag == HASHJOB_FILE && awaitingFileRun && !fileJob->IsRunning())
        return OnFileRunEnded();
    if (*endedTag == HASHJOB_COMPARE && awaitingComparison && !compareJob->IsRunning())
        return OnComparisonEnded();
    return RunEvent::Stale;
}

RunEvent PageRuns::OnFileRunEnded()
{
    awaitingFileRun = false;
    fileWorker.reset();
    if (fileJob->LastError() != ERROR_SUCCESS)
        return RunEvent::FileRunFailed;
    if (!fileJob->Completed() && !Stopped()) {
        // Resumed while the stopped worker was still finishing its last
        // block (Start found it busy): now the run can go on.
        StartFileRun(false);
        return RunEvent::FileRunResumed;
    }
    if (!fileJob->Completed())
        return RunEvent::FileRunStopped;
    // A stop that came too late for the run: its digests stand.
    stopFlag->store(false);
    return RunEvent::FileRunDone;
}

RunEvent PageRuns::OnComparisonEnded()
{
    awaitingComparison = false;
    compareWorker.reset();
    const bool usable = !Stopped() && compareJob->Completed();
    // Cleared here, so that a stop during the comparison does not leave the
    // next file run born stopped.
    stopFlag->store(false);
    if (compareJob->LastError() != ERROR_SUCCESS)
        return RunEvent::ComparisonFailed;
    return usable ? RunEvent::ComparisonDone : RunEvent::ComparisonStopped;
}
