#pragma once
// The page's runs: the file it shows and the second file of a comparison,
// each hashed by a job on a worker thread, one stop flag for both. Each job
// reports to the page (its window message); the page hands every report back
// here and acts on the event it gets. No window of its own.
//
// The rules it keeps:
// - A stopped run whose worker is still inside a slow read (a network file,
//   say) keeps its stop flag, which stays set, so that it ends at its next
//   block. Hashing again gives the new run a fresh flag and, while the file
//   job's worker still runs, a fresh file job.
// - Only the end of a run that is awaited counts; the end of a replaced run
//   comes when none of its kind is awaited, or while the newer one still
//   runs: it is stale.
// - A resume that found the stopped worker still running starts the run
//   again when that worker's end comes.
// - A comparison's end and a file run's end with digests clear the stop
//   flag: a stop that came too late for the run leaves its digests standing.
#include "engine/HashData.h"
#include "engine/JobReports.h"
#include "engine/JobSystemCalls.h"
#include "win/UniqueHandle.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

enum class RunEvent {
    Progress,           // a report on the way: only the progress moves
    FileRunDone,        // the file's digests are in FileJob()
    FileRunFailed,      // the file cannot be hashed: FileJob().LastError() says why
    FileRunStopped,     // stopped before its end: no digests; a resume goes on from there
    FileRunResumed,     // a stopped worker ended after a resume: the run goes on
    ComparisonDone,     // the second file's digests are in CompareJob()
    ComparisonStopped,  // stopped (or the stop came too late): no digests to use
    ComparisonFailed,   // a read failed: CompareJob().LastError() says why
    Stale,              // the end of a run that is no longer awaited
};

class PageRuns {
public:
    PageRuns();
    PageRuns(const PageRuns&) = delete;
    PageRuns& operator=(const PageRuns&) = delete;

    // Where the runs started from now report (the page's window).
    void ReportTo(std::shared_ptr<JobReports> reports);
    // Both jobs, and the fresh ones that replace them, make these calls.
    void SetSystemCallsForTesting(const JobSystemCalls& calls);

    // Opens the file and starts a run over the algorithms enabled now; false
    // (no run) when it cannot be opened.
    bool HashFile(const std::wstring& path);
    // Before the file is hashed again from its start: busy jobs are replaced,
    // no comparison is awaited any more, the flag is cleared.
    void ForgetRuns();
    // Sets the stop flag: each worker sees it before its next block. Nothing
    // waits for a worker.
    void Stop();
    // Clears the flag and goes on with the stopped file run.
    void Resume();
    bool Stopped() const { return stopFlag->load(); }
    // Opens the second file and starts its run; false (no run) when it
    // cannot be opened.
    bool CompareWith(const std::wstring& path);

    // A job's report: the tag of the job whose run ended, or none for
    // progress.
    RunEvent OnReport(std::optional<std::uint32_t> endedTag);

    // "class": shlwapi.h declares a function of the same name.
    const class HashData& FileJob() const { return *fileJob; }
    const class HashData& CompareJob() const { return *compareJob; }
    // The digests of a completed file run, in list order; none otherwise.
    std::vector<std::wstring> FileDigests() const;

private:
    void ReplaceBusyJobs();
    HashDataPtr FreshJob(std::uint32_t tag) const;
    void StartFileRun(bool prepare);
    RunEvent OnFileRunEnded();
    RunEvent OnComparisonEnded();

    std::shared_ptr<JobReports> reports;
    std::optional<JobSystemCalls> testCalls;
    StopFlag stopFlag;
    HashDataPtr fileJob;
    HashDataPtr compareJob;
    win::UniqueThread fileWorker;
    win::UniqueThread compareWorker;
    // A run was started whose end has not been handled yet.
    bool awaitingFileRun = false;
    bool awaitingComparison = false;
};
