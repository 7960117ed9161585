#pragma once
// The files of a selection, with the files of folders when recursing: every
// folder's entries in name order (so that two runs list the same files in
// the same order), linked folders (reparse points) not entered, paths of any
// length. A walk goes one file at a time, so that a listing can stop after
// any of them and go on from there later; a folder's entries are read whole
// when the walk enters it, and only the open folders' names are held.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

struct ListedFile {
    std::wstring path;  // as given, or the folder as given joined with the names below it
    std::uint64_t size = 0;
};

// The error given for a folder named without recursing.
constexpr DWORD kFolderNotRecursed = ERROR_DIRECTORY;

// What a step of a walk found: a file; a path that cannot be listed (a
// folder that cannot be read, or a folder without recursing), after which
// the walk goes on; or the end.
struct WalkStep {
    enum Kind { File, Failure, End } kind = End;
    ListedFile file;  // of a failure, its path
    DWORD error = ERROR_SUCCESS;
};

class FileWalk {
public:
    FileWalk(std::vector<std::wstring> arguments, bool recursive);
    WalkStep Next();

private:
    struct Entry {
        std::wstring name;
        std::uint64_t size;
        bool folder;
    };
    struct OpenFolder {
        std::wstring path;
        std::vector<Entry> entries;  // in name order
        std::size_t next;
    };
    void Enter(const std::wstring& path);

    const std::vector<std::wstring> arguments;
    const bool recursive;
    std::size_t nextArgument = 0;
    wchar_t separator = L'\\';        // the argument's, so that names below it read alike
    std::vector<OpenFolder> open;     // innermost last
    std::optional<WalkStep> pending;  // a failure to read the folder just entered, given first
};

// Called for an argument that cannot be listed, with the reason as text.
using ListingError = std::function<void(const std::wstring& path, const std::wstring& why)>;

std::vector<ListedFile> ListFiles(const std::vector<std::wstring>& arguments, bool recursive,
                                  const ListingError& onError);

// A name for checksum files: a relative path with forward slashes; an
// absolute one as it is.
std::wstring SumFileName(const std::wstring& path);
