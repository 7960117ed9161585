// tallyra-hash end to end: a real process under Wine, real files.
#include "ToolProcess.h"
#include "support/TestFiles.h"
#include "support/Text.h"
#include "win/UniqueHandle.h"

#include <gtest/gtest.h>
#include <map>
#include <iterator>
#include <sstream>

namespace {

const size_t kSizes[] = {0, 1, 102400, 102401, kLargePatternSize};

struct Line {
    std::string algorithm, digest, path;
};

std::vector<Line> ParseLines(const std::string& out)
{
    std::vector<Line> lines;
    std::istringstream stream(out);
    std::string text;
    while (std::getline(stream, text)) {
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        const size_t first = text.find('\t');
        const size_t second = text.find('\t', first + 1);
        if (first == std::string::npos || second == std::string::npos) {
            ADD_FAILURE() << "malformed line: " << text;
            continue;
        }
        lines.push_back({text.substr(0, first), text.substr(first + 1, second - first - 1), text.substr(second + 1)});
    }
    return lines;
}

std::string Lowercase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

TEST(TallyraHash, HashesEveryFileOnceWithEveryChosenAlgorithmAndGoesOnPastAMissingFile)
{
    TempFolder folder;
    std::vector<std::wstring> arguments = {L"--algo", L"MD5",   L"--algo", L"SHA-1", L"--algo", L"Tiger",
                                           L"--algo", L"CRC32", L"--algo", L"MD2",   L"--algo", L"Adler32",
                                           L"--algo", L"MD4",   L"--algo", L"SHA-256", L"--algo", L"Whirlpool"};
    for (const size_t size : kSizes) {
        arguments.push_back(folder.Write(L"f" + std::to_wstring(size) + L".bin", PatternBytes(size)));
        if (size == 1)
            arguments.push_back(folder.Path() + L"\\missing.bin");
    }

    const ChildResult result = RunChild(Tool(), arguments);
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_NE(result.err.find(Utf8(folder.Path() + L"\\missing.bin")), std::string::npos) << result.err;

    const std::vector<Line> lines = ParseLines(result.out);
    const std::vector<std::wstring> order = {L"Adler32", L"CRC32",   L"MD2",   L"MD4",      L"MD5",
                                             L"SHA-1",   L"SHA-256", L"Tiger", L"Whirlpool"};
    ASSERT_EQ(lines.size(), order.size() * std::size(kSizes)) << result.out;
    size_t line = 0;
    for (const size_t size : kSizes) {
        const std::string path = Utf8(folder.Path() + L"\\f" + std::to_wstring(size) + L".bin");
        const DigestTable expected = PatternDigests(size, order);
        for (const std::wstring& algorithm : order) {
            EXPECT_EQ(lines[line].algorithm, Narrow(algorithm));
            EXPECT_EQ(lines[line].path, path);
            EXPECT_EQ(lines[line].digest, Narrow(expected.at(algorithm))) << Narrow(algorithm) << " of " << size << " bytes";
            ++line;
        }
    }
}

struct Catalogue {
    const wchar_t* configuration;
    std::vector<std::string> names;  // in catalogue order
};

class TallyraHashOfConfiguration : public ::testing::TestWithParam<Catalogue> {};

TEST_P(TallyraHashOfConfiguration, LowerWritesLowercaseAndAllGivesTheWholeCatalogue)
{
    TempFolder folder;
    const std::wstring path = folder.Write(L"one.bin", PatternBytes(102401));
    const ChildResult result = RunChild(Tool(GetParam().configuration), {L"--all", L"--lower", path});
    EXPECT_EQ(result.exitCode, 0u) << result.err;
    std::vector<std::string> names;
    const DigestTable expected = PatternDigests(102401);
    for (const Line& line : ParseLines(result.out)) {
        names.push_back(line.algorithm);
        const auto digest = expected.find(std::wstring(line.algorithm.begin(), line.algorithm.end()));
        ASSERT_NE(digest, expected.end()) << line.algorithm;
        EXPECT_EQ(line.digest, Lowercase(Narrow(digest->second))) << line.algorithm;
    }
    EXPECT_EQ(names, GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(
    Configurations, TallyraHashOfConfiguration,
    ::testing::Values(Catalogue{L"full",
                                {"Adler32", "BLAKE2b", "BLAKE2s", "BLAKE3", "CRC32", "CRC32C", "CRC64", "MD2", "MD4",
                                 "MD5", "RIPEMD-128", "RIPEMD-256", "RIPEMD-320", "SHA-1", "SHA-256", "SHA-384",
                                 "SHA-512", "SHA3-224", "SHA3-256", "SHA3-384", "SHA3-512", "Tiger", "Whirlpool",
                                 "XXH128", "XXH3", "XXH64"}},
                      Catalogue{L"reduced",
                                {"CRC32", "HAVAL", "MD5", "RIPEMD-128", "RIPEMD-256", "RIPEMD-320", "SHA-1",
                                 "SHA-512", "Tiger", "Whirlpool"}}),
    [](const ::testing::TestParamInfo<Catalogue>& info) { return Narrow(info.param.configuration); });

TEST(TallyraHash, AFileLockedByAnotherWriterIsReportedWithTheSystemsText)
{
    TempFolder folder;
    const std::wstring path = folder.Write(L"locked.bin", PatternBytes(10));
    win::UniqueFile writer(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    const ChildResult result = RunChild(Tool(), {L"--algo", L"md5", path});
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_TRUE(result.out.empty()) << result.out;
    EXPECT_NE(result.err.find(Utf8(path) + ": "), std::string::npos) << result.err;
    EXPECT_GT(result.err.size(), Utf8(path).size() + 20) << "no error text: " << result.err;
}

TEST(TallyraHash, UsageErrorsExitWithTwoAndHelpWithZero)
{
    const ChildResult unknown = RunChild(Tool(), {L"--algo", L"SHA-3", L"x"});
    EXPECT_EQ(unknown.exitCode, 2u);
    EXPECT_NE(unknown.err.find("RIPEMD-320"), std::string::npos);
    EXPECT_TRUE(unknown.out.empty());

    EXPECT_EQ(RunChild(Tool(), {L"--all"}).exitCode, 2u);
    const ChildResult help = RunChild(Tool(), {L"--help"});
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_NE(help.out.find("--algo NAME"), std::string::npos);
}

TEST(TallyraHash, NonAsciiPathsArePrintedAsUtf8)
{
    TempFolder folder;
    const std::wstring path = folder.Write(L"文件检验.bin", PatternBytes(0));
    const ChildResult result = RunChild(Tool(), {L"--algo", L"CRC32", path});
    EXPECT_EQ(result.exitCode, 0u) << result.err;
    EXPECT_EQ(result.out, "CRC32\t00000000\t" + Utf8(path) + "\n");
}
