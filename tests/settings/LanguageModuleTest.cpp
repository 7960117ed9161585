// The language module against real files: the product's English module
// (resource-only), one that carries code, a file that is no module, and
// Properties dialogs on two threads.
#include "engine/DescriptionIds.h"
#include "resource.h"
#include "settings/LanguageModule.h"
#include "settings/ResourceInstance.h"
#include "support/ChildProcess.h"
#include "support/EnglishModule.h"
#include "support/Gui.h"
#include "support/ScratchRegistry.h"
#include "win/GdiObjects.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

const std::wstring kSettings = L"SOFTWARE\\Tallyra\\Settings";
const std::wstring kBuiltInMd5 = L"[16] MD5 信息-摘要算法，由Quenby设计的专门用于加密处理的被广泛使用的HASH函数。";
const std::wstring kEnglishMd5 =
    L"[16] MD5 Message-Digest Algorithm, a widely used hash function designed by Quenby for cryptography.";

// The caption of a dialog template of a module, as a real dialog shows it.
std::wstring DialogCaption(HINSTANCE instance, UINT id)
{
    const win::UniqueWindow dialog = CreateFromTemplate(instance, id);
    return dialog ? WindowText(dialog.get()) : L"<no dialog>";
}

std::wstring DialogCaption(UINT id)
{
    const ResourceLease lease = LeaseResourceInstance();
    return DialogCaption(lease.instance, id);
}

// Whether the pages of a module loaded at this handle are still mapped.
bool Mapped(HINSTANCE module)
{
    MEMORY_BASIC_INFORMATION info = {};
    const auto base = reinterpret_cast<const void*>(reinterpret_cast<UINT_PTR>(module) & ~UINT_PTR(3));
    return ::VirtualQuery(base, &info, sizeof(info)) == sizeof(info) && info.State == MEM_COMMIT;
}

// Every test leaves the built-in resources in force.
class LanguageModuleTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        UnloadLanguageModule();
        ASSERT_EQ(ResourceInstance(), ThisModule());
    }
};

}  // namespace

TEST_F(LanguageModuleTest, SettingSwitchesTheResourcesAndReleaseRestoresTheBuiltIns)
{
    ScratchRegistry registry;
    WriteString(kSettings, L"LanguageModule", kEnglishModule);
    EXPECT_EQ(LoadResourceString(IDS_DESCRIPTION_MD5), kBuiltInMd5);
    EXPECT_EQ(DialogCaption(IDD_HASH_PAGE), L"文件检验");

    LoadLanguageModule();
    ASSERT_TRUE(LanguageModuleLoaded());
    EXPECT_NE(ResourceInstance(), ThisModule());
    EXPECT_EQ(LoadResourceString(IDS_STOP), L"Stop");
    EXPECT_EQ(LoadResourceString(IDS_DESCRIPTION_MD5), kEnglishMd5);
    EXPECT_EQ(LoadResourceString(IDS_DESCRIPTION_ADLER32), L"Adler-32 Checksum");
    EXPECT_EQ(DialogCaption(IDD_HASH_PAGE), L"File Check");
    EXPECT_EQ(DialogCaption(207), L"Tallyra Options");
    win::UniqueBitmap icons(static_cast<HBITMAP>(
        ::LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDB_RESULT_ICONS), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_TRUE(icons);
    BITMAP size = {};
    ::GetObjectW(icons.get(), sizeof(size), &size);
    EXPECT_EQ(size.bmWidth, 96);
    EXPECT_EQ(size.bmHeight, 32);

    UnloadLanguageModule();
    EXPECT_FALSE(LanguageModuleLoaded());
    EXPECT_EQ(ResourceInstance(), ThisModule());
    EXPECT_EQ(LoadResourceString(IDS_DESCRIPTION_MD5), kBuiltInMd5);
    EXPECT_EQ(LoadResourceString(IDS_STOP), L"停止");
    EXPECT_EQ(DialogCaption(IDD_HASH_PAGE), L"文件检验");
    EXPECT_EQ(DialogCaption(207), L"Tallyra 选项");

    // The next extension object loads it again.
    LoadLanguageModule();
    EXPECT_EQ(LoadResourceString(IDS_DESCRIPTION_MD5), kEnglishMd5);
}

TEST_F(LanguageModuleTest, StringsMissingFromTheModuleAreEmptyAndItsCodeNeverRuns)
{
    LoadLanguageModule(L"lang_with_code.dll");
    ASSERT_TRUE(LanguageModuleLoaded());
    EXPECT_EQ(LoadResourceString(IDS_STOP), L"Stop (module with code)");
    EXPECT_EQ(LoadResourceString(IDS_DESCRIPTION_MD5), L"");  // no fallback to the built-in text
    wchar_t mark[8] = {};
    EXPECT_EQ(::GetEnvironmentVariableW(L"TALLYRA_LANGUAGE_CODE_RAN", mark, 8), 0u);
    EXPECT_EQ(::GetModuleHandleW(L"lang_with_code.dll"), nullptr);  // mapped as data, not as a module
    EXPECT_EQ(DialogCaption(IDD_HASH_PAGE), L"<no dialog>");
}

TEST_F(LanguageModuleTest, MissingNonModuleAndEmptyNamesLeaveTheBuiltInsInForce)
{
    const std::wstring notAModule = BesideThisProgram(L"not_a_module.dll");
    {
        win::UniqueFile file(::CreateFileW(notAModule.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ::WriteFile(file.get(), "MZ but not really a module", 26, &written, nullptr);
    }
    for (const wchar_t* name : {L"no_such_module.dll", L"not_a_module.dll", L""}) {
        LoadLanguageModule(name);
        EXPECT_FALSE(LanguageModuleLoaded()) << name;
        EXPECT_EQ(ResourceInstance(), ThisModule());
        EXPECT_EQ(LoadResourceString(IDS_DESCRIPTION_MD5), kBuiltInMd5);
        UnloadLanguageModule();  // nothing to unload: nothing happens
        EXPECT_EQ(ResourceInstance(), ThisModule());
    }
    ::DeleteFileW(notAModule.c_str());

    ScratchRegistry registry;  // no LanguageModule value at all
    LoadLanguageModule();
    EXPECT_FALSE(LanguageModuleLoaded());

    // A failed attempt does not stand in the way of a later one.
    LoadLanguageModule(kEnglishModule);
    EXPECT_TRUE(LanguageModuleLoaded());
}

TEST_F(LanguageModuleTest, NameIsTakenRelativeToThisModulesFolderAndTheFirstLoadStays)
{
    const std::wstring folder = BesideThisProgram(L"languages");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring copy = folder + L"\\english-copy.dll";
    ASSERT_TRUE(::CopyFileW(BesideThisProgram(kEnglishModule).c_str(), copy.c_str(), FALSE));

    LoadLanguageModule(L"languages\\english-copy.dll");
    ASSERT_TRUE(LanguageModuleLoaded());
    const HINSTANCE first = ResourceInstance();
    LoadLanguageModule(L"lang_with_code.dll");  // one is loaded already: no change
    EXPECT_EQ(ResourceInstance(), first);
    EXPECT_EQ(LoadResourceString(IDS_DESCRIPTION_MD5), kEnglishMd5);

    UnloadLanguageModule();
    EXPECT_TRUE(::DeleteFileW(copy.c_str()));  // freed, so the file can go
    ::RemoveDirectoryW(folder.c_str());
}

// Two Properties dialogs on two threads: the first closes and unloads the
// module while the second page, made from it, has not built its window yet.
TEST_F(LanguageModuleTest, PageOnAnotherThreadKeepsItsModuleUntilItIsReleased)
{
    std::atomic<int> step{0};
    HINSTANCE english = nullptr;
    std::wstring captionOnSecondThread, stringAfterUnload;

    std::thread second([&] {
        LoadLanguageModule(kEnglishModule);
        ResourceLease page = LeaseResourceInstance();  // the page's template and instance
        english = page.instance;
        step = 1;
        while (step != 2)
            std::this_thread::yield();
        // The sheet creates the page's window only now.
        captionOnSecondThread = DialogCaption(page.instance, IDD_HASH_PAGE);
        stringAfterUnload = LoadResourceString(IDS_DESCRIPTION_MD5);
        page = {};
        step = 3;
    });
    while (step != 1)
        std::this_thread::yield();

    {
        LoadLanguageModule(kEnglishModule);  // already loaded by the other dialog
        ResourceLease firstPage = LeaseResourceInstance();
        EXPECT_EQ(firstPage.instance, english);
    }
    UnloadLanguageModule();  // the first dialog's page is released
    EXPECT_EQ(ResourceInstance(), ThisModule());
    EXPECT_TRUE(Mapped(english));  // the other page still holds it
    step = 2;
    second.join();

    EXPECT_EQ(captionOnSecondThread, L"File Check");
    EXPECT_EQ(stringAfterUnload, kBuiltInMd5);  // strings loaded afterwards are the built-in ones
    EXPECT_FALSE(Mapped(english));              // freed with the last page
}

TEST_F(LanguageModuleTest, LoadsUnloadsAndReadsFromManyThreadsStayConsistent)
{
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 300; ++i) {
                LoadLanguageModule(kEnglishModule);
                const std::wstring text = LoadResourceString(IDS_DESCRIPTION_MD5);
                if (text != kEnglishMd5 && text != kBuiltInMd5)
                    ++wrong;
                const ResourceLease lease = LeaseResourceInstance();
                wchar_t stop[32] = {};
                ::LoadStringW(lease.instance, IDS_STOP, stop, 32);
                if (lease.instance != ThisModule() && std::wstring(stop) != L"Stop")
                    ++wrong;
                if (i % 3 == 0)
                    UnloadLanguageModule();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, 0);
}
