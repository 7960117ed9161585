#pragma once
// The compare edit's text tidied as the user types or pastes: digests are
// often grouped ("AB CD-EF") or come with white space around them.
#include <cstddef>
#include <string>

struct TidiedCompareText {
    std::wstring text;
    std::size_t caret = 0;  // where the edit's caret goes, within text
};

// Removes every space, hyphen-minus and tab wherever they stand, then the
// leading and the trailing white space (iswspace). The caret is
// selectionStart less what the leading white space took; the removals of
// the first step leave it where it was (the user keeps typing at the same
// place of a grouped digest). It is clamped to [0, text.size()].
TidiedCompareText TidyCompareText(const std::wstring& text, std::size_t selectionStart);

// Only the leading and the trailing white space (iswspace) go; spaces,
// hyphens and tabs inside stay. The caret moves left by what the leading
// white space took, clamped to [0, text.size()].
TidiedCompareText TrimCompareText(const std::wstring& text, std::size_t selectionStart);
