#include "SumCheckJob.h"

#include "HashCatalogue.h"
#include "PinnedWorker.h"
#include "SumLine.h"
#include "SumText.h"
#include "win/LongPath.h"
#include "win/UniqueHandle.h"

#include <algorithm>
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

// The catalogue's descriptors of some algorithms (those this build lacks are
// not made).
class SomeAlgorithms final : public IHashSettings {
public:
    explicit SomeAlgorithms(const std::vector<const SumAlgorithm*>& algorithms) : algorithms(algorithms) {}
    bool IsEnabled(const std::wstring& candidate) const override
    {
        return std::any_of(algorithms.begin(), algorithms.end(),
                           [&](const SumAlgorithm* algorithm) { return candidate == algorithm->catalogueName; });
    }
    bool UseLowercase() const override { return false; }

private:
    const std::vector<const SumAlgorithm*>& algorithms;
};

bool InCatalogue(const SumAlgorithm* algorithm)
{
    return !HashCatalogue::Instance().CreateEnabled(SomeAlgorithms({algorithm})).empty();
}

// Whether the tools name whole checksum files after it ("SHA256SUMS"): the
// algorithms such files are mostly written with.
bool HasSumsFileName(const SumAlgorithm* algorithm)
{
    std::wstring name;
    for (const char* c = algorithm->tag; *c != '\0'; ++c)
        name.push_back(static_cast<wchar_t>(*c));
    return SumAlgorithmByFileName(name + L"SUMS") == algorithm;
}

// The algorithms an untagged digest of this length may be, that this build
// computes; the common ones first (SHA-256 before RIPEMD-256).
std::vector<const SumAlgorithm*> ComputedOfLength(std::size_t digits)
{
    std::vector<const SumAlgorithm*> computed = SumAlgorithmsByLength(digits);
    computed.erase(std::remove_if(computed.begin(), computed.end(), [](const SumAlgorithm* a) { return !InCatalogue(a); }),
                   computed.end());
    std::stable_partition(computed.begin(), computed.end(), HasSumsFileName);
    return computed;
}

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
    return SumCheckRow{stored.line, names.substr(stored.nameAt, stored.nameLength), stored.algorithm,
                       stored.ambiguousDigits, stored.result};
}

void SumCheckJob::VisitRows(const std::function<void(const SumAlgorithm*, SumCheckResult)>& visit) const
{
    const std::lock_guard<std::mutex> lock(rowsLock);
    for (const StoredRow& row : rows)
        visit(row.algorithm, row.result);
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
        stored.ambiguousDigits = row.ambiguousDigits;
        stored.result = row.result;
        names += row.name;
        rows.push_back(stored);
    }
    report->RowsListed();
}

void SumCheckJob::Finish(std::size_t index, SumCheckResult result, const SumAlgorithm* matched)
{
    {
        const std::lock_guard<std::mutex> lock(rowsLock);
        rows[index].result = result;
        if (matched != nullptr)
            rows[index].algorithm = matched;
        ++counts[static_cast<std::size_t>(result)];
    }
    report->RowFinished(index);
}

SumCheckJob::Checked SumCheckJob::Check(const std::wstring& path, const std::vector<const SumAlgorithm*>& candidates,
                                        const std::string& digest)
{
    DescriptorList descriptors = HashCatalogue::Instance().CreateEnabled(SomeAlgorithms(candidates));
    if (descriptors.empty())
        return {SumCheckResult::NotUnderstood, nullptr};
    if (!hash->Open(ExtendedLengthPath(path))) {
        const DWORD error = hash->LastError();
        return {error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? SumCheckResult::Missing
                                                                               : SumCheckResult::Unreadable,
                nullptr};
    }
    hash->UseDescriptors(std::move(descriptors));
    hash->RunOnThisThread(false);
    if (!hash->Completed())
        return {hash->LastError() == ERROR_SUCCESS ? SumCheckResult::Waiting : SumCheckResult::Unreadable, nullptr};
    for (std::size_t i = 0; i < hash->Count(); ++i) {
        if (SameDigest(hash->At(i)->GetDigestText(), digest))
            return {SumCheckResult::Matches, SumAlgorithmByName(hash->At(i)->GetName())};
    }
    return {SumCheckResult::DoesNotMatch, nullptr};
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
                std::vector<const SumAlgorithm*> candidates;
                if (resolved.status == SumAlgorithmStatus::Found)
                    candidates.push_back(resolved.algorithm);
                else if (resolved.status == SumAlgorithmStatus::Ambiguous)
                    candidates = ComputedOfLength(line.digest.size());
                if (candidates.empty()) {
                    row.name = Widened(line.kind == SumLineKind::Entry ? line.name
                                                                       : text.text.substr(0, kNotUnderstoodTextLimit));
                    row.result = SumCheckResult::NotUnderstood;
                    AddRow(std::move(row));
                    continue;
                }
                if (candidates.size() == 1)
                    row.algorithm = candidates.front();
                else
                    row.ambiguousDigits = static_cast<std::uint8_t>(line.digest.size());
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
                const Checked checked =
                    Check(IsAbsolutePath(name) || folder.empty() ? name : folder + name, candidates, line.digest);
                if (checked.result == SumCheckResult::Waiting)
                    break;  // stopped within the file
                Finish(index, checked.result, checked.matched);
            }
            readFailed = reader.ReadFailed();
        }
        // What was reserved for more rows goes back. Copied outside the lock
        // (only this thread writes the rows), so that the page reading them
        // meanwhile waits for a swap, not for a copy of a million rows.
        std::vector<StoredRow> keptRows(rows.begin(), rows.end());
        std::wstring keptNames(names.begin(), names.end());
        const std::lock_guard<std::mutex> lock(rowsLock);
        rows.swap(keptRows);
        names.swap(keptNames);
    } catch (...) {
        // Only allocation can throw: the check ends where it is.
    }
    running = false;
    ended = true;
    report->RunEnded();
}

std::wstring SumRowAlgorithmText(const SumCheckRow& row)
{
    if (row.algorithm != nullptr)
        return row.algorithm->catalogueName;
    std::wstring names;
    if (row.ambiguousDigits == 0)
        return names;
    for (const SumAlgorithm* candidate : ComputedOfLength(row.ambiguousDigits))
        names += (names.empty() ? L"" : L"/") + std::wstring(candidate->catalogueName);
    return names;
}
