// Every language module the product ships against the full configuration's
// resource headers and built-in resources: every string, dialog and bitmap
// identifier the headers define and every string of the built-in table is
// in it, not empty; its dialogs hold the built-in dialogs' controls, and no
// label of them is cut off or drawn without glyphs in the dialog's font; its
// version resource names its language.
#include "support/ChildProcess.h"
#include "support/Gui.h"
#include "support/ShippedLanguages.h"
#include "support/Text.h"
#include "win/GdiObjects.h"
#include "win/StringResource.h"
#include "win/VersionResource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

namespace {

enum class Kind { String, Dialog, Bitmap };

// NAME -> identifier of the IDS_, IDD_ and IDB_ lines of the headers
// (RCDATA 1 to 3 of this program: settings/ResourceHeaders.rc).
std::map<std::string, std::pair<Kind, unsigned>> HeaderIdentifiers()
{
    std::map<std::string, std::pair<Kind, unsigned>> found;
    for (int header : {1, 2, 3}) {
        HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(header), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
        HGLOBAL loaded = resource ? ::LoadResource(nullptr, resource) : nullptr;
        if (!loaded)
            continue;
        std::istringstream lines(std::string(static_cast<const char*>(::LockResource(loaded)),
                                             ::SizeofResource(nullptr, resource)));
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::string define, name;
            unsigned id = 0;
            if (!(words >> define >> name >> id) || define != "#define")
                continue;
            const std::string prefix = name.substr(0, 4);
            if (prefix == "IDS_")
                found[name] = {Kind::String, id};
            else if (prefix == "IDD_")
                found[name] = {Kind::Dialog, id};
            else if (prefix == "IDB_")
                found[name] = {Kind::Bitmap, id};
        }
    }
    return found;
}

BOOL CALLBACK AddBlock(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR blocks)
{
    reinterpret_cast<std::set<unsigned>*>(blocks)->insert(static_cast<unsigned>(reinterpret_cast<UINT_PTR>(name)));
    return TRUE;
}

// The identifiers of the strings a module's string table holds.
std::set<unsigned> StringIds(HMODULE module)
{
    std::set<unsigned> blocks;
    ::EnumResourceNamesW(module, MAKEINTRESOURCEW(6) /* RT_STRING */, AddBlock, reinterpret_cast<LONG_PTR>(&blocks));
    std::set<unsigned> ids;
    for (unsigned block : blocks)
        for (unsigned id = (block - 1) * 16; id < block * 16; ++id)
            if (!win::LoadStringResource(module, id).empty())
                ids.insert(id);
    return ids;
}

std::set<int> ControlIds(HWND dialog)
{
    std::set<int> ids;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ids.insert(::GetDlgCtrlID(child));
    return ids;
}

// Labels of a dialog's buttons, group boxes, check boxes, static texts and
// links that do not fit their control, with the pixels they need and have.
std::vector<std::string> CutLabels(HWND dialog)
{
    std::vector<std::string> cut;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        std::wstring text = WindowText(child);
        wchar_t className[64] = {};
        ::GetClassNameW(child, className, 64);
        const std::wstring kind = className;
        const LONG style = ::GetWindowLongW(child, GWL_STYLE);
        int margin = 0;  // what the control draws beside its text
        if (_wcsicmp(className, L"Button") == 0) {
            switch (style & BS_TYPEMASK) {
            case BS_GROUPBOX: margin = 16; break;
            case BS_AUTOCHECKBOX:
            case BS_CHECKBOX: margin = ::GetSystemMetrics(SM_CXMENUCHECK) + 4; break;
            default: margin = 8; break;
            }
        } else if (_wcsicmp(className, WC_LINK) == 0) {
            for (const wchar_t* tag : {L"<a>", L"</a>"})
                for (auto at = text.find(tag); at != std::wstring::npos; at = text.find(tag))
                    text.erase(at, wcslen(tag));
        } else if (_wcsicmp(className, L"Static") != 0) {
            continue;
        }
        if (text.empty())
            continue;
        win::WindowDC dc(child);
        const HGDIOBJ old = ::SelectObject(dc.get(), reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)));
        SIZE size = {};
        ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        std::vector<WORD> glyphs(text.size());
        ::GetGlyphIndicesW(dc.get(), text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                           GGI_MARK_NONEXISTING_GLYPHS);
        ::SelectObject(dc.get(), old);
        if (std::find(glyphs.begin(), glyphs.end(), 0xFFFF) != glyphs.end())
            cut.push_back(Utf8(text) + ": characters without a glyph in the dialog's font");
        RECT box = {};
        ::GetClientRect(child, &box);
        if (size.cx + margin > box.right)
            cut.push_back(Utf8(text) + ": needs " + std::to_string(size.cx + margin) +
                          " px, has " + std::to_string(box.right));
    }
    return cut;
}

class ShippedModule : public ::testing::TestWithParam<ShippedLanguage> {
protected:
    void SetUp() override
    {
        builtIn.reset(::LoadLibraryExW(BesideThisProgram(L"full\\Tallyra32.dll").c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE));
        module.reset(::LoadLibraryExW(BesideThisProgram(GetParam().Path()).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(builtIn && module) << Narrow(GetParam().Path());
    }
    win::UniqueModule builtIn, module;
};

}  // namespace

TEST_P(ShippedModule, HoldsEveryIdentifierOfTheHeadersAndEveryBuiltInString)
{
    const auto identifiers = HeaderIdentifiers();
    for (const char* name : {"IDS_STOP", "IDS_DESCRIPTION_MD5", "IDD_HASH_PAGE", "IDD_SETTINGS", "IDB_RESULT_ICONS",
                             "IDD_FILES_PAGE", "IDD_SUMS_PAGE", "IDS_SUMS_NOT_UNDERSTOOD"})
        ASSERT_TRUE(identifiers.count(name)) << name << " not read from the headers";

    const std::set<unsigned> strings = StringIds(module.get());  // those not empty
    for (const auto& [name, identifier] : identifiers) {
        const auto [kind, id] = identifier;
        if (kind == Kind::String)
            EXPECT_TRUE(strings.count(id)) << name;
        else
            EXPECT_NE(::FindResourceW(module.get(), MAKEINTRESOURCEW(id), kind == Kind::Dialog ? RT_DIALOG : RT_BITMAP),
                      nullptr)
                << name;
    }
    const std::set<unsigned> builtInStrings = StringIds(builtIn.get());
    ASSERT_FALSE(builtInStrings.empty());
    for (unsigned id : builtInStrings)
        EXPECT_TRUE(strings.count(id)) << "built-in string " << id;
}

TEST_P(ShippedModule, DialogsHoldTheBuiltInControlsAndEveryLabelFits)
{
    for (const auto& [name, identifier] : HeaderIdentifiers()) {
        if (identifier.first != Kind::Dialog)
            continue;
        SCOPED_TRACE(name);
        const win::UniqueWindow ours = CreateFromTemplate(module.get(), identifier.second);
        const win::UniqueWindow theirs = CreateFromTemplate(builtIn.get(), identifier.second);
        ASSERT_TRUE(ours && theirs);
        EXPECT_EQ(ControlIds(ours.get()), ControlIds(theirs.get()));
        EXPECT_EQ(CutLabels(ours.get()), std::vector<std::string>());
    }
}

TEST_P(ShippedModule, ItsVersionResourceNamesItsLanguage)
{
    const win::VersionResource version(BesideThisProgram(GetParam().Path()));
    EXPECT_EQ(version.Language(), std::optional<LANGID>(GetParam().language));
    EXPECT_FALSE(version.String(L"LanguageName").value_or(L"").empty());
}

INSTANTIATE_TEST_SUITE_P(Modules, ShippedModule, ::testing::ValuesIn(ShippedLanguages()),
                         [](const ::testing::TestParamInfo<ShippedLanguage>& info) {
                             std::string name = Narrow(info.param.tag);
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// The list is the build's: it cannot shrink unnoticed.
TEST(ShippedModules, AreTheTenLanguages)
{
    std::set<std::wstring> tags;
    for (const ShippedLanguage& language : ShippedLanguages())
        tags.insert(language.tag);
    EXPECT_EQ(tags, (std::set<std::wstring>{L"en", L"ja", L"ko", L"zh-TW", L"de", L"fr", L"es", L"pt-BR", L"ru", L"it"}));
}
