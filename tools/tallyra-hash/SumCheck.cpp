#include "SumCheck.h"

#include "engine/SumLine.h"
#include "engine/SumText.h"
#include "win/ErrorText.h"
#include "win/LongPath.h"
#include "win/UniqueHandle.h"

#include <cwctype>

namespace {

struct Counts {
    std::uint64_t formatted = 0;
    std::uint64_t malformed = 0;
    std::uint64_t unreadable = 0;
    std::uint64_t mismatched = 0;
    std::uint64_t uncheckable = 0;  // unsupported or ambiguous algorithm
    std::uint64_t verified = 0;
};

std::wstring Widened(const std::string& utf8)
{
    std::wstring wide;
    return Utf8ToWide(utf8, wide) ? wide : std::wstring(utf8.begin(), utf8.end());
}

// "1 line is" / "2 lines are".
std::wstring Counted(std::uint64_t count, const wchar_t* one, const wchar_t* many)
{
    return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

bool SameDigest(const std::wstring& computed, const std::string& listed)
{
    if (computed.size() != listed.size())
        return false;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (std::towlower(computed[i]) != std::towlower(static_cast<wchar_t>(listed[i])))
            return false;
    }
    return true;
}

bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The folder names in the sum file start from: the sum file's own.
std::wstring FolderOf(const std::wstring& sumFile)
{
    const std::size_t slash = sumFile.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return sumFile.size() >= 2 && sumFile[1] == L':' ? sumFile.substr(0, 2) : std::wstring();
    return sumFile.substr(0, slash + 1);
}

std::wstring ListedPath(const std::wstring& folder, const std::wstring& name)
{
    return IsAbsolutePath(name) || folder.empty() ? name : folder + name;
}

}  // namespace

bool CheckSumFile(const std::wstring& sumFile, const SumCheckSettings& settings, FileHasher& hasher,
                  const SumCheckOutput& output, const StopFlag& interrupted)
{
    const bool fromInput = sumFile == L"-";
    win::UniqueFile opened;
    HANDLE source = ::GetStdHandle(STD_INPUT_HANDLE);
    if (!fromInput) {
        opened.reset(::CreateFileW(ExtendedLengthPath(sumFile).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!opened) {
            output.error(sumFile + L": " + FileErrorText(OpenError(sumFile, ::GetLastError())));
            return false;
        }
        source = opened.get();
    }
    SumLineReader reader([source](char* buffer, std::size_t size) -> std::int64_t {
        DWORD read = 0;
        if (!::ReadFile(source, buffer, static_cast<DWORD>(size), &read, nullptr))
            return ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
        return read;
    });

    const std::wstring folder = fromInput ? std::wstring() : FolderOf(sumFile);
    const SumAlgorithm* implied = settings.forced ? settings.forced : SumAlgorithmByFileName(sumFile);
    SumLineParser parser(!fromInput && IsSfvFileName(sumFile));
    Counts counts;
    const auto lineNote = [&](std::uint64_t number, const std::wstring& note) {
        output.error(sumFile + L": " + std::to_wstring(number) + L": " + note);
    };
    SumTextLine text;
    while (!interrupted->load() && reader.Next(text)) {
        const SumLine line = text.status == SumTextLineStatus::Text ? parser.Parse(text.text) : SumLine();
        if (line.kind == SumLineKind::Ignored)
            continue;
        const ResolvedSumAlgorithm resolved =
            line.kind == SumLineKind::Entry ? ResolveSumAlgorithm(line, implied) : ResolvedSumAlgorithm();
        if (resolved.status == SumAlgorithmStatus::WrongLength) {
            ++counts.malformed;
            if (settings.warn)
                lineNote(text.number, text.status == SumTextLineStatus::TooLong   ? L"line too long"
                                      : text.status == SumTextLineStatus::NotText ? L"not text (invalid UTF-8 or UTF-16, or NUL)"
                                                                                  : L"improperly formatted checksum line");
            continue;
        }
        ++counts.formatted;
        const std::wstring name = Widened(line.name);
        const std::string shown = SumNameForReport(line.name);
        const std::wstring shownWide = Widened(shown);
        if (resolved.status == SumAlgorithmStatus::UnknownTag) {
            ++counts.uncheckable;
            lineNote(text.number, L"unsupported algorithm " + Widened(line.tag) + L" for " + shownWide);
            continue;
        }
        if (resolved.status == SumAlgorithmStatus::Ambiguous) {
            std::wstring candidates;
            for (const SumAlgorithm* algorithm : SumAlgorithmsByLength(line.digest.size()))
                candidates += (candidates.empty() ? L"" : L", ") + std::wstring(algorithm->catalogueName);
            ++counts.uncheckable;
            lineNote(text.number, L"ambiguous digest of " + std::to_wstring(line.digest.size()) + L" digits (" +
                                      candidates + L") for " + shownWide + L": name the algorithm with --algo");
            continue;
        }
        const std::wstring algorithm = resolved.algorithm->catalogueName;
        if (settings.catalogue.count(algorithm) == 0) {
            ++counts.uncheckable;
            lineNote(text.number, L"unsupported algorithm " + algorithm + L" (not in this build) for " + shownWide);
            continue;
        }

        const FileDigests result = hasher.Hash(ListedPath(folder, name), {algorithm});
        if (result.interrupted)
            break;
        if (result.error != ERROR_SUCCESS) {
            if (settings.ignoreMissing && IsMissing(result.error))
                continue;
            ++counts.unreadable;
            output.error(shownWide + L": " + FileErrorText(result.error));
            if (!settings.status)
                output.line(shown + ": FAILED open or read");
            continue;
        }
        ++counts.verified;
        const auto digest = result.digests.find(algorithm);
        if (digest == result.digests.end() || !SameDigest(digest->second, line.digest)) {
            ++counts.mismatched;
            if (!settings.status)
                output.line(shown + ": FAILED");
        } else if (!settings.status && !settings.quiet) {
            output.line(shown + ": OK");
        }
    }
    if (interrupted->load())
        return false;
    if (reader.ReadFailed()) {
        output.error(sumFile + L": read error");
        return false;
    }

    if (counts.formatted == 0) {
        output.error(sumFile + L": no properly formatted checksum lines found");
        return false;
    }
    if (!settings.status) {
        if (counts.malformed != 0)
            output.error(L"WARNING: " + Counted(counts.malformed, L"line is", L"lines are") + L" improperly formatted");
        if (counts.unreadable != 0)
            output.error(L"WARNING: " + Counted(counts.unreadable, L"listed file", L"listed files") +
                         L" could not be read");
        if (counts.mismatched != 0)
            output.error(L"WARNING: " + Counted(counts.mismatched, L"computed checksum", L"computed checksums") +
                         L" did NOT match");
        if (counts.uncheckable != 0)
            output.error(L"WARNING: " + Counted(counts.uncheckable, L"line names", L"lines name") +
                         L" an algorithm that could not be used");
    }
    if (settings.ignoreMissing && counts.verified == 0 && counts.uncheckable == 0 && counts.unreadable == 0) {
        output.error(sumFile + L": no file was verified");
        return false;
    }
    return counts.unreadable == 0 && counts.mismatched == 0 && counts.uncheckable == 0 &&
           !(settings.strict && counts.malformed != 0);
}
