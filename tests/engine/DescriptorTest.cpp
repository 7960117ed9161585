#include "support/Digests.h"

#include <cwctype>
#include <map>

namespace {

const char kMd5OfAbc[] = "900150983CD24FB0D6963F7D28E17F72";
const char kMd5OfEmpty[] = "D41D8CD98F00B204E9800998ECF8427E";

void Feed(const SharedDescriptor& descriptor, const std::string& text)
{
    descriptor->Update(reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<std::uint32_t>(text.size()));
}

}  // namespace

TEST(Descriptor, DigestTextIsEmptyBeforeTheFirstFinalize)
{
    for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll()) {
        Feed(descriptor, "abc");
        EXPECT_TRUE(descriptor->GetDigestText().empty()) << Narrow(descriptor->GetName());
    }
}

// Every algorithm, against a fresh descriptor of its own (whose digests the
// published vectors check): Finalize and Restart leave the hash restarted.
TEST(Descriptor, FinalizeTwiceGivesTheEmptyMessageTheSecondTime)
{
    for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll()) {
        const std::wstring name = descriptor->GetName();
        SharedDescriptor fresh = MakeDescriptor(name);
        fresh->Finalize();
        Feed(descriptor, "abc");
        descriptor->Finalize();
        EXPECT_NE(descriptor->GetDigestText(), fresh->GetDigestText()) << Narrow(name);
        descriptor->Finalize();
        EXPECT_EQ(descriptor->GetDigestText(), fresh->GetDigestText()) << Narrow(name);
    }
    SharedDescriptor md5 = MakeDescriptor(L"MD5");
    Feed(md5, "abc");
    md5->Finalize();
    EXPECT_EQ(Narrow(md5->GetDigestText()), kMd5OfAbc);
    md5->Finalize();
    EXPECT_EQ(Narrow(md5->GetDigestText()), kMd5OfEmpty);
}

TEST(Descriptor, RestartDropsTheDataButKeepsTheText)
{
    for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll()) {
        const std::wstring name = descriptor->GetName();
        SharedDescriptor fresh = MakeDescriptor(name);
        Feed(fresh, "abc");
        fresh->Finalize();
        Feed(descriptor, "abc");
        descriptor->Finalize();
        Feed(descriptor, "some data to forget");
        descriptor->Restart();
        EXPECT_EQ(descriptor->GetDigestText(), fresh->GetDigestText()) << Narrow(name);
        Feed(descriptor, "abc");
        descriptor->Finalize();
        EXPECT_EQ(descriptor->GetDigestText(), fresh->GetDigestText()) << Narrow(name);
    }
}

TEST(Descriptor, TextHasTwoDigitsPerByteInTheCaseOfTheMomentOfFinalize)
{
    const std::map<std::wstring, size_t> digestBytes = {
        {L"Adler32", 4},     {L"CRC32", 4},      {L"MD2", 16},        {L"MD4", 16},      {L"MD5", 16},
        {L"RIPEMD-128", 16}, {L"RIPEMD-256", 32}, {L"RIPEMD-320", 40}, {L"SHA-1", 20},    {L"SHA-256", 32},
        {L"SHA-384", 48},    {L"SHA-512", 64},   {L"Tiger", 24},      {L"Whirlpool", 64},
        {L"CRC32C", 4},      {L"CRC64", 8},      {L"SHA3-224", 28},   {L"SHA3-256", 32}, {L"SHA3-384", 48},
        {L"SHA3-512", 64},   {L"BLAKE2b", 64},   {L"BLAKE2s", 32},    {L"BLAKE3", 32},   {L"XXH64", 8},
        {L"XXH3", 8},        {L"XXH128", 16}};
    FixedSettings settings;
    BoundSettings bound(settings);
    for (const bool lowercase : {false, true}) {
        for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll()) {
            const std::string name = Narrow(descriptor->GetName());
            settings.lowercase = !lowercase;  // the case when the data comes in does not count
            Feed(descriptor, "The case is chosen at Finalize");
            settings.lowercase = lowercase;
            descriptor->Finalize();
            settings.lowercase = !lowercase;  // nor does the case when the text is read
            const std::wstring text = descriptor->GetDigestText();
            EXPECT_EQ(text.size(), 2 * digestBytes.at(descriptor->GetName())) << name;
            for (wchar_t c : text) {
                EXPECT_TRUE(std::iswxdigit(c)) << name;
                if (std::iswalpha(c)) {
                    EXPECT_EQ(lowercase, std::iswlower(c) != 0) << name;
                }
            }
        }
    }
}

TEST(Descriptor, Crc32IsWrittenMostSignificantDigitFirstAndAdler32IsNotReversed)
{
    FixedSettings lowercase;
    lowercase.lowercase = true;
    BoundSettings bound(lowercase);
    SharedDescriptor crc = MakeDescriptor(L"CRC32");
    Feed(crc, "123456789");
    crc->Finalize();
    EXPECT_EQ(crc->GetDigestText(), L"cbf43926");
    SharedDescriptor adler = MakeDescriptor(L"Adler32");
    Feed(adler, "abc");
    adler->Finalize();
    EXPECT_EQ(adler->GetDigestText(), L"024d0127");  // the sum B (0x024D) first, then A
}
