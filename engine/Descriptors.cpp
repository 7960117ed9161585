#include "Descriptors.h"

#include "HashCatalogue.h"
#include "HashTexts.h"

#include <algorithm>
#include <windows.h>

std::wstring WidenAlgorithmName(const char* name)
{
    const int length = ::MultiByteToWideChar(CP_THREAD_ACP, 0, name, -1, nullptr, 0);
    if (length <= 1)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, name, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

std::wstring DescriptionFromStringTable(unsigned id)
{
    return BoundHashTexts().Text(id);
}

void CRC32Descriptor::Finalize()
{
    std::vector<std::uint8_t> digest = FinalDigest();
    std::reverse(digest.begin(), digest.end());
    StoreDigest(digest);
}

namespace {

template <class Descriptor>
SharedDescriptor Make()
{
    return std::make_shared<Descriptor>();
}

template <class Descriptor>
bool RegisterDescriptor()
{
    return HashCatalogue::Instance().Register(Descriptor::StaticName(), &Make<Descriptor>);
}

// Registered while the module loads, before anything can ask the catalogue.
[[maybe_unused]] const bool registered[] = {
    RegisterDescriptor<CRC32Descriptor>(),
    RegisterDescriptor<DescriptorAdler32>(),
    RegisterDescriptor<DescriptorMD2>(),
    RegisterDescriptor<DescriptorMD4>(),
    RegisterDescriptor<DescriptorMD5>(),
    RegisterDescriptor<DescriptorSHA1>(),
    RegisterDescriptor<DescriptorSHA256>(),
    RegisterDescriptor<DescriptorSHA384>(),
    RegisterDescriptor<DescriptorSHA512>(),
    RegisterDescriptor<DescriptorTiger>(),
    RegisterDescriptor<DescriptorWhirlpool>(),
    RegisterDescriptor<DescriptorRIPEMD128>(),
    RegisterDescriptor<DescriptorRIPEMD256>(),
    RegisterDescriptor<DescriptorRIPEMD320>(),
};

}  // namespace
