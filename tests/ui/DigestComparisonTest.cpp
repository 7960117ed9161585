// The compare edit's text against the file's digests, and the tidying of
// that text as the user types. Digests: CRC-32 of "123456789", MD5 of "",
// SHA-1 of "abc" (published vectors), and the CRC-32 once more in
// uppercase to show that the first equal one wins.
#include "ui/CompareTextTidy.h"
#include "ui/DigestComparison.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::wstring> kDigests = {
    L"cbf43926",
    L"d41d8cd98f00b204e9800998ecf8427e",
    L"a9993e364706816aba3e25717850c26c9cd0d89d",
    L"CBF43926",
};

struct ComparisonCase {
    std::wstring text;
    ComparisonOutcome outcome;
    std::size_t matchIndex;
};

const ComparisonCase kComparisons[] = {
    {L"", ComparisonOutcome::NothingToCompare, 0},
    {L"0x", ComparisonOutcome::NothingToCompare, 0},
    {L"0X", ComparisonOutcome::NothingToCompare, 0},
    {L"0", ComparisonOutcome::Mismatch, 0},
    {L"x", ComparisonOutcome::Mismatch, 0},
    {L"0x0", ComparisonOutcome::Mismatch, 0},
    {L"cbf43926", ComparisonOutcome::Match, 0},
    {L"CBF43926", ComparisonOutcome::Match, 0},
    {L"0xCbF43926", ComparisonOutcome::Match, 0},
    {L"0XCBF43926", ComparisonOutcome::Match, 0},
    {L"0x0xcbf43926", ComparisonOutcome::Mismatch, 0},
    {L"x0cbf43926", ComparisonOutcome::Mismatch, 0},
    {L"D41D8CD98F00B204E9800998ECF8427E", ComparisonOutcome::Match, 1},
    {L"0xa9993E364706816ABA3E25717850C26C9CD0D89D", ComparisonOutcome::Match, 2},
    {L" cbf43926", ComparisonOutcome::Mismatch, 0},
    {L"cbf43926\n", ComparisonOutcome::Mismatch, 0},
    {L"cbf4392", ComparisonOutcome::Mismatch, 0},
    {L"cbf439260", ComparisonOutcome::Mismatch, 0},
    {L"a9993e36", ComparisonOutcome::Mismatch, 0},
    {std::wstring(L"cbf43926\0", 9), ComparisonOutcome::Mismatch, 0},
};

struct TidyCase {
    std::wstring text;
    std::size_t selectionStart;
    std::wstring tidied;
    std::size_t caret;
};

const TidyCase kTidyings[] = {
    {L"", 0, L"", 0},
    {L" -\t- ", 5, L"", 0},
    {L"AB CD-EF\t01", 3, L"ABCDEF01", 3},   // separators leave the caret alone
    {L"AB CD-EF\t01", 11, L"ABCDEF01", 8},  // ... clamped to the end
    {L"ab Cd", 2, L"abCd", 2},              // case kept
    {L"\r\nABCD\r\n", 6, L"ABCD", 4},       // two leading characters taken
    {L"\r\nABCD\r\n", 1, L"ABCD", 0},       // ... clamped at the start
    {L"\r\n AB", 4, L"AB", 2},              // the space went first: two leading left
    {L" \n-\vAB\f", 7, L"AB", 2},
    {L"AB\r\nCD", 3, L"AB\r\nCD", 3},  // white space inside stays
    {L"\n\n\n", 2, L"", 0},
};

// The reduced page's rules: the text as typed, only trimmed at its ends.
const ComparisonCase kAsTyped[] = {
    {L"", ComparisonOutcome::NothingToCompare, 0},
    {L"0x", ComparisonOutcome::Mismatch, 0},
    {L"0xcbf43926", ComparisonOutcome::Mismatch, 0},
    {L"CbF43926", ComparisonOutcome::Match, 0},
    {L"A9993E364706816ABA3E25717850C26C9CD0D89D", ComparisonOutcome::Match, 2},
    {L"cbf4-3926", ComparisonOutcome::Mismatch, 0},
    {L" cbf43926", ComparisonOutcome::Mismatch, 0},
};

const TidyCase kTrimmings[] = {
    {L"", 0, L"", 0},
    {L"AB CD-EF\t01", 3, L"AB CD-EF\t01", 3},  // inner separators stay
    {L" \t0xAB \r\n", 4, L"0xAB", 2},
    {L"\r\n", 1, L"", 0},
};

}  // namespace

TEST(DigestComparison, TheReducedPageComparesTheTextAsTypedAndOnlyTrimsIt)
{
    for (const ComparisonCase& row : kAsTyped) {
        SCOPED_TRACE(::testing::PrintToString(row.text));
        const DigestComparison result = CompareWithDigestsAsTyped(row.text, kDigests);
        EXPECT_EQ(result.outcome, row.outcome);
        if (row.outcome == ComparisonOutcome::Match) {
            EXPECT_EQ(result.matchIndex, row.matchIndex);
        }
    }
    for (const TidyCase& row : kTrimmings) {
        SCOPED_TRACE(::testing::PrintToString(row.text) + " at " + std::to_string(row.selectionStart));
        const TidiedCompareText result = TrimCompareText(row.text, row.selectionStart);
        EXPECT_EQ(result.text, row.tidied);
        EXPECT_EQ(result.caret, row.caret);
    }
}

TEST(DigestComparison, TextsAgainstTheDigestsInListOrder)
{
    for (const ComparisonCase& row : kComparisons) {
        SCOPED_TRACE(::testing::PrintToString(row.text));
        const DigestComparison result = CompareWithDigests(row.text, kDigests);
        EXPECT_EQ(result.outcome, row.outcome);
        if (row.outcome == ComparisonOutcome::Match) {
            EXPECT_EQ(result.matchIndex, row.matchIndex);
        }
    }
}

TEST(DigestComparison, NoDigestsIsAMismatchUnlessThereIsNothingToCompare)
{
    EXPECT_EQ(CompareWithDigests(L"cbf43926", {}).outcome, ComparisonOutcome::Mismatch);
    EXPECT_EQ(CompareWithDigests(L"0x", {}).outcome, ComparisonOutcome::NothingToCompare);
}

TEST(CompareTextTidy, SeparatorsAndSurroundingWhiteSpaceGoAndTheCaretFollows)
{
    for (const TidyCase& row : kTidyings) {
        SCOPED_TRACE(::testing::PrintToString(row.text) + " at " + std::to_string(row.selectionStart));
        const TidiedCompareText result = TidyCompareText(row.text, row.selectionStart);
        EXPECT_EQ(result.text, row.tidied);
        EXPECT_EQ(result.caret, row.caret);
    }
}
