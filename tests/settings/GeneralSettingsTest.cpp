#include "settings/GeneralSettings.h"
#include "support/ScratchRegistry.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kSettings = L"SOFTWARE\\Tallyra\\Settings";

}  // namespace

TEST(GeneralSettings, AFreshUserGetsTheDefaultsAndAnEmptySettingsKey)
{
    ScratchRegistry registry;
    const GeneralSettings settings = GeneralSettings::Load();
    EXPECT_FALSE(settings.UseLowercase());
    EXPECT_FALSE(settings.LanguageStored());
    EXPECT_EQ(settings.LanguageId(), 0);
    EXPECT_TRUE(settings.LanguageModule().empty());
    EXPECT_TRUE(KeyExists(kSettings));

    settings.Save();
    EXPECT_EQ(ReadDword(kSettings, L"UseLowercase"), std::optional<DWORD>(0));
    EXPECT_EQ(ValueType(kSettings, L"LanguageId"), static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(ValueType(kSettings, L"SublanguageId"), static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(ValueType(kSettings, L"LanguageModule"), static_cast<DWORD>(REG_NONE));
}

TEST(GeneralSettings, AReaderThatOnlyOpensCreatesNothing)
{
    ScratchRegistry registry;
    const GeneralSettings settings = GeneralSettings::Load(GeneralSettings::KeyAccess::OpenExisting);
    EXPECT_FALSE(settings.UseLowercase());
    EXPECT_FALSE(KeyExists(L"SOFTWARE\\Tallyra"));
}

TEST(GeneralSettings, LowercaseIsANonzeroDwordOnly)
{
    ScratchRegistry registry;
    WriteDword(kSettings, L"UseLowercase", 7);
    EXPECT_TRUE(GeneralSettings::Load().UseLowercase());
    WriteString(kSettings, L"UseLowercase", L"1");
    EXPECT_FALSE(GeneralSettings::Load().UseLowercase());

    GeneralSettings settings = GeneralSettings::Load();
    settings.SetUseLowercase(true);
    settings.Save();
    EXPECT_EQ(ReadDword(kSettings, L"UseLowercase"), std::optional<DWORD>(1));
}

TEST(GeneralSettings, LanguageIdWithoutSublanguageTakesTheDefaultSublanguage)
{
    ScratchRegistry registry;
    WriteDword(kSettings, L"LanguageId", 4);
    const GeneralSettings settings = GeneralSettings::Load();
    EXPECT_TRUE(settings.LanguageStored());
    EXPECT_EQ(settings.LanguageId(), 0x0404);
    settings.Save();
    EXPECT_EQ(ReadDword(kSettings, L"LanguageId"), std::optional<DWORD>(4));
    EXPECT_EQ(ReadDword(kSettings, L"SublanguageId"), std::optional<DWORD>(1));
}

TEST(GeneralSettings, LanguageIdAndSublanguageRoundTrip)
{
    ScratchRegistry registry;
    WriteDword(kSettings, L"LanguageId", LANG_CHINESE);
    WriteDword(kSettings, L"SublanguageId", SUBLANG_CHINESE_SIMPLIFIED);
    const GeneralSettings settings = GeneralSettings::Load();
    EXPECT_EQ(settings.LanguageId(), MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    settings.Save();
    EXPECT_EQ(ReadDword(kSettings, L"LanguageId"), std::optional<DWORD>(LANG_CHINESE));
    EXPECT_EQ(ReadDword(kSettings, L"SublanguageId"), std::optional<DWORD>(SUBLANG_CHINESE_SIMPLIFIED));
}

TEST(GeneralSettings, SublanguageWithoutLanguageIdIsIgnoredAndDeletedOnSave)
{
    ScratchRegistry registry;
    WriteDword(kSettings, L"SublanguageId", 2);
    WriteString(kSettings, L"LanguageId", L"4");  // wrong type: no language stored
    const GeneralSettings settings = GeneralSettings::Load();
    EXPECT_FALSE(settings.LanguageStored());
    EXPECT_EQ(settings.LanguageId(), 0);
    settings.Save();
    EXPECT_EQ(ValueType(kSettings, L"SublanguageId"), static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(ValueType(kSettings, L"LanguageId"), static_cast<DWORD>(REG_NONE));
}

TEST(GeneralSettings, LanguageModuleFitsIn1023CharactersAndIsNeverWritten)
{
    ScratchRegistry registry;
    const std::wstring longest(1023, L'x');
    WriteString(kSettings, L"LanguageModule", longest);
    const GeneralSettings settings = GeneralSettings::Load();
    EXPECT_EQ(settings.LanguageModule(), longest);

    WriteString(kSettings, L"LanguageModule", std::wstring(1024, L'x'));
    EXPECT_TRUE(GeneralSettings::Load().LanguageModule().empty());
    WriteString(kSettings, L"LanguageModule", std::wstring(5000, L'x'));
    EXPECT_TRUE(GeneralSettings::Load().LanguageModule().empty());

    // Saving leaves the stored (too long) text alone.
    settings.Save();
    DWORD size = 0;
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, kSettings.c_str(), L"LanguageModule", RRF_RT_REG_SZ, nullptr,
                             nullptr, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 5001 * sizeof(wchar_t));
}

TEST(GeneralSettings, LanguageModuleTakesStringsLiterallyAndRefusesOtherShapes)
{
    ScratchRegistry registry;
    WriteString(kSettings, L"LanguageModule", L"%TEMP%\\lang.dll", REG_EXPAND_SZ);
    EXPECT_EQ(GeneralSettings::Load().LanguageModule(), L"%TEMP%\\lang.dll");

    const wchar_t twoStrings[] = L"first.dll\0second.dll\0";
    WriteRaw(kSettings, L"LanguageModule", REG_MULTI_SZ, twoStrings, sizeof(twoStrings));
    EXPECT_TRUE(GeneralSettings::Load().LanguageModule().empty());

    const wchar_t embedded[] = L"lang.dll\0tail";
    WriteRaw(kSettings, L"LanguageModule", REG_SZ, embedded, sizeof(embedded));
    EXPECT_EQ(GeneralSettings::Load().LanguageModule(), L"lang.dll");

    const char oddLength[] = {'a', 0, 'b', 0, 0};
    WriteRaw(kSettings, L"LanguageModule", REG_SZ, oddLength, sizeof(oddLength));
    EXPECT_TRUE(GeneralSettings::Load().LanguageModule().empty());
}
