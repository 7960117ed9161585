// Which files get the checksum file's page: by name, or by their first bytes
// holding checksum lines of a known algorithm and nothing else.
#include "engine/SumFileDetection.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

// SHA-1 and SHA-256 of "abc" (published vectors).
const std::string kSha1 = "a9993e364706816aba3e25717850c26c9cd0d89d";
const std::string kSha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

std::string Utf16WithMark(const std::string& ascii)
{
    std::string bytes = "\xFF\xFE";
    for (char c : ascii)
        bytes += std::string{c, '\0'};
    return bytes;
}

}  // namespace

TEST(SumFileDetectionTest, OnlyChecksumLinesOfAKnownAlgorithmMakeASumText)
{
    const struct {
        const char* what;
        std::string text;
        bool whole;
        bool sumText;
    } cases[] = {
        {"a gnu line of SHA-1's length", kSha1 + "  abc.txt\n", true, true},
        {"a bsd line after a comment and a blank line", "# release\n\nSHA256 (a.iso) = " + kSha256 + "\r\n", true, true},
        {"UTF-16 with a mark", Utf16WithMark("SHA256 (a.iso) = " + kSha256 + "\r\n"), true, true},
        {"gnu lines whose length several algorithms have", kSha256 + "  a.iso\n" + kSha256 + " *b.iso\n", true, true},
        {"a tag no algorithm has", "RMD160 (a.iso) = " + kSha1 + "\n", true, false},
        {"prose", "Release notes\nVersion 2 fixes the installer.\n", true, false},
        {"a checksum line, then prose", kSha1 + "  abc.txt\nThanks for downloading!\n", true, false},
        {"a name and eight hex digits", "build 20261209\n", true, false},
        {"a NUL", kSha1 + "  abc.txt\n" + std::string("MZ\0\0", 4), true, false},
        {"nothing", "", true, false},
        {"a cut last line is not looked at", kSha1 + "  abc.txt\nSHA256 (b.is", false, true},
        {"unless the file ended there", kSha1 + "  abc.txt\nSHA256 (b.is", true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LooksLikeSumText(c.text, c.whole), c.sumText) << c.what;
}

TEST(SumFileDetectionTest, AFileIsASumFileByItsNameOrByItsFirstBytes)
{
    TempFolder folder;
    std::string long_text;
    while (long_text.size() <= kSumFileSampleBytes)
        long_text += "SHA1 (file " + std::to_string(long_text.size()) + ") = " + kSha1 + "\n";
    const struct {
        std::wstring path;
        bool sumFile;
    } cases[] = {
        {folder.Write(L"SHA256SUMS", {}), true},
        {folder.Write(L"empty.sha1", {}), true},
        {folder.Write(L"notes.txt", Bytes("SHA1 (abc.txt) = " + kSha1 + "\n")), true},
        {folder.Write(L"long.txt", Bytes(long_text)), true},
        {folder.Write(L"prose.txt", Bytes("Version 2 fixes the installer.\n")), false},
        {folder.MakeFolder(L"listing"), false},
        {folder.Path() + L"\\missing.txt", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSumFile(c.path), c.sumFile) << std::string(c.path.begin(), c.path.end());
}
