#pragma once
// HAVAL with 3 passes and a 256-bit digest (Zheng, Pieprzyk and Seberry,
// AUSCRYPT '92), shaped like a Crypto++ hash class so that HashDescriptorImpl
// can hold it: the Crypto++ release we build has no HAVAL. Only this one
// pass count and digest length are used, so only they are built.
#include <array>
#include <cstddef>
#include <cstdint>

class Haval {
public:
    static constexpr unsigned DIGESTSIZE = 32;
    static const char* StaticAlgorithmName() { return "HAVAL"; }

    Haval() { Restart(); }

    unsigned DigestSize() const { return DIGESTSIZE; }
    void Update(const std::uint8_t* data, std::size_t length);
    // Writes DIGESTSIZE bytes and starts a new message, as Crypto++'s Final does.
    void Final(std::uint8_t* digest);
    // Drops everything passed since the last Final or Restart.
    void Restart();

private:
    static constexpr std::size_t kBlockSize = 128;

    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state;
    std::array<std::uint8_t, kBlockSize> pending;  // the start of an unfinished block
    std::uint64_t byteCount;                       // modulo 2^64, as the length field wants
};
