#pragma once
// A predefined key of this process (HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE,
// HKEY_CURRENT_USER) redirected to another key for the life of the object:
// what the process reads and writes there lands in the other key
// (RegOverridePredefKey). The redirection is process-wide.
#include <windows.h>

namespace win {

class PredefinedKeyRedirect {
public:
    PredefinedKeyRedirect(HKEY predefined, HKEY target) noexcept;
    ~PredefinedKeyRedirect();
    PredefinedKeyRedirect(const PredefinedKeyRedirect&) = delete;
    PredefinedKeyRedirect& operator=(const PredefinedKeyRedirect&) = delete;

    bool Active() const noexcept { return active; }

private:
    HKEY predefined;
    bool active;
};

}  // namespace win
