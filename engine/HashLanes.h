#pragma once
// How the blocks of a run reach its descriptors. When the process may use
// several processors the descriptors are split into lanes balanced by their
// cost per byte; every lane hashes each block on a thread of the system's
// thread pool while the job's worker reads the next block into the second of
// two buffers. With one processor (or nothing to hash) the worker hashes each
// block itself, in one buffer, as it always did.
//
// A lane is one work object with descriptors of its own. Submitted when a
// block is handed out and it is idle, its callback hashes the blocks handed
// out, in order, until it has caught up, so that a lane that is behind goes on
// to the next block without waiting to be woken; the worker reads into a
// buffer only once every lane is past the block it held. Only one callback of
// a lane hashes at a time (a new one may start while the last one returns),
// so no descriptor is ever in two threads. A lane's work object is
// closed only after its last callback returned: once Wait() or the destructor
// has returned, no lane touches a descriptor, and once the destructor has
// returned nothing of any lane runs, which is what lets the worker post its
// completion and drop its hold on the module afterwards.
#include "HashDescriptor.h"

#include <cstdint>
#include <memory>
#include <vector>
#include <windows.h>

class HashLanes {
public:
    // Lanes for at most `processors` processors, never more than there are
    // descriptors. When the system has no work object to give, the worker
    // hashes alone.
    HashLanes(const DescriptorList& descriptors, unsigned processors, std::size_t blockSize);
    // Waits for the block in hand, then closes the lanes.
    ~HashLanes();
    HashLanes(const HashLanes&) = delete;
    HashLanes& operator=(const HashLanes&) = delete;

    // Lanes on the thread pool; 0 when the calling thread hashes.
    std::size_t Count() const { return lanes.size(); }

    // Where to read the next block: never a buffer that a lane still hashes.
    std::uint8_t* NextBuffer()
    {
        return buffers.data() + (lanes.empty() ? 0 : static_cast<std::size_t>(published % 2) * blockSize);
    }
    // Hands the `size` bytes just read into NextBuffer() to every descriptor:
    // hashed at once on this thread, or handed to the lanes, to be hashed
    // after this call has returned (which waits until the other buffer is
    // free).
    void Hash(std::uint32_t size);
    // Returns when every block handed out is hashed. A lane that failed
    // (only allocation can) throws std::bad_alloc here and in Hash(), as the
    // worker's own failure would.
    void Wait();

private:
    struct Lane;
    static void CALLBACK RunLane(PTP_CALLBACK_INSTANCE, void* lane, PTP_WORK);
    // Under the lock: whether every lane has hashed `blocks` blocks.
    bool LanesHashed(std::uint64_t blocks) const;
    bool WaitForLanes(std::uint64_t blocks);  // true when a lane failed

    DescriptorList descriptors;  // the worker's own, with no lanes
    std::size_t blockSize;
    // Shared with the lanes, which go before them: freed only after every
    // lane has ended. Written by the worker, under the lock where a lane
    // reads them.
    std::vector<std::uint8_t> buffers;
    std::uint32_t sizes[2] = {};
    std::uint64_t published = 0;  // blocks handed out
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE laneAdvanced = CONDITION_VARIABLE_INIT;
    std::vector<std::unique_ptr<Lane>> lanes;
};

// The processors of an affinity mask.
unsigned CountProcessors(DWORD_PTR affinityMask);

// Splits the descriptors into `laneCount` lanes (at least one, at most one per
// descriptor) of about equal cost per byte: the dearest first, each into the
// lane with the least cost so far.
std::vector<DescriptorList> SplitIntoLanes(const DescriptorList& descriptors, std::size_t laneCount);
