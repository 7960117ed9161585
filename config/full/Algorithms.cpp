// The algorithms of the full configuration: the fourteen common ones and the
// twelve newer ones (CRC-32C, CRC-64, SHA-3, BLAKE2, BLAKE3, xxHash),
// registered in the catalogue while the module loads, before anything can ask it.
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
    RegisterDescriptor<DescriptorCRC32C>(),
    RegisterDescriptor<DescriptorCRC64>(),
    RegisterDescriptor<DescriptorSHA3_224>(),
    RegisterDescriptor<DescriptorSHA3_256>(),
    RegisterDescriptor<DescriptorSHA3_384>(),
    RegisterDescriptor<DescriptorSHA3_512>(),
    RegisterDescriptor<DescriptorBLAKE2b>(),
    RegisterDescriptor<DescriptorBLAKE2s>(),
    RegisterDescriptor<DescriptorBLAKE3>(),
    RegisterDescriptor<DescriptorXXH64>(),
    RegisterDescriptor<DescriptorXXH3>(),
    RegisterDescriptor<DescriptorXXH128>(),
};

}  // namespace
