// tallyra-hash: the extension's digests on the command line, from the same
// catalogue and descriptors as the Properties page; writes and checks
// checksum files.
#include "AlgorithmChoice.h"
#include "FileHasher.h"
#include "engine/FileList.h"
#include "Options.h"
#include "Progress.h"
#include "SumCheck.h"

#include "engine/HashCatalogue.h"
#include "engine/SumLine.h"
#include "engine/SumText.h"
#include "tools/console/ConsoleText.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::size_t kOutputFlushChars = 32 * 1024;

StopFlag interrupted = std::make_shared<std::atomic<bool>>(false);

BOOL WINAPI OnConsoleControl(DWORD)
{
    interrupted->store(true);  // the running job stops before its next block
    return TRUE;
}

bool IsConsole(DWORD stdHandle)
{
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(stdHandle), &mode) != 0;
}

// Standard output gathered into few writes; flushed before anything goes to
// stderr, so that the two keep their order on one console.
class Report {
public:
    explicit Report(ProgressLine& progress) : progress(progress) {}
    ~Report() { Flush(); }

    void Line(const std::wstring& text)
    {
        pending += text;
        if (pending.size() >= kOutputFlushChars)
            Flush();
    }
    void Error(const std::wstring& text)
    {
        Flush();
        progress.Clear();
        WriteText(STD_ERROR_HANDLE, L"tallyra-hash: " + text + L"\n");
    }
    void Flush()
    {
        if (pending.empty())
            return;
        progress.Clear();
        WriteText(STD_OUTPUT_HANDLE, pending);
        pending.clear();
    }

private:
    ProgressLine& progress;
    std::wstring pending;
};

std::wstring Widened(const std::string& utf8)
{
    std::wstring wide;
    Utf8ToWide(utf8, wide);
    return wide;
}

std::string Narrowed(const std::wstring& text)
{
    std::string utf8;
    WideToUtf8(text, utf8);
    return utf8;
}

std::set<std::wstring> CatalogueNames()
{
    std::set<std::wstring> names;
    for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll())
        names.insert(descriptor->GetName());
    return names;
}

SumFormat SumFormatOf(OutputFormat format)
{
    return format == OutputFormat::Bsd ? SumFormat::Bsd : format == OutputFormat::Sfv ? SumFormat::Sfv : SumFormat::Gnu;
}

// The algorithms of a run that writes lines; false (after saying why) for a
// choice the format cannot take.
bool ChooseForFormat(const Options& options, AlgorithmChoice& choice, Report& report)
{
    std::wstring error;
    if (options.format == OutputFormat::Sfv) {
        const SumAlgorithm* crc = SumAlgorithmByName(L"CRC32");
        const bool onlyCrc = !options.all && std::all_of(options.algorithms.begin(), options.algorithms.end(),
                                                         [&](const std::wstring& name) {
                                                             return SumAlgorithmByName(name) == crc;
                                                         });
        if (!onlyCrc) {
            report.Error(L"--format sfv writes CRC32 only");
            return false;
        }
        choice.names = {L"CRC32"};
    } else if (!ChooseAlgorithms(options, choice, error)) {
        report.Error(error.substr(0, error.find_last_not_of(L'\n') + 1));
        return false;
    }
    if (options.format == OutputFormat::Gnu && choice.names.size() != 1) {
        report.Error(L"--format gnu writes one algorithm: choose it with --algo NAME (--format bsd takes several)");
        return false;
    }
    if (options.format != OutputFormat::Table)
        choice.lowercase = options.format != OutputFormat::Sfv;
    return true;
}

int HashFiles(const Options& options, AlgorithmChoice& choice, ProgressLine& progress, Report& report)
{
    if (!ChooseForFormat(options, choice, report))
        return 2;
    const std::set<std::wstring> chosen = choice.names;
    bool allHashed = true;
    const std::vector<ListedFile> files =
        ListFiles(options.files, options.recursive, [&](const std::wstring& path, const std::wstring& why) {
            report.Error(path + L": " + why);
            allHashed = false;
        });
    progress.state.filesTotal = files.size();
    for (const ListedFile& file : files)
        progress.state.bytesTotal += file.size;

    FileHasher hasher(choice, interrupted, progress);
    const std::wstring lineEnd = options.crlf ? L"\r\n" : L"\n";
    for (const ListedFile& file : files) {
        const FileDigests result = hasher.Hash(file.path, chosen, file.size);
        if (result.interrupted || interrupted->load())
            break;
        if (result.error != ERROR_SUCCESS) {
            report.Error(file.path + L": " + FileErrorText(result.error));
            allHashed = false;
            continue;
        }
        if (options.format == OutputFormat::Table) {
            for (const auto& [name, digest] : result.digests)
                report.Line(name + L"\t" + digest + L"\t" + file.path + L"\n");
            continue;
        }
        const std::string name = Narrowed(SumFileName(file.path));
        for (const auto& [algorithm, digest] : result.digests) {
            const SumAlgorithm* known = SumAlgorithmByName(algorithm);
            const SumAlgorithm unknown{algorithm.c_str(), "", digest.size()};
            const std::string line =
                FormatSumLine(SumFormatOf(options.format), known ? *known : unknown, Narrowed(digest), name);
            report.Line(Widened(line) + lineEnd);
        }
    }
    return allHashed ? 0 : 1;
}

int CheckFiles(const Options& options, AlgorithmChoice& choice, ProgressLine& progress, Report& report)
{
    SumCheckSettings settings;
    settings.quiet = options.quiet;
    settings.status = options.status;
    settings.strict = options.strict;
    settings.ignoreMissing = options.ignoreMissing;
    settings.warn = options.warn;
    settings.catalogue = CatalogueNames();
    if (!options.algorithms.empty()) {
        std::wstring error;
        if (!ChooseAlgorithms(options, choice, error)) {
            report.Error(error.substr(0, error.find_last_not_of(L'\n') + 1));
            return 2;
        }
        settings.forced = SumAlgorithmByName(*choice.names.begin());
    }
    const SumCheckOutput output{[&](const std::string& line) { report.Line(Widened(line) + L"\n"); },
                                [&](const std::wstring& text) { report.Error(text); }};
    FileHasher hasher(choice, interrupted, progress);
    bool allMatched = true;
    for (const std::wstring& sumFile : options.files)
        allMatched = CheckSumFile(sumFile, settings, hasher, output, interrupted) && allMatched;
    return allMatched ? 0 : 1;
}

int Run(const std::vector<std::wstring>& arguments)
{
    const ParsedOptions parsed = ParseOptions(arguments);
    if (!parsed.error.empty()) {
        WriteText(STD_ERROR_HANDLE, L"tallyra-hash: " + parsed.error + L"\n\n" + kUsageText);
        return 2;
    }
    const Options& options = parsed.options;
    if (options.help) {
        WriteText(STD_OUTPUT_HANDLE, kUsageText);
        return 0;
    }

    static AlgorithmChoice choice;
    BindHashSettings(&choice);
    ::SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
    ProgressLine progress(!options.quiet && !options.status && IsConsole(STD_ERROR_HANDLE));
    Report report(progress);
    const int exitCode = options.check ? CheckFiles(options, choice, progress, report)
                                       : HashFiles(options, choice, progress, report);
    if (interrupted->load()) {
        report.Error(L"interrupted");
        return 130;
    }
    return exitCode;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    try {
        return Run(std::vector<std::wstring>(argv + 1, argv + argc));
    } catch (const std::bad_alloc&) {
        WriteText(STD_ERROR_HANDLE, L"tallyra-hash: out of memory\n");
    } catch (...) {
        WriteText(STD_ERROR_HANDLE, L"tallyra-hash: unexpected failure\n");
    }
    return 3;
}
