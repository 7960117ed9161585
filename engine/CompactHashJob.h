#pragma once
// The compact page's job: its file read once on a worker thread into
// CRC-32, MD5 and SHA-1 together, every report made to the page's
// JobReports, which take it at once (the page's adapter sends its window
// message: the worker waits until the page has handled it). The digests are finished on the page's
// thread when the end report has come. And the one-algorithm hashing of a
// second file, on the calling thread.
//
// The job lives in the page, which must not let it go while the worker
// runs: the page sets the page-gone flag when its window goes (the worker
// then reports nothing more) and waits for the worker's end while it takes
// the messages sent to its thread (a worker blocked in SendMessageW to the
// page is released by that).
#include "engine/JobReports.h"
#include "engine/JobSystemCalls.h"
#include "win/UniqueHandle.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <crc.h>
#include <md5.h>
#include <sha.h>

namespace compact {

enum class Algorithm { MD5, SHA1, CRC32 };

struct DigestTexts {
    std::wstring md5;
    std::wstring sha1;
    std::wstring crc32;
};

class HashJob {
public:
    // The tag of the job's end report.
    static constexpr std::uint32_t kEndReport = 1;

    HashJob();
    HashJob(const HashJob&) = delete;
    HashJob& operator=(const HashJob&) = delete;

    // A new run of the file for the page: the hashes restarted, the file
    // opened afresh. False when it cannot be opened: a run started then
    // reads nothing and reports its end all the same. Only while no worker runs.
    bool Prepare(std::shared_ptr<JobReports> page, const std::atomic<bool>* cancel, const std::wstring& path);
    // The worker's handle; invalid when no thread could start (nothing
    // will report then).
    win::UniqueThread Start();
    // The page's window is gone: the worker reports nothing more.
    void SetPageGone() noexcept { pageGone.store(true); }

    // After the end report: the digests of the whole file, or nothing when
    // it could not be opened or a read failed or came short. Finishes the
    // hashes: once per run.
    std::optional<DigestTexts> Finish();

    // Both the worker's reads and a second file's go through these calls.
    void SetSystemCallsForTesting(const JobSystemCalls& calls) { systemCalls = calls; }
    const JobSystemCalls& SystemCalls() const noexcept { return systemCalls; }

private:
    static DWORD WINAPI WorkerProc(void* job);
    void Run();
    // True when every byte of the file was read.
    bool ReadLoop();
    void ReportProgress(unsigned percent);
    void ReportEnd();

    CryptoPP::CRC32 crc32;
    CryptoPP::Weak1::MD5 md5;
    CryptoPP::SHA1 sha1;
    const std::atomic<bool>* cancel = nullptr;
    std::atomic<bool> pageGone{false};
    std::shared_ptr<JobReports> page;
    win::UniqueFile file;
    bool readWhole = false;  // the worker's verdict, written before its end report
    JobSystemCalls systemCalls;
};

// A second file's digest with one algorithm, read on the calling thread.
struct SecondFileDigest {
    enum class Failure { None, Open, Read };
    Failure failure = Failure::None;
    std::wstring text;
};
SecondFileDigest HashSecondFile(const std::wstring& path, Algorithm algorithm, const JobSystemCalls& calls);

// A path the system opens whatever its length: one of MAX_PATH or more gets
// the "\\?\" form (a path cut there would name another file).
std::wstring OpenablePath(const std::wstring& path);

}  // namespace compact
