// The per-user language step of the installation (tallyra-user-language, run
// by Active Setup at a user's first logon) over the shipped modules, on a
// scratch HKEY_CURRENT_USER: the module of the user's language is named
// unless the user has chosen; a user whose language is the built-in one, or
// has no module, is named accordingly.
#include "settings/LanguageModules.h"
#include "settings/UserLanguageSetup.h"
#include "support/ChildProcess.h"
#include "support/ScratchRegistry.h"
#include "support/ShippedLanguages.h"
#include "support/TestFiles.h"
#include "support/Text.h"

#include <gtest/gtest.h>
#include <map>

namespace {

const std::wstring kSettings = L"SOFTWARE\\Tallyra\\Settings";
const std::wstring kFolder = BesideThisProgram(L"full");

}  // namespace

TEST(LanguageModules, TheShippedModulesAreFoundWithTheirLanguagesAndTheBuiltInOneApart)
{
    const std::vector<LanguageModuleFile> found = FindLanguageModules(kFolder, L"Tallyra32");
    std::map<std::wstring, LANGID> files;
    for (const LanguageModuleFile& module : found) {
        files[module.file] = module.language;
        EXPECT_FALSE(module.name.empty()) << Narrow(module.file);
    }
    std::map<std::wstring, LANGID> shipped;
    for (const ShippedLanguage& language : ShippedLanguages())
        shipped[language.File()] = language.language;
    EXPECT_EQ(files, shipped);  // Tallyra32.dll itself is not among them

    const std::optional<LanguageModuleFile> builtIn = BuiltInLanguage(kFolder, L"Tallyra32");
    ASSERT_TRUE(builtIn);
    EXPECT_EQ(builtIn->language, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    EXPECT_EQ(builtIn->name, L"中文(简体)");
    EXPECT_TRUE(builtIn->file.empty());
    EXPECT_TRUE(FindLanguageModules(kFolder + L"\\no-such-folder", L"Tallyra32").empty());
}

TEST(UserLanguageSetup, NamesTheModuleOfTheUsersLanguageOnlyWhenTheUserHasNotChosen)
{
    const std::vector<LanguageModuleFile> modules = FindLanguageModules(kFolder, L"Tallyra32");
    const LANGID builtIn = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    const struct {
        const char* what;
        std::optional<std::wstring> stored;  // before
        LANGID user;
        UserLanguageSetup result;
        std::optional<std::wstring> after;
    } cases[] = {
        {"Japanese", std::nullopt, 0x0411, UserLanguageSetup::Named, L"Tallyra32.ja.dll"},
        {"German (Austria): the German module", std::nullopt, 0x0C07, UserLanguageSetup::Named, L"Tallyra32.de.dll"},
        {"Portuguese (Portugal)", std::nullopt, 0x0816, UserLanguageSetup::Named, L"Tallyra32.pt-BR.dll"},
        {"Chinese (Hong Kong): Traditional", std::nullopt, 0x0C04, UserLanguageSetup::Named, L"Tallyra32.zh-TW.dll"},
        {"Chinese (Simplified): built in", std::nullopt, 0x0804, UserLanguageSetup::NoneFits, std::nullopt},
        {"Chinese (Singapore): built in", std::nullopt, 0x1004, UserLanguageSetup::NoneFits, std::nullopt},
        {"Polish: no module, English", std::nullopt, 0x0415, UserLanguageSetup::Named, L"Tallyra32.en.dll"},
        {"the built-in chosen", L"", 0x0411, UserLanguageSetup::ChoiceKept, L""},
        {"a module chosen", L"Other.dll", 0x0411, UserLanguageSetup::ChoiceKept, L"Other.dll"},
        {"a choice of another language", L"Tallyra32.fr.dll", 0x0407, UserLanguageSetup::ChoiceKept,
         L"Tallyra32.fr.dll"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchRegistry user;
        if (c.stored)
            WriteString(kSettings, L"LanguageModule", *c.stored);
        EXPECT_EQ(NameLanguageModuleForUser(modules, builtIn, c.user), c.result);
        EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kSettings, L"LanguageModule"), c.after);
    }
}

TEST(UserLanguageSetup, WithoutModulesNothingIsNamed)
{
    ScratchRegistry user;
    EXPECT_EQ(NameLanguageModuleForUser({}, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), 0x0411),
              UserLanguageSetup::NoneFits);
    EXPECT_FALSE(KeyExists(L"SOFTWARE\\Tallyra"));
}

TEST(LanguageModules, OnlyTheExtensionsOwnModulesCount)
{
    const struct {
        const wchar_t* copy;
        const wchar_t* of;
    } files[] = {
        {L"Tallyra32.ja.dll", L"Tallyra32.ja.dll"},     {L"Tallyra32.ja.dll.bak", L"Tallyra32.ja.dll"},
        {L"Tallyra32.dll", L"Tallyra32.dll"},           {L"Other.fr.dll", L"Tallyra32.fr.dll"},
        {L"tallyra32.DE.DLL", L"Tallyra32.de.dll"},
    };
    TempFolder folder;
    for (const auto& file : files)
        ASSERT_TRUE(::CopyFileW((kFolder + L"\\" + file.of).c_str(), (folder.Path() + L"\\" + file.copy).c_str(), FALSE));
    std::vector<std::wstring> found;
    for (const LanguageModuleFile& module : FindLanguageModules(folder.Path(), L"Tallyra32"))
        found.push_back(module.file);
    EXPECT_EQ(found, (std::vector<std::wstring>{L"Tallyra32.ja.dll", L"tallyra32.DE.DLL"}));
}
