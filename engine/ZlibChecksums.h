#pragma once
// zlib's CRC-32 and Adler-32, several times faster than Crypto++'s, with the
// calls the descriptors make of a hash object. Both give the value most
// significant byte first, as a CRC-32 or Adler-32 is written.
#include <cstddef>
#include <cstdint>

enum class ZlibSum { Crc32, Adler32 };

template <ZlibSum Sum>
class ZlibChecksum {
public:
    static constexpr unsigned kDigestSize = 4;
    // The value of the empty message: 0 for CRC-32, 1 for Adler-32.
    static constexpr unsigned long kInitial = Sum == ZlibSum::Adler32 ? 1 : 0;

    void Update(const std::uint8_t* data, std::size_t length);
    void Final(std::uint8_t* digest);  // restarts
    void Restart() { value = kInitial; }
    unsigned DigestSize() const { return kDigestSize; }

private:
    unsigned long value = kInitial;
};

using ZlibCrc32 = ZlibChecksum<ZlibSum::Crc32>;
using ZlibAdler32 = ZlibChecksum<ZlibSum::Adler32>;
