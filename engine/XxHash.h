#pragma once
// xxHash's XXH64, XXH3 (64-bit) and XXH3 128-bit, all with seed 0, with the
// calls the descriptors make of a hash object. Each gives its canonical
// (big-endian) form, as xxHash's command-line tool prints it.
#include <cstddef>
#include <cstdint>
#include <memory>

// Named apart from the library's own functions, which its macros rename.
enum class XxHashVariant { Classic64, Xxh3Bits64, Xxh3Bits128 };

class XxHashBase {
public:
    explicit XxHashBase(XxHashVariant variant);
    ~XxHashBase();
    XxHashBase(const XxHashBase&) = delete;
    XxHashBase& operator=(const XxHashBase&) = delete;

    void Update(const std::uint8_t* data, std::size_t length);
    void Final(std::uint8_t* digest);  // restarts
    void Restart();
    unsigned DigestSize() const { return variant == XxHashVariant::Xxh3Bits128 ? 16 : 8; }

private:
    struct State;
    XxHashVariant variant;
    std::unique_ptr<State> state;
};

// One default-constructible class per variant, as a descriptor needs.
template <XxHashVariant Variant>
class XxHash : public XxHashBase {
public:
    XxHash() : XxHashBase(Variant) {}
};

using Xxh64 = XxHash<XxHashVariant::Classic64>;
using Xxh3 = XxHash<XxHashVariant::Xxh3Bits64>;
using Xxh128 = XxHash<XxHashVariant::Xxh3Bits128>;
