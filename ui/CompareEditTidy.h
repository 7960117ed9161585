#pragma once
// A compare edit tidied as the user types or pastes: its text and caret are
// read, tidied, and written back when the tidy changed them. Writing back
// raises the edit's EN_CHANGE again, which the page ignores while Rewriting().
#include "ui/CompareTextTidy.h"
#include "win/Edit.h"

class CompareEditTidy {
public:
    using Tidy = TidiedCompareText (*)(const std::wstring& text, std::size_t selectionStart);

    explicit CompareEditTidy(Tidy tidy) noexcept : tidy(tidy) {}

    bool Rewriting() const noexcept { return rewriting; }
    // The edit's text as tidied, now in the edit with the caret in view.
    std::wstring Apply(const win::Edit& edit);

private:
    Tidy tidy;
    bool rewriting = false;
};
