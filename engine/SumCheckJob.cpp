#include "SumCheckJob.h"

#include "HashCatalogue.h"
#include "PinnedWorker.h"
#include "SumLine.h"
#include "SumText.h"
#include "win/LongPath.h"
#include "win/UniqueHandle.h"

#include <cwctype>
#include <new>

namespace {

// The names below the checksum file's folder start there.
std::wstring FolderOf(const std::wstring& sumFile)
{
    const std::size_t slash = sumFile.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : sumFile.substr(0, slash + 1);
}

std::wstring Widened(const std::string& utf8)
{
    std::wstring wide;
    if (Utf8ToWide(utf8, wide))
        return wide;
    return std::wstring();
}

bool SameDigest(const std::wstring& computed, const std::string& listed)
{
    if (computed.size() != listed.size())
        return false;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (std::towlower(computed[i]) != std::towlower(static_cast<wchar_t>(static_cast<unsigned char>(listed[i]))))
            return false;
    }
    return true;
}

// The catalogue's descriptor of one algorithm, or none when this build lacks it.
class OneAlgorithm final : public IHashSettings {
public:
    explicit OneAlgorithm(const wchar_t* name) : name(name) {}
    bool IsEnabled(const std::wstring& candidate) const override { return candidate == name; }
    bool UseLowercase() const override { return false; }

private:
    const wchar_t* name;
};

}  // namespace

SumCheckJob::SumCheckJob(std::wstring sumFile, std::shared_ptr<IFileListReport> report)
    : sumFile(std::move(sumFile)), report(std::move(report))
{
    hash->SetReports(nullptr);
    hash->SetStopFlag(stopFlag);
}

SumCheckJobPtr SumCheckJob::Create(std::wstring sumFile, std::shared_ptr<IFileListReport> report)
{
    return SumCheckJobPtr(new SumCheckJob(std::move(sumFile), std::move(report)));
}

std::size_t SumCheckJob::RowCount() const
{
    const std::lock_guard<std::mutex> lock(rowsLock);
    return rows.size();
}

SumCheckRow SumCheckJob::Row(std::size_t index) const
{
    const std::lock_guard<std::mutex> lock(rowsLock);
    if (index >= rows.size())
        return SumCheckRow();
    const StoredRow& stored = rows[index];
    return SumCheckRow{stored.line, names.substr(stored.nameAt, stored.nameLength), stored.algorithm, stored.result};
}

std::array<std::uint64_t, static_cast<std::size_t>(SumCheckResult::kCount)> SumCheckJob::Counts() const
{
    const std::lock_guard<std::mutex> lock(rowsLock);
    return counts;
}

HANDLE SumCheckJob::Start()
{
    if (started.exchange(true)) {
        ::SetLastError(ERROR_BUSY);
        return nullptr;
    }
    running = true;
    HANDLE thread = nullptr;
    DWORD error = ERROR_NOT_ENOUGH_MEMORY;
    try {
        SumCheckJobPtr self = shared_from_this();
        thread = StartPinnedWorker([self] { self->Run(); });
        error = ::GetLastError();
    } catch (const std::exception&) {
    }
    if (thread == nullptr) {
        running = false;
        ended = true;
        report->RunEnded();
        ::SetLastError(error);
    }
    return thread;
}

void SumCheckJob::AddRow(SumCheckRow row)
{
    {
        const std::lock_guard<std::mutex> lock(rowsLock);
        if (row.result != SumCheckResult::Waiting)
            ++counts[static_cast<std::size_t>(row.result)];
        if (row.result == SumCheckResult::NotUnderstood && row.name.size() > kNotUnderstoodTextLimit)
            row.name.resize(kNotUnderstoodTextLimit);
        StoredRow stored;
        stored.line = row.line;
        stored.nameAt = names.size();
        stored.algorithm = row.algorithm;
        stored.nameLength = static_cast<std::uint32_t>(row.name.size());
        stored.result = row.result;
        names += row.name;
        rows.push_back(stored);
    }
    report->RowsListed();
}

void SumCheckJob::Finish(std::size_t index, SumCheckResult result)
{
    {
        const std::lock_guard<std::mutex> lock(rowsLock);
        rows[index].result = result;
        ++counts[static_cast<std::size_t>(result)];
    }
    report->RowFinished(index);
}

SumCheckResult SumCheckJob::Check(const std::wstring& path, const SumAlgorithm& algorithm, const std::string& digest)
{
    DescriptorList one = HashCatalogue::Instance().CreateEnabled(OneAlgorithm(algorithm.catalogueName));
    if (one.empty())
        return SumCheckResult::NotUnderstood;
    if (!hash->Open(ExtendedLengthPath(path))) {
        const DWORD error = hash->LastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? SumCheckResult::Missing
                                                                              : SumCheckResult::Unreadable;
    }
    hash->UseDescriptors(std::move(one));
    hash->RunOnThisThread(false);
    if (!hash->Completed())
        return hash->LastError() == ERROR_SUCCESS ? SumCheckResult::Waiting : SumCheckResult::Unreadable;
    return SameDigest(hash->At(0)->GetDigestText(), digest) ? SumCheckResult::Matches : SumCheckResult::DoesNotMatch;
}

void SumCheckJob::Run()
{
    try {
        win::UniqueFile file(::CreateFileW(ExtendedLengthPath(sumFile).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file) {
            readFailed = true;
        } else {
            LARGE_INTEGER fileSize = {};
            if (::GetFileSizeEx(file.get(), &fileSize))
                size = static_cast<std::uint64_t>(fileSize.QuadPart);
            const HANDLE source = file.get();
            SumLineReader reader([this, source](char* buffer, std::size_t bytes) -> std::int64_t {
                DWORD read = 0;
                if (!::ReadFile(source, buffer, static_cast<DWORD>(bytes), &read, nullptr))
                    return -1;
                bytesRead += read;
                return read;
            });
            const std::wstring folder = FolderOf(sumFile);
            const SumAlgorithm* implied = SumAlgorithmByFileName(sumFile);
            SumLineParser parser(IsSfvFileName(sumFile));
            SumTextLine text;
            while (!stopFlag->load() && reader.Next(text)) {
                const SumLine line = text.status == SumTextLineStatus::Text ? parser.Parse(text.text) : SumLine();
                if (line.kind == SumLineKind::Ignored)
                    continue;
                SumCheckRow row;
                row.line = text.number;
                const ResolvedSumAlgorithm resolved =
                    line.kind == SumLineKind::Entry ? ResolveSumAlgorithm(line, implied) : ResolvedSumAlgorithm();
                if (resolved.status != SumAlgorithmStatus::Found) {
                    row.name = Widened(line.kind == SumLineKind::Entry ? line.name
                                                                       : text.text.substr(0, kNotUnderstoodTextLimit));
                    row.result = SumCheckResult::NotUnderstood;
                    AddRow(std::move(row));
                    continue;
                }
                row.algorithm = resolved.algorithm;
                std::wstring name;
                const bool named = Utf8ToWide(line.name, name) && !name.empty() && name.size() <= kLongestSumName &&
                                   name.find(L'\0') == std::wstring::npos;
                row.name = name;
                if (!named)
                    row.result = SumCheckResult::NotUnderstood;
                AddRow(std::move(row));
                if (!named)
                    continue;
                const std::size_t index = RowCount() - 1;
                const SumCheckResult result =
                    Check(IsAbsolutePath(name) || folder.empty() ? name : folder + name, *resolved.algorithm, line.digest);
                if (result == SumCheckResult::Waiting)
                    break;  // stopped within the file
                Finish(index, result);
            }
            readFailed = reader.ReadFailed();
        }
        const std::lock_guard<std::mutex> lock(rowsLock);
        rows.shrink_to_fit();  // what was reserved for more rows goes back
        names.shrink_to_fit();
    } catch (...) {
        // Only allocation can throw: the check ends where it is.
    }
    running = false;
    ended = true;
    report->RunEnded();
}

bool IsSumFileName(const std::wstring& path)
{
    return SumAlgorithmByFileName(path) != nullptr;
}
