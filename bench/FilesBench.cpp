// Many files and long checksum files: what the files pages' jobs cost in
// time and in memory per row, and how long the page's thread may take to
// answer while its job lists and hashes. Prints markdown tables; nothing
// here passes or fails.
//   files-bench jobs FOLDER       FileListJob over FOLDER: three algorithms, then all
//   files-bench sums SUMFILE...   SumCheckJob over each checksum file
//   files-bench page FOLDER       the page in a property sheet over FOLDER
#include "BenchClock.h"
#include "engine/FileListJob.h"
#include "engine/HashCatalogue.h"
#include "engine/SumCheckJob.h"
#include "support/Leaks.h"
#include "support/TallyraDll.h"
#include "ui/FileListDialog.h"
#include "FilesPageResources.h"
#include "win/UniqueHandle.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

double PerRow(std::size_t before, std::size_t after, std::size_t rows)
{
    return rows == 0 || after < before ? 0.0 : static_cast<double>(after - before) / static_cast<double>(rows);
}

std::string Narrow(const std::wstring& wide)
{
    return std::string(wide.begin(), wide.end());  // ASCII names and algorithms only
}

std::vector<std::wstring> AllAlgorithms()
{
    std::vector<std::wstring> names;
    for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll())
        names.push_back(descriptor->GetName());
    return names;
}

// When the last row was listed, and when the run ended.
class TimingReport final : public IFileListReport {
public:
    void RowsListed() override { lastListed = Seconds(); }
    void RowFinished(std::size_t) override {}
    void RunEnded() override { ended = Seconds(); }
    std::atomic<double> lastListed{0}, ended{0};
};

void MeasureJobs(const std::wstring& folder)
{
    std::printf("| algorithms | rows | listing s | hashing s | heap bytes per row |\n");
    std::printf("|---|---|---|---|---|\n");
    const std::vector<std::pair<const char*, std::vector<std::wstring>>> sets = {
        {"CRC32, MD5, SHA-256", {L"CRC32", L"MD5", L"SHA-256"}}, {"all", AllAlgorithms()}};
    for (const auto& [title, algorithms] : sets) {
        FixedHashSettings settings;
        settings.enabled = algorithms;
        const ScopedHashSettings bound(settings);
        const std::size_t before = HeapBytesInUse();
        auto report = std::make_shared<TimingReport>();
        FileListJobPtr job = FileListJob::Create({folder}, report);
        const double start = Seconds();
        win::UniqueFile thread(job->Start());
        ::WaitForSingleObject(thread.get(), INFINITE);
        const std::size_t rows = job->RowCount();
        std::printf("| %s (%zu) | %zu | %.2f | %.2f | %.0f |\n", title, algorithms.size(), rows,
                    report->lastListed - start, report->ended - report->lastListed,
                    PerRow(before, HeapBytesInUse(), rows));
        std::fflush(stdout);
    }
}

class EndReport final : public IFileListReport {
public:
    void RowsListed() override {}
    void RowFinished(std::size_t) override {}
    void RunEnded() override {}
};

void MeasureSums(const std::vector<std::wstring>& sumFiles)
{
    std::printf("| checksum file | rows | seconds | heap bytes per row | longest name kept |\n");
    std::printf("|---|---|---|---|---|\n");
    FixedHashSettings settings;
    const ScopedHashSettings bound(settings);
    for (const std::wstring& sumFile : sumFiles) {
        const std::size_t before = HeapBytesInUse();
        SumCheckJobPtr job = SumCheckJob::Create(sumFile, std::make_shared<EndReport>());
        const double start = Seconds();
        win::UniqueFile thread(job->Start());
        ::WaitForSingleObject(thread.get(), INFINITE);
        const double seconds = Seconds() - start;
        const std::size_t after = HeapBytesInUse();
        const std::size_t rows = job->RowCount();
        std::size_t longest = 0;
        for (std::size_t i = 0; i < rows; ++i)
            longest = std::max(longest, job->Row(i).name.size());
        const std::size_t slash = sumFile.find_last_of(L"\\/");
        std::printf("| %s | %zu | %.2f | %.0f | %zu |\n", Narrow(sumFile.substr(slash + 1)).c_str(), rows, seconds,
                    PerRow(before, after, rows), longest);
        std::fflush(stdout);
    }
}

// A window on an idle thread of its own: how long any thread of this
// process may wait to be run on the loaded machine, beside the page's.
class IdleWindow {
public:
    IdleWindow() : thread([this] { Run(); })
    {
        while (window.load() == nullptr)
            ::Sleep(1);
    }
    ~IdleWindow()
    {
        ::PostMessageW(window.load(), WM_CLOSE, 0, 0);
        thread.join();
    }
    HWND Window() const { return window.load(); }

private:
    void Run()
    {
        const HWND made = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        window = made;
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (message.message == WM_CLOSE)
                break;
            ::DispatchMessageW(&message);
        }
        ::DestroyWindow(made);
    }
    std::atomic<HWND> window{nullptr};
    std::thread thread;
};

// The page's thread, and an idle one beside it, answer WM_NULL from a thread
// of ours every ~10 ms; the longest answers and how many took over 100 ms,
// while listing and while hashing.
class Prober {
public:
    explicit Prober(HWND page) : page(page), thread([this] { Run(); }) {}
    ~Prober()
    {
        done = true;
        thread.join();
    }
    struct Phase {
        double longest = 0, idleLongest = 0;
        int slow = 0, idleSlow = 0, samples = 0;
    };
    Phase listing, hashing;
    std::atomic<bool> listingDone{false};

private:
    static double Answer(HWND window)
    {
        const double start = Seconds();
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
        return Seconds() - start;
    }
    void Run()
    {
        while (!done) {
            const double took = Answer(page), idleTook = Answer(idle.Window());
            Phase& phase = listingDone ? hashing : listing;
            phase.longest = std::max(phase.longest, took);
            phase.idleLongest = std::max(phase.idleLongest, idleTook);
            phase.slow += took > 0.1 ? 1 : 0;
            phase.idleSlow += idleTook > 0.1 ? 1 : 0;
            ++phase.samples;
            ::Sleep(10);
        }
    }
    HWND page;
    IdleWindow idle;
    std::atomic<bool> done{false};
    std::thread thread;
};

// Dispatches this thread's messages until the condition holds.
template <class Condition>
void PumpWhile(Condition condition)
{
    MSG message;
    while (condition()) {
        if (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            const double start = Seconds();
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
            const double took = Seconds() - start;
            if (took > 0.05) {
                wchar_t name[64] = {};
                ::GetClassNameW(message.hwnd, name, 64);
                std::fprintf(stderr, "slow dispatch %.0f ms: message %#x wParam %#llx to %ls\n", took * 1000,
                             message.message, static_cast<unsigned long long>(message.wParam), name);
            }
        } else {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// How long the page's thread takes for one message it is sent.
double SecondsToAnswer(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const double start = Seconds();
    ::SendMessageW(window, message, wParam, lParam);
    return Seconds() - start;
}

void MeasurePage(const std::wstring& folder)
{
    FixedHashSettings settings;
    settings.enabled = AllAlgorithms();
    const ScopedHashSettings bound(settings);
    ::OleInitialize(nullptr);
    auto* page = new CFileListDialog({folder});
    HPROPSHEETPAGE handle = page->Create();
    const HWND sheet = handle ? ShowInModelessSheet({handle}) : nullptr;
    if (sheet == nullptr) {
        std::printf("the page could not be shown\n");
        return;
    }
    const double start = Seconds();
    double listed = 0;
    {
        Prober prober(page->Window());
        PumpWhile([&] {
            if (!prober.listingDone && page->Job().ListingDone()) {
                prober.listingDone = true;
                listed = Seconds();
            }
            return page->Job().IsRunning();
        });
        const double ended = Seconds();
        std::printf("| phase | seconds | messages sent | page: longest answer ms | page: answers over 100 ms |"
                    " idle thread: longest ms | idle thread: over 100 ms |\n");
        std::printf("|---|---|---|---|---|---|---|\n");
        const auto row = [](const std::string& phase, double seconds, const Prober::Phase& p) {
            std::printf("| %s | %.2f | %d | %.0f | %d | %.0f | %d |\n", phase.c_str(), seconds, p.samples,
                        p.longest * 1000, p.slow, p.idleLongest * 1000, p.idleSlow);
        };
        row("listing " + std::to_string(page->Job().RowCount()) + " files", listed - start, prober.listing);
        row("hashing them (" + std::to_string(page->Job().Algorithms().size()) + " algorithms)", ended - listed,
            prober.hashing);
    }
    PumpWhile([] { return false; });

    // What the user does with the rows at hand, on the page's thread.
    const HWND edit = ::GetDlgItem(page->Window(), IDC_FILES_COMPARE_EDIT);
    const std::wstring absent(64, L'0');
    std::printf("\n| on %zu rows | ms |\n|---|---|\n", page->Job().RowCount());
    const double copyStart = Seconds();
    const std::size_t copied = page->CopyText().size();
    std::printf("| CopyText (all rows, %zu characters) | %.0f |\n", copied, (Seconds() - copyStart) * 1000);
    const double readStart = Seconds();
    std::size_t read = 0;
    for (std::size_t i = 0; i < page->Job().RowCount(); ++i)
        read += page->Job().DigestOf(page->Job().Row(i), page->ShownAlgorithm()).size();
    std::printf("| of it: every row and its digest read from the job (%zu digits) | %.0f |\n", read,
                (Seconds() - readStart) * 1000);
    std::printf("| a digest typed that no file has (search) | %.0f |\n",
                SecondsToAnswer(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(absent.c_str())) * 1000);
    const HWND list = page->List();
    std::printf("| scrolling to the end | %.0f |\n",
                SecondsToAnswer(list, LVM_ENSUREVISIBLE, page->Job().RowCount() - 1, FALSE) * 1000);
    ::DestroyWindow(sheet);
    PumpWhile([] { return false; });
    ::OleUninitialize();
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"jobs" && argc == 3)
        MeasureJobs(argv[2]);
    else if (mode == L"sums" && argc >= 3)
        MeasureSums(std::vector<std::wstring>(argv + 2, argv + argc));
    else if (mode == L"page" && argc == 3)
        MeasurePage(argv[2]);
    else {
        std::fprintf(stderr, "files-bench jobs FOLDER | sums SUMFILE... | page FOLDER\n");
        return 2;
    }
    return 0;
}
