#include "ZlibChecksums.h"

#include <zlib.h>

namespace {

void StoreBigEndian32(unsigned long value, std::uint8_t* digest)
{
    for (int i = 0; i < 4; ++i)
        digest[i] = static_cast<std::uint8_t>(value >> (8 * (3 - i)));
}

}  // namespace

void ZlibCrc32::Update(const std::uint8_t* data, std::size_t length)
{
    value = crc32_z(value, data, length);
}

void ZlibCrc32::Final(std::uint8_t* digest)
{
    StoreBigEndian32(value, digest);
    Restart();
}

void ZlibAdler32::Update(const std::uint8_t* data, std::size_t length)
{
    value = adler32_z(value, data, length);
}

void ZlibAdler32::Final(std::uint8_t* digest)
{
    StoreBigEndian32(value, digest);
    Restart();
}
