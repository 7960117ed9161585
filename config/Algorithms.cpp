// The algorithms of the catalogue's configurations: the nine that both offer,
// then what each adds. The catalogue keeps them in name order, whatever the
// order here.
#include "config/Configurations.h"
#include "engine/Descriptors.h"
#include "engine/HashCatalogue.h"

namespace {

void RegisterShared(HashCatalogue& catalogue)
{
    RegisterDescriptor<CRC32Descriptor>(catalogue);
    RegisterDescriptor<DescriptorMD5>(catalogue);
    RegisterDescriptor<DescriptorSHA1>(catalogue);
    RegisterDescriptor<DescriptorSHA512>(catalogue);
    RegisterDescriptor<DescriptorTiger>(catalogue);
    RegisterDescriptor<DescriptorWhirlpool>(catalogue);
    RegisterDescriptor<DescriptorRIPEMD128>(catalogue);
    RegisterDescriptor<DescriptorRIPEMD256>(catalogue);
    RegisterDescriptor<DescriptorRIPEMD320>(catalogue);
}

}  // namespace

// The shared nine with Adler-32, MD2, MD4, SHA-256 and SHA-384, and the
// twelve newer ones (CRC-32C, CRC-64, SHA-3, BLAKE2, BLAKE3, xxHash).
void RegisterFullAlgorithms(HashCatalogue& catalogue)
{
    RegisterShared(catalogue);
    RegisterDescriptor<DescriptorAdler32>(catalogue);
    RegisterDescriptor<DescriptorMD2>(catalogue);
    RegisterDescriptor<DescriptorMD4>(catalogue);
    RegisterDescriptor<DescriptorSHA256>(catalogue);
    RegisterDescriptor<DescriptorSHA384>(catalogue);
    RegisterDescriptor<DescriptorCRC32C>(catalogue);
    RegisterDescriptor<DescriptorCRC64>(catalogue);
    RegisterDescriptor<DescriptorSHA3_224>(catalogue);
    RegisterDescriptor<DescriptorSHA3_256>(catalogue);
    RegisterDescriptor<DescriptorSHA3_384>(catalogue);
    RegisterDescriptor<DescriptorSHA3_512>(catalogue);
    RegisterDescriptor<DescriptorBLAKE2b>(catalogue);
    RegisterDescriptor<DescriptorBLAKE2s>(catalogue);
    RegisterDescriptor<DescriptorBLAKE3>(catalogue);
    RegisterDescriptor<DescriptorXXH64>(catalogue);
    RegisterDescriptor<DescriptorXXH3>(catalogue);
    RegisterDescriptor<DescriptorXXH128>(catalogue);
}

// The shared nine with HAVAL.
void RegisterReducedAlgorithms(HashCatalogue& catalogue)
{
    RegisterShared(catalogue);
    RegisterDescriptor<DescriptorHAVAL>(catalogue);
}
