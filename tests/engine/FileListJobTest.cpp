// The many-files job without a window: real files and folders, a real
// worker, the reads through the test's seam where a case steers them.
#include "engine/FileListJob.h"
#include "support/Digests.h"
#include "support/FileSeam.h"
#include "support/HostTool.h"
#include "support/TestFiles.h"
#include "support/Text.h"
#include "win/UniqueHandle.h"

#include <atomic>

namespace {

const std::vector<std::wstring> kThree = {L"CRC32", L"MD5", L"SHA-256"};

// Counts the reports; RunEnded may come from any thread.
class CountingReport final : public IFileListReport {
public:
    void RowsListed() override { ++listed; }
    void RowFinished(std::size_t) override { ++finished; }
    void RunEnded() override { ++ended; }
    std::atomic<int> listed{0}, finished{0}, ended{0};
};

class FileListJobTest : public ::testing::Test {
protected:
    FileListJobTest() : bound(settings) { settings.enabled = kThree; }

    FileListJobPtr NewJob(std::vector<std::wstring> selection)
    {
        FileListJobPtr job = FileListJob::Create(std::move(selection), report);
        job->SetSystemCallsForTesting(FileSeam::Calls());
        return job;
    }

    // Starts the job and waits for its worker to end.
    static void RunWorker(const FileListJobPtr& job)
    {
        win::UniqueFile thread(job->Start());
        ASSERT_TRUE(thread);
        ASSERT_EQ(::WaitForSingleObject(thread.get(), 30000), WAIT_OBJECT_0);
    }

    static DigestTable DigestsOfRow(const FileListJob& job, std::size_t index)
    {
        DigestTable digests;
        const FileRow row = job.Row(index);
        for (std::size_t i = 0; i < job.Algorithms().size(); ++i)
            digests[job.Algorithms()[i]] = job.DigestOf(row, i);
        return digests;
    }

    FixedSettings settings;
    BoundSettings bound;
    FileSeam seam;
    TempFolder folder;
    std::shared_ptr<CountingReport> report = std::make_shared<CountingReport>();
};

}  // namespace

TEST_F(FileListJobTest, FilesAndFolderTreesAreListedInOrderAndEachHashedOnceWithItsOwnDigests)
{
    // Sizes from the independent table; a path longer than MAX_PATH inside the tree.
    const std::wstring a = folder.Write(L"a.bin", PatternBytes(102401));
    const std::wstring tree = folder.MakeFolder(L"tree");
    folder.MakeFolder(L"tree\\sub");
    const std::wstring deep = folder.MakeFolder(L"tree\\sub\\" + std::wstring(120, L'd'));
    folder.MakeFolder(L"tree\\sub\\" + std::wstring(120, L'd') + L"\\" + std::wstring(120, L'e'));
    folder.Write(L"tree\\z.bin", PatternBytes(1));
    folder.Write(L"tree\\sub\\m.bin", PatternBytes(0));
    const std::wstring longName =
        L"tree\\sub\\" + std::wstring(120, L'd') + L"\\" + std::wstring(120, L'e') + L"\\long.bin";
    folder.Write(longName, PatternBytes(307200));
    const std::wstring missing = folder.Path() + L"\\gone.bin";
    // A link back up the tree (made by the host: Wine shows it as a linked
    // folder), never entered: no loop.
    RunHostCommand(tree + L"\\sub", L"ln -s .. loop");
    WIN32_FILE_ATTRIBUTE_DATA link = {};
    ASSERT_TRUE(::GetFileAttributesExW((tree + L"\\sub\\loop").c_str(), GetFileExInfoStandard, &link));
    ASSERT_NE(link.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT, 0u);

    FileListJobPtr job = NewJob({a, missing, tree});
    RunWorker(job);

    ASSERT_EQ(job->Outcome(), FileListOutcome::Finished);
    EXPECT_TRUE(job->ListingDone());
    EXPECT_EQ(job->Algorithms(), kThree);
    const std::vector<std::pair<std::wstring, std::size_t>> expected = {
        {a, 102401},
        {missing, 0},
        {folder.Path() + L"\\" + longName, 307200},
        {tree + L"\\sub\\m.bin", 0},
        {tree + L"\\z.bin", 1},
    };
    ASSERT_EQ(job->RowCount(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(Utf8(expected[i].first));
        const FileRow row = job->Row(i);
        EXPECT_EQ(row.path, expected[i].first);
        if (expected[i].first == missing) {
            EXPECT_EQ(row.state, FileRowState::Failed);
            EXPECT_EQ(row.error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
            continue;
        }
        EXPECT_EQ(row.state, FileRowState::Hashed);
        EXPECT_EQ(row.size, expected[i].second);
        EXPECT_EQ(DigestsOfRow(*job, i), PatternDigests(expected[i].second, kThree));
    }
    EXPECT_EQ(job->FilesDone(), expected.size());
    EXPECT_EQ(job->BytesDone(), 102401u + 307200u + 1u);
    EXPECT_EQ(job->BytesListed(), job->BytesDone());
    EXPECT_EQ(report->listed.load(), 5);
    EXPECT_EQ(report->finished.load(), 5);
    EXPECT_EQ(report->ended.load(), 1);
    EXPECT_EQ(seam.BytesRead(), 102401u + 307200u + 1u);  // every file read once
    RunHostCommand(tree + L"\\sub", L"rm loop");
}

TEST_F(FileListJobTest, AStopWithinAFileResumesThereAndAFailedReadFailsOnlyItsRow)
{
    const std::wstring first = folder.Write(L"1.bin", PatternBytes(307200));
    const std::wstring second = folder.Write(L"2.bin", PatternBytes(307200));
    const std::wstring third = folder.Write(L"3.bin", PatternBytes(102401));
    FileListJobPtr job = NewJob({first, second, third});

    seam.Close();
    win::UniqueFile thread(job->Start());
    ASSERT_TRUE(thread);
    ASSERT_TRUE(seam.WaitUntilHeld(0));
    seam.Release(0);
    ASSERT_TRUE(seam.WaitUntilHeld(1));  // the first file's second block
    EXPECT_EQ(job->Start(), nullptr);    // busy: nothing started, nothing reported
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_BUSY));
    job->Stop();
    seam.Open();
    ASSERT_EQ(::WaitForSingleObject(thread.get(), 30000), WAIT_OBJECT_0);
    EXPECT_EQ(job->Outcome(), FileListOutcome::Stopped);
    EXPECT_EQ(job->Row(0).state, FileRowState::Waiting);
    EXPECT_EQ(job->BytesDone(), 2u * kHashBlockSize);
    EXPECT_EQ(report->ended.load(), 1);

    seam.FailRead(seam.Reads() + 2, ERROR_NETNAME_DELETED);  // the second file's second block
    RunWorker(job);
    EXPECT_EQ(job->Outcome(), FileListOutcome::Finished);
    EXPECT_EQ(DigestsOfRow(*job, 0), PatternDigests(307200, kThree));
    EXPECT_EQ(job->Row(1).state, FileRowState::Failed);
    EXPECT_EQ(job->Row(1).error, static_cast<DWORD>(ERROR_NETNAME_DELETED));
    EXPECT_EQ(job->Row(1).digests, "");
    EXPECT_EQ(DigestsOfRow(*job, 2), PatternDigests(102401, kThree));
    EXPECT_EQ(report->ended.load(), 2);
    EXPECT_EQ(report->listed.load(), 3);  // listed once, not again on resume
}

TEST_F(FileListJobTest, AJobDroppedByItsOwnerMidRunEndsAndFreesEverything)
{
    const std::wstring path = folder.Write(L"big.bin", PatternBytes(307200));
    std::weak_ptr<FileListJob> left;
    seam.Close();
    win::UniqueFile thread;
    {
        FileListJobPtr job = NewJob({path, path});
        left = job;
        thread.reset(job->Start());
        ASSERT_TRUE(thread);
        ASSERT_TRUE(seam.WaitUntilHeld(0));
        job->Stop();
    }
    EXPECT_FALSE(left.expired());  // the worker still holds it
    seam.Open();
    ASSERT_EQ(::WaitForSingleObject(thread.get(), 30000), WAIT_OBJECT_0);
    EXPECT_TRUE(left.expired());
    EXPECT_EQ(report.use_count(), 1);
    EXPECT_EQ(report->ended.load(), 1);
}

TEST_F(FileListJobTest, WithNoAlgorithmEnabledTheFilesAreListedAndNotRead)
{
    settings.enabled = {};
    FileListJobPtr job = NewJob({folder.Write(L"unread.bin", PatternBytes(102401))});
    RunWorker(job);
    EXPECT_EQ(job->Outcome(), FileListOutcome::Finished);
    EXPECT_EQ(job->RowCount(), 1u);
    EXPECT_EQ(job->Row(0).state, FileRowState::Waiting);
    EXPECT_EQ(seam.Reads(), 0);
}

// Changed after the listing, while the first file's first read is held: a
// file gone or held by another process without sharing fails its own row;
// one rewritten larger or smaller is hashed as it is then.
TEST_F(FileListJobTest, FilesChangedBetweenListingAndHashingFailOrHashOnlyTheirOwnRow)
{
    const std::vector<std::wstring> paths = {
        folder.Write(L"1.bin", PatternBytes(102401)), folder.Write(L"2-gone.bin", PatternBytes(1)),
        folder.Write(L"3-locked.bin", PatternBytes(1)), folder.Write(L"4-grown.bin", PatternBytes(1)),
        folder.Write(L"5-shrunk.bin", PatternBytes(307200))};
    FileListJobPtr job = NewJob(paths);
    seam.Close();
    win::UniqueFile thread(job->Start());
    ASSERT_TRUE(thread);
    ASSERT_TRUE(seam.WaitUntilHeld(0));
    ASSERT_EQ(job->RowCount(), paths.size());

    ASSERT_TRUE(::DeleteFileW(paths[1].c_str()));
    const win::UniqueFile locked(
        ::CreateFileW(paths[2].c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(locked);
    folder.Write(L"4-grown.bin", PatternBytes(102400));
    folder.Write(L"5-shrunk.bin", PatternBytes(204800));
    seam.Open();
    ASSERT_EQ(::WaitForSingleObject(thread.get(), 30000), WAIT_OBJECT_0);

    EXPECT_EQ(job->Outcome(), FileListOutcome::Finished);
    EXPECT_EQ(DigestsOfRow(*job, 0), PatternDigests(102401, kThree));
    const DWORD failures[] = {ERROR_FILE_NOT_FOUND, ERROR_SHARING_VIOLATION};
    for (std::size_t row = 1; row <= 2; ++row) {
        EXPECT_EQ(job->Row(row).state, FileRowState::Failed) << row;
        EXPECT_EQ(job->Row(row).error, failures[row - 1]) << row;
    }
    EXPECT_EQ(DigestsOfRow(*job, 3), PatternDigests(102400, kThree));
    EXPECT_EQ(DigestsOfRow(*job, 4), PatternDigests(204800, kThree));
    EXPECT_EQ(job->FilesDone(), paths.size());
}

// Stopped while listing, by its own report after the second row: the resume
// goes on with the next file, and every file is listed once, in order.
TEST_F(FileListJobTest, AStopWhileListingGoesOnWithTheNextFileAtTheResume)
{
    class StopAtSecondRow final : public IFileListReport {
    public:
        void RowsListed() override
        {
            if (++listed == 2)
                job.lock()->Stop();
        }
        void RowFinished(std::size_t) override {}
        void RunEnded() override {}
        std::weak_ptr<FileListJob> job;
        std::atomic<int> listed{0};
    };
    folder.MakeFolder(L"dir");
    folder.MakeFolder(L"dir\\sub");
    folder.Write(L"dir\\a.bin", PatternBytes(1));
    folder.Write(L"dir\\c.bin", PatternBytes(102400));
    folder.Write(L"dir\\sub\\b.bin", PatternBytes(102401));
    const auto stopping = std::make_shared<StopAtSecondRow>();
    FileListJobPtr job = FileListJob::Create({folder.Path() + L"\\dir", folder.Write(L"x.bin", PatternBytes(0))}, stopping);
    stopping->job = job;
    RunWorker(job);
    EXPECT_EQ(job->Outcome(), FileListOutcome::Stopped);
    EXPECT_FALSE(job->ListingDone());
    EXPECT_EQ(job->RowCount(), 2u);

    RunWorker(job);
    EXPECT_EQ(job->Outcome(), FileListOutcome::Finished);
    EXPECT_EQ(stopping->listed.load(), 4);
    const std::vector<std::pair<std::wstring, std::size_t>> expected = {
        {L"dir\\a.bin", 1}, {L"dir\\c.bin", 102400}, {L"dir\\sub\\b.bin", 102401}, {L"x.bin", 0}};
    ASSERT_EQ(job->RowCount(), expected.size());
    for (std::size_t row = 0; row < expected.size(); ++row) {
        EXPECT_EQ(job->Row(row).path, folder.Path() + L"\\" + expected[row].first);
        EXPECT_EQ(DigestsOfRow(*job, row), PatternDigests(expected[row].second, kThree)) << row;
    }
}
