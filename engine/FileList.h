#pragma once
// The files of a selection, with the files of folders when recursing: every
// folder's entries in name order (so that two runs list the same files in
// the same order), linked folders (reparse points) not entered, paths of any
// length.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include <windows.h>

struct ListedFile {
    std::wstring path;  // as given, or the folder as given joined with the names below it
    std::uint64_t size = 0;
};

// The error given for a folder named without recursing.
constexpr DWORD kFolderNotRecursed = ERROR_DIRECTORY;

// Each file as it is found; false ends the listing there.
using FileFound = std::function<bool(ListedFile&& file)>;
// A path that cannot be listed (a folder that cannot be read, or a folder
// without recursing); the others are still listed.
using ListingFailure = std::function<void(const std::wstring& path, DWORD error)>;

// True when the listing ran to its end, false when onFile ended it.
bool WalkFiles(const std::vector<std::wstring>& arguments, bool recursive, const FileFound& onFile,
               const ListingFailure& onFailure);

// Called for an argument that cannot be listed, with the reason as text.
using ListingError = std::function<void(const std::wstring& path, const std::wstring& why)>;

std::vector<ListedFile> ListFiles(const std::vector<std::wstring>& arguments, bool recursive,
                                  const ListingError& onError);

// A name for checksum files: a relative path with forward slashes; an
// absolute one as it is.
std::wstring SumFileName(const std::wstring& path);
