#pragma once
// Hashes files one after another through the page's job (HashData: its
// lanes and read-ahead; a worker thread for large files), each with the
// algorithms asked for, while the progress line follows the bytes read.
#include "AlgorithmChoice.h"
#include "Progress.h"

#include "engine/HashData.h"

#include <map>
#include <optional>
#include <set>
#include <string>

struct FileDigests {
    DWORD error = ERROR_SUCCESS;  // why the file could not be read
    bool interrupted = false;
    std::map<std::wstring, std::wstring> digests;  // by catalogue name
};

class FileHasher {
public:
    // The choice is the bound hash settings: each file's algorithms are put
    // into it before its job takes its descriptors.
    FileHasher(AlgorithmChoice& choice, StopFlag stop, ProgressLine& progress);

    // The size (from a listing) counts the file's bytes in the progress
    // once it is done; without it the file is asked.
    FileDigests Hash(const std::wstring& path, const std::set<std::wstring>& algorithms,
                     std::optional<std::uint64_t> size = std::nullopt);

private:
    AlgorithmChoice& choice;
    StopFlag stop;
    ProgressLine& progress;
};

// What a folder gets as its error, where the system's own would be "access denied".
constexpr DWORD kErrorIsFolder = ERROR_DIRECTORY;  // only ever shown as "Is a folder"

// The error to report when opening the path failed with this one: ours for
// a folder, else the same.
DWORD OpenError(const std::wstring& path, DWORD error);

// The error's text for a message: the system's, or ours for a folder.
std::wstring FileErrorText(DWORD error);
