#include "engine/HashCatalogue.h"
#include "settings/AlgorithmFlags.h"
#include "support/ScratchRegistry.h"

#include <gtest/gtest.h>

namespace {

AlgorithmFlags LoadFlags()
{
    return AlgorithmFlags::Load(HashCatalogue::Instance().CreateAll());
}

}  // namespace

TEST(AlgorithmFlags, AFreshUserHasEveryAlgorithmDisabledAndLoadingWritesNothing)
{
    ScratchRegistry registry;
    const AlgorithmFlags flags = LoadFlags();
    EXPECT_EQ(flags.Entries().size(), 14u);
    for (const auto& [name, enabled] : flags.Entries())
        EXPECT_FALSE(enabled);
    EXPECT_FALSE(KeyExists(L"SOFTWARE\\Tallyra"));
}

TEST(AlgorithmFlags, OnlyANonzeroDwordEnables)
{
    ScratchRegistry registry;
    WriteDword(AlgorithmKeyPath(L"SHA-256"), L"Enabled", 1);
    WriteDword(AlgorithmKeyPath(L"MD5"), L"Enabled", 0xFFFFFFFF);
    WriteDword(AlgorithmKeyPath(L"Tiger"), L"Enabled", 0);
    WriteString(AlgorithmKeyPath(L"SHA-1"), L"Enabled", L"1");
    const std::uint8_t one[] = {1};
    WriteRaw(AlgorithmKeyPath(L"CRC32"), L"Enabled", REG_BINARY, one, sizeof(one));
    WriteDword(AlgorithmKeyPath(L"Whirlpool"), L"Other", 1);
    WriteDword(AlgorithmKeyPath(L"sha-512"), L"Enabled", 1);  // key names differ only by case on Windows

    const AlgorithmFlags flags = LoadFlags();
    EXPECT_TRUE(flags.IsEnabled(L"SHA-256"));
    EXPECT_TRUE(flags.IsEnabled(L"MD5"));
    EXPECT_TRUE(flags.IsEnabled(L"SHA-512"));
    EXPECT_FALSE(flags.IsEnabled(L"Tiger"));
    EXPECT_FALSE(flags.IsEnabled(L"SHA-1"));
    EXPECT_FALSE(flags.IsEnabled(L"CRC32"));
    EXPECT_FALSE(flags.IsEnabled(L"Whirlpool"));
}

TEST(AlgorithmFlags, NamesTheMapDoesNotHoldAreNeitherEnabledNorAdded)
{
    ScratchRegistry registry;
    AlgorithmFlags flags = LoadFlags();
    flags.SetEnabled(L"HAVAL", true);
    flags.SetEnabled(L"sha-1", true);
    EXPECT_FALSE(flags.IsEnabled(L"HAVAL"));
    EXPECT_FALSE(flags.IsEnabled(L"sha-1"));
    EXPECT_FALSE(flags.IsEnabled(L"SHA-1"));
    EXPECT_EQ(flags.Entries().size(), 14u);
}

TEST(AlgorithmFlags, SaveAllWritesEveryFlagAsADwordAndRepairsWrongTypes)
{
    ScratchRegistry registry;
    WriteString(AlgorithmKeyPath(L"SHA-1"), L"Enabled", L"1");
    AlgorithmFlags flags = LoadFlags();
    flags.SetEnabled(L"RIPEMD-160", true);
    flags.SetEnabled(L"RIPEMD-128", true);
    flags.SetEnabled(L"Whirlpool", true);
    flags.SaveAll();

    for (const auto& [name, enabled] : flags.Entries()) {
        EXPECT_EQ(ValueType(AlgorithmKeyPath(name), L"Enabled"), static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(ReadDword(AlgorithmKeyPath(name), L"Enabled"), std::optional<DWORD>(enabled ? 1 : 0));
    }
    EXPECT_EQ(ReadDword(AlgorithmKeyPath(L"RIPEMD-128"), L"Enabled"), std::optional<DWORD>(1));
    EXPECT_EQ(ReadDword(AlgorithmKeyPath(L"SHA-1"), L"Enabled"), std::optional<DWORD>(0));
    EXPECT_FALSE(KeyExists(AlgorithmKeyPath(L"RIPEMD-160")));

    // What was saved reads back the same.
    EXPECT_EQ(LoadFlags().Entries(), flags.Entries());
}
