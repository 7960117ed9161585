// Throughput of every algorithm: Crypto++ over a buffer in memory against a
// hashing job over the same bytes in a file (in the page cache), measured
// side by side in one run. Prints a markdown table.
#include "engine/HashCatalogue.h"
#include "engine/HashData.h"
#include "tools/console/JobWindow.h"
#include "win/UniqueHandle.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class Chosen final : public IHashSettings {
public:
    std::set<std::wstring> names;
    bool IsEnabled(const std::wstring& name) const override { return names.count(name) != 0; }
    bool UseLowercase() const override { return false; }
};

double Seconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Stats {
    double median, min, max;
};

Stats Summarise(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
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
    const DescriptorList descriptors = HashCatalogue::Instance().CreateEnabled(chosen);
    const double start = Seconds();
    for (const SharedDescriptor& descriptor : descriptors) {
        descriptor->Update(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        descriptor->Finalize();
    }
    return Seconds() - start;
}

// Seconds for a job to hash the file with the named algorithms, as the page runs it.
// Without a window the job posts nothing: the difference is what messaging costs.
double ThroughJob(JobWindow* window, const std::wstring& path, const Chosen& chosen)
{
    BindHashSettings(&chosen);
    HashDataPtr job = HashData::Create();
    job->SetWindow(window ? window->Handle() : nullptr);
    const double start = Seconds();
    if (!job->Open(path))
        throw std::runtime_error("cannot open the benchmark file");
    win::UniqueFile thread(job->Start(true));
    if (window)
        window->WaitForCompletion(HASHJOB_FILE, [](unsigned) {});
    ::WaitForSingleObject(thread.get(), INFINITE);
    const double elapsed = Seconds() - start;
    if (job->LastError() != ERROR_SUCCESS)
        throw std::runtime_error("the job failed");
    return elapsed;
}

struct Row {
    std::string label;
    Stats memory, job, silentJob;  // MB/s
    double ratio;                  // median job time / median in-memory time
};

Row Measure(const std::string& label, const std::vector<std::uint8_t>& bytes, JobWindow& window,
            const std::wstring& path, const Chosen& chosen, int runs)
{
    std::vector<double> memoryTimes, jobTimes, memoryRates, jobRates, silentRates;
    const double megabytes = static_cast<double>(bytes.size()) / 1e6;
    for (int run = 0; run < runs; ++run) {
        // Side by side: each run measures both, so drift hits both alike.
        memoryTimes.push_back(InMemory(bytes, chosen));
        jobTimes.push_back(ThroughJob(&window, path, chosen));
        silentRates.push_back(megabytes / ThroughJob(nullptr, path, chosen));
        memoryRates.push_back(megabytes / memoryTimes.back());
        jobRates.push_back(megabytes / jobTimes.back());
    }
    return {label, Summarise(memoryRates), Summarise(jobRates), Summarise(silentRates),
            Summarise(jobTimes).median / Summarise(memoryTimes).median};
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

void Print(const Row& row)
{
    std::printf("| %s | %.0f [%.0f-%.0f] | %.0f [%.0f-%.0f] | %.3f | %.0f [%.0f-%.0f] |\n", row.label.c_str(),
                row.memory.median, row.memory.min, row.memory.max, row.job.median, row.job.min, row.job.max, row.ratio,
                row.silentJob.median, row.silentJob.min, row.silentJob.max);
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: hash-bench FILE [RUNS]\n");
        return 2;
    }
    try {
        const std::wstring path = argv[1];
        const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;
        const std::vector<std::uint8_t> bytes = ReadWhole(path);
        JobWindow window;

        std::printf("%zu MiB, %d runs each; MB/s as median [min-max]; ratio = job time / in-memory time\n\n",
                    bytes.size() >> 20, runs);
        std::printf("| algorithm | in memory MB/s | job over file MB/s | ratio | job without window MB/s |\n"
                    "|---|---|---|---|---|\n");
        Chosen all;
        for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll()) {
            Chosen one;
            one.names.insert(descriptor->GetName());
            all.names.insert(descriptor->GetName());
            Print(Measure(Narrow(descriptor->GetName()), bytes, window, path, one, runs));
        }
        Chosen common;
        common.names = {L"CRC32", L"MD5", L"SHA-1", L"SHA-256"};
        Print(Measure("**common set (CRC32, MD5, SHA-1, SHA-256)**", bytes, window, path, common, runs));
        Print(Measure("**all 14 in one pass**", bytes, window, path, all, runs));
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "hash-bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
