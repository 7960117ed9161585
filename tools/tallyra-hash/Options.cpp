#include "Options.h"

const wchar_t kUsageText[] =
    L"Usage: tallyra-hash [OPTION]... FILE...\n"
    L"       tallyra-hash -c [OPTION]... SUMFILE...\n"
    L"\n"
    L"Without --format, prints one line per file and algorithm, in the catalogue's\n"
    L"order:\n"
    L"  NAME<TAB>DIGEST<TAB>PATH\n"
    L"\n"
    L"  --algo NAME     compute this algorithm (may be repeated; names are matched\n"
    L"                  without regard to case)\n"
    L"  --all           compute every algorithm\n"
    L"  --lower         write digests in lowercase (the stored setting is not changed)\n"
    L"  -r, --recursive hash the files in folders and their subfolders, in name\n"
    L"                  order (linked folders are not followed)\n"
    L"  --format FORMAT write a checksum file to standard output: gnu (as sha256sum\n"
    L"                  writes, one --algo), bsd (as sha256sum --tag writes, a line\n"
    L"                  per --algo) or sfv (CRC32); UTF-8, names as given with\n"
    L"                  forward slashes\n"
    L"  --crlf          end the lines of --format with CRLF instead of LF\n"
    L"  -q, --quiet     no progress line; with -c, no OK lines\n"
    L"  --help          show this text\n"
    L"  --              end of options\n"
    L"\n"
    L"Checking (-c, --check): reads gnu, bsd and sfv lines as sha256sum, b2sum, b3sum,\n"
    L"xxhsum and rhash write them (UTF-8 or UTF-16 with a byte-order mark, LF or CRLF)\n"
    L"and prints NAME: OK or NAME: FAILED for every file listed, found beside the\n"
    L"sum file. The algorithm comes from the line's tag, else --algo, else the sum\n"
    L"file's name (.md5, .sha256, .b3, .sfv, SHA256SUMS, ...), else the digest's\n"
    L"length when only one algorithm has it.\n"
    L"  --status          print nothing; the exit code says it\n"
    L"  --strict          fail when a line is improperly formatted\n"
    L"  --ignore-missing  say nothing of listed files that do not exist\n"
    L"  -w, --warn        report each improperly formatted line\n"
    L"\n"
    L"Without --algo and --all, the algorithms enabled in the user's settings are\n"
    L"used and, without --lower, the stored digest case. The settings are only read.\n"
    L"Each file is read once, in blocks of 102400 bytes, on a worker thread as the\n"
    L"Properties page does it. Ctrl+C stops between two blocks.\n"
    L"Exit code: 0 when every file was hashed (or matched), 1 when a file could not\n"
    L"be read (or did not match), 2 for a usage error or when no algorithm is\n"
    L"chosen, 130 when interrupted.\n";

namespace {

bool TakeValue(const std::vector<std::wstring>& arguments, size_t& i, const std::wstring& name,
               std::wstring& value, std::wstring& error)
{
    const std::wstring& argument = arguments[i];
    if (argument.rfind(name + L"=", 0) == 0) {
        value = argument.substr(name.size() + 1);
        return true;
    }
    if (i + 1 >= arguments.size()) {
        error = name + L" needs a value";
        return false;
    }
    value = arguments[++i];
    return true;
}

bool IsOption(const std::wstring& argument, const std::wstring& name)
{
    return argument == name || argument.rfind(name + L"=", 0) == 0;
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::wstring>& arguments)
{
    ParsedOptions parsed;
    Options& options = parsed.options;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        std::wstring value;
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
        } else if (argument == L"--recursive" || argument == L"-r") {
            options.recursive = true;
        } else if (argument == L"--crlf") {
            options.crlf = true;
        } else if (argument == L"--check" || argument == L"-c") {
            options.check = true;
        } else if (argument == L"--status") {
            options.status = true;
        } else if (argument == L"--strict") {
            options.strict = true;
        } else if (argument == L"--ignore-missing") {
            options.ignoreMissing = true;
        } else if (argument == L"--warn" || argument == L"-w") {
            options.warn = true;
        } else if (argument == L"--help" || argument == L"-h" || argument == L"/?") {
            options.help = true;
        } else if (IsOption(argument, L"--algo")) {
            if (!TakeValue(arguments, i, L"--algo", value, parsed.error))
                return parsed;
            options.algorithms.push_back(value);
        } else if (IsOption(argument, L"--format")) {
            if (!TakeValue(arguments, i, L"--format", value, parsed.error))
                return parsed;
            if (value == L"gnu")
                options.format = OutputFormat::Gnu;
            else if (value == L"bsd")
                options.format = OutputFormat::Bsd;
            else if (value == L"sfv")
                options.format = OutputFormat::Sfv;
            else {
                parsed.error = L"unknown format '" + value + L"' (gnu, bsd or sfv)";
                return parsed;
            }
        } else {
            parsed.error = L"unknown option " + argument;
            return parsed;
        }
    }
    if (options.help)
        return parsed;
    if (options.files.empty())
        parsed.error = options.check ? L"no checksum file given" : L"no file given";
    else if (options.check && (options.format != OutputFormat::Table || options.recursive || options.all))
        parsed.error = L"--check takes no --format, --recursive or --all";
    else if (!options.check && (options.status || options.strict || options.ignoreMissing || options.warn))
        parsed.error = L"--status, --strict, --ignore-missing and --warn go with --check";
    else if (options.check && options.algorithms.size() > 1)
        parsed.error = L"--check takes at most one --algo (for lines that name none)";
    return parsed;
}
