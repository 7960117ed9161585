#pragma once
// Many files hashed one after another on one worker thread: the files of a
// selection are listed first (folders recursively, rows appearing as they are
// found; a stop within the listing goes on from there at the resume), then each is read once for every enabled algorithm (HashData, run
// on this job's worker). A file that cannot be read is marked so in its row
// and the others go on.
//
// The rules are HashData's: the owner holds the job through FileListJobPtr
// and the running worker holds a reference of its own, to the job, its report
// and the module, so that nothing it uses goes away under it; every Start
// that marks the job running ends in exactly one RunEnded.
#include "FileList.h"
#include "HashData.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

enum class FileRowState { Waiting, Hashed, Failed };

// One file of the selection, as FileListJob::Row gives it.
struct FileRow {
    std::wstring path;
    std::uint64_t size = 0;  // as listed
    FileRowState state = FileRowState::Waiting;
    DWORD error = ERROR_SUCCESS;  // why a Failed row could not be read or listed
    std::string digests;  // of a Hashed row, every algorithm's digest bytes in turn (FileListJob::DigestOf)
};

// Where a digest was found: the row, and the algorithm by index in Algorithms().
struct FoundDigest {
    std::size_t row = 0;
    std::size_t algorithm = 0;
};

// How the job tells its owner what happened. Called on the worker thread; an
// owner with a window posts to it. Must not call back into the job's Start.
class IFileListReport {
public:
    virtual ~IFileListReport() = default;
    // More rows were listed (RowCount grew).
    virtual void RowsListed() = 0;
    // A row has its digests, or its failure.
    virtual void RowFinished(std::size_t row) = 0;
    // The run ended: finished, stopped, or failed to start. Once per run.
    virtual void RunEnded() = 0;
};

class FileListJob;
using FileListJobPtr = std::shared_ptr<FileListJob>;

enum class FileListOutcome { Running, Finished, Stopped };

class FileListJob : public std::enable_shared_from_this<FileListJob> {
public:
    // The selection's paths (files and folders), listed recursively.
    static FileListJobPtr Create(std::vector<std::wstring> selection, std::shared_ptr<IFileListReport> report);
    FileListJob(const FileListJob&) = delete;
    FileListJob& operator=(const FileListJob&) = delete;

    // Starts (or resumes after a stop) the worker and returns its handle,
    // which the caller closes; the first start takes the enabled algorithms.
    // Null when a worker still runs (ERROR_BUSY, no report) or when no thread
    // could be made (RunEnded reported all the same).
    HANDLE Start();
    // Read by the worker before every file and every block.
    void Stop() { stopFlag->store(true); }

    FileListOutcome Outcome() const { return outcome.load(); }
    bool IsRunning() const { return running.load(); }
    bool ListingDone() const { return listed.load(); }

    // The algorithms of the run, in catalogue order (empty before the first Start).
    const std::vector<std::wstring>& Algorithms() const { return algorithms; }
    std::size_t RowCount() const;
    // A copy of the row; an empty row for an index past the end.
    FileRow Row(std::size_t index) const;
    // The digest text of one algorithm (by index in Algorithms()) of a row,
    // in the case the settings ask for now; empty when the row has none.
    std::wstring DigestOf(const FileRow& row, std::size_t algorithm) const;
    // The first hashed row whose digest of some algorithm is these bytes, with
    // the first such algorithm.
    std::optional<FoundDigest> FindDigest(const std::string& digest) const;

    std::uint64_t FilesDone() const { return filesDone.load(); }
    std::uint64_t BytesDone() const;
    std::uint64_t BytesListed() const { return bytesListed.load(); }

    // Only while no worker runs.
    void SetSystemCallsForTesting(const JobSystemCalls& calls);

private:
    FileListJob(std::vector<std::wstring> selection, std::shared_ptr<IFileListReport> report);

    void RunToEnd();
    bool ListSelection();
    bool HashRows();
    void AddRow(const std::wstring& path, std::uint64_t size, FileRowState state, DWORD error);
    bool StoreDigests(std::size_t index);
    void FinishRow(std::size_t index, FileRowState state, DWORD error);
    void EndRun(FileListOutcome result);

    const std::vector<std::wstring> selection;
    const std::shared_ptr<IFileListReport> report;
    const StopFlag stopFlag = std::make_shared<std::atomic<bool>>(false);
    const HashDataPtr hash = HashData::Create();

    std::vector<std::wstring> algorithms;

    // A row as kept, small since a selection may hold 100,000 files: its
    // folder kept once for all its files, its name in `names`, its digests
    // in `digestBlocks` (digestStride bytes a row).
    struct StoredRow {
        std::uint64_t size = 0;
        std::size_t nameAt = 0;
        std::uint32_t nameLength = 0;
        std::uint32_t folder = 0;
        DWORD error = ERROR_SUCCESS;
        FileRowState state = FileRowState::Waiting;
    };
    std::wstring PathOf(const StoredRow& row) const;
    // The row's digest bytes, or null before its block is made; under rowsLock.
    const char* DigestsAt(std::size_t index) const;

    mutable std::mutex rowsLock;  // rows grow on the worker while the owner reads them
    std::vector<StoredRow> rows;
    std::vector<std::wstring> folders;  // each with its separator at the end
    std::unordered_map<std::wstring, std::uint32_t> folderIndex;  // while listing
    std::wstring names;
    // Rows' digests in blocks of kDigestBlockRows rows, each made when the
    // first of its rows is hashed: nothing large is made or moved under the lock.
    static constexpr std::size_t kDigestBlockRows = 1024;
    std::vector<std::string> digestBlocks;
    std::vector<std::size_t> digestSizes;  // each algorithm's, from the first file hashed
    std::size_t digestStride = 0;

    // The worker's place: the listing's while it lists, then the next row,
    // and whether its file is open in a stopped run.
    std::unique_ptr<FileWalk> walk;
    std::size_t nextRow = 0;
    bool rowOpen = false;

    std::atomic<bool> running{false};
    std::atomic<bool> listed{false};
    std::atomic<FileListOutcome> outcome{FileListOutcome::Stopped};
    std::atomic<std::uint64_t> filesDone{0};
    std::atomic<std::uint64_t> bytesFinished{0};
    std::atomic<std::uint64_t> bytesListed{0};
};
