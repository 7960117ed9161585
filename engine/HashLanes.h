#pragma once
// How the blocks of a run reach its descriptors. With several processors the
// descriptors are split into lanes balanced by their cost per byte; every
// lane hashes each block on a thread of the system's thread pool while the
// job's worker reads the next block into the second of two buffers. With one
// processor (or nothing to hash) the worker hashes each block itself, in one
// buffer, as it always did.
//
// A lane is one work object with descriptors of its own. It is submitted once
// per block and waited for before it is submitted again, so no lane runs
// twice at once and no descriptor is ever in two threads. A lane's work
// object is closed only after its last callback returned: once Wait() or the
// destructor has returned, nothing of any lane runs, which is what lets the
// worker post its completion and drop its hold on the module afterwards.
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
    std::uint8_t* NextBuffer() { return buffers.data() + next; }
    // Hands the `size` bytes just read into NextBuffer() to every descriptor:
    // hashed at once on this thread, or given to the lanes once they have
    // ended the block before, to be hashed after this call has returned.
    void Hash(std::uint32_t size);
    // Returns when every block handed out is hashed. A lane that failed
    // (only allocation can) throws std::bad_alloc here, as the worker's own
    // failure would.
    void Wait();

private:
    struct Lane;

    DescriptorList descriptors;  // the worker's own, with no lanes
    std::size_t blockSize;
    // Before the lanes: freed only after every lane has ended.
    std::vector<std::uint8_t> buffers;
    std::size_t next = 0;
    std::vector<std::unique_ptr<Lane>> lanes;
    bool inHand = false;
};

// The processors of an affinity mask.
unsigned CountProcessors(DWORD_PTR affinityMask);

// Splits the descriptors into `laneCount` lanes (at least one, at most one per
// descriptor) of about equal cost per byte: the dearest first, each into the
// lane with the least cost so far.
std::vector<DescriptorList> SplitIntoLanes(const DescriptorList& descriptors, std::size_t laneCount);
