// The algorithms of the reduced configuration: ten, with HAVAL and without
// Adler-32, MD2, MD4, SHA-256 and SHA-384, registered in the catalogue while
// the module loads, before anything can ask it.
#include "engine/Descriptors.h"
#include "engine/HashCatalogue.h"

namespace {

[[maybe_unused]] const bool registered[] = {
    RegisterDescriptor<CRC32Descriptor>(),
    RegisterDescriptor<DescriptorHAVAL>(),
    RegisterDescriptor<DescriptorMD5>(),
    RegisterDescriptor<DescriptorSHA1>(),
    RegisterDescriptor<DescriptorSHA512>(),
    RegisterDescriptor<DescriptorTiger>(),
    RegisterDescriptor<DescriptorWhirlpool>(),
    RegisterDescriptor<DescriptorRIPEMD128>(),
    RegisterDescriptor<DescriptorRIPEMD256>(),
    RegisterDescriptor<DescriptorRIPEMD320>(),
};

}  // namespace
