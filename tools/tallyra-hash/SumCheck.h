#pragma once
// Checking sum files (-c): every file a sum file lists, found beside the sum
// file, hashed with the one algorithm its line needs and reported as
// sha256sum -c reports it.
#include "FileHasher.h"
#include "Options.h"
#include "engine/SumAlgorithms.h"

#include <functional>
#include <set>
#include <string>

struct SumCheckSettings {
    bool quiet = false;          // no OK lines
    bool status = false;         // no lines, no warnings
    bool strict = false;         // improperly formatted lines fail the check
    bool ignoreMissing = false;  // listed files that do not exist are passed over
    bool warn = false;           // each improperly formatted line on stderr
    const SumAlgorithm* forced = nullptr;  // for lines that name no algorithm (--algo)
    std::set<std::wstring> catalogue;      // the algorithms this build computes
};

// Where the report goes: text for stdout, text for stderr (both without the
// program's name, which the caller puts before stderr lines).
struct SumCheckOutput {
    std::function<void(const std::string& utf8)> line;
    std::function<void(const std::wstring& text)> error;
};

// "-" reads standard input (names then start from the current folder).
// True when every listed file matched (and nothing else failed the check).
bool CheckSumFile(const std::wstring& sumFile, const SumCheckSettings& settings, FileHasher& hasher,
                  const SumCheckOutput& output, const StopFlag& interrupted);
