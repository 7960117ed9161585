#include "HashSettings.h"

#include <atomic>

namespace {

class NoSettings final : public IHashSettings {
public:
    bool IsEnabled(const std::wstring&) const override { return false; }
    bool UseLowercase() const override { return false; }
};

const NoSettings noSettings;
std::atomic<const IHashSettings*> boundSettings{nullptr};

}  // namespace

std::vector<bool> IHashSettings::AreEnabled(const std::vector<std::wstring>& algorithmNames) const
{
    std::vector<bool> enabled;
    enabled.reserve(algorithmNames.size());
    for (const std::wstring& name : algorithmNames)
        enabled.push_back(IsEnabled(name));
    return enabled;
}

const IHashSettings& BoundHashSettings()
{
    const IHashSettings* settings = boundSettings.load();
    return settings ? *settings : noSettings;
}

void BindHashSettings(const IHashSettings* settings)
{
    boundSettings.store(settings);
}
