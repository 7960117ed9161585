#pragma once
// A checksum file checked on one worker thread: each line read with the
// console tool's reader and parser, and each file it names (relative to the
// checksum file's folder, or as given when absolute) hashed with the one
// algorithm its line needs and compared. An untagged line whose digest's
// length several algorithms share (64 digits: SHA-256, SHA3-256, BLAKE3, ...)
// in a file whose name says none is checked against each of them that this
// build computes, in the same single read. Rows appear as the lines are read.
// The worker rules are FileListJob's, and it reports through the same
// interface (IFileListReport): rows listed and finished, one RunEnded a run.
#include "FileListJob.h"
#include "SumAlgorithms.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

enum class SumCheckResult {
    Waiting,      // not checked yet (or the check was stopped)
    Matches,
    DoesNotMatch,
    Missing,      // no such file or folder
    Unreadable,   // any other failure to open or read
    NotUnderstood,  // no checksum line, an unknown or ambiguous algorithm, one this build lacks,
                    // or a name longer than any path (kLongestSumName)
    kCount
};

// Longer names name no file (the longest path Windows opens): not understood.
constexpr std::size_t kLongestSumName = 32767;
// What a row keeps of the text of a line not understood.
constexpr std::size_t kNotUnderstoodTextLimit = 200;

struct SumCheckRow {
    std::uint64_t line = 0;  // from 1
    std::wstring name;       // as the line gives it (for a line not understood, its text or name, cut)
    const SumAlgorithm* algorithm = nullptr;  // of an ambiguous line, the one that matched
    std::uint8_t ambiguousDigits = 0;         // of an ambiguous line, its digest's length
    SumCheckResult result = SumCheckResult::Waiting;
};

// The algorithm a row names: its line's, the one that matched of an
// ambiguous line, or else those the line was checked against
// ("SHA-256/SHA3-256/BLAKE3"); empty for a line not understood.
std::wstring SumRowAlgorithmText(const SumCheckRow& row);

class SumCheckJob;
using SumCheckJobPtr = std::shared_ptr<SumCheckJob>;

class SumCheckJob : public std::enable_shared_from_this<SumCheckJob> {
public:
    static SumCheckJobPtr Create(std::wstring sumFile, std::shared_ptr<IFileListReport> report);
    SumCheckJob(const SumCheckJob&) = delete;
    SumCheckJob& operator=(const SumCheckJob&) = delete;

    // Starts the one check; the handle is the caller's to close. Null when it
    // ran already or no thread could be made (RunEnded reported all the same).
    HANDLE Start();
    void Stop() { stopFlag->store(true); }
    bool IsRunning() const { return running.load(); }
    bool Ended() const { return ended.load(); }
    // True when the file could not be read to its end (opened, or a read failed).
    bool ReadFailed() const { return readFailed.load(); }

    std::size_t RowCount() const;
    SumCheckRow Row(std::size_t index) const;
    // Each row's algorithm and result in turn, under the rows' lock: a look
    // at a million rows without copying their names.
    void VisitRows(const std::function<void(const SumAlgorithm* algorithm, SumCheckResult result)>& visit) const;
    std::array<std::uint64_t, static_cast<std::size_t>(SumCheckResult::kCount)> Counts() const;
    // Of the checksum file: bytes read so far and its size.
    std::uint64_t BytesRead() const { return bytesRead.load(); }
    std::uint64_t Size() const { return size.load(); }

    void SetSystemCallsForTesting(const JobSystemCalls& calls) { hash->SetSystemCallsForTesting(calls); }

private:
    SumCheckJob(std::wstring sumFile, std::shared_ptr<IFileListReport> report);
    void Run();
    void AddRow(SumCheckRow row);
    void Finish(std::size_t index, SumCheckResult result, const SumAlgorithm* matched);
    struct Checked {
        SumCheckResult result;
        const SumAlgorithm* matched;
    };
    Checked Check(const std::wstring& path, const std::vector<const SumAlgorithm*>& candidates,
                  const std::string& digest);

    const std::wstring sumFile;
    const std::shared_ptr<IFileListReport> report;
    const StopFlag stopFlag = std::make_shared<std::atomic<bool>>(false);
    const HashDataPtr hash = HashData::Create();

    // A row as kept, small since a file may have millions of lines: its name in `names`.
    struct StoredRow {
        std::uint64_t line = 0;
        std::size_t nameAt = 0;
        const SumAlgorithm* algorithm = nullptr;
        std::uint32_t nameLength = 0;
        std::uint8_t ambiguousDigits = 0;
        SumCheckResult result = SumCheckResult::Waiting;
    };

    mutable std::mutex rowsLock;
    std::vector<StoredRow> rows;
    std::wstring names;
    std::array<std::uint64_t, static_cast<std::size_t>(SumCheckResult::kCount)> counts{};

    std::atomic<bool> started{false};
    std::atomic<bool> running{false};
    std::atomic<bool> ended{false};
    std::atomic<bool> readFailed{false};
    std::atomic<std::uint64_t> bytesRead{0};
    std::atomic<std::uint64_t> size{0};
};
