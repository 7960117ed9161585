// The many-files job without a window: real files and folders, a real
// worker, the reads through the test's seam where a case steers them.
#include "engine/DigestText.h"
#include "engine/FileListJob.h"
#include "support/Digests.h"
#include "support/FileSeam.h"
#include "support/HostTool.h"
#include "support/TestFiles.h"
#include "support/Text.h"
#include "win/UniqueHandle.h"

#include <algorithm>
#include <atomic>
#include <cwctype>
#include <map>
#include <optional>
#include <sstream>

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

namespace {

// Each file's digest of each algorithm as python's hashlib (zlib for CRC32)
// computes it now, lowercase, by file name and algorithm.
std::map<std::wstring, DigestTable> PythonDigests(const std::wstring& folder, const std::vector<std::wstring>& files,
                                                  const std::vector<std::pair<std::wstring, std::wstring>>& algorithms)
{
    std::wstring names, arguments;
    for (const auto& [ours, python] : algorithms)
        names += (names.empty() ? L"" : L",") + python;
    for (const std::wstring& file : files)
        arguments += L" " + file;
    const std::string printed = RunHostCommand(
        folder, L"/usr/bin/python3 -c 'import hashlib,sys,zlib; print(\"\\n\".join(n + \" \" + a + \" \" + "
                L"(\"%08x\" % zlib.crc32(open(n, \"rb\").read()) if a == \"crc32\" else "
                L"hashlib.new(a, open(n, \"rb\").read()).hexdigest()) for n in sys.argv[2:] for a in sys.argv[1].split(\",\")))' " +
                    names + arguments);
    std::map<std::wstring, DigestTable> digests;
    std::istringstream lines(printed);
    std::string file, python, digest;
    while (lines >> file >> python >> digest) {
        for (const auto& [ours, name] : algorithms) {
            if (Narrow(name) == python)
                digests[std::wstring(file.begin(), file.end())][ours] = std::wstring(digest.begin(), digest.end());  // ASCII
        }
    }
    return digests;
}

std::wstring Upper(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    return text;
}

}  // namespace

// Digests of many sizes kept side by side for every row: each given back as
// text in the case the settings ask for when asked, and found by its bytes.
TEST_F(FileListJobTest, EveryAlgorithmsDigestIsGivenInTheCaseAskedForAndFoundByItsBytes)
{
    const std::vector<std::pair<std::wstring, std::wstring>> algorithms = {
        {L"BLAKE2b", L"blake2b"}, {L"BLAKE2s", L"blake2s"}, {L"CRC32", L"crc32"},       {L"MD5", L"md5"},
        {L"SHA-1", L"sha1"},      {L"SHA-256", L"sha256"},  {L"SHA-384", L"sha384"},    {L"SHA-512", L"sha512"},
        {L"SHA3-224", L"sha3_224"}, {L"SHA3-256", L"sha3_256"}, {L"SHA3-384", L"sha3_384"}, {L"SHA3-512", L"sha3_512"}};
    settings.enabled.clear();
    for (const auto& [ours, python] : algorithms)
        settings.enabled.push_back(ours);
    folder.MakeFolder(L"files");
    const std::vector<std::pair<std::wstring, std::size_t>> files = {{L"e.bin", 0}, {L"o.bin", 1}, {L"p.bin", 102401}};
    std::vector<std::wstring> selection, names;
    for (const auto& [name, size] : files) {
        selection.push_back(folder.Write(L"files\\" + name, PatternBytes(size)));
        names.push_back(L"files/" + name);
    }
    selection.insert(selection.begin() + 1, folder.Path() + L"\\files\\gone.bin");  // a row that fails
    const std::map<std::wstring, DigestTable> python = PythonDigests(folder.Path(), names, algorithms);
    ASSERT_EQ(python.size(), files.size());

    FileListJobPtr job = NewJob(selection);
    RunWorker(job);
    ASSERT_EQ(job->RowCount(), selection.size());
    ASSERT_EQ(job->Algorithms(), settings.enabled);
    EXPECT_EQ(job->Row(1).state, FileRowState::Failed);
    EXPECT_EQ(job->DigestOf(job->Row(1), 0), L"");
    EXPECT_EQ(job->DigestOf(job->Row(0), algorithms.size()), L"");  // no such algorithm
    for (const bool lowercase : {false, true}) {
        settings.lowercase = lowercase;
        for (std::size_t row : {0u, 2u, 3u}) {
            const DigestTable& expected = python.at(L"files/" + files[row == 0 ? 0 : row - 1].first);
            for (std::size_t i = 0; i < algorithms.size(); ++i) {
                SCOPED_TRACE(Utf8(algorithms[i].first) + " of row " + std::to_string(row));
                const std::wstring digest = expected.at(algorithms[i].first);
                EXPECT_EQ(job->DigestOf(job->Row(row), i), lowercase ? digest : Upper(digest));
                std::string bytes;
                ASSERT_TRUE(AppendDigestBytes(digest, bytes));
                const std::optional<FoundDigest> found = job->FindDigest(bytes);
                ASSERT_TRUE(found.has_value());
                EXPECT_EQ(found->row, row);
                EXPECT_EQ(found->algorithm, i);
            }
        }
    }
    // Only whole digests of hashed rows are found.
    std::string sha256;
    ASSERT_TRUE(AppendDigestBytes(python.at(L"files/p.bin").at(L"SHA-256"), sha256));
    std::string altered = sha256;
    altered.back() = static_cast<char>(altered.back() ^ 1);
    for (const std::string& absent : {std::string(), sha256.substr(0, 16), sha256.substr(1), sha256 + '\0', altered}) {
        SCOPED_TRACE(absent.size());
        EXPECT_FALSE(job->FindDigest(absent).has_value());
    }
}

// More rows than one block of digests holds: each row's digests in its own place.
TEST_F(FileListJobTest, DigestsOfRowsPastTheFirstThousandAreTheirOwn)
{
    folder.MakeFolder(L"many");
    std::vector<std::wstring> selection;
    for (std::uint32_t i = 0; i < 1100; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"many\\%04u.bin", i);
        selection.push_back(folder.Write(name, {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8)}));
    }
    const std::vector<std::size_t> checked = {0, 1023, 1024, 1099};
    std::vector<std::wstring> names;
    for (std::size_t row : checked)
        names.push_back(L"many/" + selection[row].substr(selection[row].size() - 8));
    const std::map<std::wstring, DigestTable> python = PythonDigests(folder.Path(), names, {{L"SHA-256", L"sha256"}});
    ASSERT_EQ(python.size(), checked.size());

    FileListJobPtr job = NewJob(selection);
    RunWorker(job);
    ASSERT_EQ(job->RowCount(), selection.size());
    const std::size_t sha256 = 2;  // CRC32, MD5, SHA-256
    for (std::size_t i = 0; i < checked.size(); ++i) {
        const std::wstring expected = python.at(names[i]).at(L"SHA-256");
        EXPECT_EQ(job->DigestOf(job->Row(checked[i]), sha256), Upper(expected)) << checked[i];
        std::string bytes;
        ASSERT_TRUE(AppendDigestBytes(expected, bytes));
        const std::optional<FoundDigest> found = job->FindDigest(bytes);
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(found->row, checked[i]);
    }
}
