// The size a run reads a file by, through a GetFileSize that answers as the
// system may: a size whose low part is INVALID_FILE_SIZE is a size whatever
// error an earlier call left behind; a failure carries the system's error.
#include "engine/FileBlocks.h"

#include <gtest/gtest.h>

namespace {

struct SizeAnswer {
    DWORD low;
    DWORD high;
    DWORD error;  // set only when not ERROR_SUCCESS, as GetFileSize does
};
SizeAnswer answer;

DWORD WINAPI AnsweredSize(HANDLE, LPDWORD high)
{
    if (answer.error != ERROR_SUCCESS)
        ::SetLastError(answer.error);
    *high = answer.high;
    return answer.low;
}

}  // namespace

TEST(FileBlocks, ReadFileSizeTellsALowPartOfAllOnesFromAFailure)
{
    const struct {
        const char* what;
        SizeAnswer answer;
        DWORD staleError;
        FileSizeRead expected;
    } cases[] = {
        {"small", {5, 0, ERROR_SUCCESS}, ERROR_SUCCESS, {5, ERROR_SUCCESS}},
        {"over 4 GiB", {7, 1, ERROR_SUCCESS}, ERROR_SUCCESS, {(1ULL << 32) + 7, ERROR_SUCCESS}},
        {"low part all ones, stale error", {INVALID_FILE_SIZE, 0, ERROR_SUCCESS}, ERROR_ACCESS_DENIED,
         {INVALID_FILE_SIZE, ERROR_SUCCESS}},
        {"failure", {INVALID_FILE_SIZE, 0, ERROR_INVALID_HANDLE}, ERROR_SUCCESS, {0, ERROR_INVALID_HANDLE}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        answer = c.answer;
        ::SetLastError(c.staleError);
        const FileSizeRead read = ReadFileSize(&AnsweredSize, nullptr);
        EXPECT_EQ(read.size, c.expected.size);
        EXPECT_EQ(read.error, c.expected.error);
    }
}
