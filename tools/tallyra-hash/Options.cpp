#include "Options.h"

const wchar_t kUsageText[] =
    L"Usage: tallyra-hash [--lower] [--quiet] [--algo NAME]... [--all] FILE...\n"
    L"\n"
    L"Prints one line per file and algorithm, in the catalogue's order:\n"
    L"  NAME<TAB>DIGEST<TAB>PATH\n"
    L"\n"
    L"  --algo NAME  compute this algorithm (may be repeated; names are matched\n"
    L"               without regard to case)\n"
    L"  --all        compute every algorithm\n"
    L"  --lower      write digests in lowercase (the stored setting is not changed)\n"
    L"  --quiet      no progress on the console for large files\n"
    L"  --help       show this text\n"
    L"  --           end of options\n"
    L"\n"
    L"Without --algo and --all, the algorithms enabled in the user's settings are\n"
    L"used and, without --lower, the stored digest case. The settings are only read.\n"
    L"Each file is read once, in blocks of 102400 bytes, on a worker thread as the\n"
    L"Properties page does it. Ctrl+C stops between two blocks.\n"
    L"Exit code: 0 when every file was hashed, 1 when a file could not be read,\n"
    L"2 for a usage error or when no algorithm is chosen, 130 when interrupted.\n";

ParsedOptions ParseOptions(const std::vector<std::wstring>& arguments)
{
    ParsedOptions parsed;
    Options& options = parsed.options;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != L'-') {
            options.files.push_back(argument);
        } else if (argument == L"--") {
            optionsEnded = true;
        } else if (argument == L"--lower") {
            options.lowercase = true;
        } else if (argument == L"--quiet" || argument == L"-q") {
            options.quiet = true;
        } else if (argument == L"--all") {
            options.all = true;
        } else if (argument == L"--help" || argument == L"-h" || argument == L"/?") {
            options.help = true;
        } else if (argument == L"--algo") {
            if (i + 1 >= arguments.size()) {
                parsed.error = L"--algo needs an algorithm name";
                return parsed;
            }
            options.algorithms.push_back(arguments[++i]);
        } else if (argument.rfind(L"--algo=", 0) == 0) {
            options.algorithms.push_back(argument.substr(7));
        } else {
            parsed.error = L"unknown option " + argument;
            return parsed;
        }
    }
    if (!options.help && options.files.empty())
        parsed.error = L"no file given";
    return parsed;
}
