#pragma once
// What the page shows for the text in its compare edit: which of the file's
// digests it equals, if any.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class ComparisonOutcome {
    NothingToCompare,  // question icon: no text (or only "0x")
    Match,             // check icon: select the row, name its algorithm
    Mismatch,          // cross icon
};

struct DigestComparison {
    ComparisonOutcome outcome = ComparisonOutcome::NothingToCompare;
    std::size_t matchIndex = 0;  // the equal digest's row; only for Match
};

// Compares text with the digests (in list order). A leading "0x" or "0X" is
// dropped; the rest must equal a whole digest, ignoring case (no trimming,
// no partial match). The first equal digest wins.
DigestComparison CompareWithDigests(const std::wstring& text, const std::vector<std::wstring>& digests);
// The part of the text CompareWithDigests compares: without a leading "0x" or "0X".
std::wstring_view ComparedDigits(const std::wstring& text);

// Compares text as it stands with the digests (in list order), ignoring
// case: a leading "0x" is part of it. Only an empty text is nothing to compare.
DigestComparison CompareWithDigestsAsTyped(const std::wstring& text, const std::vector<std::wstring>& digests);
