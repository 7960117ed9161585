// tallyra-hash with many files and checksum files, end to end under Wine:
// what it writes, and how it checks sum files with every kind of bad input.
// (Files of the other tools, and ours read by them, and a link loop, which
// Wine cannot make from inside: tests/sums/.)
#include "ToolProcess.h"
#include "support/TestFiles.h"
#include "support/Text.h"
#include "win/LongPath.h"
#include "win/UniqueHandle.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string Lower(const std::wstring& digest)
{
    std::string text = Narrow(digest);
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Sha256Of(std::size_t size)
{
    return Lower(PatternDigests(size, {L"SHA-256"}).at(L"SHA-256"));
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The child starts in the folder; ours goes back afterwards, so that the
// folder can be removed (Windows keeps a process's current folder open).
class CurrentFolder {
public:
    explicit CurrentFolder(const std::wstring& folder)
    {
        wchar_t current[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, current);
        previous = current;
        ::SetCurrentDirectoryW(folder.c_str());
    }
    ~CurrentFolder() { ::SetCurrentDirectoryW(previous.c_str()); }

private:
    std::wstring previous;
};

}  // namespace

TEST(SumFiles, RecursiveRunsListFoldersInNameOrderWithForwardSlashesAndGoOnPastAnUnreadableFile)
{
    TempFolder folder;
    folder.MakeFolder(L"tree");
    folder.MakeFolder(L"tree\\sub");
    // Made out of order, so that the listing's own order shows.
    const std::wstring names[] = {L"q.bin", L"d.bin", L"x.bin", L"B.bin", L"k.bin", L"a.bin", L"t.bin", L"f.bin"};
    for (const std::wstring& name : names)
        folder.Write(L"tree\\" + name, PatternBytes(1));
    folder.Write(L"tree\\sub\\n\u00E9.bin", PatternBytes(0));
    const std::wstring locked = folder.Write(L"tree\\m.bin", PatternBytes(102401));
    win::UniqueFile writer(::CreateFileW(locked.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);

    const CurrentFolder inFolder(folder.Path());
    const ChildResult result = RunChild(Tool(), {L"-r", L"--format", L"gnu", L"--algo", L"sha-256", L".\\tree"});
    EXPECT_EQ(result.exitCode, 1u);
    std::string expected;
    for (const char* name : {"B", "a", "d", "f", "k", "q"})
        expected += Sha256Of(1) + "  ./tree/" + name + ".bin\n";
    expected += Sha256Of(0) + "  ./tree/sub/n\xC3\xA9.bin\n";
    for (const char* name : {"t", "x"})
        expected += Sha256Of(1) + "  ./tree/" + name + ".bin\n";
    EXPECT_EQ(result.out, expected);
    EXPECT_TRUE(Contains(result.err, "tallyra-hash: .\\tree\\m.bin: ")) << result.err;

    const ChildResult folderWithoutRecursing = RunChild(Tool(), {L"--algo", L"md5", L"tree"});
    EXPECT_EQ(folderWithoutRecursing.exitCode, 1u);
    EXPECT_TRUE(Contains(folderWithoutRecursing.err, "tree: Is a folder")) << folderWithoutRecursing.err;
}

TEST(SumFiles, PathsLongerThanMaxPathAreHashedListedAndChecked)
{
    TempFolder folder;
    std::wstring deep = L"long";
    folder.MakeFolder(deep);
    while (folder.Path().size() + deep.size() < 300) {
        deep += L"\\" + std::wstring(40, L'd');
        folder.MakeFolder(deep);
    }
    folder.Write(deep + L"\\f.bin", PatternBytes(1));
    std::string name = Utf8(deep + L"/f.bin");
    std::replace(name.begin(), name.end(), '\\', '/');
    const CurrentFolder inFolder(folder.Path());

    const ChildResult listed = RunChild(Tool(), {L"-r", L"--format", L"gnu", L"--algo", L"SHA-256", L"long"});
    EXPECT_EQ(listed.exitCode, 0u) << listed.err;
    EXPECT_EQ(listed.out, Sha256Of(1) + "  " + name + "\n");
    folder.Write(L"S.sha256", Bytes(listed.out));
    const ChildResult checked = RunChild(Tool(), {L"-c", L"S.sha256"});
    EXPECT_EQ(checked.exitCode, 0u) << checked.err;
    EXPECT_EQ(checked.out, name + ": OK\n");

    // Wine takes long paths without the prefix too; Windows needs it.
    const std::wstring full = folder.Path() + L"\\" + deep + L"\\f.bin";
    EXPECT_EQ(ExtendedLengthPath(deep + L"/f.bin"), L"\\\\?\\" + full);
    EXPECT_EQ(ExtendedLengthPath(L"short.bin"), L"short.bin");
    const std::wstring share = L"\\\\server\\share\\" + std::wstring(300, L'x');
    EXPECT_EQ(ExtendedLengthPath(share), L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'x'));
}

TEST(SumFiles, FormatsWriteLowercaseBsdLinesPerAlgorithmUppercaseSfvAndCrlfOnRequest)
{
    TempFolder folder;
    const CurrentFolder inFolder(folder.Path());
    folder.Write(L"one", PatternBytes(1));
    const std::string md5 = Lower(PatternDigests(1, {L"MD5"}).at(L"MD5"));
    const std::string crc = Narrow(PatternDigests(1, {L"CRC32"}).at(L"CRC32"));

    const ChildResult bsd = RunChild(Tool(), {L"--format=bsd", L"--algo", L"SHA-256", L"--algo", L"md5", L"--crlf", L"one"});
    EXPECT_EQ(bsd.exitCode, 0u) << bsd.err;
    EXPECT_EQ(bsd.out, "MD5 (one) = " + md5 + "\r\nSHA256 (one) = " + Sha256Of(1) + "\r\n");
    const ChildResult sfv = RunChild(Tool(), {L"--format", L"sfv", L"one"});
    EXPECT_EQ(sfv.out, "one " + crc + "\n");

    for (const std::vector<std::wstring>& usage :
         {std::vector<std::wstring>{L"--format", L"gnu", L"--algo", L"md5", L"--algo", L"sha-1", L"one"},
          {L"--format", L"sfv", L"--algo", L"md5", L"one"},
          {L"--format", L"xml", L"one"},
          {L"-c"},
          {L"--strict", L"one"}}) {
        const ChildResult result = RunChild(Tool(), usage);
        EXPECT_EQ(result.exitCode, 2u) << Narrow(usage[1]) << ": " << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}

// Each row: a sum file beside a file "f" (PatternBytes(1)) and a folder
// "sub"; the tool's exit code, its whole stdout and parts of its stderr.
struct CheckCase {
    const char* what;
    std::wstring sumFile;
    std::string content;
    std::vector<std::wstring> options;
    unsigned long exitCode;
    std::string out;
    std::vector<std::string> err;
};

TEST(SumFiles, CheckingReportsEveryKindOfBadInputAsSha256sumDoes)
{
    const std::string good = Sha256Of(1) + "  f\n";
    const std::string wrong = Sha256Of(0) + "  f\n";
    std::string utf16 = "\xFF\xFE";
    for (const char c : "SHA256 (f) = " + Sha256Of(1) + "\r\n")
        utf16 += c, utf16 += '\0';
    std::string manyMalformed;
    for (int i = 0; i < 1000000; ++i)
        manyMalformed += "x\n";
    const CheckCase cases[] = {
        {"all good", L"S.sha256", good, {}, 0, "f: OK\n", {}},
        {"quiet", L"S.sha256", good, {L"--quiet"}, 0, "", {}},
        {"malformed lines are counted and skipped", L"S.sha256", "garbage\n" + good + "SHA256 (f) = abcd\n", {}, 0,
         "f: OK\n", {"WARNING: 2 lines are improperly formatted"}},
        {"strict fails them", L"S.sha256", "garbage\n" + good, {L"--strict"}, 1, "f: OK\n",
         {"WARNING: 1 line is improperly formatted"}},
        {"warn names them", L"S.sha256", good + "garbage\n", {L"-w"}, 0, "f: OK\n",
         {"S.sha256: 2: improperly formatted checksum line"}},
        {"a mismatch", L"S.sha256", wrong, {}, 1, "f: FAILED\n", {"WARNING: 1 computed checksum did NOT match"}},
        {"status says nothing", L"S.sha256", wrong, {L"--status"}, 1, "", {}},
        {"a missing file", L"S.sha256", good + Sha256Of(1) + "  gone\n", {}, 1,
         "f: OK\ngone: FAILED open or read\n", {"gone: ", "WARNING: 1 listed file could not be read"}},
        {"ignore missing", L"S.sha256", Sha256Of(1) + "  gone\n" + good, {L"--ignore-missing"}, 0, "f: OK\n", {}},
        {"nothing verified", L"S.sha256", Sha256Of(1) + "  gone\n", {L"--ignore-missing"}, 1, "",
         {"S.sha256: no file was verified"}},
        {"a folder listed as a file", L"S.sha256", Sha256Of(1) + "  sub\n", {}, 1, "sub: FAILED open or read\n",
         {"sub: Is a folder"}},
        {"names with .. are checked as given", L"S.sha256", Sha256Of(1) + "  sub/../f\n", {}, 0, "sub/../f: OK\n", {}},
        {"an unknown tag", L"S.txt", "RMD160 (f) = " + std::string(40, 'a') + "\n", {}, 1, "",
         {"S.txt: 1: unsupported algorithm RMD160 for f", "WARNING: 1 line names an algorithm that could not be used"}},
        {"an ambiguous length", L"S.txt", good, {}, 1, "", {"S.txt: 1: ambiguous digest of 64 digits"}},
        {"--algo settles it", L"S.txt", good, {L"--algo", L"SHA-256"}, 0, "f: OK\n", {}},
        {"UTF-16 with CRLF", L"S.txt", utf16, {}, 0, "f: OK\n", {}},
        {"not text", L"S.md5", std::string("\x00\x01\x02\xFF\xFE", 5), {}, 1, "",
         {"S.md5: no properly formatted checksum lines found"}},
        {"empty", L"S.sha256", "", {}, 1, "", {"S.sha256: no properly formatted checksum lines found"}},
        {"a million lines", L"S.sha256", manyMalformed + good, {}, 0, "f: OK\n",
         {"WARNING: 1000000 lines are improperly formatted"}},
        {"no such sum file", L"missing.sha256", "", {}, 1, "", {"missing.sha256: "}},
    };
    TempFolder folder;
    folder.Write(L"f", PatternBytes(1));
    folder.MakeFolder(L"sub");
    const CurrentFolder inFolder(folder.Path());
    for (const CheckCase& c : cases) {
        const std::wstring sumFile = folder.Path() + L"\\" + c.sumFile;
        if (c.sumFile != L"missing.sha256")
            folder.Write(c.sumFile, Bytes(c.content));
        std::vector<std::wstring> arguments = c.options;
        arguments.insert(arguments.end(), {L"-c", sumFile});
        const ChildResult result = RunChild(Tool(), arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what << ": " << result.err;
        EXPECT_EQ(result.out, c.out) << c.what;
        for (const std::string& part : c.err)
            EXPECT_TRUE(Contains(result.err, part)) << c.what << ": no '" << part << "' in: " << result.err;
        if (c.err.empty()) {
            EXPECT_TRUE(result.err.empty()) << c.what << ": " << result.err;
        }
        ::DeleteFileW(sumFile.c_str());
    }
}

TEST(SumFiles, ALockedListedFileFailsOpenOrReadAndNamesWithPathsResolveBesideTheSumFile)
{
    TempFolder folder;
    const std::wstring locked = folder.Write(L"f", PatternBytes(1));
    const std::wstring absolute = folder.Write(L"g", PatternBytes(1));
    folder.Write(L"S.sha256", Bytes(Sha256Of(1) + "  f\n" + Sha256Of(1) + "  " + Utf8(absolute) + "\n"));
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const CurrentFolder inTemp(temp);  // not the sum file's folder
    win::UniqueFile writer(::CreateFileW(locked.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    const ChildResult result = RunChild(Tool(), {L"--check", folder.Path() + L"\\S.sha256"});
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_EQ(result.out, "f: FAILED open or read\n" + Utf8(absolute) + ": OK\n");
    EXPECT_TRUE(Contains(result.err, "WARNING: 1 listed file could not be read")) << result.err;
}
