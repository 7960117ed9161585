#pragma once
// BLAKE3 (256-bit output, unkeyed) over its official C implementation, which
// picks its SIMD code at run time, with the calls the descriptors make of a
// hash object.
#include <cstddef>
#include <cstdint>
#include <memory>

class Blake3Hash {
public:
    static constexpr unsigned kDigestSize = 32;

    Blake3Hash();
    ~Blake3Hash();
    Blake3Hash(const Blake3Hash&) = delete;
    Blake3Hash& operator=(const Blake3Hash&) = delete;

    void Update(const std::uint8_t* data, std::size_t length);
    void Final(std::uint8_t* digest);  // restarts
    void Restart();
    unsigned DigestSize() const { return kDigestSize; }

private:
    struct State;
    std::unique_ptr<State> state;
};
