#include "XxHash.h"

#include <algorithm>
#include <iterator>
#include <new>

// The whole library in this one file, its functions static and inline.
#define XXH_INLINE_ALL
#include <xxhash.h>

// XXH3's state must be 64-byte aligned, which XXH3_createState's memory is.
struct XxHashBase::State {
    XXH64_state_t xxh64{};
    XXH3_state_t* xxh3 = nullptr;

    State() : xxh3(XXH3_createState())
    {
        if (!xxh3)
            throw std::bad_alloc();
    }
    ~State() { XXH3_freeState(xxh3); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
};

XxHashBase::XxHashBase(XxHashVariant variant) : variant(variant), state(std::make_unique<State>())
{
    Restart();
}

XxHashBase::~XxHashBase() = default;

void XxHashBase::Update(const std::uint8_t* data, std::size_t length)
{
    switch (variant) {
    case XxHashVariant::Classic64:
        XXH64_update(&state->xxh64, data, length);
        break;
    case XxHashVariant::Xxh3Bits64:
        XXH3_64bits_update(state->xxh3, data, length);
        break;
    case XxHashVariant::Xxh3Bits128:
        XXH3_128bits_update(state->xxh3, data, length);
        break;
    }
}

void XxHashBase::Final(std::uint8_t* digest)
{
    switch (variant) {
    case XxHashVariant::Classic64: {
        XXH64_canonical_t canonical;
        XXH64_canonicalFromHash(&canonical, XXH64_digest(&state->xxh64));
        std::copy(std::begin(canonical.digest), std::end(canonical.digest), digest);
        break;
    }
    case XxHashVariant::Xxh3Bits64: {
        XXH64_canonical_t canonical;
        XXH64_canonicalFromHash(&canonical, XXH3_64bits_digest(state->xxh3));
        std::copy(std::begin(canonical.digest), std::end(canonical.digest), digest);
        break;
    }
    case XxHashVariant::Xxh3Bits128: {
        XXH128_canonical_t canonical;
        XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(state->xxh3));
        std::copy(std::begin(canonical.digest), std::end(canonical.digest), digest);
        break;
    }
    }
    Restart();
}

void XxHashBase::Restart()
{
    // Resetting with seed 0 cannot fail on a state that exists.
    XXH64_reset(&state->xxh64, 0);
    if (variant == XxHashVariant::Xxh3Bits128)
        XXH3_128bits_reset(state->xxh3);
    else
        XXH3_64bits_reset(state->xxh3);
}
