#pragma once
// CRC-64/XZ (the ECMA-182 polynomial, reflected, initial value and final xor
// all ones), as xz and 7-Zip show it, with the calls the descriptors make of
// a hash object.
#include <cstddef>
#include <cstdint>

class Crc64 {
public:
    static constexpr unsigned kDigestSize = 8;

    void Update(const std::uint8_t* data, std::size_t length);
    // The value most significant byte first; restarts.
    void Final(std::uint8_t* digest);
    void Restart() { state = ~std::uint64_t{0}; }
    unsigned DigestSize() const { return kDigestSize; }

private:
    std::uint64_t state = ~std::uint64_t{0};
};
