// Every algorithm against published test vectors: RFC 1319/1320/1321, FIPS 180,
// the RIPEMD, Tiger and Whirlpool authors' vectors, the CRC-32 check value.
// Values marked "independent" were computed with zlib, PyCryptodome or RHash.
#include "support/Digests.h"

#include <algorithm>

namespace {

struct Vector {
    const wchar_t* algorithm;
    std::string message;
    size_t repeat;  // the message is hashed this many times over
    const char* digest;
};

const std::string kAlphabet = "abcdefghijklmnopqrstuvwxyz";
const std::string kAlnum = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
const std::string kDigits80 = "1234567890";  // repeated 8 times
const std::string k448 = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
const std::string k896 =
    "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu";
constexpr size_t kMillion = 1000000;

const Vector kVectors[] = {
    // CRC-32 check value; "a" x 1e6 independent (zlib).
    {L"CRC32", "", 1, "00000000"},
    {L"CRC32", "123456789", 1, "CBF43926"},
    {L"CRC32", "The quick brown fox jumps over the lazy dog", 1, "414FA339"},
    {L"CRC32", "a", kMillion, "DC25BFBC"},
    // Adler-32 (RFC 1950 definition); "a" x 1e6 independent (zlib).
    {L"Adler32", "", 1, "00000001"},
    {L"Adler32", "Wikipedia", 1, "11E60398"},
    {L"Adler32", "abc", 1, "024D0127"},
    {L"Adler32", "a", kMillion, "15D870F9"},
    // RFC 1319; "a" x 1e6 independent (PyCryptodome).
    {L"MD2", "", 1, "8350E5A3E24C153DF2275C9F80692773"},
    {L"MD2", "a", 1, "32EC01EC4A6DAC72C0AB96FB34C0B5D1"},
    {L"MD2", "abc", 1, "DA853B0D3F88D99B30283A69E6DED6BB"},
    {L"MD2", "message digest", 1, "AB4F496BFB2A530B219FF33031FE06B0"},
    {L"MD2", kAlphabet, 1, "4E8DDFF3650292AB5A4108C3AA47940B"},
    {L"MD2", kAlnum, 1, "DA33DEF2A42DF13975352846C30338CD"},
    {L"MD2", kDigits80, 8, "D5976F79D83D3A0DC9806C3C66F3EFD8"},
    {L"MD2", "a", kMillion, "8C0A09FF1216ECAF95C8130953C62EFD"},
    // RFC 1320; "a" x 1e6 independent (RHash).
    {L"MD4", "", 1, "31D6CFE0D16AE931B73C59D7E0C089C0"},
    {L"MD4", "a", 1, "BDE52CB31DE33E46245E05FBDBD6FB24"},
    {L"MD4", "abc", 1, "A448017AAF21D8525FC10AE87AA6729D"},
    {L"MD4", "message digest", 1, "D9130A8164549FE818874806E1C7014B"},
    {L"MD4", kAlphabet, 1, "D79E1C308AA5BBCDEEA8ED63DF412DA9"},
    {L"MD4", kAlnum, 1, "043F8582F241DB351CE627E153E7F0E4"},
    {L"MD4", kDigits80, 8, "E33B4DDC9C38F2199C3E7B164FCC0536"},
    {L"MD4", "a", kMillion, "BBCE80CC6BB65E5C6745E30D4EECA9A4"},
    // RFC 1321.
    {L"MD5", "", 1, "D41D8CD98F00B204E9800998ECF8427E"},
    {L"MD5", "a", 1, "0CC175B9C0F1B6A831C399E269772661"},
    {L"MD5", "abc", 1, "900150983CD24FB0D6963F7D28E17F72"},
    {L"MD5", "message digest", 1, "F96B697D7CB7938D525A2F31AAF161D0"},
    {L"MD5", kAlphabet, 1, "C3FCD3D76192E4007DFB496CCA67E13B"},
    {L"MD5", kAlnum, 1, "D174AB98D277D9F5A5611C2C9F419D9F"},
    {L"MD5", kDigits80, 8, "57EDF4A22BE3C955AC49DA2E2107B67A"},
    {L"MD5", "a", kMillion, "7707D6AE4E027C70EEA2A935C2296F21"},
    // FIPS 180.
    {L"SHA-1", "", 1, "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
    {L"SHA-1", "abc", 1, "A9993E364706816ABA3E25717850C26C9CD0D89D"},
    {L"SHA-1", k448, 1, "84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
    {L"SHA-1", "a", kMillion, "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F"},
    {L"SHA-256", "", 1, "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855"},
    {L"SHA-256", "abc", 1, "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"},
    {L"SHA-256", k448, 1, "248D6A61D20638B8E5C026930C3E6039A33CE45964FF2167F6ECEDD419DB06C1"},
    {L"SHA-256", "a", kMillion, "CDC76E5C9914FB9281A1C7E284D73E67F1809A48A497200E046D39CCC7112CD0"},
    {L"SHA-384", "", 1,
     "38B060A751AC96384CD9327EB1B1E36A21FDB71114BE07434C0CC7BF63F6E1DA274EDEBFE76F65FBD51AD2F14898B95B"},
    {L"SHA-384", "abc", 1,
     "CB00753F45A35E8BB5A03D699AC65007272C32AB0EDED1631A8B605A43FF5BED8086072BA1E7CC2358BAECA134C825A7"},
    {L"SHA-384", k896, 1,
     "09330C33F71147E83D192FC782CD1B4753111B173B3B05D22FA08086E3B0F712FCC7C71A557E2DB966C3E9FA91746039"},
    {L"SHA-384", "a", kMillion,
     "9D0E1809716474CB086E834E310A4A1CED149E9C00F248527972CEC5704C2A5B07B8B3DC38ECC4EBAE97DDD87F3D8985"},
    {L"SHA-512", "", 1,
     "CF83E1357EEFB8BDF1542850D66D8007D620E4050B5715DC83F4A921D36CE9CE47D0D13C5D85F2B0FF8318D2877EEC2F63B931BD47417A81A538327AF927DA3E"},
    {L"SHA-512", "abc", 1,
     "DDAF35A193617ABACC417349AE20413112E6FA4E89A97EA20A9EEEE64B55D39A2192992A274FC1A836BA3C23A3FEEBBD454D4423643CE80E2A9AC94FA54CA49F"},
    {L"SHA-512", k896, 1,
     "8E959B75DAE313DA8CF4F72814FC143F8F7779C6EB9F7FA17299AEADB6889018501D289E4900F7E4331B99DEC4B5433AC7D329EEB6DD26545E96E55B874BE909"},
    {L"SHA-512", "a", kMillion,
     "E718483D0CE769644E2E42C7BC15B4638E1F98B13B2044285632A803AFA973EBDE0FF244877EA60A4CB0432CE577C31BEB009C5C2C49AA2E4EADB217AD8CC09B"},
    // The RIPEMD authors' vectors.
    {L"RIPEMD-128", "", 1, "CDF26213A150DC3ECB610F18F6B38B46"},
    {L"RIPEMD-128", "abc", 1, "C14A12199C66E4BA84636B0F69144C77"},
    {L"RIPEMD-128", "message digest", 1, "9E327B3D6E523062AFC1132D7DF9D1B8"},
    {L"RIPEMD-128", k448, 1, "A1AA0689D0FAFA2DDC22E88B49133A06"},
    {L"RIPEMD-128", kDigits80, 8, "3F45EF194732C2DBB2C4A2C769795FA3"},
    {L"RIPEMD-128", "a", kMillion, "4A7F5723F954EBA1216C9D8F6320431F"},
    {L"RIPEMD-256", "", 1, "02BA4C4E5F8ECD1877FC52D64D30E37A2D9774FB1E5D026380AE0168E3C5522D"},
    {L"RIPEMD-256", "abc", 1, "AFBD6E228B9D8CBBCEF5CA2D03E6DBA10AC0BC7DCBE4680E1E42D2E975459B65"},
    {L"RIPEMD-256", kAlphabet, 1, "649D3034751EA216776BF9A18ACC81BC7896118A5197968782DD1FD97D8D5133"},
    {L"RIPEMD-256", kAlnum, 1, "5740A408AC16B720B84424AE931CBB1FE363D1D0BF4017F1A89F7EA6DE77A0B8"},
    {L"RIPEMD-256", "a", kMillion, "AC953744E10E31514C150D4D8D7B677342E33399788296E43AE4850CE4F97978"},
    {L"RIPEMD-320", "", 1, "22D65D5661536CDC75C1FDF5C6DE7B41B9F27325EBC61E8557177D705A0EC880151C3A32A00899B8"},
    {L"RIPEMD-320", "abc", 1, "DE4C01B3054F8930A79D09AE738E92301E5A17085BEFFDC1B8D116713E74F82FA942D64CDBC4682D"},
    {L"RIPEMD-320", "message digest", 1,
     "3A8E28502ED45D422F68844F9DD316E7B98533FA3F2A91D29F84D425C88D6B4EFF727DF66A7C0197"},
    {L"RIPEMD-320", kDigits80, 8, "557888AF5F6D8ED62AB66945C6D2A0A47ECD5341E915EB8FEA1D0524955F825DC717E4A008AB2D42"},
    {L"RIPEMD-320", "a", kMillion,
     "BDEE37F4371E20646B8B0D862DDA16292AE36F40965E8C8509E63D1DBDDECC503E2B63EB9245BB66"},
    // The Tiger authors' vectors; "a" x 1e6 independent (RHash).
    {L"Tiger", "", 1, "3293AC630C13F0245F92BBB1766E16167A4E58492DDE73F3"},
    {L"Tiger", "abc", 1, "2AAB1484E8C158F2BFB8C5FF41B57A525129131C957B5F93"},
    {L"Tiger", "Tiger", 1, "DD00230799F5009FEC6DEBC838BB6A27DF2B9D6F110C7937"},
    {L"Tiger", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-", 1,
     "F71C8583902AFB879EDFE610F82C0D4786A3A534504486B5"},
    {L"Tiger", "a", kMillion, "6DB0E2729CBEAD93D715C6A7D36302E9B3CEE0D2BC314B41"},
    // The Whirlpool authors' (ISO/IEC 10118-3) vectors.
    {L"Whirlpool", "", 1,
     "19FA61D75522A4669B44E39C1D2E1726C530232130D407F89AFEE0964997F7A73E83BE698B288FEBCF88E3E03C4F0757EA8964E59B63D93708B138CC42A66EB3"},
    {L"Whirlpool", "abc", 1,
     "4E2448A4C6F486BB16B6562C73B4020BF3043E3A731BCE721AE1B303D97E6D4C7181EEBDB6C57E277D0E34957114CBD6C797FC9D95D8B582D225292076D4EEF5"},
    {L"Whirlpool", "a", kMillion,
     "0C99005BEB57EFF50A7CF005560DDF5D29057FD86B20BFD62DECA0F1CCEA4AF51FC15490EDDC47AF32BB2B66C34FF9AD8C6008AD677F77126953B226E4ED8B01"},
};

std::string Repeated(const Vector& vector)
{
    std::string message;
    message.reserve(vector.message.size() * vector.repeat);
    for (size_t i = 0; i < vector.repeat; ++i)
        message += vector.message;
    return message;
}

std::wstring DigestInChunks(const std::wstring& algorithm, const std::string& message,
                            const std::vector<size_t>& chunkSizes)
{
    SharedDescriptor descriptor = MakeDescriptor(algorithm);
    return descriptor ? DigestInChunks(*descriptor, message.data(), message.size(), chunkSizes) : L"";
}

void PrintTo(const Vector& vector, std::ostream* out)
{
    *out << Narrow(vector.algorithm) << " of " << vector.message.size() * vector.repeat << " bytes";
}

class PublishedVectors : public ::testing::TestWithParam<Vector> {};

std::string VectorName(const ::testing::TestParamInfo<Vector>& info)
{
    std::string name = Narrow(info.param.algorithm) + "_" + std::to_string(info.index);
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

}  // namespace

TEST_P(PublishedVectors, WholeMessageInOneUpdate)
{
    const std::string message = Repeated(GetParam());
    EXPECT_EQ(Narrow(DigestInChunks(GetParam().algorithm, message, {message.size() + 1})), GetParam().digest);
}

// Block-boundary faults hide in uneven feeding: 1 byte, around 64 and 128
// (the compression block sizes) and around the job's 102400-byte block.
TEST_P(PublishedVectors, MessageFedInUnevenChunks)
{
    const std::string message = Repeated(GetParam());
    EXPECT_EQ(Narrow(DigestInChunks(GetParam().algorithm, message, {1, 63, 64, 65, 102399, 102400, 102401})),
              GetParam().digest);
    EXPECT_EQ(Narrow(DigestInChunks(GetParam().algorithm, message, {127, 1, 129, 102401, 3})), GetParam().digest);
}

INSTANTIATE_TEST_SUITE_P(AllAlgorithms, PublishedVectors, ::testing::ValuesIn(kVectors), VectorName);

TEST(PublishedVectorsCoverage, EveryAlgorithmOfTheCatalogueHasVectors)
{
    for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll()) {
        const std::wstring name = descriptor->GetName();
        const bool covered = std::any_of(std::begin(kVectors), std::end(kVectors),
                                         [&](const Vector& vector) { return name == vector.algorithm; });
        EXPECT_TRUE(covered) << Narrow(name);
    }
}
