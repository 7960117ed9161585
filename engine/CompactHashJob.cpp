#include "CompactHashJob.h"

#include "DigestText.h"
#include "FileBlocks.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace compact {

namespace {

constexpr DWORD kSecondFileBlockSize = 10240;

// The digest text: uppercase, CRC-32's most significant digit first.
std::wstring FinalText(CryptoPP::HashTransformation& hash, bool crc)
{
    std::vector<CryptoPP::byte> digest(hash.DigestSize());
    hash.Final(digest.data());
    if (crc)
        CrcBytesMostSignificantFirst(digest.data(), digest.size());
    return FormatDigestText(digest.data(), digest.size(), false);
}

win::UniqueFile OpenForReading(const std::wstring& path)
{
    return win::UniqueFile(
        ::CreateFileW(OpenablePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
}

// The file's size; false when the system cannot tell it.
bool FileSize(const JobSystemCalls& calls, HANDLE file, std::uint64_t& size)
{
    const FileSizeRead sized = ReadFileSize(calls.getFileSize, file);
    size = sized.size;
    return sized.error == ERROR_SUCCESS;
}

}  // namespace

std::wstring OpenablePath(const std::wstring& path)
{
    if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    if (path.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

HashJob::HashJob() = default;

bool HashJob::Prepare(std::shared_ptr<JobReports> pageReports, const std::atomic<bool>* cancelFlag,
                      const std::wstring& path)
{
    page = std::move(pageReports);
    cancel = cancelFlag;
    readWhole = false;
    crc32.Restart();
    md5.Restart();
    sha1.Restart();
    file = OpenForReading(path);
    return static_cast<bool>(file);
}

win::UniqueThread HashJob::Start()
{
    return win::UniqueThread(::CreateThread(nullptr, 0, &WorkerProc, this, 0, nullptr));
}

DWORD WINAPI HashJob::WorkerProc(void* job)
{
    static_cast<HashJob*>(job)->Run();
    return 0;
}

void HashJob::ReportProgress(unsigned percent)
{
    if (page && !pageGone.load())
        page->Progress(percent);
}

void HashJob::ReportEnd()
{
    if (page && !pageGone.load())
        page->Ended(kEndReport);
}

void HashJob::Run()
{
    bool whole = false;
    try {
        whole = file && ReadLoop();
    } catch (...) {
        // Nothing may leave the worker (it would end the host process): a
        // run that failed to allocate is a run that did not read the file.
        whole = false;
    }
    // Closed here, not with the page: the file is not held while its
    // digests are on the screen.
    file.reset();
    readWhole = whole;
    ReportEnd();
}

bool HashJob::ReadLoop()
{
    std::uint64_t size = 0;
    if (!FileSize(systemCalls, file.get(), size))
        return false;
    std::vector<CryptoPP::byte> buffer(kHashBlockSize);
    std::uint64_t total = 0;
    bool done = size == 0;  // nothing is read from an empty file
    while (!done && !cancel->load()) {
        if (pageGone.load())
            return false;
        ReportProgress(static_cast<unsigned>(total * 100 / size));
        DWORD read = 0;
        if (!systemCalls.readFile(file.get(), buffer.data(), kHashBlockSize, &read, nullptr))
            return false;  // no final progress report
        if (read == 0)
            break;  // the file ended early: not the whole of it
        crc32.Update(buffer.data(), read);
        md5.Update(buffer.data(), read);
        sha1.Update(buffer.data(), read);
        total += read;
        done = total >= size;
    }
    ReportProgress(cancel->load() ? 0 : 100);
    return done;
}

std::optional<DigestTexts> HashJob::Finish()
{
    DigestTexts texts;
    texts.crc32 = FinalText(crc32, true);
    texts.md5 = FinalText(md5, false);
    texts.sha1 = FinalText(sha1, false);
    if (!readWhole)
        return std::nullopt;
    return texts;
}

SecondFileDigest HashSecondFile(const std::wstring& path, Algorithm algorithm, const JobSystemCalls& calls)
{
    SecondFileDigest result;
    win::UniqueFile file = OpenForReading(path);
    if (!file) {
        result.failure = SecondFileDigest::Failure::Open;
        return result;
    }
    std::unique_ptr<CryptoPP::HashTransformation> hash;
    switch (algorithm) {
    case Algorithm::MD5:
        hash = std::make_unique<CryptoPP::Weak1::MD5>();
        break;
    case Algorithm::SHA1:
        hash = std::make_unique<CryptoPP::SHA1>();
        break;
    case Algorithm::CRC32:
        hash = std::make_unique<CryptoPP::CRC32>();
        break;
    }
    std::uint64_t size = 0;
    if (!FileSize(calls, file.get(), size)) {
        result.failure = SecondFileDigest::Failure::Read;
        return result;
    }
    std::vector<CryptoPP::byte> buffer(kSecondFileBlockSize);
    for (std::uint64_t total = 0; total < size;) {
        DWORD read = 0;
        if (!calls.readFile(file.get(), buffer.data(), kSecondFileBlockSize, &read, nullptr)) {
            result.failure = SecondFileDigest::Failure::Read;
            return result;
        }
        if (read == 0)
            break;
        hash->Update(buffer.data(), read);
        total += read;
    }
    result.text = FinalText(*hash, algorithm == Algorithm::CRC32);
    return result;
}

}  // namespace compact
