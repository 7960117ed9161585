#include "SumFileSave.h"

#include "FileList.h"
#include "SumText.h"
#include "win/LongPath.h"
#include "win/UniqueHandle.h"

#include <algorithm>
#include <cwctype>

namespace {

// "SHA256SUMS" (wholeName) or "checksums.sha256", when the file-name table
// reads it back as the algorithm; empty otherwise.
std::wstring ConventionalName(const SumAlgorithm& algorithm, bool wholeName)
{
    std::wstring tag;
    for (const char* c = algorithm.tag; *c != '\0'; ++c)
        tag.push_back(static_cast<wchar_t>(*c));
    if (wholeName) {
        const std::wstring name = tag + L"SUMS";
        if (SumAlgorithmByFileName(name) == &algorithm)
            return name;
        return std::wstring();
    }
    std::wstring extension = L"." + tag;
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return SumAlgorithmByFileName(L"checksums" + extension) == &algorithm ? L"checksums" + extension : L"";
}

std::string Lowered(std::string text, bool lower)
{
    for (char& c : text)
        c = lower ? static_cast<char>(std::tolower(static_cast<unsigned char>(c)))
                  : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool SameFolded(wchar_t a, wchar_t b)
{
    return std::towlower(a) == std::towlower(b) || ((a == L'\\' || a == L'/') && (b == L'\\' || b == L'/'));
}

}  // namespace

std::wstring DefaultSumFileName(SumFormat format, const SumAlgorithm& algorithm)
{
    if (format == SumFormat::Sfv)
        return L"checksums.sfv";
    if (format == SumFormat::Gnu) {
        const std::wstring whole = ConventionalName(algorithm, true);
        if (!whole.empty())
            return whole;
    }
    const std::wstring withExtension = ConventionalName(algorithm, false);
    return withExtension.empty() ? L"checksums.txt" : withExtension;
}

std::wstring NameInSumFolder(const std::wstring& folder, const std::wstring& path)
{
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\' && base.back() != L'/')
        base.push_back(L'\\');
    if (base.empty() || path.size() <= base.size() ||
        !std::equal(base.begin(), base.end(), path.begin(), SameFolded))
        return path;
    return SumFileName(path.substr(base.size()));
}

std::wstring CommonFolderOf(const std::vector<std::wstring>& paths)
{
    const auto isSeparator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    const auto folderOf = [](const std::wstring& path) {
        const std::size_t slash = path.find_last_of(L"\\/");
        return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    };
    if (paths.empty())
        return std::wstring();
    std::wstring common = folderOf(paths.front());
    for (std::size_t i = 1; i < paths.size() && !common.empty(); ++i) {
        const std::wstring folder = folderOf(paths[i]);
        const std::size_t shared =
            std::mismatch(common.begin(), common.end(), folder.begin(), folder.end(), SameFolded).first - common.begin();
        if (shared == common.size() && (shared == folder.size() || isSeparator(folder[shared])))
            continue;  // the common folder holds this one
        if (shared == folder.size() && isSeparator(common[shared])) {
            common.resize(shared);  // this folder holds the common one
            continue;
        }
        // Back to the last separator both have: a name cut in two is no folder.
        std::size_t end = shared;
        while (end > 0 && !isSeparator(common[end - 1]))
            --end;
        common.resize(end > 0 ? end - 1 : 0);
    }
    return common;
}

std::string SumFileText(SumFormat format, const SumAlgorithm& algorithm, const std::wstring& folder,
                        const std::vector<SumFileEntry>& entries)
{
    std::string text;
    for (const SumFileEntry& entry : entries) {
        std::string name;
        if (!WideToUtf8(NameInSumFolder(folder, entry.path), name))
            continue;  // not a name a checksum file can hold
        text += FormatSumLine(format, algorithm, Lowered(entry.digest, format != SumFormat::Sfv), name);
        text += '\n';
    }
    return text;
}

DWORD ReplaceFileWith(const std::wstring& target, const std::string& bytes)
{
    const std::size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash + 1);
    std::wstring temporary(MAX_PATH + 1, L'\0');
    if (::GetTempFileNameW(folder.c_str(), L"sum", 0, temporary.data()) == 0)
        return ::GetLastError();
    temporary.resize(temporary.find(L'\0'));

    DWORD error = ERROR_SUCCESS;
    {
        win::UniqueFile file(::CreateFileW(ExtendedLengthPath(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                           TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            error = ::GetLastError();
        } else {
            std::size_t done = 0;
            while (error == ERROR_SUCCESS && done < bytes.size()) {
                const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
                DWORD written = 0;
                if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr))
                    error = ::GetLastError();
                done += written;
            }
            if (error == ERROR_SUCCESS && !::FlushFileBuffers(file.get()))
                error = ::GetLastError();
        }
    }
    if (error == ERROR_SUCCESS &&
        !::MoveFileExW(ExtendedLengthPath(temporary).c_str(), ExtendedLengthPath(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = ::GetLastError();
    if (error != ERROR_SUCCESS)
        ::DeleteFileW(ExtendedLengthPath(temporary).c_str());
    return error;
}
