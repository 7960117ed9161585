// The process-wide settings objects through a real module's life: read on
// first use, followed by the engine, written back when the module unloads.
#include "settings/AlgorithmFlags.h"
#include "support/ChildProcess.h"
#include "support/ScratchRegistry.h"
#include "support/Text.h"

#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace {

const std::wstring kSettings = L"SOFTWARE\\Tallyra\\Settings";

// A settings probe DLL: the full configuration's store, or with
// L"settings_probe_reduced.dll" the reduced one's.
class Probe {
public:
    explicit Probe(const wchar_t* file = L"settings_probe.dll") : module(::LoadLibraryW(BesideThisProgram(file).c_str()))
    {
        if (!module)
            throw std::runtime_error("a settings probe did not load");
    }
    ~Probe() { Unload(); }
    void Unload() { module.reset(); }

    template <class Function>
    Function* Get(const char* name)
    {
        return reinterpret_cast<Function*>(reinterpret_cast<void*>(::GetProcAddress(module.get(), name)));
    }
    void SetEnabled(const wchar_t* algorithm, bool enabled)
    {
        Get<void(const wchar_t*, int)>("ProbeSetEnabled")(algorithm, enabled ? 1 : 0);
    }
    std::wstring Text(const char* name)
    {
        wchar_t buffer[512] = {};
        Get<int(wchar_t*, int)>(name)(buffer, 512);
        return buffer;
    }

private:
    win::UniqueModule module;
};

}  // namespace

TEST(SettingsLifetime, OnlyTheObjectsThatWereMadeAreWrittenAtUnload)
{
    ScratchRegistry registry;
    Probe probe;
    probe.Get<void()>("ProbeTouchGeneralSettings")();
    EXPECT_TRUE(KeyExists(kSettings));  // made on first use
    probe.Unload();
    EXPECT_EQ(ReadDword(kSettings, L"UseLowercase"), std::optional<DWORD>(0));
    EXPECT_FALSE(KeyExists(L"SOFTWARE\\Tallyra\\Algorithms"));
}

TEST(SettingsLifetime, TheEngineFollowsTheStoreAndTheStoreIsSavedAtUnload)
{
    ScratchRegistry registry;
    WriteDword(AlgorithmKeyPath(L"SHA-256"), L"Enabled", 1);
    WriteDword(AlgorithmKeyPath(L"CRC32"), L"Enabled", 1);
    WriteString(AlgorithmKeyPath(L"MD5"), L"Enabled", L"1");
    WriteDword(kSettings, L"UseLowercase", 1);
    WriteDword(kSettings, L"LanguageId", 4);

    Probe probe;
    EXPECT_EQ(probe.Text("ProbeEnabledNames"), L"CRC32,SHA-256");
    EXPECT_EQ(probe.Text("ProbeMd5OfAbc"), L"900150983cd24fb0d6963f7d28e17f72");
    probe.Get<void(int)>("ProbeSetLowercase")(0);
    EXPECT_EQ(probe.Text("ProbeMd5OfAbc"), L"900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(ReadDword(kSettings, L"UseLowercase"), std::optional<DWORD>(0));  // written at once

    probe.Get<void(const wchar_t*, int)>("ProbeSetEnabled")(L"Tiger", 1);
    probe.Get<void(const wchar_t*, int)>("ProbeSetEnabled")(L"CRC32", 0);
    EXPECT_EQ(probe.Text("ProbeEnabledNames"), L"SHA-256,Tiger");
    // Changes are written at once; the rest only when the module unloads.
    EXPECT_EQ(ReadDword(AlgorithmKeyPath(L"CRC32"), L"Enabled"), std::optional<DWORD>(0));
    EXPECT_EQ(ReadDword(AlgorithmKeyPath(L"Tiger"), L"Enabled"), std::optional<DWORD>(1));
    EXPECT_EQ(ValueType(AlgorithmKeyPath(L"MD5"), L"Enabled"), static_cast<DWORD>(REG_SZ));

    probe.Unload();
    EXPECT_EQ(ReadDword(AlgorithmKeyPath(L"CRC32"), L"Enabled"), std::optional<DWORD>(0));
    EXPECT_EQ(ReadDword(AlgorithmKeyPath(L"Tiger"), L"Enabled"), std::optional<DWORD>(1));
    EXPECT_EQ(ReadDword(AlgorithmKeyPath(L"SHA-256"), L"Enabled"), std::optional<DWORD>(1));
    EXPECT_EQ(ValueType(AlgorithmKeyPath(L"MD5"), L"Enabled"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadDword(AlgorithmKeyPath(L"MD5"), L"Enabled"), std::optional<DWORD>(0));
    EXPECT_EQ(ReadDword(kSettings, L"UseLowercase"), std::optional<DWORD>(0));
    EXPECT_EQ(ReadDword(kSettings, L"LanguageId"), std::optional<DWORD>(4));
    EXPECT_EQ(ReadDword(kSettings, L"SublanguageId"), std::optional<DWORD>(1));
}

TEST(SettingsLifetime, FirstUseFromManyThreadsAtOnceMakesOneObject)
{
    ScratchRegistry registry;
    WriteDword(AlgorithmKeyPath(L"MD4"), L"Enabled", 1);
    for (int round = 0; round < 20; ++round) {
        Probe probe;
        auto enabledNames = probe.Get<int(wchar_t*, int)>("ProbeEnabledNames");
        auto setEnabled = probe.Get<void(const wchar_t*, int)>("ProbeSetEnabled");
        std::vector<std::thread> threads;
        std::vector<std::wstring> seen(8);
        for (size_t i = 0; i < seen.size(); ++i) {
            threads.emplace_back([&, i] {
                wchar_t buffer[256] = {};
                enabledNames(buffer, 256);
                seen[i] = buffer;
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        for (const std::wstring& names : seen)
            EXPECT_EQ(names, L"MD4");
        // A change through one thread's object is seen by all: there is one.
        setEnabled(L"MD5", 1);
        wchar_t buffer[256] = {};
        std::thread([&] { enabledNames(buffer, 256); }).join();
        EXPECT_STREQ(buffer, L"MD4,MD5");
        probe.Unload();
        WriteDword(AlgorithmKeyPath(L"MD5"), L"Enabled", 0);
    }
}

TEST(SettingsLifetime, TheConfigurationsShareTheCommonNamesAndLeaveEachOthersValuesAlone)
{
    ScratchRegistry registry;
    {
        Probe full;
        for (const wchar_t* name : {L"Adler32", L"MD2", L"SHA-256", L"CRC32", L"Tiger"})
            full.SetEnabled(name, true);
        full.Get<void(int)>("ProbeSetLowercase")(1);
    }  // unloaded: every one of its twenty-six names written
    WriteDword(kSettings, L"LanguageId", 4);
    WriteString(kSettings, L"LanguageModule", L"lang.dll");

    Probe reduced(L"settings_probe_reduced.dll");
    EXPECT_EQ(reduced.Text("ProbeEnabledNames"), L"CRC32,Tiger");
    reduced.SetEnabled(L"HAVAL", true);
    reduced.SetEnabled(L"Tiger", false);
    reduced.SetEnabled(L"MD2", false);  // not one of its names: ignored
    EXPECT_EQ(reduced.Text("ProbeEnabledNames"), L"CRC32,HAVAL");
    reduced.Get<void(int)>("ProbeSetLowercase")(0);
    reduced.Unload();

    // The names the reduced configuration lacks, as the full one wrote them.
    const std::map<std::wstring, DWORD> fullOnly = {
        {L"Adler32", 1}, {L"MD2", 1}, {L"MD4", 0}, {L"SHA-256", 1}, {L"SHA-384", 0}};
    for (const auto& [name, stored] : fullOnly)
        EXPECT_EQ(ReadDword(AlgorithmKeyPath(name), L"Enabled"), std::optional<DWORD>(stored)) << Narrow(name);
    EXPECT_EQ(ReadDword(AlgorithmKeyPath(L"HAVAL"), L"Enabled"), std::optional<DWORD>(1));
    EXPECT_EQ(ReadDword(AlgorithmKeyPath(L"Tiger"), L"Enabled"), std::optional<DWORD>(0));
    EXPECT_EQ(ReadDword(kSettings, L"UseLowercase"), std::optional<DWORD>(0));
    // The language values are neither read (a read one would be written back
    // with its sublanguage) nor deleted.
    EXPECT_EQ(ReadDword(kSettings, L"LanguageId"), std::optional<DWORD>(4));
    EXPECT_EQ(ValueType(kSettings, L"SublanguageId"), static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(ValueType(kSettings, L"LanguageModule"), static_cast<DWORD>(REG_SZ));

    // And back: the full configuration reads the common names as the reduced
    // one left them, and leaves HAVAL alone.
    Probe full;
    EXPECT_EQ(full.Text("ProbeEnabledNames"), L"Adler32,CRC32,MD2,SHA-256");
    full.Unload();
    EXPECT_EQ(ReadDword(AlgorithmKeyPath(L"HAVAL"), L"Enabled"), std::optional<DWORD>(1));
}

// A process that ends with the module loaded (a program that showed a
// Properties dialog) writes nothing at its end: the module's detach then runs
// with every other thread gone, and each change was written when it was made.
// A module let go before the end still writes its settings back.
TEST(SettingsLifetime, NothingIsWrittenWhenTheProcessEndsWithTheModuleLoaded)
{
    ScratchRegistry registry;
    const struct {
        const wchar_t* ending;
        std::optional<DWORD> lowercase;
    } cases[] = {{L"exit", std::nullopt}, {L"unload", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.ending));
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\Tallyra");
        const ChildResult child =
            RunChild(BesideThisProgram(L"module_at_exit.exe"),
                     {BesideThisProgram(L"full\\Tallyra32.dll"), registry.Path(), c.ending});
        ASSERT_EQ(child.exitCode, 0u);
        EXPECT_TRUE(KeyExists(kSettings));  // the settings were read
        EXPECT_EQ(ReadDword(kSettings, L"UseLowercase"), c.lowercase);
    }
}
