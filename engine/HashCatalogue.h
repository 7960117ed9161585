#pragma once
// Every algorithm the system offers, by name, in name order.
#include "HashDescriptor.h"
#include "HashSettings.h"

#include <map>
#include <memory>
#include <string>

using DescriptorFactory = SharedDescriptor (*)();

class HashCatalogue {
public:
    // The process-wide catalogue, filled on first use.
    static HashCatalogue& Instance();

    // False, and the first factory kept, when the name is registered already.
    bool Register(const std::wstring& name, DescriptorFactory factory);

    // Fresh descriptors in catalogue order (plain UTF-16 order of the names).
    DescriptorList CreateAll() const;
    DescriptorList CreateEnabled() const { return CreateEnabled(BoundHashSettings()); }
    DescriptorList CreateEnabled(const IHashSettings& settings) const;

private:
    std::map<std::wstring, DescriptorFactory> factories;
};

// Registers a descriptor class (one with a static StaticName()) under its name.
template <class Descriptor>
bool RegisterDescriptor(HashCatalogue& catalogue)
{
    return catalogue.Register(Descriptor::StaticName(),
                              []() -> SharedDescriptor { return std::make_shared<Descriptor>(); });
}

// Fills the process-wide catalogue on its first use with the algorithms of
// the configuration a binary is built for: every binary that uses the
// catalogue links exactly one definition (config/ConfiguredAlgorithms.cpp).
void RegisterConfiguredAlgorithms(HashCatalogue& catalogue);
