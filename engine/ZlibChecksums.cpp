#include "ZlibChecksums.h"

#include <zlib.h>

template <ZlibSum Sum>
void ZlibChecksum<Sum>::Update(const std::uint8_t* data, std::size_t length)
{
    value = Sum == ZlibSum::Adler32 ? adler32_z(value, data, length) : crc32_z(value, data, length);
}

template <ZlibSum Sum>
void ZlibChecksum<Sum>::Final(std::uint8_t* digest)
{
    for (unsigned i = 0; i < kDigestSize; ++i)
        digest[i] = static_cast<std::uint8_t>(value >> (8 * (kDigestSize - 1 - i)));
    Restart();
}

template class ZlibChecksum<ZlibSum::Crc32>;
template class ZlibChecksum<ZlibSum::Adler32>;
