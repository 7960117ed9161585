#include "Crc64.h"

#include <array>

namespace {

// The reflected form of 0x42F0E1EBA9EA3693.
constexpr std::uint64_t kPolynomial = 0xC96C5795D7870F42ull;

// Slicing by eight: table k gives the CRC of a byte followed by k zero bytes,
// so eight bytes are folded in with eight lookups and no dependency between
// them.
using Tables = std::array<std::array<std::uint64_t, 256>, 8>;

Tables MakeTables()
{
    Tables tables{};
    for (std::uint64_t byte = 0; byte < 256; ++byte) {
        std::uint64_t crc = byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ ((crc & 1) ? kPolynomial : 0);
        tables[0][byte] = crc;
    }
    for (std::size_t k = 1; k < tables.size(); ++k) {
        for (std::size_t byte = 0; byte < 256; ++byte)
            tables[k][byte] = (tables[k - 1][byte] >> 8) ^ tables[0][tables[k - 1][byte] & 0xFF];
    }
    return tables;
}

const Tables& CrcTables()
{
    static const Tables tables = MakeTables();
    return tables;
}

// Little-endian load, whatever the alignment.
std::uint64_t Load64(const std::uint8_t* p)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

}  // namespace

void Crc64::Update(const std::uint8_t* data, std::size_t length)
{
    const Tables& t = CrcTables();
    std::uint64_t crc = state;
    for (; length >= 8; data += 8, length -= 8) {
        const std::uint64_t x = crc ^ Load64(data);
        crc = t[7][x & 0xFF] ^ t[6][(x >> 8) & 0xFF] ^ t[5][(x >> 16) & 0xFF] ^ t[4][(x >> 24) & 0xFF] ^
              t[3][(x >> 32) & 0xFF] ^ t[2][(x >> 40) & 0xFF] ^ t[1][(x >> 48) & 0xFF] ^ t[0][x >> 56];
    }
    for (; length > 0; ++data, --length)
        crc = (crc >> 8) ^ t[0][(crc ^ *data) & 0xFF];
    state = crc;
}

void Crc64::Final(std::uint8_t* digest)
{
    const std::uint64_t value = ~state;
    for (unsigned i = 0; i < kDigestSize; ++i)
        digest[i] = static_cast<std::uint8_t>(value >> (8 * (kDigestSize - 1 - i)));
    Restart();
}
