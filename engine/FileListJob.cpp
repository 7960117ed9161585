#include "FileListJob.h"

#include "DigestText.h"
#include "HashSettings.h"
#include "PinnedWorker.h"
#include "win/LongPath.h"

#include <algorithm>
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

std::wstring FileListJob::PathOf(const StoredRow& row) const
{
    return folders[row.folder] + names.substr(row.nameAt, row.nameLength);
}

const char* FileListJob::DigestsAt(std::size_t index) const
{
    const std::size_t block = index / kDigestBlockRows;
    if (block >= digestBlocks.size() || digestBlocks[block].empty())
        return nullptr;
    return digestBlocks[block].data() + index % kDigestBlockRows * digestStride;
}

FileRow FileListJob::Row(std::size_t index) const
{
    const std::lock_guard<std::mutex> lock(rowsLock);
    if (index >= rows.size())
        return FileRow();
    const StoredRow& stored = rows[index];
    FileRow row;
    row.path = PathOf(stored);
    row.size = stored.size;
    row.state = stored.state;
    row.error = stored.error;
    const char* digests = stored.state == FileRowState::Hashed ? DigestsAt(index) : nullptr;
    if (digests != nullptr)
        row.digests.assign(digests, digestStride);
    return row;
}

std::wstring FileListJob::DigestOf(const FileRow& row, std::size_t algorithm) const
{
    std::size_t begin = 0, size = 0;
    {
        const std::lock_guard<std::mutex> lock(rowsLock);
        if (algorithm >= digestSizes.size())
            return std::wstring();
        for (std::size_t i = 0; i < algorithm; ++i)
            begin += digestSizes[i];
        size = digestSizes[algorithm];
    }
    if (begin + size > row.digests.size())
        return std::wstring();
    return FormatDigestText(reinterpret_cast<const std::uint8_t*>(row.digests.data()) + begin, size,
                            BoundHashSettings().UseLowercase());
}

std::optional<FoundDigest> FileListJob::FindDigest(const std::string& digest) const
{
    const std::lock_guard<std::mutex> lock(rowsLock);
    if (digest.empty())
        return std::nullopt;
    for (std::size_t index = 0; index < rows.size(); ++index) {
        if (rows[index].state != FileRowState::Hashed)
            continue;
        const char* at = DigestsAt(index);
        for (std::size_t algorithm = 0; at != nullptr && algorithm < digestSizes.size(); ++algorithm) {
            if (digestSizes[algorithm] == digest.size() && digest.compare(0, digest.size(), at, digest.size()) == 0)
                return FoundDigest{index, algorithm};
            at += digestSizes[algorithm];
        }
    }
    return std::nullopt;
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
        const WalkStep step = walk->Next();
        if (step.kind == WalkStep::End)
            break;
        if (step.kind == WalkStep::Failure)
            AddRow(step.file.path, 0, FileRowState::Failed, step.error);
        else
            AddRow(step.file.path, step.file.size, FileRowState::Waiting, ERROR_SUCCESS);
    }
    walk.reset();
    {
        // The rows are all there: what was reserved for more goes back.
        const std::lock_guard<std::mutex> lock(rowsLock);
        rows.shrink_to_fit();
        names.shrink_to_fit();
        folderIndex.clear();
    }
    nextRow = 0;
    filesDone = 0;
    bytesFinished = 0;
    listed = true;
    return true;
}

void FileListJob::AddRow(const std::wstring& path, std::uint64_t size, FileRowState state, DWORD error)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::size_t nameAt = slash == std::wstring::npos ? 0 : slash + 1;
    {
        const std::lock_guard<std::mutex> lock(rowsLock);
        const auto folder = folderIndex.try_emplace(path.substr(0, nameAt), static_cast<std::uint32_t>(folders.size()));
        if (folder.second)
            folders.push_back(folder.first->first);
        StoredRow row;
        row.size = size;
        row.nameAt = names.size();
        row.nameLength = static_cast<std::uint32_t>(path.size() - nameAt);
        row.folder = folder.first->second;
        row.error = error;
        row.state = state;
        names.append(path, nameAt, std::wstring::npos);
        rows.push_back(row);
    }
    bytesListed += size;
    report->RowsListed();
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
            FinishRow(nextRow, FileRowState::Failed, hash->LastError());
            continue;
        }
        rowOpen = true;
        hash->RunOnThisThread(false);
        if (!hash->Completed() && hash->LastError() == ERROR_SUCCESS)
            return false;  // stopped within the file
        rowOpen = false;
        if (!hash->Completed()) {
            FinishRow(nextRow, FileRowState::Failed, hash->LastError());
            continue;
        }
        if (StoreDigests(nextRow))
            FinishRow(nextRow, FileRowState::Hashed, ERROR_SUCCESS);
        else
            FinishRow(nextRow, FileRowState::Failed, ERROR_INVALID_DATA);
    }
    return true;
}

// The digests of the file just hashed, as bytes in its row's place; false
// when a digest is not hexadecimal text of the size the first file's had.
// Only the worker writes, so its row's block stays as it saw it between locks.
bool FileListJob::StoreDigests(std::size_t index)
{
    std::string bytes;
    std::vector<std::size_t> sizes;
    for (std::size_t i = 0; i < hash->Count(); ++i) {
        const std::size_t before = bytes.size();
        if (!AppendDigestBytes(hash->At(i)->GetDigestText(), bytes))
            return false;
        sizes.push_back(bytes.size() - before);
    }
    const std::size_t block = index / kDigestBlockRows;
    std::size_t blockRows = 0;  // of a block still to be made (the last one only as long as needed)
    {
        const std::lock_guard<std::mutex> lock(rowsLock);
        if (digestSizes.empty()) {
            digestSizes = sizes;
            digestStride = bytes.size();
        }
        if (sizes != digestSizes)
            return false;
        if (DigestsAt(index) == nullptr)
            blockRows = std::min(kDigestBlockRows, rows.size() - block * kDigestBlockRows);
    }
    std::string made(blockRows * digestStride, '\0');
    const std::lock_guard<std::mutex> lock(rowsLock);
    if (blockRows != 0) {
        if (digestBlocks.size() <= block)
            digestBlocks.resize(block + 1);
        digestBlocks[block] = std::move(made);
    }
    digestBlocks[block].replace(index % kDigestBlockRows * digestStride, digestStride, bytes);
    return true;
}

void FileListJob::FinishRow(std::size_t index, FileRowState state, DWORD error)
{
    std::uint64_t size = 0;
    {
        const std::lock_guard<std::mutex> lock(rowsLock);
        StoredRow& row = rows[index];
        row.state = state;
        row.error = error;
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
