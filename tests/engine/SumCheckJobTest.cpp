// A checksum file's check without a window: every kind of line, hostile ones
// among them, as one table; and a stop.
#include "engine/SumCheckJob.h"
#include "support/Digests.h"
#include "support/FileSeam.h"
#include "support/TestFiles.h"
#include "support/Text.h"
#include "win/UniqueHandle.h"

#include <algorithm>
#include <cctype>

namespace {

class NoReport final : public IFileListReport {
public:
    void RowsListed() override {}
    void RowFinished(std::size_t) override {}
    void RunEnded() override { ++ended; }
    std::atomic<int> ended{0};
};

std::string Lower(const std::wstring& digest)
{
    std::string text(digest.begin(), digest.end());
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

struct Line {
    std::string text;
    SumCheckResult result;
};

}  // namespace

TEST(SumCheckJob, EveryLineGetsItsResultAndHostileLinesAreNotUnderstood)
{
    FixedSettings settings;  // the check needs no algorithm enabled
    BoundSettings bound(settings);
    TempFolder folder;
    folder.MakeFolder(L"sums");
    folder.MakeFolder(L"sums\\sub");
    folder.Write(L"sums\\a.bin", PatternBytes(102401));
    folder.Write(L"sums\\sub\\b.bin", PatternBytes(1));
    folder.Write(L"outside.bin", PatternBytes(0));
    const std::string a = Lower(PatternDigests(102401, {L"SHA-256"}).at(L"SHA-256"));
    const std::string b = Lower(PatternDigests(1, {L"SHA-256"}).at(L"SHA-256"));
    const std::string empty = Lower(PatternDigests(0, {L"SHA-256"}).at(L"SHA-256"));
    const std::string md5 = Lower(PatternDigests(102401, {L"MD5"}).at(L"MD5"));
    std::string altered = a;
    altered[0] = altered[0] == '0' ? '1' : '0';

    const std::vector<Line> lines = {
        {a + "  a.bin", SumCheckResult::Matches},
        {a + " *a.bin", SumCheckResult::Matches},
        {altered + "  a.bin", SumCheckResult::DoesNotMatch},
        {b + "  sub/b.bin", SumCheckResult::Matches},
        {b + "  sub\\b.bin", SumCheckResult::Matches},
        {"SHA256 (sub/b.bin) = " + b, SumCheckResult::Matches},
        {"MD5 (a.bin) = " + md5, SumCheckResult::Matches},
        {empty + "  ../outside.bin", SumCheckResult::Matches},  // outside the folder: checked as given
        {a + "  gone.bin", SumCheckResult::Missing},
        {a + "  no/such/folder.bin", SumCheckResult::Missing},
        {a + "  sub", SumCheckResult::Unreadable},  // a folder
        {md5 + "  a.bin", SumCheckResult::NotUnderstood},  // untagged, and not SHA-256's length
        {"WHATEVER (a.bin) = " + a, SumCheckResult::NotUnderstood},
        {"not a checksum line", SumCheckResult::NotUnderstood},
        {a + "  " + std::string(300 * 1024, 'n'), SumCheckResult::NotUnderstood},  // longer than a line may be
        {a + "  " + std::string(kLongestSumName + 1, 'n'), SumCheckResult::NotUnderstood},  // longer than any path
        {"WHATEVER (" + std::string(kLongestSumName, 'n') + ") = " + a, SumCheckResult::NotUnderstood},
        {a + "  a" + std::string(1, '\0') + ".bin", SumCheckResult::NotUnderstood},
        {a + "  \xff\xfe.bin", SumCheckResult::NotUnderstood},  // not UTF-8
        {a + "  \xed\xa0\x80.bin", SumCheckResult::NotUnderstood},  // a surrogate in UTF-8
    };
    std::string text = "# a comment, ignored\n\n";
    for (const Line& line : lines)
        text += line.text + "\r\n";
    const std::wstring sumFile = folder.Write(L"sums\\SHA256SUMS", Bytes(text));

    auto report = std::make_shared<NoReport>();
    SumCheckJobPtr job = SumCheckJob::Create(sumFile, report);
    win::UniqueFile thread(job->Start());
    ASSERT_TRUE(thread);
    ASSERT_EQ(::WaitForSingleObject(thread.get(), 30000), WAIT_OBJECT_0);
    EXPECT_TRUE(job->Ended());
    EXPECT_FALSE(job->ReadFailed());
    EXPECT_EQ(report->ended.load(), 1);
    EXPECT_EQ(job->BytesRead(), text.size());
    ASSERT_EQ(job->RowCount(), lines.size());
    std::array<std::uint64_t, static_cast<std::size_t>(SumCheckResult::kCount)> counts{};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i].text.substr(0, 100));
        EXPECT_EQ(job->Row(i).result, lines[i].result);
        EXPECT_EQ(job->Row(i).line, i + 3);
        if (lines[i].result == SumCheckResult::NotUnderstood) {
            EXPECT_LE(job->Row(i).name.size(), kNotUnderstoodTextLimit);  // what is kept of it
        }
        ++counts[static_cast<std::size_t>(lines[i].result)];
    }
    EXPECT_EQ(job->Counts(), counts);
    EXPECT_EQ(job->Row(3).name, L"sub/b.bin");
    EXPECT_EQ(job->Start(), nullptr);  // one check a job
}

// Untagged lines in a file whose name says no algorithm: a digest's length
// that several algorithms share is checked against each of them at once.
TEST(SumCheckJob, AnAmbiguousLineIsCheckedAgainstEveryAlgorithmOfItsLength)
{
    FixedSettings settings;
    BoundSettings bound(settings);
    TempFolder folder;
    folder.Write(L"a.bin", PatternBytes(102401));
    const DigestTable digests = PatternDigests(102401, {L"SHA-256", L"BLAKE3", L"MD5"});
    std::string altered = Lower(digests.at(L"SHA-256"));
    altered[0] = altered[0] == '0' ? '1' : '0';
    const struct {
        std::string digest;
        SumCheckResult result;
        const wchar_t* algorithm;
    } lines[] = {
        {Lower(digests.at(L"SHA-256")), SumCheckResult::Matches, L"SHA-256"},
        {Lower(digests.at(L"BLAKE3")), SumCheckResult::Matches, L"BLAKE3"},
        {Lower(digests.at(L"MD5")), SumCheckResult::Matches, L"MD5"},
        {altered, SumCheckResult::DoesNotMatch, nullptr},
    };
    std::string text;
    for (const auto& line : lines)
        text += line.digest + "  a.bin\n";
    SumCheckJobPtr job = SumCheckJob::Create(folder.Write(L"checksums.txt", Bytes(text)), std::make_shared<NoReport>());
    win::UniqueFile thread(job->Start());
    ASSERT_TRUE(thread);
    ASSERT_EQ(::WaitForSingleObject(thread.get(), 30000), WAIT_OBJECT_0);
    ASSERT_EQ(job->RowCount(), std::size(lines));
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        const SumCheckRow row = job->Row(i);
        EXPECT_EQ(row.result, lines[i].result) << i;
        if (lines[i].algorithm != nullptr) {
            EXPECT_EQ(SumRowAlgorithmText(row), lines[i].algorithm) << i;
        }
    }
    const std::wstring checked = SumRowAlgorithmText(job->Row(3));
    EXPECT_EQ(checked.find(L"SHA-256/"), 0u) << Utf8(checked);  // the common one first
    EXPECT_NE(checked.find(L"BLAKE3"), std::wstring::npos) << Utf8(checked);
}

TEST(SumCheckJob, AStopEndsTheCheckWithinAFileAndLeavesTheRestWaiting)
{
    FixedSettings settings;
    BoundSettings bound(settings);
    TempFolder folder;
    folder.Write(L"big.bin", PatternBytes(307200));
    const std::string digest = Lower(PatternDigests(307200, {L"SHA-256"}).at(L"SHA-256"));
    const std::wstring sumFile = folder.Write(L"list.sha256", Bytes(digest + "  big.bin\n" + digest + "  big.bin\n"));
    FileSeam seam;
    seam.Close();
    auto report = std::make_shared<NoReport>();
    SumCheckJobPtr job = SumCheckJob::Create(sumFile, report);
    job->SetSystemCallsForTesting(FileSeam::Calls());
    win::UniqueFile thread(job->Start());
    ASSERT_TRUE(thread);
    ASSERT_TRUE(seam.WaitUntilHeld(0));
    job->Stop();
    seam.Open();
    ASSERT_EQ(::WaitForSingleObject(thread.get(), 30000), WAIT_OBJECT_0);
    EXPECT_EQ(report->ended.load(), 1);
    ASSERT_EQ(job->RowCount(), 1u);
    EXPECT_EQ(job->Row(0).result, SumCheckResult::Waiting);
    EXPECT_EQ(seam.Reads(), 1);
}
