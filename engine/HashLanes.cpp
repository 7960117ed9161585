#include "HashLanes.h"

#include "HashCost.h"

#include <algorithm>
#include <bitset>
#include <new>

struct HashLanes::Lane {
    explicit Lane(DescriptorList own) : descriptors(std::move(own)) {}
    ~Lane()
    {
        if (work != nullptr) {
            ::WaitForThreadpoolWorkCallbacks(work, FALSE);
            ::CloseThreadpoolWork(work);
        }
    }
    Lane(const Lane&) = delete;
    Lane& operator=(const Lane&) = delete;

    static void CALLBACK HashBlock(PTP_CALLBACK_INSTANCE, void* context, PTP_WORK)
    {
        Lane& lane = *static_cast<Lane*>(context);
        try {
            for (const SharedDescriptor& descriptor : lane.descriptors)
                descriptor->Update(lane.data, lane.size);
        } catch (...) {
            lane.failed = true;  // nothing may leave a pool callback
        }
    }

    const DescriptorList descriptors;
    PTP_WORK work = nullptr;
    // Written by the worker before each submit, read by the callback; the
    // pool's submit and wait order the two.
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    bool failed = false;
};

unsigned CountProcessors(DWORD_PTR affinityMask)
{
    return static_cast<unsigned>(std::bitset<sizeof(DWORD_PTR) * 8>(affinityMask).count());
}

std::vector<DescriptorList> SplitIntoLanes(const DescriptorList& descriptors, std::size_t laneCount)
{
    if (descriptors.empty())
        return {};
    laneCount = std::clamp<std::size_t>(laneCount, 1, descriptors.size());
    if (laneCount == 1)
        return {descriptors};  // no costs needed (nor measured)
    std::vector<std::pair<double, const SharedDescriptor*>> byCost;
    for (const SharedDescriptor& descriptor : descriptors)
        byCost.emplace_back(HashCostPerByte(descriptor->GetName()), &descriptor);
    std::stable_sort(byCost.begin(), byCost.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });

    std::vector<DescriptorList> lanes(laneCount);
    std::vector<double> load(laneCount, 0.0);
    for (const auto& [cost, descriptor] : byCost) {
        const std::size_t lightest = static_cast<std::size_t>(std::min_element(load.begin(), load.end()) - load.begin());
        lanes[lightest].push_back(*descriptor);
        load[lightest] += cost;
    }
    return lanes;
}

HashLanes::HashLanes(const DescriptorList& all, unsigned processors, std::size_t block)
    : descriptors(all), blockSize(block)
{
    if (processors >= 2 && !all.empty()) {
        for (DescriptorList& own : SplitIntoLanes(all, processors)) {
            lanes.push_back(std::make_unique<Lane>(std::move(own)));
            lanes.back()->work = ::CreateThreadpoolWork(&Lane::HashBlock, lanes.back().get(), nullptr);
            if (lanes.back()->work == nullptr) {
                lanes.clear();  // none has run yet: the worker hashes alone
                break;
            }
        }
    }
    buffers.resize(lanes.empty() ? blockSize : 2 * blockSize);
}

HashLanes::~HashLanes()
{
    // Each lane waits for its callback before it closes; the buffers go last.
    lanes.clear();
}

void HashLanes::Hash(std::uint32_t size)
{
    std::uint8_t* block = NextBuffer();
    if (lanes.empty()) {
        for (const SharedDescriptor& descriptor : descriptors)
            descriptor->Update(block, size);
        return;
    }
    Wait();  // the other buffer's block is done: it may be read into next
    for (const std::unique_ptr<Lane>& lane : lanes) {
        lane->data = block;
        lane->size = size;
        ::SubmitThreadpoolWork(lane->work);
    }
    inHand = true;
    next = next == 0 ? blockSize : 0;
}

void HashLanes::Wait()
{
    if (!inHand)
        return;
    inHand = false;
    bool failed = false;
    for (const std::unique_ptr<Lane>& lane : lanes) {
        ::WaitForThreadpoolWorkCallbacks(lane->work, FALSE);
        failed = failed || lane->failed;
    }
    if (failed)
        throw std::bad_alloc();
}
