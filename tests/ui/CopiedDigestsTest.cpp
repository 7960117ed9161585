// Digests a copied text holds, looked for among files' digests: whole runs of
// hex digits only, any case, within the clipboard's bound, the newest text
// alone.
#include "ui/ClipboardText.h"
#include "ui/CopiedDigests.h"

#include <gtest/gtest.h>

namespace {

// CRC-32 of "123456789", SHA-1 of "abc" (published vectors).
const std::wstring kCrc = L"CBF43926";
const std::wstring kSha1 = L"A9993E364706816ABA3E25717850C26C9CD0D89D";
const std::wstring kSha1Lower = L"a9993e364706816aba3e25717850c26c9cd0d89d";

std::wstring Held(const std::wstring& text, const std::vector<std::wstring>& digests)
{
    CopiedDigests copied;
    copied.LookFor(text);
    return copied.FirstHeld(digests);
}

}  // namespace

TEST(CopiedDigestsTest, OnlyAWholeRunOfHexDigitsIsADigest)
{
    const struct {
        const char* what;
        std::wstring text;
        std::vector<std::wstring> digests;
        std::wstring held;
    } cases[] = {
        {"alone, lowercase", kSha1Lower, {kSha1}, kSha1},
        {"a sum line", kSha1Lower + L" *abc.txt\r\n", {kCrc, kSha1Lower}, kSha1},
        {"between other characters", L"sha1=" + kSha1 + L",crc:0x" + kCrc, {kCrc, kSha1}, kCrc},
        {"the first digest listed wins", kCrc + L" " + kSha1, {kSha1, kCrc}, kSha1},
        {"within a longer run", L"0" + kCrc + L" " + kSha1 + L"f", {kCrc, kSha1}, L""},
        {"NULs and a lone surrogate around it", std::wstring(L"\0\xD800", 2) + kCrc + std::wstring(1, L'\0'), {kCrc}, kCrc},
        {"shorter than any digest", L"1234567", {L"1234567"}, L""},
        {"longer than any digest", std::wstring(129, L'a'), {std::wstring(129, L'a')}, L""},
        {"not in the text", kCrc, {kSha1}, L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Held(c.text, c.digests), c.held) << c.what;
}

TEST(CopiedDigestsTest, TheNewestTextAloneCountsAndOnlyWithinTheClipboardsBound)
{
    CopiedDigests copied;
    copied.LookFor(kCrc);
    copied.LookFor(L"no digest here");
    EXPECT_TRUE(copied.Empty());
    EXPECT_EQ(copied.FirstHeld({kCrc}), L"");

    std::wstring huge(kMaxClipboardTextLength - kCrc.size() - 1, L'-');
    huge += L" " + kCrc + L" " + kSha1;  // the SHA-1 lies beyond the bound
    copied.LookFor(huge);
    EXPECT_EQ(copied.FirstHeld({kSha1, kCrc}), kCrc);
    EXPECT_EQ(copied.FirstHeld({kSha1}), L"");
}
