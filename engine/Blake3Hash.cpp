#include "Blake3Hash.h"

#include <blake3.h>

struct Blake3Hash::State {
    blake3_hasher hasher;
};

Blake3Hash::Blake3Hash() : state(std::make_unique<State>())
{
    blake3_hasher_init(&state->hasher);
}

Blake3Hash::~Blake3Hash() = default;

void Blake3Hash::Update(const std::uint8_t* data, std::size_t length)
{
    blake3_hasher_update(&state->hasher, data, length);
}

void Blake3Hash::Final(std::uint8_t* digest)
{
    blake3_hasher_finalize(&state->hasher, digest, kDigestSize);
    Restart();
}

void Blake3Hash::Restart()
{
    blake3_hasher_reset(&state->hasher);
}
