#pragma once
// The algorithms a catalogue can hold. Each configuration registers its
// own set while the module loads (config/<name>/Algorithms.cpp).
#include "DescriptionIds.h"
#include "HashDescriptorImpl.h"
#include "Haval.h"

#include <adler32.h>
#include <crc.h>
#include <md2.h>
#include <md4.h>
#include <md5.h>
#include <ripemd.h>
#include <sha.h>
#include <tiger.h>
#include <whrlpool.h>

// Crypto++'s narrow algorithm name, widened with the thread's ANSI code page.
std::wstring WidenAlgorithmName(const char* name);
// A string of the string table the engine's texts are bound to.
std::wstring DescriptionFromStringTable(unsigned id);

#define TALLYRA_DESCRIPTOR(Class, CryptoClass, DescriptionExpr)                         \
    class Class final : public HashDescriptorImpl<CryptoClass> {                        \
    public:                                                                             \
        static std::wstring StaticName() { return WidenAlgorithmName(CryptoClass::StaticAlgorithmName()); } \
        std::wstring GetName() const override { return StaticName(); }                  \
        std::wstring GetDescription() const override { return DescriptionExpr; }        \
    }

TALLYRA_DESCRIPTOR(DescriptorAdler32, CryptoPP::Adler32, DescriptionFromStringTable(IDS_DESCRIPTION_ADLER32));
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
TALLYRA_DESCRIPTOR(DescriptorTiger, CryptoPP::Tiger, DescriptionFromStringTable(IDS_DESCRIPTION_TIGER));
TALLYRA_DESCRIPTOR(DescriptorWhirlpool, CryptoPP::Whirlpool, DescriptionFromStringTable(IDS_DESCRIPTION_WHIRLPOOL));

#undef TALLYRA_DESCRIPTOR

// CRC32 writes its value most significant digit first; Crypto++ gives the
// four bytes least significant first, so they are reversed before formatting.
class CRC32Descriptor final : public HashDescriptorImpl<CryptoPP::CRC32> {
public:
    static std::wstring StaticName() { return L"CRC32"; }
    std::wstring GetName() const override { return StaticName(); }
    std::wstring GetDescription() const override { return DescriptionFromStringTable(IDS_DESCRIPTION_CRC32); }
    void Finalize() override;
};
