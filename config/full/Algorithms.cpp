// The algorithms of the full configuration: all fourteen, registered in the
// catalogue while the module loads, before anything can ask it.
#include "engine/Descriptors.h"
#include "engine/HashCatalogue.h"

namespace {

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
