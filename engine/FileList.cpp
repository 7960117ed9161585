#include "engine/FileList.h"

#include "win/ErrorText.h"
#include "win/LongPath.h"
#include "win/UniqueHandle.h"

#include <algorithm>
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

}  // namespace

FileWalk::FileWalk(std::vector<std::wstring> arguments, bool recursive)
    : arguments(std::move(arguments)), recursive(recursive)
{
}

WalkStep FileWalk::Next()
{
    for (;;) {
        if (pending) {
            WalkStep step = std::move(*pending);
            pending.reset();
            return step;
        }
        if (!open.empty()) {
            OpenFolder& folder = open.back();
            if (folder.next == folder.entries.size()) {
                open.pop_back();
                continue;
            }
            const Entry& entry = folder.entries[folder.next++];
            std::wstring path = Joined(folder.path, entry.name, separator);
            if (!entry.folder)
                return {WalkStep::File, {std::move(path), entry.size}};
            Enter(path);
            continue;
        }
        if (nextArgument == arguments.size())
            return {};
        const std::wstring& argument = arguments[nextArgument++];
        separator = SeparatorOf(argument);
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (!::GetFileAttributesExW(ExtendedLengthPath(argument).c_str(), GetFileExInfoStandard, &data))
            return {WalkStep::File, {argument, 0}};  // its opening says why it cannot be read
        if (!IsFolder(data.dwFileAttributes))
            return {WalkStep::File, {argument, SizeOf(data.nFileSizeHigh, data.nFileSizeLow)}};
        if (!recursive)
            return {WalkStep::Failure, {argument, 0}, kFolderNotRecursed};
        Enter(argument);
    }
}

// Reads the folder's entries (a failure to read them comes first), sorted,
// as the innermost open folder.
void FileWalk::Enter(const std::wstring& path)
{
    OpenFolder folder{path, {}, 0};
    WIN32_FIND_DATAW found = {};
    const std::wstring pattern = ExtendedLengthPath(Joined(path, L"*", L'\\'));
    const win::UniqueFind search(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                                    nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            pending = WalkStep{WalkStep::Failure, {path, 0}, error};
        return;
    }
    do {
        const std::wstring_view name = found.cFileName;
        const bool folderEntry = IsFolder(found.dwFileAttributes);
        // A junction or link may lead back up: not entered.
        if (name == L"." || name == L".." || (folderEntry && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0))
            continue;
        folder.entries.push_back({std::wstring(name), SizeOf(found.nFileSizeHigh, found.nFileSizeLow), folderEntry});
    } while (::FindNextFileW(search.get(), &found));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES)
        pending = WalkStep{WalkStep::Failure, {path, 0}, error};
    std::sort(folder.entries.begin(), folder.entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    open.push_back(std::move(folder));
}

std::vector<ListedFile> ListFiles(const std::vector<std::wstring>& arguments, bool recursive,
                                  const ListingError& onError)
{
    std::vector<ListedFile> files;
    FileWalk walk(arguments, recursive);
    for (WalkStep step = walk.Next(); step.kind != WalkStep::End; step = walk.Next()) {
        if (step.kind == WalkStep::File)
            files.push_back(std::move(step.file));
        else
            onError(step.file.path, step.error == kFolderNotRecursed ? L"Is a folder (use -r to hash the files in it)"
                                                                     : SystemErrorText(step.error));
    }
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
