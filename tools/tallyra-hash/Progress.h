#pragma once
// One progress line on a console's stderr for long runs: files done (of how
// many, when known), bytes and speed; rewritten in place, cleared at the end.
#include <cstdint>
#include <string>
#include <windows.h>

struct ProgressState {
    std::uint64_t filesDone = 0;
    std::uint64_t filesTotal = 0;  // 0: not known (sum files are read as they are checked)
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
};

// "12/40 files, 300.0 of 900.0 MiB, 512.3 MB/s"
std::wstring FormatProgress(const ProgressState& state, double seconds);

class ProgressLine {
public:
    // Shown only when enabled, and only once the run has taken a second.
    explicit ProgressLine(bool enabled);
    ~ProgressLine() { Clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    ProgressState state;
    // Redraws, at most four times a second.
    void Update();
    // Removes the line (before other text goes to the console, and at the end).
    void Clear();

private:
    bool enabled;
    ULONGLONG started;
    ULONGLONG lastShown = 0;
    std::size_t shownLength = 0;
};
