#include "FileListJob.h"

#include "PinnedWorker.h"
#include "win/LongPath.h"

#include <new>

FileListJob::FileListJob(std::vector<std::wstring> selection, std::shared_ptr<IFileListReport> report)
    : selection(std::move(selection)), report(std::move(report))
{
    hash->SetReports(nullptr);  // the job reports; the file's run reports nothing
    hash->SetStopFlag(stopFlag);
}

FileListJobPtr FileListJob::Create(std::vector<std::wstring> selection, std::shared_ptr<IFileListReport> report)
{
    return FileListJobPtr(new FileListJob(std::move(selection), std::move(report)));
}

std::size_t FileListJob::RowCount() const
{
    const std::lock_guard<std::mutex> lock(rowsLock);
    return rows.size();
}

FileRow FileListJob::Row(std::size_t index) const
{
    const std::lock_guard<std::mutex> lock(rowsLock);
    return index < rows.size() ? rows[index] : FileRow();
}

std::wstring FileListJob::DigestOf(const FileRow& row, std::size_t algorithm) const
{
    std::size_t begin = 0;
    for (std::size_t skipped = 0; skipped < algorithm; ++skipped) {
        begin = row.digests.find(' ', begin);
        if (begin == std::string::npos)
            return std::wstring();
        ++begin;
    }
    const std::size_t end = row.digests.find(' ', begin);
    if (end == std::string::npos)
        return std::wstring();
    return std::wstring(row.digests.begin() + begin, row.digests.begin() + end);  // hexadecimal digits only
}

std::uint64_t FileListJob::BytesDone() const
{
    return bytesFinished.load() + hash->BytesDone();
}

void FileListJob::SetSystemCallsForTesting(const JobSystemCalls& calls)
{
    if (!running.load())
        hash->SetSystemCallsForTesting(calls);
}

HANDLE FileListJob::Start()
{
    if (running.exchange(true)) {
        ::SetLastError(ERROR_BUSY);
        return nullptr;
    }
    outcome = FileListOutcome::Running;
    stopFlag->store(false);
    HANDLE thread = nullptr;
    DWORD error = ERROR_SUCCESS;
    try {
        if (algorithms.empty()) {
            hash->Prepare();
            for (std::size_t i = 0; i < hash->Count(); ++i)
                algorithms.push_back(hash->At(i)->GetName());
        }
        FileListJobPtr self = shared_from_this();  // the worker's own reference
        thread = StartPinnedWorker([self] { self->RunToEnd(); });
        error = ::GetLastError();
    } catch (const std::bad_alloc&) {
        error = ERROR_NOT_ENOUGH_MEMORY;
    } catch (const std::bad_weak_ptr&) {
        error = ERROR_INVALID_HANDLE;
    }
    if (thread == nullptr) {
        EndRun(FileListOutcome::Stopped);
        ::SetLastError(error);
    }
    return thread;
}

void FileListJob::RunToEnd()
{
    FileListOutcome result = FileListOutcome::Stopped;
    try {
        if (ListSelection() && HashRows())
            result = FileListOutcome::Finished;
    } catch (...) {
        // Only allocation can throw here: the run ends as if stopped, and a
        // resume goes on from the row it reached.
    }
    EndRun(result);
}

// False when stopped before the end; a resume goes on from the file the
// stop came before.
bool FileListJob::ListSelection()
{
    if (listed.load())
        return true;
    if (!walk)
        walk = std::make_unique<FileWalk>(selection, true);
    for (;;) {
        if (stopFlag->load())
            return false;
        WalkStep step = walk->Next();
        if (step.kind == WalkStep::End)
            break;
        FileRow row;
        row.path = std::move(step.file.path);
        row.size = step.file.size;
        if (step.kind == WalkStep::Failure) {
            row.state = FileRowState::Failed;
            row.error = step.error;
        }
        bytesListed += row.size;
        {
            const std::lock_guard<std::mutex> lock(rowsLock);
            rows.push_back(std::move(row));
        }
        report->RowsListed();
    }
    walk.reset();
    nextRow = 0;
    filesDone = 0;
    bytesFinished = 0;
    listed = true;
    return true;
}

// False when stopped before the last row; the stopped file stays open where
// its reading stopped.
bool FileListJob::HashRows()
{
    if (algorithms.empty())
        return true;  // no algorithm enabled: nothing to read the files for
    const std::size_t count = RowCount();
    for (; nextRow < count; ++nextRow) {
        if (stopFlag->load())
            return false;
        const FileRow row = Row(nextRow);
        if (row.state != FileRowState::Waiting)
            continue;  // a folder that could not be listed
        if (!rowOpen && !hash->Open(ExtendedLengthPath(row.path))) {
            FinishRow(nextRow, FileRowState::Failed, hash->LastError(), std::string());
            continue;
        }
        rowOpen = true;
        hash->RunOnThisThread(false);
        if (!hash->Completed() && hash->LastError() == ERROR_SUCCESS)
            return false;  // stopped within the file
        rowOpen = false;
        if (!hash->Completed()) {
            FinishRow(nextRow, FileRowState::Failed, hash->LastError(), std::string());
            continue;
        }
        std::string digests;
        for (std::size_t i = 0; i < hash->Count(); ++i) {
            for (wchar_t digit : hash->At(i)->GetDigestText())
                digests.push_back(static_cast<char>(digit));
            digests.push_back(' ');
        }
        FinishRow(nextRow, FileRowState::Hashed, ERROR_SUCCESS, std::move(digests));
    }
    return true;
}

void FileListJob::FinishRow(std::size_t index, FileRowState state, DWORD error, std::string digests)
{
    std::uint64_t size = 0;
    {
        const std::lock_guard<std::mutex> lock(rowsLock);
        FileRow& row = rows[index];
        row.state = state;
        row.error = error;
        row.digests = std::move(digests);
        size = row.size;
    }
    bytesFinished += size;
    ++filesDone;
    report->RowFinished(index);
}

void FileListJob::EndRun(FileListOutcome result)
{
    outcome = result;
    running = false;  // cleared before the report, so that the owner may start again at once
    report->RunEnded();
}
