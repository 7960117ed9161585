// HAVAL (3 passes, 256 bits) through DescriptorHAVAL, which the full
// configuration's catalogue does not list.
#include "engine/Descriptors.h"
#include "support/Digests.h"
#include "support/TestFiles.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <utility>

namespace {

struct Vector {
    const char* message;
    const char* digest;
};

// The certification data of the HAVAL authors' reference implementation
// (haval -c, built with PASS=3 and FPTLEN=256).
const Vector kCertificationData[] = {
    {"", "4F6938531F0BC8991F62DA7BBD6F7DE3FAD44562B8C6F4EBF146D5B4E46F7C17"},
    {"a", "47C838FBB4081D9525A0FF9B1E2C05A98F625714E72DB289010374E27DB021D8"},
    {"HAVAL", "91850C6487C9829E791FC5B58E98E372F3063256BB7D313A93F1F83B426AEDCC"},
    {"0123456789", "63238D99C02BE18C3C5DB7CCE8432F51329012C228CCC17EF048A5D0FD22D4AE"},
    {"abcdefghijklmnopqrstuvwxyz", "72FAD4BDE1DA8C8332FB60561A780E7F504F21547B98686824FC33FC796AFA76"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "899397D96489281E9E76D5E65ABAB751F312E06C06C07C9C1D42ABD31BB6A404"},
};

const Vector& Certified(const std::string& message)
{
    for (const Vector& vector : kCertificationData) {
        if (message == vector.message)
            return vector;
    }
    throw std::logic_error("no certification vector for " + message);
}

void Feed(IHashDescriptor& descriptor, const std::string& text)
{
    descriptor.Update(reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<std::uint32_t>(text.size()));
}

// Sizes of the 128-byte block and the 118 bytes after which the length
// field no longer fits, and the job's 102400-byte read.
const std::vector<size_t> kUnevenChunks = {1, 117, 128, 129, 10, 102401, 63};

// "size DIGEST" lines written by PHP's hash('haval256,3') before the test
// runs (tests/engine/haval-php-reference.sh): digests of PatternBytes(size).
std::vector<std::pair<size_t, std::string>> ReadPhpReference(const char* path)
{
    std::vector<std::pair<size_t, std::string>> digests;
    std::ifstream file(path);
    size_t size = 0;
    std::string digest;
    while (file >> size >> digest)
        digests.emplace_back(size, digest);
    if (!file.eof())
        digests.clear();
    return digests;
}

}  // namespace

TEST(Haval, CertificationDataWholeAndInPieces)
{
    DescriptorHAVAL haval;
    EXPECT_EQ(haval.GetName(), L"HAVAL");
    for (const Vector& vector : kCertificationData) {
        const std::string message = vector.message;
        EXPECT_EQ(Narrow(DigestInChunks(haval, message.data(), message.size(), {message.size() + 1})), vector.digest)
            << '"' << message << '"';
        EXPECT_EQ(Narrow(DigestInChunks(haval, message.data(), message.size(), {1, 2, 7})), vector.digest)
            << '"' << message << '"';
    }
}

TEST(Haval, RestartDropsDataAndFinalStartsAnew)
{
    DescriptorHAVAL haval;
    Feed(haval, std::string(300, 'x'));  // two whole blocks and part of a third
    haval.Restart();
    Feed(haval, "HAVAL");
    haval.Finalize();
    EXPECT_EQ(Narrow(haval.GetDigestText()), Certified("HAVAL").digest);
    haval.Finalize();
    EXPECT_EQ(Narrow(haval.GetDigestText()), Certified("").digest);
    Feed(haval, "a");
    haval.Finalize();
    EXPECT_EQ(Narrow(haval.GetDigestText()), Certified("a").digest);
}

// PHP's implementation on every size from 0 to 300 bytes, on sizes around
// block multiples and on megabytes: the padding's every position in the
// last block, and long messages fed unevenly.
TEST(Haval, MatchesPhpOnPatternMessages)
{
    const char* path = std::getenv("TALLYRA_HAVAL_REFERENCE");
    if (path == nullptr)
        GTEST_SKIP() << "TALLYRA_HAVAL_REFERENCE unset: CTest sets it, after PHP has written the digests";
    const auto reference = ReadPhpReference(path);
    ASSERT_GE(reference.size(), 301u) << "no or bad PHP digests in " << path;
    ASSERT_GE(reference.back().first, kLargePatternSize) << "the PHP digests lack the large message";
    const std::vector<std::uint8_t> pattern = PatternBytes(reference.back().first);
    DescriptorHAVAL haval;
    for (const auto& [size, digest] : reference) {
        ASSERT_LE(size, pattern.size()) << "PHP digests out of order";
        EXPECT_EQ(Narrow(DigestInChunks(haval, pattern.data(), size, {size + 1})), digest) << size << " bytes";
        EXPECT_EQ(Narrow(DigestInChunks(haval, pattern.data(), size, kUnevenChunks)), digest) << size << " bytes";
    }
}
