#pragma once
// Helpers that run descriptors from the process-wide catalogue.
#include "engine/HashCatalogue.h"
#include "support/Text.h"

#include <gtest/gtest.h>
#include <string>

inline SharedDescriptor MakeDescriptor(const std::wstring& name)
{
    for (const SharedDescriptor& descriptor : HashCatalogue::Instance().CreateAll()) {
        if (descriptor->GetName() == name)
            return descriptor;
    }
    ADD_FAILURE() << "no algorithm named " << Narrow(name);
    return nullptr;
}

// Settings the engine asks; the tests choose the answers.
class FixedSettings final : public IHashSettings {
public:
    bool lowercase = false;
    std::vector<std::wstring> enabled;
    bool IsEnabled(const std::wstring& name) const override
    {
        return std::find(enabled.begin(), enabled.end(), name) != enabled.end();
    }
    bool UseLowercase() const override { return lowercase; }
};

// Binds settings for the life of the object.
class BoundSettings {
public:
    explicit BoundSettings(const IHashSettings& settings) { BindHashSettings(&settings); }
    ~BoundSettings() { BindHashSettings(nullptr); }
};
