#include "engine/Descriptors.h"
#include "support/Digests.h"

#include <set>

namespace {

const std::vector<std::wstring> kCatalogueOrder = {
    L"Adler32",  L"BLAKE2b",  L"BLAKE2s",  L"BLAKE3",   L"CRC32",      L"CRC32C",     L"CRC64",
    L"MD2",      L"MD4",      L"MD5",      L"RIPEMD-128", L"RIPEMD-256", L"RIPEMD-320", L"SHA-1",
    L"SHA-256",  L"SHA-384",  L"SHA-512",  L"SHA3-224", L"SHA3-256",   L"SHA3-384",   L"SHA3-512",
    L"Tiger",    L"Whirlpool", L"XXH128",  L"XXH3",     L"XXH64"};

std::vector<std::wstring> NamesOf(const DescriptorList& list)
{
    std::vector<std::wstring> names;
    for (const SharedDescriptor& descriptor : list)
        names.push_back(descriptor->GetName());
    return names;
}

template <class Descriptor>
SharedDescriptor MakeAs()
{
    return std::make_shared<Descriptor>();
}

// A descriptor that carries the name it was registered under, so that a list
// shows which key made each entry.
class Labelled final : public IHashDescriptor {
public:
    explicit Labelled(std::wstring label) : label(std::move(label)) {}
    void Update(const std::uint8_t*, std::uint32_t) override {}
    void Finalize() override {}
    std::wstring GetDigestText() const override { return L""; }
    std::wstring GetName() const override { return label; }
    std::wstring GetDescription() const override { return L""; }
    void Restart() override {}

private:
    std::wstring label;
};

// Keys in plain UTF-16 order: prefixes, hyphens before digits, upper case
// before lower case, a character beyond ASCII last.
const std::vector<std::wstring> kOrderedKeys = {L"MD4", L"MD5", L"SHA", L"SHA-1", L"SHA-256",
                                                L"SHA1", L"b", L"sha", L"\u00C4"};

template <std::size_t Index>
SharedDescriptor LabelledAs()
{
    return std::make_shared<Labelled>(kOrderedKeys[Index]);
}

}  // namespace

TEST(HashCatalogue, CreateAllGivesAllTwentySixInNameOrder)
{
    EXPECT_EQ(NamesOf(HashCatalogue::Instance().CreateAll()), kCatalogueOrder);
}

TEST(HashCatalogue, EveryListHoldsFreshDescriptors)
{
    const DescriptorList first = HashCatalogue::Instance().CreateAll();
    const DescriptorList second = HashCatalogue::Instance().CreateAll();
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_NE(first[i].get(), second[i].get());
}

TEST(HashCatalogue, OrderIsPlainUtf16OrderWhateverTheRegistrationOrder)
{
    const DescriptorFactory factories[] = {&LabelledAs<0>, &LabelledAs<1>, &LabelledAs<2>,
                                           &LabelledAs<3>, &LabelledAs<4>, &LabelledAs<5>,
                                           &LabelledAs<6>, &LabelledAs<7>, &LabelledAs<8>};
    HashCatalogue catalogue;
    for (const std::size_t index : {6, 4, 8, 2, 7, 3, 5, 1, 0})
        EXPECT_TRUE(catalogue.Register(kOrderedKeys[index], factories[index]));

    EXPECT_EQ(NamesOf(catalogue.CreateAll()), kOrderedKeys);
    FixedSettings some;
    some.enabled = {L"\u00C4", L"sha", L"SHA-1", L"MD4", L"Sha"};  // "Sha" is no key: names match exactly
    EXPECT_EQ(NamesOf(catalogue.CreateEnabled(some)), (std::vector<std::wstring>{L"MD4", L"SHA-1", L"sha", L"\u00C4"}));
}

TEST(HashCatalogue, SecondRegistrationOfANameIsRefusedAndTheFirstFactoryStays)
{
    HashCatalogue catalogue;
    EXPECT_TRUE(catalogue.Register(L"MD5", [] { return MakeAs<DescriptorMD5>(); }));
    EXPECT_FALSE(catalogue.Register(L"MD5", [] { return MakeAs<DescriptorSHA512>(); }));
    const DescriptorList all = catalogue.CreateAll();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0]->GetName(), L"MD5");
}

TEST(HashCatalogue, TheModuleRefusesADuplicateOfABuiltInName)
{
    EXPECT_FALSE(HashCatalogue::Instance().Register(L"SHA-1", [] { return MakeAs<DescriptorMD5>(); }));
    EXPECT_EQ(MakeDescriptor(L"SHA-1")->GetDescription(), DescriptorSHA1().GetDescription());
}

TEST(HashCatalogue, CreateEnabledFollowsTheSettingsInCatalogueOrder)
{
    FixedSettings settings;
    EXPECT_TRUE(HashCatalogue::Instance().CreateEnabled(settings).empty());

    settings.enabled = {L"Whirlpool", L"MD5", L"NoSuchHash", L"CRC32"};
    EXPECT_EQ(NamesOf(HashCatalogue::Instance().CreateEnabled(settings)),
              (std::vector<std::wstring>{L"CRC32", L"MD5", L"Whirlpool"}));

    // Without settings bound, nothing is enabled.
    EXPECT_TRUE(HashCatalogue::Instance().CreateEnabled().empty());
    BoundSettings bound(settings);
    EXPECT_EQ(NamesOf(HashCatalogue::Instance().CreateEnabled()),
              (std::vector<std::wstring>{L"CRC32", L"MD5", L"Whirlpool"}));
}

TEST(HashCatalogue, DescriptionsComeFromTheStringTable)
{
    // UTF-8 sources through the resource compiler: the Chinese must survive.
    EXPECT_EQ(MakeDescriptor(L"MD5")->GetDescription(),
              L"[16] MD5 信息-摘要算法，由Quenby设计的专门用于加密处理的被广泛使用的HASH函数。");
    EXPECT_EQ(MakeDescriptor(L"CRC32")->GetDescription(), L"[8] CRC32 32位的循环冗余校验算法(CRC)。");
    EXPECT_EQ(MakeDescriptor(L"Whirlpool")->GetDescription(), L"[128] Whirlpool 产生一组512位摘要，目前没有已知的漏洞。");
    EXPECT_EQ(MakeDescriptor(L"SHA-256")->GetDescription(),
              L"SHA stands for Secure Hash Algorithm.  SHA256 produces a 256 bit digest.");
    EXPECT_EQ(MakeDescriptor(L"Adler32")->GetDescription(), L"Adler-32 Checksum");
    EXPECT_EQ(MakeDescriptor(L"MD2")->GetDescription(), L"Message Digest 2");
    EXPECT_EQ(MakeDescriptor(L"MD4")->GetDescription(), L"Message Digest 4");
    EXPECT_EQ(MakeDescriptor(L"BLAKE3")->GetDescription(), L"[64] BLAKE3 可并行计算的极快安全校验算法，产生一组256位摘要。");
    std::set<std::wstring> distinct;
    for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll()) {
        EXPECT_FALSE(descriptor->GetDescription().empty()) << Narrow(descriptor->GetName());
        distinct.insert(descriptor->GetDescription());
    }
    EXPECT_EQ(distinct.size(), 26u);
}
