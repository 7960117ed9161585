#include "HashCatalogue.h"

HashCatalogue& HashCatalogue::Instance()
{
    // Made on first use, so registrations from any translation unit find it.
    static HashCatalogue catalogue;
    return catalogue;
}

bool HashCatalogue::Register(const std::wstring& name, DescriptorFactory factory)
{
    return factories.emplace(name, factory).second;
}

DescriptorList HashCatalogue::CreateAll() const
{
    DescriptorList list;
    for (const auto& [name, factory] : factories)
        list.push_back(factory());
    return list;
}

DescriptorList HashCatalogue::CreateEnabled(const IHashSettings& settings) const
{
    DescriptorList list;
    for (const auto& [name, factory] : factories) {
        if (settings.IsEnabled(name))
            list.push_back(factory());
    }
    return list;
}
