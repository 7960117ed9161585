#pragma once
// The two questions the hash engine asks of the user's settings. The settings
// store answers them in the extension; a program may bind its own answers.
#include <algorithm>
#include <string>
#include <vector>

class IHashSettings {
public:
    virtual bool IsEnabled(const std::wstring& algorithmName) const = 0;
    // The flags of these names as they stood at one moment, for settings that
    // another thread may change meanwhile; by default asked name by name.
    virtual std::vector<bool> AreEnabled(const std::vector<std::wstring>& algorithmNames) const;
    // Asked afresh at every Finalize.
    virtual bool UseLowercase() const = 0;

protected:
    ~IHashSettings() = default;
};

// The settings in force. Until something is bound, no algorithm is enabled
// and digests are uppercase. The bound object must outlive its use.
const IHashSettings& BoundHashSettings();
void BindHashSettings(const IHashSettings* settings);

// Answers a program gives itself: these algorithms, this case.
class FixedHashSettings final : public IHashSettings {
public:
    std::vector<std::wstring> enabled;
    bool lowercase = false;

    bool IsEnabled(const std::wstring& name) const override
    {
        return std::find(enabled.begin(), enabled.end(), name) != enabled.end();
    }
    bool UseLowercase() const override { return lowercase; }
};

// Binds settings for the life of the object (digests are written in the
// case they ask for at each Finalize).
class ScopedHashSettings {
public:
    explicit ScopedHashSettings(const IHashSettings& settings) { BindHashSettings(&settings); }
    ~ScopedHashSettings() { BindHashSettings(nullptr); }
    ScopedHashSettings(const ScopedHashSettings&) = delete;
    ScopedHashSettings& operator=(const ScopedHashSettings&) = delete;
};
