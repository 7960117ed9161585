#pragma once
// Helpers that run descriptors from the process-wide catalogue.
#include "engine/HashCatalogue.h"
#include "engine/HashSettings.h"
#include "support/Text.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

inline SharedDescriptor MakeDescriptor(const std::wstring& name)
{
    for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll()) {
        if (descriptor->GetName() == name)
            return descriptor;
    }
    ADD_FAILURE() << "no algorithm named " << Narrow(name);
    return nullptr;
}

// Feeds the bytes in pieces whose sizes cycle through chunkSizes, finalises,
// and gives the digest text.
inline std::wstring DigestInChunks(IHashDescriptor& descriptor, const void* data, std::size_t size,
                                   const std::vector<std::size_t>& chunkSizes)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t offset = 0;
    for (std::size_t i = 0; offset < size; ++i) {
        const std::size_t chunk = std::min(chunkSizes[i % chunkSizes.size()], size - offset);
        descriptor.Update(bytes + offset, static_cast<std::uint32_t>(chunk));
        offset += chunk;
    }
    descriptor.Finalize();
    return descriptor.GetDigestText();
}

// Settings the engine asks; the tests choose the answers and bind them.
using FixedSettings = FixedHashSettings;
using BoundSettings = ScopedHashSettings;
