// Descriptions follow the texts bound to the engine (the extension binds its
// resource instance, so that a language module's texts show).
#include "engine/HashTexts.h"
#include "engine/DescriptionIds.h"
#include "support/Digests.h"

namespace {

class NumberedTexts final : public IHashTexts {
public:
    std::wstring Text(unsigned id) const override { return L"text " + std::to_wstring(id); }
};

std::wstring Numbered(unsigned id)
{
    return NumberedTexts().Text(id);
}

}  // namespace

TEST(HashTexts, DescriptionsComeFromTheBoundTextsUntilUnbound)
{
    const std::wstring builtInMd5 = MakeDescriptor(L"MD5")->GetDescription();
    const NumberedTexts texts;
    BindHashTexts(&texts);
    EXPECT_EQ(MakeDescriptor(L"MD5")->GetDescription(), Numbered(IDS_DESCRIPTION_MD5));
    EXPECT_EQ(MakeDescriptor(L"CRC32")->GetDescription(), Numbered(IDS_DESCRIPTION_CRC32));
    EXPECT_EQ(MakeDescriptor(L"SHA-384")->GetDescription(), Numbered(IDS_DESCRIPTION_SHA384));
    EXPECT_EQ(MakeDescriptor(L"MD2")->GetDescription(), L"Message Digest 2");  // a fixed text
    BindHashTexts(nullptr);
    EXPECT_EQ(MakeDescriptor(L"MD5")->GetDescription(), builtInMd5);
    EXPECT_FALSE(builtInMd5.empty());
}
