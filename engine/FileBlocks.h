#pragma once
// How a run reads a file: it asks the file's size, then reads it in blocks
// of one size, whatever the configuration.
#include <windows.h>

#include <cstdint>

constexpr DWORD kHashBlockSize = 102400;

// The file's size through the given GetFileSize (the system's, or a test's
// in its place); error is the system's reason when it cannot tell the size,
// ERROR_SUCCESS otherwise. A size whose low part happens to be
// INVALID_FILE_SIZE is a size: the error is cleared before asking.
struct FileSizeRead {
    std::uint64_t size = 0;
    DWORD error = ERROR_SUCCESS;
};

inline FileSizeRead ReadFileSize(DWORD(WINAPI* getFileSize)(HANDLE file, LPDWORD high), HANDLE file)
{
    DWORD high = 0;
    ::SetLastError(ERROR_SUCCESS);
    const DWORD low = getFileSize(file, &high);
    if (low == INVALID_FILE_SIZE) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_SUCCESS)
            return {0, error};
    }
    return {(static_cast<std::uint64_t>(high) << 32) | low, ERROR_SUCCESS};
}
