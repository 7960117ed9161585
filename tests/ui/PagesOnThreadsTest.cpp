// Properties dialogs each on a thread of its own, as the shell runs them,
// hashing again and again while another thread keeps saving the settings:
// every run shows one whole choice, with the digests of the file.
#include "HashDialogFixture.h"
#include "settings/AlgorithmFlags.h"
#include "settings/GeneralSettings.h"
#include "settings/StoredHashSettings.h"
#include "support/ScratchRegistry.h"
#include "support/Text.h"

#include <atomic>
#include <cwctype>
#include <random>
#include <set>
#include <thread>

namespace {

using Choice = std::map<std::wstring, bool>;
const Choice kFirst = {{L"CRC32", true}, {L"MD5", true}, {L"SHA-1", false}, {L"Tiger", false}, {L"Adler32", false}};
const Choice kSecond = {{L"CRC32", false}, {L"MD5", false}, {L"SHA-1", true}, {L"Tiger", true}, {L"Adler32", true}};
constexpr std::size_t kFileSize = 102400;

std::set<std::wstring> Names(const Choice& choice)
{
    std::set<std::wstring> names;
    for (const auto& [name, enabled] : choice)
        if (enabled)
            names.insert(name);
    return names;
}

std::wstring Upper(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

// One page in a sheet of its own on this thread, hashing `runs` times; the
// failures, as text (gtest's assertions belong to the main thread).
std::vector<std::string> HashOnThisThread(const std::wstring& path, int runs, const DigestTable& digests)
{
    std::vector<std::string> failures;
    ::OleInitialize(nullptr);
    auto* page = new CHashDialog(path);
    HWND sheet = ShowInModelessSheet({page->Create()});
    HWND window = sheet ? page->Window() : nullptr;
    if (window == nullptr)
        failures.push_back("no page");
    HandledReports* reports = window ? new HandledReports(window) : nullptr;
    for (int run = 1; window && run <= runs; ++run) {
        if (run > 1)
            page->RunHashing();
        if (!PumpUntil([&] { return reports->Ends(HASHJOB_FILE) >= run; })) {
            failures.push_back("run " + std::to_string(run) + " never completed");
            break;
        }
        std::set<std::wstring> shown;
        for (const auto& [name, digest] : ListRows(::GetDlgItem(window, IDC_HASH_LIST))) {
            shown.insert(name);
            const auto expected = digests.find(name);
            if (expected == digests.end() || Upper(digest) != expected->second)
                failures.push_back("run " + std::to_string(run) + ": " + Narrow(name) + " = " + Narrow(digest));
        }
        if (shown != Names(kFirst) && shown != Names(kSecond))
            failures.push_back("run " + std::to_string(run) + ": a torn choice of " + std::to_string(shown.size()));
    }
    delete reports;
    if (sheet)
        ::DestroyWindow(sheet);
    ::OleUninitialize();
    return failures;
}

}  // namespace

TEST(PagesOnThreads, EveryRunShowsOneWholeChoiceWhileAnotherThreadSaves)
{
    // Static: the settings' write at exit lands in the scratch key too.
    static ScratchRegistry registry;
    BoundSettings bound(StoredHashSettings());
    AlgorithmFlags::Instance().SetEnabled(kFirst);
    TempFolder folder;
    const std::wstring path = folder.Write(L"shared.bin", PatternBytes(kFileSize));
    const DigestTable digests = PatternDigests(kFileSize, {L"CRC32", L"MD5", L"SHA-1", L"Tiger", L"Adler32"});

    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::atomic<bool> pagesDone{false};
        std::atomic<int> saves{0};
        std::thread saver([&] {
            std::mt19937 schedule(seed);
            while (!pagesDone) {
                AlgorithmFlags::Instance().SetEnabled(saves % 2 ? kFirst : kSecond);
                GeneralSettings::Instance().SetUseLowercase(schedule() % 2 == 0);
                ++saves;
                if (schedule() % 3 == 0)
                    std::this_thread::yield();
            }
        });
        std::vector<std::vector<std::string>> failures(3);
        std::vector<std::thread> pages;
        for (std::size_t i = 0; i < failures.size(); ++i)
            pages.emplace_back([&, i] { failures[i] = HashOnThisThread(path, 8, digests); });
        for (std::thread& page : pages)
            page.join();
        pagesDone = true;
        saver.join();
        for (const std::vector<std::string>& failed : failures)
            for (const std::string& failure : failed)
                ADD_FAILURE() << failure;
        EXPECT_GT(saves.load(), 0);
    }
}
