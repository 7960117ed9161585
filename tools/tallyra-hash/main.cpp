// tallyra-hash: the extension's digests on the command line, from the same
// catalogue and descriptors as the Properties page.
#include "AlgorithmChoice.h"
#include "Options.h"

#include "engine/HashData.h"
#include "tools/console/ConsoleText.h"
#include "tools/console/JobWindow.h"
#include "win/ErrorText.h"
#include "win/UniqueHandle.h"

#include <vector>

namespace {

constexpr std::uint64_t kProgressFromBytes = 8 * 1024 * 1024;

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

// Hashes one file through a job, as the Properties page does; false (after
// saying why) when it cannot be read.
bool HashFile(JobWindow& window, const std::wstring& path, bool showProgress)
{
    HashDataPtr job = HashData::Create();
    job->SetStopFlag(interrupted);
    job->SetJobTag(HASHJOB_FILE);
    if (!job->Open(path)) {
        WriteText(STD_ERROR_HANDLE, L"tallyra-hash: " + path + L": " + SystemErrorText(job->LastError()) + L"\n");
        return false;
    }

    // Progress only where it helps: large files.
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes) ||
        (static_cast<std::uint64_t>(attributes.nFileSizeHigh) << 32 | attributes.nFileSizeLow) < kProgressFromBytes)
        showProgress = false;

    // Without progress to show the job posts nothing and its worker is waited
    // for: a message per block costs a round trip to the Wine server.
    job->SetWindow(showProgress ? window.Handle() : nullptr);
    win::UniqueFile thread(job->Start(true));
    unsigned shown = 101;
    const std::function<void(unsigned)> onProgress = [&](unsigned percent) {
        if (percent != shown && percent < 100) {
            shown = percent;
            WriteText(STD_ERROR_HANDLE, L"\r" + path + L": " + std::to_wstring(percent) + L"%");
        }
    };
    if (showProgress)
        window.WaitForCompletion(HASHJOB_FILE, onProgress);
    if (thread)
        ::WaitForSingleObject(thread.get(), INFINITE);
    if (shown != 101)
        WriteText(STD_ERROR_HANDLE, L"\r" + std::wstring(path.size() + 6, L' ') + L"\r");

    if (job->LastError() != ERROR_SUCCESS) {
        WriteText(STD_ERROR_HANDLE, L"tallyra-hash: " + path + L": " + SystemErrorText(job->LastError()) + L"\n");
        return false;
    }
    if (interrupted->load())
        return false;

    std::wstring lines;
    for (std::size_t i = 0; i < job->Count(); ++i) {
        const SharedDescriptor descriptor = job->At(i);
        lines += descriptor->GetName() + L"\t" + descriptor->GetDigestText() + L"\t" + path + L"\n";
    }
    WriteText(STD_OUTPUT_HANDLE, lines);
    return true;
}

int Run(const std::vector<std::wstring>& arguments)
{
    const ParsedOptions parsed = ParseOptions(arguments);
    if (!parsed.error.empty()) {
        WriteText(STD_ERROR_HANDLE, L"tallyra-hash: " + parsed.error + L"\n\n" + kUsageText);
        return 2;
    }
    if (parsed.options.help) {
        WriteText(STD_OUTPUT_HANDLE, kUsageText);
        return 0;
    }

    static AlgorithmChoice choice;
    std::wstring error;
    if (!ChooseAlgorithms(parsed.options, choice, error)) {
        WriteText(STD_ERROR_HANDLE, L"tallyra-hash: " + error);
        return 2;
    }
    BindHashSettings(&choice);

    ::SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
    const bool showProgress = !parsed.options.quiet && IsConsole(STD_ERROR_HANDLE);
    JobWindow window;
    bool allHashed = true;
    for (const std::wstring& path : parsed.options.files) {
        allHashed = HashFile(window, path, showProgress) && allHashed;
        if (interrupted->load()) {
            WriteText(STD_ERROR_HANDLE, L"tallyra-hash: interrupted\n");
            return 130;
        }
    }
    return allHashed ? 0 : 1;
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
