#include "engine/HashCatalogue.h"
#include "settings/AlgorithmFlags.h"
#include "support/ScratchRegistry.h"

#include <atomic>
#include <gtest/gtest.h>
#include <set>
#include <thread>

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
    EXPECT_EQ(flags.Entries().size(), 26u);
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
    EXPECT_EQ(flags.Entries().size(), 26u);
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

TEST(AlgorithmFlags, AChangedFlagIsWrittenAtOnceAndAnUnchangedOneIsNot)
{
    ScratchRegistry registry;
    AlgorithmFlags flags = LoadFlags();
    flags.SetEnabled(L"Tiger", true);
    flags.SetEnabled(L"MD5", false);
    flags.SetEnabled({{L"SHA-1", true}, {L"CRC32", false}, {L"HAVAL", true}});
    EXPECT_EQ(ReadDword(AlgorithmKeyPath(L"Tiger"), L"Enabled"), std::optional<DWORD>(1));
    EXPECT_EQ(ReadDword(AlgorithmKeyPath(L"SHA-1"), L"Enabled"), std::optional<DWORD>(1));
    EXPECT_FALSE(KeyExists(AlgorithmKeyPath(L"MD5")));
    EXPECT_FALSE(KeyExists(AlgorithmKeyPath(L"CRC32")));
    EXPECT_FALSE(KeyExists(AlgorithmKeyPath(L"HAVAL")));
}

TEST(AlgorithmFlags, ListsMadeWhileAnotherThreadSavesAreEachOneWholeChoice)
{
    // The engine asking the flags, as the extension binds them.
    class Asked final : public IHashSettings {
    public:
        explicit Asked(const AlgorithmFlags& flags) : flags(flags) {}
        bool IsEnabled(const std::wstring& name) const override { return flags.IsEnabled(name); }
        std::vector<bool> AreEnabled(const std::vector<std::wstring>& names) const override
        {
            return flags.AreEnabled(names);
        }
        bool UseLowercase() const override { return false; }

    private:
        const AlgorithmFlags& flags;
    };

    ScratchRegistry registry;
    AlgorithmFlags flags = LoadFlags();
    const std::set<std::wstring> some = {L"CRC32", L"MD5", L"SHA-1", L"SHA-256", L"Whirlpool"};
    std::map<std::wstring, bool> first, second;
    std::set<std::wstring> rest;
    for (const auto& [name, enabled] : flags.Entries()) {
        first[name] = some.count(name) == 1;
        second[name] = !first[name];
        if (!first[name])
            rest.insert(name);
    }
    flags.SetEnabled(first);

    std::atomic<bool> saving{true};
    std::thread saver([&] {
        for (int i = 0; i < 300; ++i) {
            flags.SetEnabled(i % 2 == 0 ? second : first);
            flags.SaveAll();
        }
        saving = false;
    });
    const Asked asked(flags);
    int lists = 0;
    int torn = 0;
    do {
        std::set<std::wstring> names;
        for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateEnabled(asked))
            names.insert(descriptor->GetName());
        if (names != some && names != rest)
            ++torn;
        ++lists;
    } while (saving);
    saver.join();
    EXPECT_EQ(torn, 0) << "of " << lists << " lists";
}
