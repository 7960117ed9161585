#include "AlgorithmFlags.h"

#include "RegistryValues.h"
#include "engine/HashCatalogue.h"

namespace {

bool ReadStoredFlag(const std::wstring& name)
{
    win::UniqueKey key = registry::OpenUserKey(AlgorithmKeyPath(name), KEY_READ);
    if (!key)
        return false;
    const auto value = registry::QueryDword(key.get(), L"Enabled");
    return value && *value != 0;
}

}  // namespace

std::wstring AlgorithmKeyPath(const std::wstring& name)
{
    return L"SOFTWARE\\Tallyra\\Algorithms\\" + name;
}

AlgorithmFlags& AlgorithmFlags::Instance()
{
    // A function-local static: made once even when two threads ask at once,
    // made again on the next call if making it threw, and destroyed (after
    // saving) at module unload in reverse order of making.
    struct SavedAtUnload {
        AlgorithmFlags flags = AlgorithmFlags::Load(HashCatalogue::Instance().CreateAll());
        ~SavedAtUnload() { flags.SaveAll(); }
    };
    static SavedAtUnload instance;
    return instance.flags;
}

AlgorithmFlags AlgorithmFlags::Load(const DescriptorList& algorithms)
{
    AlgorithmFlags loaded;
    for (const SharedDescriptor& descriptor : algorithms) {
        const std::wstring name = descriptor->GetName();
        loaded.flags.emplace(name, ReadStoredFlag(name));
    }
    return loaded;
}

bool AlgorithmFlags::IsEnabled(const std::wstring& name) const
{
    const auto found = flags.find(name);
    return found != flags.end() && found->second;
}

void AlgorithmFlags::SetEnabled(const std::wstring& name, bool enabled)
{
    const auto found = flags.find(name);
    if (found != flags.end())
        found->second = enabled;
}

void AlgorithmFlags::SaveAll() const
{
    for (const auto& [name, enabled] : flags) {
        win::UniqueKey key = registry::CreateUserKey(AlgorithmKeyPath(name), KEY_READ | KEY_WRITE);
        if (key)
            registry::SetDword(key.get(), L"Enabled", enabled ? 1 : 0);
    }
}
