// Reading CF_UNICODETEXT: blocks without a terminator, with NULs inside,
// larger than the cap; then the real clipboard with text and without.
#include "support/Clipboard.h"
#include "ui/ClipboardText.h"

#include <gtest/gtest.h>

namespace {

struct BlockCase {
    const char* what;
    std::wstring characters;  // exactly what the block holds
    std::size_t extraBytes;   // an odd byte after them
    std::wstring read;
};

const BlockCase kBlocks[] = {
    {"no terminator", L"CBF43926", 0, L"CBF43926"},
    {"half a character after the text", L"CBF43926", 1, L"CBF43926"},
    {"a terminator", std::wstring(L"cbf43926\0", 9), 0, L"cbf43926"},
    {"a NUL inside", std::wstring(L"CBF4\0" L"3926\0", 10), 0, L"CBF4"},
    {"a NUL first", std::wstring(L"\0CBF43926", 9), 0, L""},
    {"a lone surrogate", L"AB\xDC00" L"CD", 0, L"AB\xDC00" L"CD"},
    {"one character", L"x", 0, L"x"},
};

win::UniqueGlobal BlockOf(const BlockCase& row)
{
    std::string bytes(reinterpret_cast<const char*>(row.characters.data()), row.characters.size() * sizeof(wchar_t));
    bytes.append(row.extraBytes, 'Z');
    return MakeBlock(bytes.data(), bytes.size());
}

}  // namespace

TEST(ClipboardText, BlocksAreReadWithinTheirSizeUpToTheFirstNul)
{
    for (const BlockCase& row : kBlocks) {
        SCOPED_TRACE(row.what);
        const win::UniqueGlobal block = BlockOf(row);
        ASSERT_TRUE(block);
        EXPECT_EQ(ReadUnicodeTextBlock(block.get()), row.read);
    }
    EXPECT_EQ(ReadUnicodeTextBlock(nullptr), L"");
}

TEST(ClipboardText, AHugeBlockIsCutAtTheCap)
{
    std::wstring huge(kMaxClipboardTextLength + 4096, L'7');
    huge[kMaxClipboardTextLength - 1] = L'F';
    const win::UniqueGlobal block = MakeTextBlock(huge);
    huge.resize(kMaxClipboardTextLength);
    EXPECT_EQ(ReadUnicodeTextBlock(block.get()), huge);
}

TEST(ClipboardText, TheRealClipboardsText)
{
    for (const BlockCase& row : kBlocks) {
        if (row.characters.empty() || row.characters.back() != L'\0')
            continue;  // Wine writes a terminator over the last character
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(PutOnClipboard(CF_UNICODETEXT, BlockOf(row)));
        EXPECT_EQ(ReadClipboardText(), row.read);
    }
    // Without a terminator: all of it, or all but the last character where
    // the system made room for one (Wine does).
    ASSERT_TRUE(PutOnClipboard(CF_UNICODETEXT, MakeTextBlock(L"CBF43926")));
    const std::wstring read = ReadClipboardText();
    EXPECT_TRUE(read == L"CBF43926" || read == L"CBF4392") << ::testing::PrintToString(read);
}

TEST(ClipboardText, NothingWithoutText)
{
    ASSERT_TRUE(PutOnClipboard(CF_UNICODETEXT, MakeTextBlock(std::wstring(L"CBF43926\0", 9))));
    ASSERT_TRUE(EmptyTheClipboard());
    EXPECT_EQ(ReadClipboardText(), L"");

    const char bytes[] = "CBF43926";
    ASSERT_TRUE(PutOnClipboard(::RegisterClipboardFormatW(L"Tallyra test bytes"), MakeBlock(bytes, sizeof(bytes))));
    EXPECT_EQ(ReadClipboardText(), L"");
}
