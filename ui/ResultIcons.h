#pragma once
// The icons that show a comparison's outcome (a question mark, a cross, a
// check), cut from the module's bitmap IDB_RESULT_ICONS, and the outcome a
// shown icon stands for.
#include "ui/DigestComparison.h"
#include "win/UniqueHandle.h"

#include <optional>

class ResultIcons {
public:
    // Loads them from the module; none when its bitmap cannot be loaded.
    void Load(HINSTANCE module);

    // Null when they were not loaded.
    HICON For(ComparisonOutcome outcome) const noexcept;
    // Nothing for null or an icon not of these.
    std::optional<ComparisonOutcome> OutcomeOf(HICON icon) const noexcept;

private:
    win::UniqueIcon question;
    win::UniqueIcon cross;
    win::UniqueIcon check;
};
