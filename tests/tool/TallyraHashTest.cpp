// tallyra-hash end to end: a real process under Wine, real files. Expected
// digests were computed independently (Python's zlib and hashlib, RHash,
// PyCryptodome) over the same PatternBytes contents.
#include "support/ChildProcess.h"
#include "support/TestFiles.h"
#include "win/UniqueHandle.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

struct Expected {
    size_t size;
    std::map<std::string, std::string> digests;
};

const Expected kFiles[] = {
    {0,
     {{"CRC32", "00000000"},
      {"Adler32", "00000001"},
      {"MD5", "D41D8CD98F00B204E9800998ECF8427E"},
      {"SHA-1", "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
      {"SHA-256", "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855"}}},
    {1,
     {{"CRC32", "4C667A2E"},
      {"Adler32", "00080008"},
      {"MD5", "89E74E640B8C46257A29DE0616794D5D"},
      {"SHA-1", "5D1BE7E9DDA1EE8896BE5B7E34A85EE16452A7B4"},
      {"SHA-256", "CA358758F6D27E6CF45272937977A748FD88391DB679CEDA7DC7BF1F005EE879"}}},
    {102400,
     {{"CRC32", "4DDF93CF"},
      {"Adler32", "52ED43AA"},
      {"MD5", "17FCB0D8C5FD5F15B8291F0A446B02EE"},
      {"SHA-1", "94F76A15BD829714F8765E002D6C16FD4C6684F8"},
      {"SHA-256", "CACAF444FC2FD92A0BCF464842A0C674ECCDD05EDA7155B1E451611B358A9BDB"}}},
    {102401,
     {{"CRC32", "D24F301E"},
      {"Adler32", "97664479"},
      {"MD5", "E3D44B6B393C9F729AA6C530606640FB"},
      {"SHA-1", "B2240BD6B8F10BAC85CFFE79F9A7C5BC3AD0A2FB"},
      {"SHA-256", "B44AB4312B17BC493382602FED2F8D3F7FA93004EEBB2DD4BF5F1AB1CF3392D3"},
      {"MD2", "FA2B3BC67190404DE77168CC0A45C57A"},
      {"MD4", "D6F42008065F0633C26D2113AFBB3956"},
      {"Tiger", "F47EC548FC7CF865956E30EB5EE55B4084E32CA16E78CA89"}}},
    {3 * 1024 * 1024 + 5,
     {{"CRC32", "54401C7A"},
      {"Adler32", "1DAE6801"},
      {"MD5", "6816386FF5017D753C13F4A9F13BA88F"},
      {"SHA-1", "DCDE4472B357F701A6BDF4B3B1457F5C8D9471CC"},
      {"SHA-256", "E7CAEA4C4C1C8F5EE362AE49543107D71D519FE3D26BAEA0AD6A80A86219A9F9"},
      {"MD2", "3C45644D0B7354D4E40CB3ED597E0AE9"},
      {"MD4", "79068BFCD3D95DAB8F738074D4B0F703"},
      {"Tiger", "471BE85A71851FFE606D507685E04E952889BA8598964513"},
      {"Whirlpool",
       "86B7FF4B6526E9AA9EA873D19349A7A30739A91FC77DEFF3B047945814FBDEE2E1D1DCC473E21C31CA400BCE6E6610A165EFACF3134ED61AD379431BAAC98155"}}},
};

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

std::string Utf8(const std::wstring& text)
{
    std::string utf8(text.size() * 3 + 1, '\0');
    utf8.resize(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                          utf8.data(), static_cast<int>(utf8.size()), nullptr,
                                                          nullptr)));
    return utf8;
}

std::wstring Tool()
{
    return BesideThisProgram(L"tallyra-hash.exe");
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
    std::vector<std::wstring> paths;
    for (const Expected& file : kFiles) {
        paths.push_back(folder.Write(L"f" + std::to_wstring(file.size) + L".bin", PatternBytes(file.size)));
        arguments.push_back(paths.back());
        if (file.size == 1) {
            paths.push_back(folder.Path() + L"\\missing.bin");
            arguments.push_back(paths.back());
        }
    }

    const ChildResult result = RunChild(Tool(), arguments);
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_NE(result.err.find(Utf8(folder.Path() + L"\\missing.bin")), std::string::npos) << result.err;

    const std::vector<Line> lines = ParseLines(result.out);
    const std::vector<std::string> order = {"Adler32", "CRC32", "MD2",     "MD4",      "MD5",
                                            "SHA-1",   "SHA-256", "Tiger", "Whirlpool"};
    ASSERT_EQ(lines.size(), order.size() * 5) << result.out;
    size_t line = 0;
    for (const Expected& file : kFiles) {
        const std::string path = Utf8(folder.Path() + L"\\f" + std::to_wstring(file.size) + L".bin");
        for (const std::string& algorithm : order) {
            EXPECT_EQ(lines[line].algorithm, algorithm);
            EXPECT_EQ(lines[line].path, path);
            const auto expected = file.digests.find(algorithm);
            if (expected != file.digests.end()) {
                EXPECT_EQ(lines[line].digest, expected->second) << algorithm << " of " << file.size << " bytes";
            }
            ++line;
        }
    }
}

TEST(TallyraHash, LowerWritesLowercaseAndAllGivesTheWholeCatalogue)
{
    TempFolder folder;
    const std::wstring path = folder.Write(L"one.bin", PatternBytes(102401));
    const ChildResult result = RunChild(Tool(), {L"--all", L"--lower", path});
    EXPECT_EQ(result.exitCode, 0u) << result.err;
    const std::vector<Line> lines = ParseLines(result.out);
    ASSERT_EQ(lines.size(), 14u);
    for (const Line& line : lines) {
        const auto expected = kFiles[3].digests.find(line.algorithm);
        if (expected != kFiles[3].digests.end()) {
            EXPECT_EQ(line.digest, Lowercase(expected->second));
        }
        EXPECT_EQ(line.digest, Lowercase(line.digest));
    }
}

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
