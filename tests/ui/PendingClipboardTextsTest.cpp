// Finding a digest in the texts copied while the file was being hashed: the
// winner rules, the bounds on what is kept, hostile texts, and generated
// texts against a naive search written here.
#include "ui/PendingClipboardTexts.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// CRC-32 of "123456789", SHA-1 of "abc" (published vectors).
const std::wstring kCrc = L"cbf43926";
const std::wstring kSha1 = L"a9993e364706816aba3e25717850c26c9cd0d89d";

std::wstring Upper(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - 0x20);
    }
    return text;
}

std::wstring FindIn(const std::vector<std::wstring>& texts, const std::vector<std::wstring>& digests)
{
    PendingClipboardTexts pending;
    for (const std::wstring& text : texts)
        pending.Add(text);
    return pending.FindDigest(digests);
}

// The rule as plainly as it can be said, on texts within the bounds.
std::wstring NaiveFind(const std::vector<std::wstring>& texts, const std::vector<std::wstring>& digests)
{
    std::wstring result;
    for (const std::wstring& text : texts) {
        for (const std::wstring& digest : digests) {
            if (!digest.empty() && Upper(text).find(Upper(digest)) != std::wstring::npos) {
                result = Upper(digest);
                break;
            }
        }
    }
    return result;
}

struct WinnerCase {
    const char* what;
    std::vector<std::wstring> texts;
    std::vector<std::wstring> digests;
    std::wstring found;
};

const WinnerCase kWinners[] = {
    {"first in list order within a text", {L"SHA1 " + kSha1 + L" CRC " + kCrc}, {kCrc, kSha1}, Upper(kCrc)},
    {"the newest text holding one", {kCrc, L"none", Upper(kSha1), L"nor here"}, {kCrc, kSha1}, Upper(kSha1)},
    {"lowercase found, uppercase returned", {L"crc=" + kCrc + L";"}, {Upper(kCrc)}, Upper(kCrc)},
    {"inside a longer run of hex digits", {L"00" + Upper(kCrc) + L"ff"}, {kCrc}, Upper(kCrc)},
    {"nothing held", {L"", L"cbf4392", L"c b f 4 3 9 2 6"}, {kCrc, kSha1}, L""},
    {"cut by a NUL", {std::wstring(L"cbf4\0" L"3926", 9)}, {kCrc}, L""},
    {"empty digests never found", {L"anything"}, {L"", kCrc}, L""},
    {"no texts", {}, {kCrc}, L""},
};

// Random mixes of what a clipboard may hold, with the digests in it now and
// then, whole or nearly.
class TextGenerator {
public:
    explicit TextGenerator(std::uint32_t seed) : random(seed) {}

    std::vector<std::wstring> Digests()
    {
        static const std::size_t lengths[] = {8, 32, 40, 64, 128};
        std::vector<std::wstring> digests(Below(4) + 1);
        for (std::size_t i = 0; i < digests.size(); ++i) {
            if (i > 0 && Below(4) == 0) {
                const std::wstring& earlier = digests[Below(i)];
                digests[i] = earlier.substr(Below(earlier.size() / 2), earlier.size() / 2);  // inside another
            } else {
                digests[i] = Hex(lengths[Below(5)]);
            }
        }
        return digests;
    }

    std::wstring Text(const std::vector<std::wstring>& digests)
    {
        std::wstring text;
        for (std::size_t pieces = Below(12); pieces > 0; --pieces) {
            switch (Below(7)) {
            case 0: text += Hex(Below(80)); break;
            case 1: text += L"xyz .:-\r\n"[Below(9)]; break;
            case 2: text += L'\0'; break;
            case 3: text += static_cast<wchar_t>(0xD800 + Below(0x800)); break;  // lone surrogate
            case 4: text += static_cast<wchar_t>(0xFF21 + Below(6)); break;      // full-width A-F
            case 5: text += RandomCase(digests[Below(digests.size())]); break;
            default: {
                const std::wstring& digest = digests[Below(digests.size())];
                text += RandomCase(digest.substr(0, Below(digest.size())));  // nearly
            }
            }
        }
        return text;
    }

    std::size_t Below(std::size_t bound) { return bound == 0 ? 0 : random() % bound; }

private:
    std::wstring Hex(std::size_t length)
    {
        std::wstring hex(length, L'0');
        for (wchar_t& c : hex)
            c = L"0123456789abcdefABCDEF"[Below(22)];
        return hex;
    }
    std::wstring RandomCase(std::wstring text)
    {
        for (wchar_t& c : text)
            c = Below(2) ? Upper(std::wstring(1, c))[0] : c;
        return text;
    }

    std::mt19937 random;
};

}  // namespace

TEST(PendingClipboardTexts, WinnerRules)
{
    for (const WinnerCase& row : kWinners) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(FindIn(row.texts, row.digests), row.found);
    }
}

TEST(PendingClipboardTexts, OnlyTheNewestTextsAreKept)
{
    std::vector<std::wstring> texts(PendingClipboardTexts::kMaxTexts, L"plain");
    texts.front() = kCrc;
    EXPECT_EQ(FindIn(texts, {kCrc}), Upper(kCrc));
    texts.insert(texts.begin(), kSha1);
    EXPECT_EQ(FindIn(texts, {kSha1}), L"") << "the oldest text was kept";
    EXPECT_EQ(FindIn(texts, {kCrc}), Upper(kCrc));
}

TEST(PendingClipboardTexts, ATextIsSearchedUpToItsCap)
{
    const std::wstring within = std::wstring(kMaxClipboardTextLength - kCrc.size(), L'.') + kCrc;
    const std::wstring across = std::wstring(kMaxClipboardTextLength - kCrc.size() + 1, L'.') + kCrc;
    EXPECT_EQ(FindIn({within}, {kCrc}), Upper(kCrc));
    EXPECT_EQ(FindIn({across}, {kCrc}), L"");
}

// Megabytes of one digit, where a search that steps back would take time of
// the text's length times the digest's.
TEST(PendingClipboardTexts, MegabytesOfOneDigitGiveTheRightAnswer)
{
    const std::wstring nearly = std::wstring(63, L'A') + L"B";
    const std::wstring other = std::wstring(39, L'A') + L"C";
    std::wstring holding = std::wstring(kMaxClipboardTextLength - 64, L'a') + L"aaa" + std::wstring(60, L'A') + L"b";
    std::wstring hostile(kMaxClipboardTextLength + 1000, L'A');
    for (std::size_t i = 0; i < hostile.size(); i += 4099)
        hostile[i] = (i / 4099) % 2 ? L'\0' : static_cast<wchar_t>(0xDC00);
    EXPECT_EQ(FindIn({holding, hostile}, {other, nearly}), nearly);
    EXPECT_EQ(FindIn({hostile}, {other, nearly}), L"");
}

TEST(PendingClipboardTexts, GeneratedTextsAgreeWithANaiveSearch)
{
    TextGenerator generate(20240611);
    int found = 0;
    constexpr int kRounds = 3000;
    for (int round = 0; round < kRounds; ++round) {
        const std::vector<std::wstring> digests = generate.Digests();
        std::vector<std::wstring> texts(generate.Below(PendingClipboardTexts::kMaxTexts) + 1);
        for (std::wstring& text : texts)
            text = generate.Text(digests);
        const std::wstring expected = NaiveFind(texts, digests);
        ASSERT_EQ(FindIn(texts, digests), expected) << "round " << round;
        found += expected.empty() ? 0 : 1;
    }
    // Both answers must have been put to the test.
    EXPECT_GT(found, kRounds / 10);
    EXPECT_LT(found, kRounds * 9 / 10);
}
