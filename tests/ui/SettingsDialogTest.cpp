// The settings dialog run modally for real, driven from inside its modal loop,
// on a scratch HKEY_CURRENT_USER that holds a stored choice.
#include "engine/HashCatalogue.h"
#include "resource.h"
#include "settings/AlgorithmFlags.h"
#include "settings/GeneralSettings.h"
#include "settings/LanguageModule.h"
#include "support/ChildProcess.h"
#include "support/EnglishModule.h"
#include "support/Gui.h"
#include "support/ScratchRegistry.h"
#include "support/ShippedLanguages.h"
#include "support/Text.h"
#include "ui/SettingsDialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <set>

namespace {

const std::wstring kSettings = L"SOFTWARE\\Tallyra\\Settings";
const std::set<std::wstring> kStored = {L"CRC32", L"SHA-256"};

std::vector<std::wstring> CatalogueNames()
{
    std::vector<std::wstring> names;
    for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll())
        names.push_back(descriptor->GetName());
    return names;
}

struct ListItem {
    std::wstring name;
    bool checked;
};

std::vector<ListItem> Items(HWND dialog)
{
    HWND list = ::GetDlgItem(dialog, IDC_ALGORITHM_LIST);
    std::vector<ListItem> items;
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        LVITEMW item = {};
        item.pszText = text;
        item.cchTextMax = 64;
        ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        const auto state =
            static_cast<UINT>(::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_STATEIMAGEMASK));
        EXPECT_TRUE(state == INDEXTOSTATEIMAGEMASK(1) || state == INDEXTOSTATEIMAGEMASK(2)) << "item " << i;
        items.push_back({text, state == INDEXTOSTATEIMAGEMASK(2)});
    }
    return items;
}

std::set<std::wstring> Checked(HWND dialog)
{
    std::set<std::wstring> names;
    for (const ListItem& item : Items(dialog))
        if (item.checked)
            names.insert(item.name);
    return names;
}

void Click(HWND dialog, UINT id)
{
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, static_cast<int>(id))));
}

// What an auto check box does when clicked: toggles, then tells its dialog.
void ToggleLowercase(HWND dialog)
{
    HWND box = ::GetDlgItem(dialog, IDC_LOWERCASE);
    const bool checked = ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    ::SendMessageW(box, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
    Click(dialog, IDC_LOWERCASE);
}

// The algorithms enabled in memory and in the registry.
std::set<std::wstring> EnabledInMemory()
{
    std::set<std::wstring> names;
    for (const std::wstring& name : CatalogueNames())
        if (AlgorithmFlags::Instance().IsEnabled(name))
            names.insert(name);
    return names;
}

std::set<std::wstring> EnabledInRegistry()
{
    std::set<std::wstring> names;
    for (const std::wstring& name : CatalogueNames())
        if (ReadDword(AlgorithmKeyPath(name), L"Enabled").value_or(0) != 0)
            names.insert(name);
    return names;
}

class SettingsDialogTest : public ::testing::Test {
protected:
    SettingsDialogTest()
    {
        // Made before the settings objects, so gone after them: their write
        // at exit lands in the scratch key too (each test is a process).
        static ScratchRegistry registry;
        for (const std::wstring& name : kStored)
            WriteDword(AlgorithmKeyPath(name), L"Enabled", 1);
        WriteDword(AlgorithmKeyPath(L"MD5"), L"Enabled", 0);
        WriteDword(kSettings, L"UseLowercase", 0);
    }

    // Shows the dialog and hands it to the answer, which must close it.
    INT_PTR Run(const ModalDialogAnswers::Answer& answer)
    {
        ModalDialogAnswers answers({}, {answer});
        const auto result = static_cast<INT_PTR>(ShowSettingsDialog(nullptr));
        EXPECT_EQ(answers.Answered(), 1);
        EXPECT_EQ(answers.Unexpected(), 0);
        return result;
    }

    // The same for the dialog of these resources, offering the languages of
    // the extension bin/full/Tallyra32.dll (the product's modules beside it).
    INT_PTR RunOver(ResourceLease resources, const ModalDialogAnswers::Answer& answer)
    {
        ModalDialogAnswers answers({}, {answer});
        CSettingsDialog dialog(std::move(resources), ModuleLocation{BesideThisProgram(L"full"), L"Tallyra32"});
        const INT_PTR result = dialog.DoModal(nullptr);
        EXPECT_EQ(answers.Answered(), 1);
        return result;
    }
};

// The language choice's items and the selected one's text.
std::vector<std::wstring> LanguageItems(HWND dialog)
{
    HWND box = ::GetDlgItem(dialog, IDC_LANGUAGE);
    std::vector<std::wstring> items;
    for (LRESULT i = 0, count = ::SendMessageW(box, CB_GETCOUNT, 0, 0); i < count; ++i) {
        std::wstring text(static_cast<size_t>(::SendMessageW(box, CB_GETLBTEXTLEN, i, 0)), L'\0');
        ::SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        items.push_back(text);
    }
    return items;
}

std::wstring SelectedLanguage(HWND dialog)
{
    const std::vector<std::wstring> items = LanguageItems(dialog);
    const LRESULT selected = ::SendDlgItemMessageW(dialog, IDC_LANGUAGE, CB_GETCURSEL, 0, 0);
    return selected >= 0 && static_cast<size_t>(selected) < items.size() ? items[static_cast<size_t>(selected)] : L"";
}

}  // namespace

TEST_F(SettingsDialogTest, ShowsEveryAlgorithmInCatalogueOrderWithTheStoredChoice)
{
    WriteDword(kSettings, L"UseLowercase", 1);
    std::vector<ListItem> items;
    std::wstring heading;
    bool lowercase = false;
    bool scrollsSideways = true;
    Run([&](HWND dialog) {
        items = Items(dialog);
        scrollsSideways = (::GetWindowLongW(::GetDlgItem(dialog, IDC_ALGORITHM_LIST), GWL_STYLE) & WS_HSCROLL) != 0;
        wchar_t text[32] = {};
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = 32;
        ::SendMessageW(::GetDlgItem(dialog, IDC_ALGORITHM_LIST), LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        heading = text;
        lowercase = ::IsDlgButtonChecked(dialog, IDC_LOWERCASE) == BST_CHECKED;
        SaveScreenshot(CaptureShown(dialog), L"settings-dialog");
        Click(dialog, IDCANCEL);
    });

    const std::vector<std::wstring> names = CatalogueNames();
    ASSERT_EQ(items.size(), 26u);
    ASSERT_EQ(items.size(), names.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].name, names[i]);
        EXPECT_EQ(items[i].checked, kStored.count(names[i]) == 1) << "item " << i;
    }
    EXPECT_EQ(heading, L"算法");
    EXPECT_TRUE(lowercase);
    EXPECT_FALSE(scrollsSideways);  // the column fits beside the vertical scroll bar
}

TEST_F(SettingsDialogTest, TheButtonsChangeTheListAndSaveStoresIt)
{
    const std::vector<std::wstring> all = CatalogueNames();
    const std::set<std::wstring> every(all.begin(), all.end());
    const struct {
        const char* what;
        std::vector<UINT> clicks;
        std::set<std::wstring> shown;
    } cases[] = {
        {"nothing", {}, kStored},
        {"select all", {IDC_SELECT_ALL}, every},
        {"clear all", {IDC_CLEAR_ALL}, {}},
        {"select all, reselect", {IDC_SELECT_ALL, IDC_RESELECT}, kStored},
        {"clear all, reselect", {IDC_CLEAR_ALL, IDC_RESELECT}, kStored},
        {"reselect, select all", {IDC_RESELECT, IDC_SELECT_ALL}, every},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // Every case starts from the stored choice (the previous Save changed it).
        for (const std::wstring& name : all)
            AlgorithmFlags::Instance().SetEnabled(name, kStored.count(name) == 1);
        std::set<std::wstring> shown;
        const INT_PTR result = Run([&](HWND dialog) {
            for (UINT id : c.clicks)
                Click(dialog, id);
            shown = Checked(dialog);
            Click(dialog, IDOK);
        });
        EXPECT_EQ(result, 1);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(EnabledInMemory(), c.shown);
        EXPECT_EQ(EnabledInRegistry(), c.shown);
        for (const std::wstring& name : all)
            EXPECT_EQ(ValueType(AlgorithmKeyPath(name), L"Enabled"), static_cast<DWORD>(REG_DWORD)) << name;
    }
}

TEST_F(SettingsDialogTest, CancelAndClosingKeepTheFlagsButNotTheWrittenLowercaseClick)
{
    const struct {
        const char* what;
        void (*close)(HWND dialog);
    } cases[] = {
        {"cancel", [](HWND dialog) { Click(dialog, IDCANCEL); }},
        {"system menu", [](HWND dialog) { ::SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"WM_CLOSE", [](HWND dialog) { ::SendMessageW(dialog, WM_CLOSE, 0, 0); }},
    };
    bool lowercase = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bool inForceAtOnce = !lowercase;
        const INT_PTR result = Run([&](HWND dialog) {
            Click(dialog, IDC_SELECT_ALL);
            ToggleLowercase(dialog);
            inForceAtOnce = GeneralSettings::Instance().UseLowercase();
            c.close(dialog);
        });
        lowercase = !lowercase;
        EXPECT_EQ(result, 2);
        EXPECT_EQ(inForceAtOnce, lowercase);
        EXPECT_EQ(GeneralSettings::Instance().UseLowercase(), lowercase);
        EXPECT_EQ(ReadDword(kSettings, L"UseLowercase"), std::optional<DWORD>(lowercase ? 1 : 0));
        EXPECT_EQ(EnabledInMemory(), kStored);
        EXPECT_EQ(EnabledInRegistry(), kStored);
    }
}

TEST_F(SettingsDialogTest, ALanguageModulesTemplateAndTextsAreTheOnesShown)
{
    LoadLanguageModule(kEnglishModule);
    ASSERT_TRUE(LanguageModuleLoaded());
    std::wstring caption, lowercaseLabel;
    std::size_t rows = 0;
    Run([&](HWND dialog) {
        caption = WindowText(dialog);
        lowercaseLabel = WindowText(::GetDlgItem(dialog, IDC_LOWERCASE));
        rows = Items(dialog).size();
        SaveScreenshot(CaptureShown(dialog), L"settings-dialog-english");
        Click(dialog, IDCANCEL);
    });
    UnloadLanguageModule();
    EXPECT_EQ(caption, L"Tallyra Options");
    EXPECT_EQ(lowercaseLabel, L"Show digests in lowercase");
    EXPECT_EQ(rows, CatalogueNames().size());
}

TEST_F(SettingsDialogTest, AModuleWithoutTheTemplateGivesMinusOneAndShowsNothing)
{
    HMODULE withoutTemplate = ::GetModuleHandleW(L"kernel32.dll");
    ASSERT_EQ(::FindResourceW(withoutTemplate, MAKEINTRESOURCEW(IDD_SETTINGS), RT_DIALOG), nullptr);
    ModalDialogAnswers answers({}, {});
    CSettingsDialog dialog(ResourceLease{withoutTemplate, nullptr});
    EXPECT_EQ(dialog.DoModal(nullptr), -1);
    PumpPending();
    EXPECT_EQ(answers.Unexpected(), 0);
}

TEST_F(SettingsDialogTest, TheLanguageChoiceOffersTheBuiltInAndEveryModuleAndSaveWritesAChangeOnly)
{
    const struct {
        const char* what;
        std::optional<std::wstring> stored;  // nothing: no value (a user who never chose)
        std::wstring shown;                  // selected when the dialog opens
        std::wstring choose;                 // empty: left as it is
        UINT close;
        std::optional<std::wstring> after;
    } cases[] = {
        {"never chosen, saved as it is", std::nullopt, L"中文(简体)", L"", IDOK, std::nullopt},
        {"never chosen, Japanese saved", std::nullopt, L"中文(简体)", L"日本語", IDOK, L"Tallyra32.ja.dll"},
        {"German, built-in saved", L"Tallyra32.de.dll", L"Deutsch", L"中文(简体)", IDOK, L""},
        {"German stored in capitals, saved as it is", L"TALLYRA32.DE.DLL", L"Deutsch", L"", IDOK, L"TALLYRA32.DE.DLL"},
        {"German, Russian cancelled", L"Tallyra32.de.dll", L"Deutsch", L"Русский", IDCANCEL, L"Tallyra32.de.dll"},
        {"a module named by hand is shown by its name", L"custom\\mine.dll", L"custom\\mine.dll", L"", IDOK,
         L"custom\\mine.dll"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.stored)
            GeneralSettings::Instance().SetLanguageModule(*c.stored);
        std::vector<std::wstring> items;
        std::wstring shown;
        const INT_PTR result = RunOver(LeaseResourceInstance(), [&](HWND dialog) {
            items = LanguageItems(dialog);
            shown = SelectedLanguage(dialog);
            if (!c.choose.empty())
                ::SendDlgItemMessageW(dialog, IDC_LANGUAGE, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(c.choose.c_str()));
            Click(dialog, c.close);
        });
        EXPECT_EQ(result, c.close == IDOK ? 1 : 2);
        EXPECT_EQ(Utf8(shown), Utf8(c.shown));
        EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kSettings, L"LanguageModule"), c.after);
        if (c.after) {
            EXPECT_EQ(GeneralSettings::Instance().LanguageModule(), *c.after);
        }
        // The built-in language first, then one item per module in its own language.
        ASSERT_GE(items.size(), 1 + ShippedLanguages().size());
        EXPECT_EQ(Utf8(items[0]), Utf8(L"中文(简体)"));
        EXPECT_EQ(std::set<std::wstring>(items.begin(), items.end()).size(), items.size());
    }
}

TEST_F(SettingsDialogTest, AModuleWhoseTemplateHasNoLanguageChoiceStillSaves)
{
    win::UniqueModule withoutChoice(::LoadLibraryExW(BesideThisProgram(L"lang_without_choice.dll").c_str(), nullptr,
                                                    LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(withoutChoice);
    bool hasChoice = true;
    const INT_PTR result = RunOver(ResourceLease{withoutChoice.get(), nullptr}, [&](HWND dialog) {
        hasChoice = ::GetDlgItem(dialog, IDC_LANGUAGE) != nullptr;
        Click(dialog, IDC_SELECT_ALL);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(hasChoice);
    EXPECT_EQ(EnabledInRegistry().size(), CatalogueNames().size());
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kSettings, L"LanguageModule"), std::nullopt);
}
