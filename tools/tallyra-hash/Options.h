#pragma once
#include <string>
#include <vector>

enum class OutputFormat { Table, Gnu, Bsd, Sfv };

struct Options {
    bool lowercase = false;
    bool all = false;
    bool help = false;
    bool quiet = false;
    bool recursive = false;
    bool crlf = false;
    OutputFormat format = OutputFormat::Table;
    // Checking sum files (-c): the files given are sum files.
    bool check = false;
    bool status = false;
    bool strict = false;
    bool ignoreMissing = false;
    bool warn = false;
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
