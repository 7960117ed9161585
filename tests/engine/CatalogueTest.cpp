#include "engine/Descriptors.h"
#include "support/Digests.h"

#include <set>

namespace {

const std::vector<std::wstring> kCatalogueOrder = {
    L"Adler32", L"CRC32",   L"MD2",     L"MD4",     L"MD5",   L"RIPEMD-128", L"RIPEMD-256",
    L"RIPEMD-320", L"SHA-1", L"SHA-256", L"SHA-384", L"SHA-512", L"Tiger",  L"Whirlpool"};

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

}  // namespace

TEST(HashCatalogue, CreateAllGivesAllFourteenInNameOrder)
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
    HashCatalogue catalogue;
    // Registered backwards, with names that test digits, hyphens, case and prefixes.
    catalogue.Register(L"b", [] { return MakeAs<DescriptorMD5>(); });
    catalogue.Register(L"SHA-256", [] { return MakeAs<DescriptorSHA256>(); });
    catalogue.Register(L"SHA", [] { return MakeAs<DescriptorSHA1>(); });
    catalogue.Register(L"SHA-1", [] { return MakeAs<DescriptorSHA1>(); });
    catalogue.Register(L"MD5", [] { return MakeAs<DescriptorMD5>(); });
    catalogue.Register(L"MD4", [] { return MakeAs<DescriptorMD4>(); });
    FixedSettings everything;
    everything.enabled = {L"b", L"SHA-256", L"SHA", L"SHA-1", L"MD5", L"MD4"};

    const std::vector<std::wstring> expected = {L"MD4", L"MD5", L"SHA", L"SHA-1", L"SHA-256", L"b"};
    // The list order is the key order; the descriptors' own names show which factory ran.
    const DescriptorList all = catalogue.CreateAll();
    ASSERT_EQ(all.size(), expected.size());
    EXPECT_EQ(all[0]->GetName(), L"MD4");
    EXPECT_EQ(all[1]->GetName(), L"MD5");
    EXPECT_EQ(all[2]->GetName(), L"SHA-1");    // registered as "SHA"
    EXPECT_EQ(all[4]->GetName(), L"SHA-256");
    EXPECT_EQ(all[5]->GetName(), L"MD5");      // registered as "b", after every uppercase name
    EXPECT_EQ(catalogue.CreateEnabled(everything).size(), expected.size());
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
    EXPECT_EQ(HashCatalogue::Instance().CreateEnabled().size(), 3u);
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
    std::set<std::wstring> distinct;
    for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll()) {
        EXPECT_FALSE(descriptor->GetDescription().empty()) << Narrow(descriptor->GetName());
        distinct.insert(descriptor->GetDescription());
    }
    EXPECT_EQ(distinct.size(), 14u);
}
