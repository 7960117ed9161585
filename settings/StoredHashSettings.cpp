#include "StoredHashSettings.h"

#include "AlgorithmFlags.h"
#include "GeneralSettings.h"

namespace {

class Stored final : public IHashSettings {
public:
    bool IsEnabled(const std::wstring& name) const override { return AlgorithmFlags::Instance().IsEnabled(name); }
    std::vector<bool> AreEnabled(const std::vector<std::wstring>& names) const override
    {
        return AlgorithmFlags::Instance().AreEnabled(names);
    }
    bool UseLowercase() const override { return GeneralSettings::Instance().UseLowercase(); }
};

}  // namespace

const IHashSettings& StoredHashSettings()
{
    static const Stored stored;
    return stored;
}
