// Throughput of every algorithm and of the sets that matter: Crypto++ over a
// buffer in memory against a hashing job over the same bytes in a file (in
// the page cache), the job with one lane (no lanes: the worker hashes, as on
// one processor) and with a lane per processor, measured side by side in one
// run; and our CRC-32 and Adler-32 (zlib's) against Crypto++'s. Prints
// markdown tables. With --in-memory it prints only the seconds that the named
// algorithms take over the file's bytes in memory, one line each, for
// bench/run.sh to set beside the reference tools.
#include "BenchClock.h"
#include "engine/HashCatalogue.h"
#include "engine/HashCost.h"
#include "engine/HashData.h"
#include "engine/HashLanes.h"
#include "tools/console/JobWindow.h"
#include "win/UniqueHandle.h"

#include <adler32.h>
#include <algorithm>
#include <crc.h>
#include <cstdio>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The algorithms of one measurement, bound while it runs.
using Chosen = FixedHashSettings;

// The processors a job is told it may use: its lanes.
unsigned processorsForJobs = 1;

BOOL WINAPI ReportedAffinity(HANDLE, PDWORD_PTR processMask, PDWORD_PTR systemMask)
{
    *processMask = *systemMask = (DWORD_PTR{1} << std::min(processorsForJobs, 63u)) - 1;
    return TRUE;
}

unsigned ProcessorsOfThisProcess()
{
    DWORD_PTR process = 0, system = 0;
    return ::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system) ? CountProcessors(process) : 1;
}

struct Stats {
    double median, min, max;
};

Stats Summarise(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

double Median(const std::vector<double>& values)
{
    return Summarise(values).median;
}

std::vector<std::uint8_t> ReadWhole(const std::wstring& path)
{
    win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !::GetFileSizeEx(file.get(), &size))
        throw std::runtime_error("cannot open the benchmark file");
    std::vector<std::uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 24));
        if (!::ReadFile(file.get(), bytes.data() + done, want, &read, nullptr) || read == 0)
            throw std::runtime_error("cannot read the benchmark file");
        done += read;
    }
    return bytes;
}

// Seconds to hash the buffer with every named algorithm, one after another.
double InMemory(const std::vector<std::uint8_t>& bytes, const Chosen& chosen)
{
    const ScopedHashSettings bound(chosen);
    const DescriptorList descriptors = HashCatalogue::Instance().CreateEnabled(chosen);
    const double start = Seconds();
    for (const SharedDescriptor& descriptor : descriptors) {
        descriptor->Update(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        descriptor->Finalize();
    }
    return Seconds() - start;
}

// Seconds to hash the buffer with one Crypto++ class, the way a descriptor
// over it would.
template <class CryptoHash>
double InMemoryCryptoPP(const std::vector<std::uint8_t>& bytes)
{
    CryptoHash hash;
    std::vector<std::uint8_t> digest(hash.DigestSize());
    const double start = Seconds();
    hash.Update(bytes.data(), bytes.size());
    hash.Final(digest.data());
    return Seconds() - start;
}

// Seconds for a job told of so many processors to hash the file with the
// named algorithms, as the page runs it. Without a window the job reports
// nothing: the difference is what messaging costs.
double ThroughJob(JobWindow* window, const std::wstring& path, const Chosen& chosen, unsigned processors)
{
    const ScopedHashSettings bound(chosen);  // the worker is waited for below
    processorsForJobs = processors;
    HashDataPtr job = HashData::Create();
    JobSystemCalls calls;
    calls.getProcessAffinityMask = &ReportedAffinity;
    job->SetSystemCallsForTesting(calls);
    job->SetReports(window ? window->Reports() : nullptr);
    const double start = Seconds();
    if (!job->Open(path))
        throw std::runtime_error("cannot open the benchmark file");
    win::UniqueThread thread(job->Start(true));
    if (window)
        window->WaitForCompletion(HASHJOB_FILE, [](unsigned) {});
    ::WaitForSingleObject(thread.get(), INFINITE);
    const double elapsed = Seconds() - start;
    if (job->LastError() != ERROR_SUCCESS)
        throw std::runtime_error("the job failed");
    return elapsed;
}

struct Bench {
    std::vector<std::uint8_t> bytes;
    std::wstring path;
    JobWindow window;
    int runs;
    unsigned processors;  // the machine's

    double Megabytes() const { return static_cast<double>(bytes.size()) / 1e6; }
};

// Seconds of every run, per way of hashing.
struct Times {
    std::vector<double> memory, oneLane, lanes, silentLanes;
};

Times Measure(Bench& bench, const Chosen& chosen)
{
    Times times;
    for (int run = 0; run < bench.runs; ++run) {
        // Side by side: each run measures all of them, so drift hits all alike.
        times.memory.push_back(InMemory(bench.bytes, chosen));
        times.oneLane.push_back(ThroughJob(&bench.window, bench.path, chosen, 1));
        times.lanes.push_back(ThroughJob(&bench.window, bench.path, chosen, bench.processors));
        times.silentLanes.push_back(ThroughJob(nullptr, bench.path, chosen, bench.processors));
    }
    return times;
}

std::string Rate(const Bench& bench, const std::vector<double>& seconds)
{
    std::vector<double> rates;
    for (double s : seconds)
        rates.push_back(bench.Megabytes() / s);
    const Stats stats = Summarise(rates);
    char text[64];
    std::snprintf(text, sizeof(text), "%.0f [%.0f-%.0f]", stats.median, stats.min, stats.max);
    return text;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::string LaneText(const Chosen& chosen, unsigned processors)
{
    std::string text;
    for (const DescriptorList& lane : SplitIntoLanes(HashCatalogue::Instance().CreateEnabled(chosen), processors)) {
        text += text.empty() ? "" : " / ";
        for (std::size_t i = 0; i < lane.size(); ++i)
            text += (i ? "+" : "") + Narrow(lane[i]->GetName());
    }
    return text;
}

Times Row(Bench& bench, const std::string& label, const Chosen& chosen)
{
    const Times times = Measure(bench, chosen);
    std::printf("| %s | %s | %s | %s | %.3f | %.3f | %s |\n", label.c_str(), Rate(bench, times.memory).c_str(),
                Rate(bench, times.oneLane).c_str(), Rate(bench, times.lanes).c_str(),
                Median(times.lanes) / Median(times.oneLane), Median(times.lanes) / Median(times.memory),
                Rate(bench, times.silentLanes).c_str());
    std::fflush(stdout);
    return times;
}

Chosen Names(std::set<std::wstring> names)
{
    Chosen chosen;
    chosen.enabled.assign(names.begin(), names.end());  // in name order
    return chosen;
}

// Ours against Crypto++'s over the same bytes in memory, side by side in
// every run.
template <class CryptoHash>
void AgainstCryptoPP(const Bench& bench, const wchar_t* name)
{
    std::vector<double> ours, theirs;
    for (int run = 0; run < bench.runs; ++run) {
        ours.push_back(InMemory(bench.bytes, Names({name})));
        theirs.push_back(InMemoryCryptoPP<CryptoHash>(bench.bytes));
    }
    std::printf("| %s | %s | %s | %.2f |\n", Narrow(name).c_str(), Rate(bench, ours).c_str(),
                Rate(bench, theirs).c_str(), Median(theirs) / Median(ours));
    std::fflush(stdout);
}

// hash-bench --in-memory FILE NAME...: one line "NAME<TAB>SECONDS" each.
int InMemoryOnly(int argc, wchar_t** argv)
{
    const std::vector<std::uint8_t> bytes = ReadWhole(argv[2]);
    for (int i = 3; i < argc; ++i)
        std::printf("%s\t%.6f\n", Narrow(argv[i]).c_str(), InMemory(bytes, Names({argv[i]})));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: hash-bench FILE [RUNS [PROCESSORS...]]\n"
                             "       hash-bench --in-memory FILE NAME...\n");
        return 2;
    }
    try {
        if (std::wstring(argv[1]) == L"--in-memory")
            return argc > 3 ? InMemoryOnly(argc, argv) : 2;
        Bench bench{ReadWhole(argv[1]), argv[1], {}, argc > 2 ? std::max(1, _wtoi(argv[2])) : 5,
                    std::max(1u, ProcessorsOfThisProcess())};
        std::vector<unsigned> configurations;
        for (int i = 3; i < argc; ++i)
            configurations.push_back(static_cast<unsigned>(std::max(1, _wtoi(argv[i]))));
        if (configurations.empty())
            configurations = {2, 3, 4};

        std::set<std::wstring> allNames;
        for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll())
            allNames.insert(descriptor->GetName());
        const Chosen all = Names(std::move(allNames));
        const Chosen common = Names({L"CRC32", L"MD5", L"SHA-1", L"SHA-256"});
        const Chosen nine = Names({L"CRC32", L"MD4", L"MD5", L"SHA-1", L"SHA-256", L"SHA-384", L"SHA-512", L"Tiger",
                                   L"Whirlpool"});
        const Chosen md2 = Names({L"MD2"});

        std::printf("%zu MiB, %d runs each, %u processors; MB/s as median [min-max]; ratios of median times\n\n",
                    bench.bytes.size() >> 20, bench.runs, bench.processors);
        std::printf("Checksums in memory on one core, ours (zlib's) against Crypto++'s:\n\n"
                    "| algorithm | ours MB/s | Crypto++ MB/s | ours / Crypto++ (speed) |\n|---|---|---|---|\n");
        AgainstCryptoPP<CryptoPP::CRC32>(bench, L"CRC32");
        AgainstCryptoPP<CryptoPP::Adler32>(bench, L"Adler32");
        std::printf("\n");
        std::printf("Cost per byte as measured for the lanes (ns): ");
        for (const std::wstring& name : all.enabled)
            std::printf("%s %.2f; ", Narrow(name).c_str(), HashCostPerByte(name) * 1e9);
        std::printf("\n\n| algorithm | in memory MB/s | job, one lane MB/s | job, lanes MB/s | lanes / one lane | "
                    "lanes / in memory | lanes, no window MB/s |\n|---|---|---|---|---|---|---|\n");
        Times md2Times;
        for (const std::wstring& name : all.enabled) {
            const Times times = Row(bench, Narrow(name), Names({name}));
            if (name == L"MD2")
                md2Times = times;
        }
        const Times commonTimes = Row(bench, "**common set (CRC32, MD5, SHA-1, SHA-256)**", common);
        Row(bench, "**the nine that rhash has**", nine);
        const std::string allLabel = "all " + std::to_string(all.enabled.size());
        const Times allTimes = Row(bench, "**" + allLabel + " in one pass**", all);

        std::printf("\nLanes with %u processors: common set %s; nine %s; %s %s\n", bench.processors,
                    LaneText(common, bench.processors).c_str(), LaneText(nine, bench.processors).c_str(),
                    allLabel.c_str(), LaneText(all, bench.processors).c_str());

        // Each configuration against one lane, side by side in every run. (All
        // of them take as long as their MD2 lane with any number of lanes:
        // the goals below have them.)
        std::printf("\nJob time with the processors the job is told of, against one lane (MB/s, ratio of times):\n\n"
                    "| set | one lane MB/s |");
        for (unsigned processors : configurations)
            std::printf(" %u processors MB/s | ratio |", processors);
        std::printf("\n|---|---|");
        for (std::size_t i = 0; i < configurations.size(); ++i)
            std::printf("---|---|");
        std::printf("\n");
        const std::pair<const char*, const Chosen*> sets[] = {{"common set", &common}, {"nine", &nine}};
        for (const auto& [label, chosen] : sets) {
            std::vector<double> one;
            std::vector<std::vector<double>> configured(configurations.size());
            for (int run = 0; run < bench.runs; ++run) {
                one.push_back(ThroughJob(&bench.window, bench.path, *chosen, 1));
                for (std::size_t i = 0; i < configurations.size(); ++i)
                    configured[i].push_back(ThroughJob(&bench.window, bench.path, *chosen, configurations[i]));
            }
            std::printf("| %s | %s |", label, Rate(bench, one).c_str());
            for (const std::vector<double>& times : configured)
                std::printf(" %s | %.3f |", Rate(bench, times).c_str(), Median(times) / Median(one));
            std::printf("\n");
            std::fflush(stdout);
        }

        // The tightest goal once more, its two jobs one after the other in every run.
        std::vector<double> md2Lanes, allLanes;
        for (int run = 0; run < bench.runs; ++run) {
            md2Lanes.push_back(ThroughJob(&bench.window, bench.path, md2, bench.processors));
            allLanes.push_back(ThroughJob(&bench.window, bench.path, all, bench.processors));
        }
        std::printf("\nGoals (ratios of median times):\n\n| goal | measured |\n|---|---|\n");
        std::printf("| %s in one pass / MD2 alone, jobs with lanes, side by side (at most 1.10) | %.3f |\n",
                    allLabel.c_str(), Median(allLanes) / Median(md2Lanes));
        std::printf("| the same from the first table | %.3f |\n", Median(allTimes.lanes) / Median(md2Times.lanes));
        std::printf("| %s in one pass, job with lanes / MD2 alone in memory | %.3f |\n", allLabel.c_str(),
                    Median(allTimes.lanes) / Median(md2Times.memory));
        std::printf("| common set, job with lanes / in memory (at most 1.10) | %.3f |\n",
                    Median(commonTimes.lanes) / Median(commonTimes.memory));
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "hash-bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
