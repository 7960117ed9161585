#pragma once
// One file hashed on a worker thread: every block is read once and handed to
// each descriptor of the run; progress and completion go to the owner's
// JobReports.
// When the process may use several processors the descriptors hash each block
// in lanes on the system's thread pool while the worker reads the next one
// (HashLanes); the messages, their order and the digests are those of one
// thread.
//
// A job record is shared: the owner holds it through HashDataPtr and every
// running worker holds a reference of its own, together with a reference on
// the module, so that neither the record, the stop flag nor the code can go
// away under a worker, whatever the owner does; the worker holds the reports
// it makes to the owner the same way.
#include "FileBlocks.h"
#include "HashDescriptor.h"
#include "JobReports.h"
#include "JobSystemCalls.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <windows.h>


enum HashJobTag : std::uint32_t {
    HASHJOB_FILE = 1,     // the file whose properties the page shows
    HASHJOB_COMPARE = 2,  // the second file of a comparison
};

// Set by the owner to stop a run between two blocks; one flag may serve
// several jobs. Read afresh by the worker before every block.
using StopFlag = std::shared_ptr<std::atomic<bool>>;

// "class HashData" wherever the name stands alone: shlwapi.h declares a
// function of the same name.
class HashData;
using HashDataPtr = std::shared_ptr<class HashData>;

class HashData : public std::enable_shared_from_this<class HashData> {
public:
    static HashDataPtr Create();
    ~HashData();
    HashData(const HashData&) = delete;
    HashData& operator=(const HashData&) = delete;

    // The reports, stop flag and tag are taken by Start for the whole run:
    // changing them while a worker runs changes the next run only. Without
    // reports a run reports nothing.
    void SetReports(std::shared_ptr<JobReports> reports) { ownerReports = std::move(reports); }
    void SetStopFlag(StopFlag flag);
    void SetJobTag(std::uint32_t tag) { jobTag = tag; }
    std::uint32_t JobTag() const { return jobTag; }

    // Closes any open file, forgets the last failure and opens the path for
    // reading (others may read too, nobody may write). False when it cannot
    // be opened (LastError() says why) or while a worker still runs
    // (GetLastError() gives ERROR_BUSY).
    bool Open(const std::wstring& path);

    // Starts a worker and returns its handle, which the caller closes. With
    // prepare, a fresh descriptor set is taken first. On failure it returns
    // null and LastError() says why; if that failure ends the run (no thread,
    // no memory) the completion message is posted all the same, so that the
    // owner has one place to learn how the run ended. While a worker still
    // runs on this record it returns null, GetLastError() gives ERROR_BUSY,
    // and nothing is reported: that worker will report its own end.
    // Progress reports that the owner refuses are dropped; the end is
    // reported again until it is taken or the owner no longer listens.
    HANDLE Start(bool prepare);

    // The same run as Start's worker, on the calling thread: returns when it
    // has ended, with the same reports made (the end included) and
    // the same outcome. For a caller that would only wait for the worker (a
    // console program hashing many small files: no thread each). False when
    // the run ended without digests (stopped, failed, or busy as in Start).
    bool RunOnThisThread(bool prepare);

    // New descriptors for every enabled algorithm, restarted; the file is not
    // touched. Ignored while a worker runs.
    void Prepare();
    // These descriptors, restarted, for the next run instead (a check that
    // needs one algorithm). Ignored while a worker runs.
    void UseDescriptors(DescriptorList chosen);

    std::size_t Count() const { return descriptors.size(); }
    // An empty handle when index is not below Count().
    SharedDescriptor At(std::size_t index) const;

    std::uint64_t BytesDone() const { return bytesDone; }
    bool IsRunning() const { return running.load(); }
    // True when the last run ended with digests (finalised descriptors),
    // whatever the stop flag says now.
    bool Completed() const { return completed.load(); }
    // ERROR_SUCCESS, or why the last run (or Open or Start) failed. A run
    // that failed has no digests: its descriptors are not finalised.
    DWORD LastError() const { return lastError.load(); }

    // Only while no worker runs.
    void SetSystemCallsForTesting(const JobSystemCalls& calls);

private:
    HashData();

    enum class LoopResult { Completed, Stopped, Failed };
    struct WorkerStart;
    static DWORD WINAPI HashThreadProc(void* parameter);
    static HMODULE RunWorker(WorkerStart* start);
    bool BeginRun(bool prepare);
    void RunToEnd();
    void PrepareDescriptors();
    LoopResult ReadLoop();
    void Finish(LoopResult result);
    void TakeRunTarget();
    unsigned Processors() const;
    void ReportProgress(unsigned percent) const;
    void ReportEnd() const;
    void CloseFile();
    void EndRunWithError(DWORD error);
    HANDLE FailStart(DWORD error);

    DescriptorList descriptors;
    StopFlag stopFlag;
    std::shared_ptr<JobReports> ownerReports;
    HANDLE file = INVALID_HANDLE_VALUE;
    std::uint32_t jobTag = HASHJOB_FILE;
    std::atomic<std::uint64_t> bytesDone{0};

    // What the running worker uses: taken from the fields above by Start,
    // before the worker exists, and not written again while it runs.
    StopFlag runStopFlag;
    std::shared_ptr<JobReports> runReports;
    std::uint32_t runTag = HASHJOB_FILE;

    std::atomic<bool> running{false};
    std::atomic<bool> completed{false};
    std::atomic<DWORD> lastError{ERROR_SUCCESS};
    JobSystemCalls systemCalls;
};
