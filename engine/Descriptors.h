#pragma once
// The algorithms a catalogue can hold. Each configuration registers its
// own set when the catalogue is first used (config/Algorithms.cpp).
#include "Blake3Hash.h"
#include "Crc64.h"
#include "DescriptionIds.h"
#include "HashDescriptorImpl.h"
#include "Haval.h"
#include "XxHash.h"
#include "ZlibChecksums.h"

#include <blake2.h>
#include <crc.h>
#include <md2.h>
#include <md4.h>
#include <md5.h>
#include <ripemd.h>
#include <sha.h>
#include <sha3.h>
#include <tiger.h>
#include <whrlpool.h>

// Crypto++'s narrow algorithm name, widened with the thread's ANSI code page.
std::wstring WidenAlgorithmName(const char* name);
inline std::wstring WidenAlgorithmName(const std::string& name) { return WidenAlgorithmName(name.c_str()); }
// A string of the string table the engine's texts are bound to.
std::wstring DescriptionFromStringTable(unsigned id);

#define TALLYRA_NAMED_DESCRIPTOR(Class, HashClass, NameExpr, DescriptionExpr)             \
    class Class final : public HashDescriptorImpl<HashClass> {                          \
    public:                                                                             \
        static std::wstring StaticName() { return NameExpr; }                           \
        std::wstring GetName() const override { return StaticName(); }                  \
        std::wstring GetDescription() const override { return DescriptionExpr; }        \
    }
// A Crypto++ class under the library's own name for it.
#define TALLYRA_DESCRIPTOR(Class, CryptoClass, DescriptionExpr) \
    TALLYRA_NAMED_DESCRIPTOR(Class, CryptoClass, WidenAlgorithmName(CryptoClass::StaticAlgorithmName()), DescriptionExpr)

// The two checksums through zlib, whose code is several times faster than
// Crypto++'s; both give their value most significant byte first.
TALLYRA_NAMED_DESCRIPTOR(CRC32Descriptor, ZlibCrc32, L"CRC32", DescriptionFromStringTable(IDS_DESCRIPTION_CRC32));
TALLYRA_NAMED_DESCRIPTOR(DescriptorAdler32, ZlibAdler32, L"Adler32", DescriptionFromStringTable(IDS_DESCRIPTION_ADLER32));
TALLYRA_DESCRIPTOR(DescriptorBLAKE2b, CryptoPP::BLAKE2b, DescriptionFromStringTable(IDS_DESCRIPTION_BLAKE2B));
TALLYRA_DESCRIPTOR(DescriptorBLAKE2s, CryptoPP::BLAKE2s, DescriptionFromStringTable(IDS_DESCRIPTION_BLAKE2S));
TALLYRA_NAMED_DESCRIPTOR(DescriptorBLAKE3, Blake3Hash, L"BLAKE3", DescriptionFromStringTable(IDS_DESCRIPTION_BLAKE3));
TALLYRA_NAMED_DESCRIPTOR(DescriptorCRC64, Crc64, L"CRC64", DescriptionFromStringTable(IDS_DESCRIPTION_CRC64));
TALLYRA_DESCRIPTOR(DescriptorHAVAL, Haval, DescriptionFromStringTable(IDS_DESCRIPTION_HAVAL));
TALLYRA_DESCRIPTOR(DescriptorMD2, CryptoPP::Weak1::MD2, L"Message Digest 2");
TALLYRA_DESCRIPTOR(DescriptorMD4, CryptoPP::Weak1::MD4, L"Message Digest 4");
TALLYRA_DESCRIPTOR(DescriptorMD5, CryptoPP::Weak1::MD5, DescriptionFromStringTable(IDS_DESCRIPTION_MD5));
TALLYRA_DESCRIPTOR(DescriptorRIPEMD128, CryptoPP::RIPEMD128, DescriptionFromStringTable(IDS_DESCRIPTION_RIPEMD128));
TALLYRA_DESCRIPTOR(DescriptorRIPEMD256, CryptoPP::RIPEMD256, DescriptionFromStringTable(IDS_DESCRIPTION_RIPEMD256));
TALLYRA_DESCRIPTOR(DescriptorRIPEMD320, CryptoPP::RIPEMD320, DescriptionFromStringTable(IDS_DESCRIPTION_RIPEMD320));
TALLYRA_DESCRIPTOR(DescriptorSHA1, CryptoPP::SHA1, DescriptionFromStringTable(IDS_DESCRIPTION_SHA1));
TALLYRA_DESCRIPTOR(DescriptorSHA256, CryptoPP::SHA256, DescriptionFromStringTable(IDS_DESCRIPTION_SHA256));
TALLYRA_DESCRIPTOR(DescriptorSHA384, CryptoPP::SHA384, DescriptionFromStringTable(IDS_DESCRIPTION_SHA384));
TALLYRA_DESCRIPTOR(DescriptorSHA512, CryptoPP::SHA512, DescriptionFromStringTable(IDS_DESCRIPTION_SHA512));
TALLYRA_DESCRIPTOR(DescriptorSHA3_224, CryptoPP::SHA3_224, DescriptionFromStringTable(IDS_DESCRIPTION_SHA3_224));
TALLYRA_DESCRIPTOR(DescriptorSHA3_256, CryptoPP::SHA3_256, DescriptionFromStringTable(IDS_DESCRIPTION_SHA3_256));
TALLYRA_DESCRIPTOR(DescriptorSHA3_384, CryptoPP::SHA3_384, DescriptionFromStringTable(IDS_DESCRIPTION_SHA3_384));
TALLYRA_DESCRIPTOR(DescriptorSHA3_512, CryptoPP::SHA3_512, DescriptionFromStringTable(IDS_DESCRIPTION_SHA3_512));
TALLYRA_DESCRIPTOR(DescriptorTiger, CryptoPP::Tiger, DescriptionFromStringTable(IDS_DESCRIPTION_TIGER));
TALLYRA_DESCRIPTOR(DescriptorWhirlpool, CryptoPP::Whirlpool, DescriptionFromStringTable(IDS_DESCRIPTION_WHIRLPOOL));
TALLYRA_NAMED_DESCRIPTOR(DescriptorXXH128, Xxh128, L"XXH128", DescriptionFromStringTable(IDS_DESCRIPTION_XXH128));
TALLYRA_NAMED_DESCRIPTOR(DescriptorXXH3, Xxh3, L"XXH3", DescriptionFromStringTable(IDS_DESCRIPTION_XXH3));
TALLYRA_NAMED_DESCRIPTOR(DescriptorXXH64, Xxh64, L"XXH64", DescriptionFromStringTable(IDS_DESCRIPTION_XXH64));

#undef TALLYRA_DESCRIPTOR
#undef TALLYRA_NAMED_DESCRIPTOR

// CRC32C writes its value most significant digit first, as CRC32 does.
class DescriptorCRC32C final : public HashDescriptorImpl<CryptoPP::CRC32C> {
public:
    static std::wstring StaticName() { return WidenAlgorithmName(CryptoPP::CRC32C::StaticAlgorithmName()); }
    std::wstring GetName() const override { return StaticName(); }
    std::wstring GetDescription() const override { return DescriptionFromStringTable(IDS_DESCRIPTION_CRC32C); }
    void Finalize() override;
};
