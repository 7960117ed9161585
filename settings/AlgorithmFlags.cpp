#include "AlgorithmFlags.h"

#include "RegistryValues.h"
#include "engine/HashCatalogue.h"
#include "win/ProcessTermination.h"

namespace {

bool ReadStoredFlag(const std::wstring& name)
{
    win::UniqueKey key = registry::OpenUserKey(AlgorithmKeyPath(name), KEY_READ);
    if (!key)
        return false;
    const auto value = registry::QueryDword(key.get(), L"Enabled");
    return value && *value != 0;
}

void WriteFlags(const std::map<std::wstring, bool>& flags)
{
    for (const auto& [name, enabled] : flags) {
        win::UniqueKey key = registry::CreateUserKey(AlgorithmKeyPath(name), KEY_READ | KEY_WRITE);
        if (key)
            registry::SetDword(key.get(), L"Enabled", enabled ? 1 : 0);
    }
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
    // saving) at module unload in reverse order of making; not saved when the
    // process ends (every change was written when it was made).
    struct SavedAtUnload {
        AlgorithmFlags flags = AlgorithmFlags::Load(HashCatalogue::Instance().CreateAll());
        ~SavedAtUnload()
        {
            if (!win::ProcessIsTerminating())
                flags.SaveAll();
        }
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

AlgorithmFlags::AlgorithmFlags(const AlgorithmFlags& other) : flags(other.Entries()) {}

AlgorithmFlags& AlgorithmFlags::operator=(const AlgorithmFlags& other)
{
    if (this != &other) {
        std::map<std::wstring, bool> copy = other.Entries();
        std::lock_guard<std::mutex> held(lock);
        flags.swap(copy);
    }
    return *this;
}

std::map<std::wstring, bool> AlgorithmFlags::Entries() const
{
    std::lock_guard<std::mutex> held(lock);
    return flags;
}

bool AlgorithmFlags::IsEnabled(const std::wstring& name) const
{
    std::lock_guard<std::mutex> held(lock);
    const auto found = flags.find(name);
    return found != flags.end() && found->second;
}

std::vector<bool> AlgorithmFlags::AreEnabled(const std::vector<std::wstring>& names) const
{
    std::vector<bool> enabled;
    enabled.reserve(names.size());
    std::lock_guard<std::mutex> held(lock);
    for (const std::wstring& name : names) {
        const auto found = flags.find(name);
        enabled.push_back(found != flags.end() && found->second);
    }
    return enabled;
}

void AlgorithmFlags::SetEnabled(const std::wstring& name, bool enabled)
{
    SetEnabled(std::map<std::wstring, bool>{{name, enabled}});
}

void AlgorithmFlags::SetEnabled(const std::map<std::wstring, bool>& choice)
{
    std::map<std::wstring, bool> changed;
    {
        std::lock_guard<std::mutex> held(lock);
        for (const auto& [name, enabled] : choice) {
            const auto found = flags.find(name);
            if (found != flags.end() && found->second != enabled) {
                found->second = enabled;
                changed.emplace(name, enabled);
            }
        }
    }
    WriteFlags(changed);
}

void AlgorithmFlags::SaveAll() const
{
    WriteFlags(Entries());
}
