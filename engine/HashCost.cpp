#include "HashCost.h"

#include "HashCatalogue.h"

#include <algorithm>
#include <limits>
#include <map>
#include <vector>
#include <windows.h>

namespace {

constexpr std::uint32_t kSampleBytes = 16 * 1024;
// The fastest of a few tries: a try that the scheduler interrupts, or the
// first one with cold caches, would make an algorithm look slower than it is.
constexpr int kTries = 3;

struct Costs {
    std::map<std::wstring, double> byName;
    double mean = 1.0;
};

double Elapsed(const LARGE_INTEGER& start, const LARGE_INTEGER& end, const LARGE_INTEGER& frequency)
{
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

Costs Measure()
{
    std::vector<std::uint8_t> sample(kSampleBytes);
    for (std::size_t i = 0; i < sample.size(); ++i)
        sample[i] = static_cast<std::uint8_t>(i * 131 + 7);
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);

    Costs costs;
    double sum = 0;
    for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll()) {
        double fastest = std::numeric_limits<double>::max();
        for (int i = 0; i < kTries; ++i) {
            LARGE_INTEGER start, end;
            ::QueryPerformanceCounter(&start);
            descriptor->Update(sample.data(), kSampleBytes);
            ::QueryPerformanceCounter(&end);
            fastest = std::min(fastest, Elapsed(start, end, frequency));
        }
        // A clock tick is the least an algorithm can cost, never nothing.
        const double perByte = std::max(fastest, 1.0 / static_cast<double>(frequency.QuadPart)) / kSampleBytes;
        costs.byName[descriptor->GetName()] = perByte;
        sum += perByte;
    }
    if (!costs.byName.empty())
        costs.mean = sum / static_cast<double>(costs.byName.size());
    return costs;
}

}  // namespace

double HashCostPerByte(const std::wstring& algorithmName)
{
    static const Costs costs = Measure();
    const auto found = costs.byName.find(algorithmName);
    return found != costs.byName.end() ? found->second : costs.mean;
}
