#include "SumFileDetection.h"

#include "SumAlgorithms.h"
#include "SumLine.h"
#include "SumText.h"
#include "win/LongPath.h"
#include "win/UniqueHandle.h"

#include <algorithm>
#include <vector>
#include <windows.h>

namespace {

// Not in every SDK's headers: data that a cloud provider brings in on access.
constexpr DWORD kRecallOnOpen = 0x00040000;
constexpr DWORD kRecallOnDataAccess = 0x00400000;

bool IsOnLocalFixedDisk(const std::wstring& path)
{
    // The volume's path is at most the whole path, or a drive's root for a relative one.
    std::wstring volume(std::max<std::size_t>(path.size() + 2, MAX_PATH + 1), L'\0');
    if (!::GetVolumePathNameW(path.c_str(), volume.data(), static_cast<DWORD>(volume.size())))
        return false;
    const UINT type = ::GetDriveTypeW(volume.c_str());
    return type == DRIVE_FIXED || type == DRIVE_RAMDISK;
}

// The file's first bytes; whole when it ended within them. False when they
// may not or could not be read.
bool ReadSample(const std::wstring& path, std::string& bytes, bool& whole)
{
    const DWORD attributes = ::GetFileAttributesW(ExtendedLengthPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_OFFLINE | kRecallOnOpen | kRecallOnDataAccess)) != 0 ||
        !IsOnLocalFixedDisk(path))
        return false;
    win::UniqueFile file(::CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    bytes.assign(kSumFileSampleBytes, '\0');
    std::size_t filled = 0;
    DWORD read = 0;
    while (filled < bytes.size() &&
           ::ReadFile(file.get(), bytes.data() + filled, static_cast<DWORD>(bytes.size() - filled), &read, nullptr) &&
           read > 0)
        filled += read;
    whole = filled < bytes.size();
    bytes.resize(filled);
    return true;
}

}  // namespace

bool IsSumFileName(const std::wstring& path)
{
    return SumAlgorithmByFileName(path) != nullptr;
}

bool LooksLikeSumText(std::string_view firstBytes, bool whole)
{
    SumLineReader reader([&](char* buffer, std::size_t size) -> std::int64_t {
        const std::size_t count = firstBytes.copy(buffer, size);
        firstBytes.remove_prefix(count);
        return static_cast<std::int64_t>(count);
    });
    std::vector<SumTextLine> lines;
    for (SumTextLine line; reader.Next(line);)
        lines.push_back(line);
    if (!whole && !lines.empty())
        lines.pop_back();
    SumLineParser parser;
    std::size_t known = 0;
    for (const SumTextLine& text : lines) {
        if (text.status != SumTextLineStatus::Text)
            return false;
        const SumLine line = parser.Parse(text.text);
        if (line.kind == SumLineKind::Ignored)
            continue;
        if (line.kind != SumLineKind::Entry || line.format == SumFormat::Sfv)
            return false;
        const SumAlgorithmStatus status = ResolveSumAlgorithm(line, nullptr).status;
        if (status == SumAlgorithmStatus::Found || status == SumAlgorithmStatus::Ambiguous)
            ++known;
    }
    return known > 0;
}

bool IsSumFile(const std::wstring& path)
{
    if (IsSumFileName(path))
        return true;
    std::string bytes;
    bool whole = false;
    return ReadSample(path, bytes, whole) && LooksLikeSumText(bytes, whole);
}
