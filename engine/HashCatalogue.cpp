#include "HashCatalogue.h"

HashCatalogue& HashCatalogue::Instance()
{
    static HashCatalogue catalogue = [] {
        HashCatalogue filled;
        RegisterConfiguredAlgorithms(filled);
        return filled;
    }();
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
    // One question for all names: a list is never half of one choice and
    // half of another saved meanwhile.
    std::vector<std::wstring> names;
    names.reserve(factories.size());
    for (const auto& entry : factories)
        names.push_back(entry.first);
    const std::vector<bool> enabled = settings.AreEnabled(names);
    DescriptorList list;
    std::size_t i = 0;
    for (const auto& entry : factories) {
        if (i < enabled.size() && enabled[i])
            list.push_back(entry.second());
        ++i;
    }
    return list;
}
