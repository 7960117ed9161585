#include "HashLanes.h"

#include "HashCost.h"

#include <algorithm>
#include <bitset>
#include <new>

struct HashLanes::Lane {
    Lane(HashLanes& lanes, DescriptorList own) : owner(lanes), descriptors(std::move(own)) {}
    ~Lane()
    {
        if (work != nullptr) {
            ::WaitForThreadpoolWorkCallbacks(work, FALSE);
            ::CloseThreadpoolWork(work);
        }
    }
    Lane(const Lane&) = delete;
    Lane& operator=(const Lane&) = delete;

    HashLanes& owner;
    const DescriptorList descriptors;
    PTP_WORK work = nullptr;
    // Under the owner's lock.
    std::uint64_t hashed = 0;  // blocks this lane is done with
    bool queued = false;       // submitted, and its callback not yet caught up
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
            lanes.push_back(std::make_unique<Lane>(*this, std::move(own)));
            lanes.back()->work = ::CreateThreadpoolWork(&HashLanes::RunLane, lanes.back().get(), nullptr);
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
    WaitForLanes(published);
    // Each lane waits for its callback to return before it closes.
    lanes.clear();
}

void CALLBACK HashLanes::RunLane(PTP_CALLBACK_INSTANCE, void* context, PTP_WORK)
{
    Lane& lane = *static_cast<Lane*>(context);
    HashLanes& owner = lane.owner;
    bool advanced = false, failed = false;
    for (;;) {
        ::AcquireSRWLockExclusive(&owner.lock);
        if (advanced) {
            ++lane.hashed;
            lane.failed = lane.failed || failed;
        }
        if (lane.hashed == owner.published) {
            lane.queued = false;  // the next block handed out submits it again
            ::ReleaseSRWLockExclusive(&owner.lock);
            if (advanced)
                ::WakeAllConditionVariable(&owner.laneAdvanced);
            return;
        }
        const std::size_t slot = static_cast<std::size_t>(lane.hashed % 2);
        const std::uint8_t* data = owner.buffers.data() + slot * owner.blockSize;
        const std::uint32_t size = owner.sizes[slot];
        ::ReleaseSRWLockExclusive(&owner.lock);
        if (advanced)
            ::WakeAllConditionVariable(&owner.laneAdvanced);

        try {
            for (const SharedDescriptor& descriptor : lane.descriptors)
                descriptor->Update(data, size);
        } catch (...) {
            failed = true;  // nothing may leave a pool callback
        }
        advanced = true;
    }
}

bool HashLanes::LanesHashed(std::uint64_t blocks) const
{
    for (const std::unique_ptr<Lane>& lane : lanes) {
        if (lane->hashed < blocks)
            return false;
    }
    return true;
}

bool HashLanes::WaitForLanes(std::uint64_t blocks)
{
    bool failed = false;
    ::AcquireSRWLockExclusive(&lock);
    while (!LanesHashed(blocks))
        ::SleepConditionVariableSRW(&laneAdvanced, &lock, INFINITE, 0);
    for (const std::unique_ptr<Lane>& lane : lanes)
        failed = failed || lane->failed;
    ::ReleaseSRWLockExclusive(&lock);
    return failed;
}

void HashLanes::Hash(std::uint32_t size)
{
    if (lanes.empty()) {
        for (const SharedDescriptor& descriptor : descriptors)
            descriptor->Update(buffers.data(), size);
        return;
    }
    ::AcquireSRWLockExclusive(&lock);
    sizes[published % 2] = size;
    ++published;
    for (const std::unique_ptr<Lane>& lane : lanes) {
        if (!lane->queued) {
            lane->queued = true;
            ::SubmitThreadpoolWork(lane->work);
        }
    }
    ::ReleaseSRWLockExclusive(&lock);
    // The next block goes where the block before this one was.
    if (WaitForLanes(published - 1))
        throw std::bad_alloc();
}

void HashLanes::Wait()
{
    if (WaitForLanes(published))
        throw std::bad_alloc();
}
