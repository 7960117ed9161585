#pragma once
// zlib's CRC-32 and Adler-32, several times faster than Crypto++'s, with the
// calls the descriptors make of a hash object. Both give the value most
// significant byte first, as a CRC-32 or Adler-32 is written.
#include <cstddef>
#include <cstdint>

class ZlibCrc32 {
public:
    static constexpr unsigned kDigestSize = 4;

    void Update(const std::uint8_t* data, std::size_t length);
    void Final(std::uint8_t* digest);  // restarts
    void Restart() { value = 0; }
    unsigned DigestSize() const { return kDigestSize; }

private:
    unsigned long value = 0;
};

class ZlibAdler32 {
public:
    static constexpr unsigned kDigestSize = 4;

    void Update(const std::uint8_t* data, std::size_t length);
    void Final(std::uint8_t* digest);  // restarts
    void Restart() { value = 1; }
    unsigned DigestSize() const { return kDigestSize; }

private:
    unsigned long value = 1;
};
