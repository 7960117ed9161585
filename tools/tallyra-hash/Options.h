#pragma once
#include <string>
#include <vector>

struct Options {
    bool lowercase = false;
    bool all = false;
    bool help = false;
    bool quiet = false;
    std::vector<std::wstring> algorithms;  // as given with --algo
    std::vector<std::wstring> files;
};

// Empty error when the command line is well formed.
struct ParsedOptions {
    Options options;
    std::wstring error;
};

ParsedOptions ParseOptions(const std::vector<std::wstring>& arguments);

extern const wchar_t kUsageText[];
