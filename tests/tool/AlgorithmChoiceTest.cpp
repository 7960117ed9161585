#include "settings/AlgorithmFlags.h"
#include "support/ScratchRegistry.h"
#include "tools/tallyra-hash/AlgorithmChoice.h"

#include <gtest/gtest.h>

namespace {

Options OptionsFor(std::vector<std::wstring> arguments)
{
    arguments.push_back(L"file");
    const ParsedOptions parsed = ParseOptions(arguments);
    EXPECT_TRUE(parsed.error.empty());
    return parsed.options;
}

}  // namespace

TEST(AlgorithmChoice, WithoutAlgoTheEnabledSettingsAreReadAndNothingIsWritten)
{
    ScratchRegistry registry;
    WriteDword(AlgorithmKeyPath(L"SHA-512"), L"Enabled", 1);
    WriteDword(AlgorithmKeyPath(L"Adler32"), L"Enabled", 1);
    WriteDword(L"SOFTWARE\\Tallyra\\Settings", L"UseLowercase", 1);
    AlgorithmChoice choice;
    std::wstring error;
    ASSERT_TRUE(ChooseAlgorithms(OptionsFor({}), choice, error));
    EXPECT_EQ(choice.names, (std::set<std::wstring>{L"Adler32", L"SHA-512"}));
    EXPECT_TRUE(choice.lowercase);
    EXPECT_FALSE(KeyExists(AlgorithmKeyPath(L"MD5")));
}

TEST(AlgorithmChoice, NoEnabledAlgorithmIsAnErrorThatSaysWhatToDo)
{
    ScratchRegistry registry;
    AlgorithmChoice choice;
    std::wstring error;
    EXPECT_FALSE(ChooseAlgorithms(OptionsFor({}), choice, error));
    EXPECT_NE(error.find(L"--algo"), std::wstring::npos);
    EXPECT_FALSE(KeyExists(L"SOFTWARE\\Tallyra"));
}

TEST(AlgorithmChoice, AlgoNamesMatchWithoutCaseAndUnknownNamesListTheValidOnes)
{
    ScratchRegistry registry;
    AlgorithmChoice choice;
    std::wstring error;
    ASSERT_TRUE(ChooseAlgorithms(OptionsFor({L"--algo", L"sha-256", L"--algo=ripemd-320", L"--lower"}), choice, error));
    EXPECT_EQ(choice.names, (std::set<std::wstring>{L"RIPEMD-320", L"SHA-256"}));
    EXPECT_TRUE(choice.lowercase);

    AlgorithmChoice refused;
    EXPECT_FALSE(ChooseAlgorithms(OptionsFor({L"--algo", L"SHA256"}), refused, error));
    EXPECT_NE(error.find(L"SHA256"), std::wstring::npos);
    EXPECT_NE(error.find(L"RIPEMD-128"), std::wstring::npos);
    EXPECT_NE(error.find(L"Whirlpool"), std::wstring::npos);
}

TEST(AlgorithmChoice, CommandLineShapes)
{
    EXPECT_FALSE(ParseOptions({}).error.empty());
    EXPECT_FALSE(ParseOptions({L"--algo"}).error.empty());
    EXPECT_FALSE(ParseOptions({L"--bogus", L"f"}).error.empty());
    EXPECT_TRUE(ParseOptions({L"--help"}).options.help);
    const ParsedOptions dashFile = ParseOptions({L"--all", L"--", L"--lower", L"-"});
    EXPECT_TRUE(dashFile.error.empty());
    EXPECT_FALSE(dashFile.options.lowercase);
    EXPECT_EQ(dashFile.options.files, (std::vector<std::wstring>{L"--lower", L"-"}));
}
