// The few definitions that Crypto++'s hash files need from integer.cpp and
// dll.cpp. Compiling those files would drag the whole public-key code into
// the extension; with CRYPTOPP_NO_ASSIGN_TO_INTEGER only these remain.
#include "secblock.h"
#include "algparam.h"
#include "misc.h"

namespace CryptoPP {

template class AllocatorWithCleanup<byte>;
template class AlgorithmParametersTemplate<bool>;  // BLAKE2's tree-mode parameter
template class AlgorithmParametersTemplate<int>;
template class AlgorithmParametersTemplate<ConstByteArrayParameter>;

// Used only to format exception texts (lengths and sizes).
template <>
std::string IntToString<word64>(word64 value, unsigned int base)
{
    const unsigned int uppercaseBit = 1u << 31;
    const char letterBase = (base & uppercaseBit) ? 'A' : 'a';
    base &= ~uppercaseBit;
    if (base < 2 || base > 36)
        base = 10;
    if (value == 0)
        return "0";
    std::string digits;
    for (; value > 0; value /= base) {
        const unsigned digit = static_cast<unsigned>(value % base);
        digits.insert(digits.begin(), static_cast<char>(digit < 10 ? '0' + digit : letterBase + digit - 10));
    }
    return digits;
}

}  // namespace CryptoPP
