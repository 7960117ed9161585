// End to end through Wine's own shell, for each configuration's module:
// regsvr32 registers it, the shell's "properties" verb opens the dialog with
// our page beside its own, the page's list shows the file's digests;
// regsvr32 /u takes only ours away; the English module named in the settings.
#include "support/ChildProcess.h"
#include "support/Gui.h"
#include "support/ScratchRegistry.h"
#include "support/ShippedLanguages.h"
#include "support/TallyraDll.h"
#include "support/TestFiles.h"
#include "support/ThreadLanguage.h"
#include "support/Text.h"
#include "settings/AlgorithmFlags.h"
#include "tools/show-properties/ShellProperties.h"
#include "resource.h"

#include <algorithm>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <thread>
#include <ole2.h>

namespace {

const std::wstring kHashPage = L"{8A56567E-A333-4843-B6E1-C3A262E41D8C}";
const std::wstring kDropTarget = L"{E7435935-AAEF-4CE2-AD7C-66D46C192A0F}";
const std::wstring kApproved = L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

unsigned long Regsvr32(const std::vector<std::wstring>& arguments)
{
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    return RunChild(std::wstring(system) + L"\\regsvr32.exe", arguments).exitCode;
}

std::vector<BYTE> FileBytes(const std::wstring& path)
{
    win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !::GetFileSizeEx(file.get(), &size))
        return {};
    std::vector<BYTE> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

// A screenshot that shows something: more than a handful of distinct colours.
constexpr size_t kPaintedColours = 8;
size_t DistinctColours(const std::vector<BYTE>& bmp)
{
    std::set<DWORD> colours;
    for (size_t i = 54; i + 3 <= bmp.size(); i += 3)
        colours.insert(bmp[i] | (bmp[i + 1] << 8) | (bmp[i + 2] << 16));
    return colours.size();
}

// Under Wine this test changes the prefix's real registration: it runs only in
// the tests' own prefix, which carries a mark in its system drive
// (tools/wine-env.sh), never in the one the main command uses.
bool InTheTestsPrefix()
{
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring mark = std::wstring(system, 3) + L"tallyra-tests-prefix.txt";
    return ::GetFileAttributesW(mark.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What the shell's Properties dialog of a file showed on the tab of a title.
struct Shown {
    bool pageFound = false;
    DigestTable rows;
    size_t colours = 0;  // of the sheet's screenshot
};

// Photographs the window once it shows something and has stopped changing
// (it paints on its own thread); the number of its colours.
size_t PhotographPainted(HWND window, const std::wstring& screenshot)
{
    std::vector<BYTE> previous;
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (attempt > 0)
            ::Sleep(100);
        if (!shellprops::SaveScreenshot(window, screenshot))
            continue;
        std::vector<BYTE> shot = FileBytes(screenshot);
        if (DistinctColours(shot) > kPaintedColours && shot == previous)
            break;
        previous = std::move(shot);
    }
    return DistinctColours(previous);
}

// Opens the Properties of the items (of one folder) and reads, from the page,
// what it shows on then; also(page) runs before the sheet is closed.
Shown ShowThroughTheShell(const std::vector<std::wstring>& items, const std::wstring& title,
                          const std::wstring& screenshot, const std::function<void(HWND page)>& also = nullptr)
{
    Shown shown;
    const HRESULT hr = shellprops::ShowProperties(items, [&](HWND sheet) {
        if (sheet == nullptr)
            return;
        HWND page = shellprops::SelectPage(sheet, title);
        shown.pageFound = page != nullptr;
        if (page && shellprops::WaitForResult(page, 30000)) {
            for (const auto& [name, digest] : shellprops::ReadRows(page))
                shown.rows[name] = digest;
            // The sheet paints on its own thread: photographed until it shows something.
            shown.colours = PhotographPainted(sheet, screenshot);
            if (also)
                also(page);
        }
        shellprops::CloseSheet(sheet);
    });
    EXPECT_EQ(hr, S_OK);
    EXPECT_TRUE(shown.pageFound) << "no tab \"" << Narrow(title) << "\" in the Properties dialog";
    EXPECT_GT(shown.colours, kPaintedColours) << "the screenshot is blank";
    return shown;
}

// The prefix may hold any configuration's registration from an earlier run:
// all go first (each module removes only the classes it serves), then this
// module is registered.
void RegisterOnly(const std::wstring& module)
{
    for (const wchar_t* name : {L"full", L"reduced", L"compact"})
        Regsvr32({L"/u", L"/s", TallyraDll::Path(name)});
    ASSERT_EQ(Regsvr32({L"/s", module}), 0u);
}

struct Configuration {
    const wchar_t* name;  // bin/<name>/Tallyra32.dll, bin/compact/Tallyra.dll
    const wchar_t* pageTitle;  // null: the compact page's, in the thread's language
    std::vector<std::wstring> algorithms;  // enabled for the test (the compact page's are fixed)
    bool dropTarget;                       // registered as a class of its own
    std::wstring handlerKey;               // under *\shellex\PropertySheetHandlers
    bool approved;                         // the page's class in the shell's approved list
    bool filesPage = false;                // several items give the files page
};

std::wstring PageTitle(const Configuration& configuration)
{
    if (configuration.pageTitle)
        return configuration.pageTitle;
    return PRIMARYLANGID(ResourceLookupLanguage()) == LANG_CHINESE ? L"文件校验" : L"File Hashes";
}

class ShellEndToEnd : public ::testing::TestWithParam<Configuration> {};

}  // namespace

TEST_P(ShellEndToEnd, RegisterOpenPropertiesReadTheDigestsUnregister)
{
    ASSERT_TRUE(!UnderWine() || InTheTestsPrefix())
        << "not the tests' Wine prefix: run it through ctest or tools/wine-exec.sh, never in tools/run.sh's prefix";
    const Configuration& configuration = GetParam();
    const std::wstring module = TallyraDll::Path(configuration.name);
    ::OleInitialize(nullptr);
    RegisterOnly(module);
    const std::wstring handler = L"*\\shellex\\PropertySheetHandlers\\" + configuration.handlerKey;
    ASSERT_TRUE(KeyExistsIn(HKEY_CLASSES_ROOT, handler));
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, handler, nullptr),
              configuration.handlerKey == kHashPage ? std::nullopt : std::optional<std::wstring>(kHashPage));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kApproved, kHashPage.c_str()).has_value(), configuration.approved);
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L"CLSID\\" + kHashPage + L"\\InprocServer32", nullptr),
              std::optional<std::wstring>(module));
    EXPECT_EQ(KeyExistsIn(HKEY_CLASSES_ROOT, L"CLSID\\" + kDropTarget), configuration.dropTarget);
    EXPECT_EQ(KeyExistsIn(HKEY_CLASSES_ROOT, L"Tallyra.DropTargetImpl"), configuration.dropTarget);

    {
        ScratchRegistry user;  // the shell loads our module into this process: its settings come from here
        for (const std::wstring& name : configuration.algorithms)
            WriteDword(AlgorithmKeyPath(name), L"Enabled", 1);
        TempFolder folder;
        const std::wstring file = folder.Write(L"shown.bin", PatternBytes(102401));
        const Shown shown = ShowThroughTheShell({file}, PageTitle(configuration), folder.Path() + L"\\sheet.bmp");
        EXPECT_EQ(shown.rows, PatternDigests(102401, configuration.algorithms.empty()
                                                         ? std::vector<std::wstring>{L"CRC32", L"MD5", L"SHA-1"}
                                                         : configuration.algorithms));
        // Several items, one of them a folder: the files page, SHA-256 shown.
        if (configuration.filesPage) {
            folder.MakeFolder(L"docs");
            const std::wstring other = folder.Write(L"other.bin", PatternBytes(1));
            folder.Write(L"docs\\inner.bin", PatternBytes(307200));
            const Shown files = ShowThroughTheShell({file, other, folder.Path() + L"\\docs"}, PageTitle(configuration),
                                                    folder.Path() + L"\\files.bmp");
            const auto sha256 = [](std::size_t size) { return PatternDigests(size, {L"SHA-256"}).at(L"SHA-256"); };
            EXPECT_EQ(files.rows, (DigestTable{{L"shown.bin", sha256(102401)},
                                               {L"other.bin", sha256(1)},
                                               {L"docs\\inner.bin", sha256(307200)}}));
        }
        // The compact module keeps no settings: it writes nothing for the user.
        if (configuration.algorithms.empty()) {
            EXPECT_EQ(DumpTree(HKEY_CURRENT_USER, L"SOFTWARE\\Tallyra"), std::vector<std::wstring>{});
        }
    }

    // Unregistration leaves the shared keys and other software's subkeys.
    win::UniqueKey foreign;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, L"Tallyra.HashPage\\ForeignSubkey", 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, foreign.put(), nullptr),
              ERROR_SUCCESS);
    foreign.reset();
    EXPECT_EQ(Regsvr32({L"/u", L"/s", module}), 0u);
    EXPECT_FALSE(KeyExistsIn(HKEY_CLASSES_ROOT, L"CLSID\\" + kHashPage));
    EXPECT_FALSE(KeyExistsIn(HKEY_CLASSES_ROOT, handler));
    EXPECT_FALSE(KeyExistsIn(HKEY_CLASSES_ROOT, L"AppID\\Tallyra.DLL"));
    EXPECT_FALSE(KeyExistsIn(HKEY_CLASSES_ROOT, L"Tallyra.HashPage\\CurVer"));
    EXPECT_TRUE(KeyExistsIn(HKEY_CLASSES_ROOT, L"Tallyra.HashPage\\ForeignSubkey"));
    EXPECT_TRUE(KeyExistsIn(HKEY_CLASSES_ROOT, L"CLSID"));
    EXPECT_TRUE(KeyExistsIn(HKEY_CLASSES_ROOT, L"*\\shellex\\PropertySheetHandlers"));
    EXPECT_TRUE(KeyExistsIn(HKEY_LOCAL_MACHINE, kApproved));
    EXPECT_FALSE(ReadText(HKEY_LOCAL_MACHINE, kApproved, kHashPage.c_str()));

    // Leave the tests' prefix as a registered module left it: registered, nothing foreign.
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Tallyra.HashPage");
    EXPECT_EQ(Regsvr32({L"/s", module}), 0u);
    ::OleUninitialize();
}

// The full configuration with a few algorithms; the reduced one with all ten;
// the compact one with its three, its handler key named by the class id.
INSTANTIATE_TEST_SUITE_P(
    Configurations, ShellEndToEnd,
    ::testing::Values(Configuration{L"full", L"文件检验", {L"BLAKE3", L"CRC32", L"MD5", L"SHA-256", L"SHA3-256", L"XXH128"},
                                    true, L"Tallyra", true, true},
                      Configuration{L"reduced",
                                    L"文件 Hash",
                                    {L"CRC32", L"HAVAL", L"MD5", L"RIPEMD-128", L"RIPEMD-256", L"RIPEMD-320", L"SHA-1",
                                     L"SHA-512", L"Tiger", L"Whirlpool"},
                                    false,
                                    L"Tallyra",
                                    true},
                      Configuration{L"compact", nullptr, {}, false, kHashPage, false}),
    [](const ::testing::TestParamInfo<Configuration>& info) { return Narrow(info.param.name); });

namespace {

// A visible dialog of a thread with a caption.
struct DialogSearch {
    std::wstring caption;
    HWND found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<DialogSearch*>(lParam);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (::IsWindowVisible(window) && std::wstring(className) == L"#32770" && WindowText(window) == search->caption)
        search->found = window;
    return search->found == nullptr;
}

HWND FindDialogOfThread(DWORD thread, const std::wstring& caption)
{
    DialogSearch search{caption};
    ::EnumThreadWindows(thread, &MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The settings dialog opened from the page's options link (on the page's
// thread, which the shell runs modally), photographed and cancelled; its
// screenshot's number of colours.
size_t PhotographSettingsDialog(HWND page, const std::wstring& caption, const std::wstring& screenshot)
{
    // The link's click is sent from a thread of its own: it returns when the modal dialog closes.
    std::thread click([page] {
        NMHDR notification = {::GetDlgItem(page, IDC_OPTIONS_LINK), IDC_OPTIONS_LINK, static_cast<UINT>(NM_CLICK)};
        ::SendMessageW(page, WM_NOTIFY, IDC_OPTIONS_LINK, reinterpret_cast<LPARAM>(&notification));
    });
    const DWORD thread = ::GetWindowThreadProcessId(page, nullptr);
    HWND dialog = nullptr;
    for (int attempt = 0; attempt < 300 && !dialog; ++attempt) {
        ::Sleep(50);
        dialog = FindDialogOfThread(thread, caption);
    }
    size_t colours = 0;
    if (dialog) {
        colours = PhotographPainted(dialog, screenshot);
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    click.join();
    return colours;
}

// The caption of a module's dialog template.
std::wstring TemplateCaption(HMODULE module, UINT templateId)
{
    const win::UniqueWindow dialog = CreateFromTemplate(module, templateId);
    return dialog ? WindowText(dialog.get()) : L"";
}

class ShellEndToEndLanguage : public ::testing::TestWithParam<ShippedLanguage> {};

}  // namespace

// Each shipped language module named in the user's settings: the shell's
// Properties dialog shows the page in its language, and the page's options
// link opens the settings dialog in it; both are photographed for a look at
// their layout (bin/screenshots/shell-page-TAG.bmp, shell-settings-TAG.bmp).
// That the built-in page comes back once the setting is cleared needs a
// process that reads the settings anew (Wine's shell keeps the extension
// objects, so the module never unloads here): the installer's test does that.
TEST_P(ShellEndToEndLanguage, ThePageAndTheSettingsDialogInTheModulesLanguage)
{
    ASSERT_TRUE(!UnderWine() || InTheTestsPrefix()) << "not the tests' Wine prefix";
    const ShippedLanguage& language = GetParam();
    win::UniqueModule resources(
        ::LoadLibraryExW(BesideThisProgram(language.Path()).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(resources);
    const std::wstring pageTitle = TemplateCaption(resources.get(), IDD_HASH_PAGE);
    const std::wstring settingsCaption = TemplateCaption(resources.get(), IDD_SETTINGS);
    ASSERT_FALSE(pageTitle.empty() || settingsCaption.empty());

    const std::wstring module = TallyraDll::Path(L"full");
    const std::vector<std::wstring> algorithms = {L"CRC32", L"MD5", L"SHA-256"};
    ::OleInitialize(nullptr);
    RegisterOnly(module);
    {
        ScratchRegistry user;
        for (const std::wstring& name : algorithms)
            WriteDword(AlgorithmKeyPath(name), L"Enabled", 1);
        WriteString(L"SOFTWARE\\Tallyra\\Settings", L"LanguageModule", language.File());
        TempFolder folder;
        const std::wstring file = folder.Write(L"shown.bin", PatternBytes(102401));
        const std::wstring screenshots = BesideThisProgram(L"screenshots");
        ::CreateDirectoryW(screenshots.c_str(), nullptr);
        size_t settingsColours = 0;
        const Shown shown =
            ShowThroughTheShell({file}, pageTitle, screenshots + L"\\shell-page-" + language.tag + L".bmp", [&](HWND page) {
                settingsColours = PhotographSettingsDialog(
                    page, settingsCaption, screenshots + L"\\shell-settings-" + language.tag + L".bmp");
            });
        EXPECT_EQ(shown.rows, PatternDigests(102401, algorithms));
        EXPECT_GT(settingsColours, kPaintedColours) << "no settings dialog \"" << Utf8(settingsCaption) << "\" shown";
    }
    ::OleUninitialize();
}

INSTANTIATE_TEST_SUITE_P(Modules, ShellEndToEndLanguage, ::testing::ValuesIn(ShippedLanguages()),
                         [](const ::testing::TestParamInfo<ShippedLanguage>& info) {
                             std::string name = Narrow(info.param.tag);
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });
