#include "engine/FileList.h"

#include "win/ErrorText.h"
#include "win/LongPath.h"

#include <algorithm>
#include <memory>
#include <string_view>

namespace {

std::uint64_t SizeOf(DWORD high, DWORD low)
{
    return static_cast<std::uint64_t>(high) << 32 | low;
}

bool IsFolder(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The separator the argument uses, so that names below it read alike.
wchar_t SeparatorOf(const std::wstring& path)
{
    return path.find(L'\\') == std::wstring::npos && path.find(L'/') != std::wstring::npos ? L'/' : L'\\';
}

std::wstring Joined(const std::wstring& folder, const std::wstring& name, wchar_t separator)
{
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        return folder + name;
    return folder + separator + name;
}

struct FindCloser {
    void operator()(HANDLE find) const { ::FindClose(find); }
};

// False when onFile ended the listing.
bool ListFolder(const std::wstring& folder, wchar_t separator, const FileFound& onFile,
                const ListingFailure& onFailure)
{
    std::vector<WIN32_FIND_DATAW> entries;
    {
        WIN32_FIND_DATAW found = {};
        const std::wstring pattern = ExtendedLengthPath(Joined(folder, L"*", L'\\'));
        HANDLE handle = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_FILE_NOT_FOUND)
                onFailure(folder, error);
            return true;
        }
        const std::unique_ptr<void, FindCloser> closer(handle);
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..")
                entries.push_back(found);
        } while (::FindNextFileW(handle, &found));
        const DWORD error = ::GetLastError();
        if (error != ERROR_NO_MORE_FILES)
            onFailure(folder, error);
    }
    std::sort(entries.begin(), entries.end(), [](const WIN32_FIND_DATAW& a, const WIN32_FIND_DATAW& b) {
        return std::wstring_view(a.cFileName) < std::wstring_view(b.cFileName);
    });
    for (const WIN32_FIND_DATAW& entry : entries) {
        const std::wstring path = Joined(folder, entry.cFileName, separator);
        if (!IsFolder(entry.dwFileAttributes)) {
            if (!onFile({path, SizeOf(entry.nFileSizeHigh, entry.nFileSizeLow)}))
                return false;
        } else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            // a junction or link may lead back up: not entered
            if (!ListFolder(path, separator, onFile, onFailure))
                return false;
        }
    }
    return true;
}

}  // namespace

bool WalkFiles(const std::vector<std::wstring>& arguments, bool recursive, const FileFound& onFile,
               const ListingFailure& onFailure)
{
    for (const std::wstring& argument : arguments) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        bool goOn = true;
        if (!::GetFileAttributesExW(ExtendedLengthPath(argument).c_str(), GetFileExInfoStandard, &data))
            goOn = onFile({argument, 0});  // its opening says why it cannot be read
        else if (!IsFolder(data.dwFileAttributes))
            goOn = onFile({argument, SizeOf(data.nFileSizeHigh, data.nFileSizeLow)});
        else if (!recursive)
            onFailure(argument, kFolderNotRecursed);
        else
            goOn = ListFolder(argument, SeparatorOf(argument), onFile, onFailure);
        if (!goOn)
            return false;
    }
    return true;
}

std::vector<ListedFile> ListFiles(const std::vector<std::wstring>& arguments, bool recursive,
                                  const ListingError& onError)
{
    std::vector<ListedFile> files;
    WalkFiles(
        arguments, recursive,
        [&](ListedFile&& file) {
            files.push_back(std::move(file));
            return true;
        },
        [&](const std::wstring& path, DWORD error) {
            onError(path, error == kFolderNotRecursed ? L"Is a folder (use -r to hash the files in it)"
                                                      : SystemErrorText(error));
        });
    return files;
}

std::wstring SumFileName(const std::wstring& path)
{
    if (IsAbsolutePath(path))
        return path;
    std::wstring name = path;
    std::replace(name.begin(), name.end(), L'\\', L'/');
    return name;
}
