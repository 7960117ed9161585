#include "Haval.h"

#include <algorithm>
#include <cstring>

namespace {

using Word = std::uint32_t;

constexpr unsigned kVersion = 1;
constexpr unsigned kPasses = 3;
constexpr unsigned kDigestBits = Haval::DIGESTSIZE * 8;

// The message is padded to 118 bytes modulo 128; the last ten bytes of the
// last block carry the version, pass count and digest length, then the
// message length in bits.
constexpr std::size_t kTailSize = 10;
constexpr std::size_t kPaddedTo = 128 - kTailSize;

// The first 256 bits of the fraction of pi.
constexpr std::array<Word, 8> kInitialState = {
    0x243F6A88, 0x85A308D3, 0x13198A2E, 0x03707344, 0xA4093822, 0x299F31D0, 0x082EFA98, 0xEC4E6C89};

// The order in which each pass reads the 32 words of a block.
constexpr std::uint8_t kWordOrder[kPasses][32] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15,
     16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31},
    {5, 14, 26, 18, 11, 28, 7, 16, 0, 23, 20, 22, 1, 10, 4, 8,
     30, 3, 21, 9, 17, 24, 29, 6, 19, 12, 15, 13, 2, 25, 31, 27},
    {19, 9, 4, 20, 28, 17, 8, 22, 29, 14, 25, 12, 24, 30, 16, 26,
     31, 15, 7, 3, 1, 0, 18, 27, 13, 6, 21, 10, 23, 11, 5, 2}};

// The words added by each step: none in pass 1, then the fraction of pi
// after the 256 bits of the initial state.
constexpr Word kStepConstants[kPasses][32] = {
    {},
    {0x452821E6, 0x38D01377, 0xBE5466CF, 0x34E90C6C, 0xC0AC29B7, 0xC97C50DD, 0x3F84D5B5, 0xB5470917,
     0x9216D5D9, 0x8979FB1B, 0xD1310BA6, 0x98DFB5AC, 0x2FFD72DB, 0xD01ADFB7, 0xB8E1AFED, 0x6A267E96,
     0xBA7C9045, 0xF12C7F99, 0x24A19947, 0xB3916CF7, 0x0801F2E2, 0x858EFC16, 0x636920D8, 0x71574E69,
     0xA458FEA3, 0xF4933D7E, 0x0D95748F, 0x728EB658, 0x718BCD58, 0x82154AEE, 0x7B54A41D, 0xC25A59B5},
    {0x9C30D539, 0x2AF26013, 0xC5D1B023, 0x286085F0, 0xCA417918, 0xB8DB38EF, 0x8E79DCB0, 0x603A180E,
     0x6C9E0E8B, 0xB01E8A3E, 0xD71577C1, 0xBD314B27, 0x78AF2FDA, 0x55605C60, 0xE65525F3, 0xAA55AB94,
     0x57489862, 0x63E81440, 0x55CA396A, 0x2AAB10B6, 0xB4CC5C34, 0x1141E8CE, 0xA15486AF, 0x7C72E993,
     0xB3EE1411, 0x636FBC2A, 0x2BA9C55D, 0x741831F6, 0xCE5C3E16, 0x9B87931E, 0xAFD6BA33, 0x6C24CF5C}};

constexpr Word RotateRight(Word x, unsigned n)
{
    return (x >> n) | (x << (32 - n));
}

Word LoadLittleEndian(const std::uint8_t* bytes)
{
    return Word(bytes[0]) | Word(bytes[1]) << 8 | Word(bytes[2]) << 16 | Word(bytes[3]) << 24;
}

void StoreLittleEndian(std::uint64_t value, std::uint8_t* bytes, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The Boolean functions of the three passes, each taking its inputs through
// the pass's permutation phi(3,n). Without phi, as sums (xor) of products (and):
//   f1 = x1x4 + x2x5 + x3x6 + x0x1 + x0
//   f2 = x1x2x3 + x2x4x5 + x1x2 + x1x4 + x2x6 + x3x5 + x4x5 + x0x2 + x0
//   f3 = x1x2x3 + x1x4 + x2x5 + x3x6 + x0x3 + x0
// written below with common factors taken out.
struct Pass1 {
    static Word F(Word x6, Word x5, Word x4, Word x3, Word x2, Word x1, Word x0)
    {
        return f(x1, x0, x3, x5, x6, x2, x4);
    }
    static Word f(Word x6, Word x5, Word x4, Word x3, Word x2, Word x1, Word x0)
    {
        return (x1 & (x4 ^ x0)) ^ (x2 & x5) ^ (x3 & x6) ^ x0;
    }
};

struct Pass2 {
    static Word F(Word x6, Word x5, Word x4, Word x3, Word x2, Word x1, Word x0)
    {
        return f(x4, x2, x1, x0, x5, x3, x6);
    }
    static Word f(Word x6, Word x5, Word x4, Word x3, Word x2, Word x1, Word x0)
    {
        return (x2 & ((x1 & ~x3) ^ (x4 & x5) ^ x6 ^ x0)) ^ (x4 & (x1 ^ x5)) ^ (x3 & x5) ^ x0;
    }
};

struct Pass3 {
    static Word F(Word x6, Word x5, Word x4, Word x3, Word x2, Word x1, Word x0)
    {
        return f(x6, x1, x2, x3, x4, x5, x0);
    }
    static Word f(Word x6, Word x5, Word x4, Word x3, Word x2, Word x1, Word x0)
    {
        return (x3 & ((x1 & x2) ^ x6 ^ x0)) ^ (x1 & x4) ^ (x2 & x5) ^ x0;
    }
};

template <class Pass>
inline void Step(Word& x7, Word x6, Word x5, Word x4, Word x3, Word x2, Word x1, Word x0, Word w, Word k)
{
    x7 = RotateRight(Pass::F(x6, x5, x4, x3, x2, x1, x0), 7) + RotateRight(x7, 11) + w + k;
}

// 32 steps; each writes one register, the others rotate through the
// argument places, so that eight steps bring them back where they started.
template <class Pass>
void RunPass(std::array<Word, 8>& t, const Word (&w)[32], const std::uint8_t (&order)[32], const Word (&k)[32])
{
    Word t0 = t[0], t1 = t[1], t2 = t[2], t3 = t[3], t4 = t[4], t5 = t[5], t6 = t[6], t7 = t[7];
    for (int i = 0; i < 32; i += 8) {
        Step<Pass>(t7, t6, t5, t4, t3, t2, t1, t0, w[order[i]], k[i]);
        Step<Pass>(t6, t5, t4, t3, t2, t1, t0, t7, w[order[i + 1]], k[i + 1]);
        Step<Pass>(t5, t4, t3, t2, t1, t0, t7, t6, w[order[i + 2]], k[i + 2]);
        Step<Pass>(t4, t3, t2, t1, t0, t7, t6, t5, w[order[i + 3]], k[i + 3]);
        Step<Pass>(t3, t2, t1, t0, t7, t6, t5, t4, w[order[i + 4]], k[i + 4]);
        Step<Pass>(t2, t1, t0, t7, t6, t5, t4, t3, w[order[i + 5]], k[i + 5]);
        Step<Pass>(t1, t0, t7, t6, t5, t4, t3, t2, w[order[i + 6]], k[i + 6]);
        Step<Pass>(t0, t7, t6, t5, t4, t3, t2, t1, w[order[i + 7]], k[i + 7]);
    }
    t = {t0, t1, t2, t3, t4, t5, t6, t7};
}

}  // namespace

void Haval::Restart()
{
    state = kInitialState;
    byteCount = 0;
}

void Haval::Compress(const std::uint8_t* block)
{
    Word w[32];
    for (int i = 0; i < 32; ++i)
        w[i] = LoadLittleEndian(block + 4 * i);
    std::array<Word, 8> t = state;
    RunPass<Pass1>(t, w, kWordOrder[0], kStepConstants[0]);
    RunPass<Pass2>(t, w, kWordOrder[1], kStepConstants[1]);
    RunPass<Pass3>(t, w, kWordOrder[2], kStepConstants[2]);
    for (int i = 0; i < 8; ++i)
        state[i] += t[i];
}

void Haval::Update(const std::uint8_t* data, std::size_t length)
{
    if (length == 0)
        return;
    const std::size_t used = static_cast<std::size_t>(byteCount % kBlockSize);
    byteCount += length;
    if (used != 0) {
        const std::size_t taken = std::min(length, kBlockSize - used);
        std::memcpy(pending.data() + used, data, taken);
        data += taken;
        length -= taken;
        if (used + taken < kBlockSize)
            return;
        Compress(pending.data());
    }
    for (; length >= kBlockSize; data += kBlockSize, length -= kBlockSize)
        Compress(data);
    if (length != 0)
        std::memcpy(pending.data(), data, length);
}

void Haval::Final(std::uint8_t* digest)
{
    // Taken before the padding, which Update counts as message.
    std::uint8_t tail[kTailSize];
    tail[0] = static_cast<std::uint8_t>((kDigestBits & 0x3) << 6 | kPasses << 3 | kVersion);
    tail[1] = static_cast<std::uint8_t>(kDigestBits >> 2);
    StoreLittleEndian(byteCount * 8, tail + 2, 8);

    // One bit set, the first of the byte in HAVAL's little-endian bit order;
    // at least one byte, so a block that already holds 118 gets a whole one more.
    static const std::uint8_t kPadding[kBlockSize] = {0x01};
    const std::size_t used = static_cast<std::size_t>(byteCount % kBlockSize);
    Update(kPadding, used < kPaddedTo ? kPaddedTo - used : kBlockSize + kPaddedTo - used);
    Update(tail, kTailSize);

    for (std::size_t i = 0; i < state.size(); ++i)
        StoreLittleEndian(state[i], digest + 4 * i, 4);
    Restart();
}
