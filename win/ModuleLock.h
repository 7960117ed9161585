#pragma once
// The module's lock count belongs to whoever serves the module's classes (the
// COM server); the objects of this library lock the module through the hook
// it installs. With no hook installed, locking counts nothing.
#include <windows.h>

namespace win {

class IModuleLock {
public:
    virtual LONG Lock() noexcept = 0;
    virtual LONG Unlock() noexcept = 0;

protected:
    ~IModuleLock() = default;
};

// The installed hook must outlive every object that locks through it; null
// removes it.
void InstallModuleLock(IModuleLock* hook) noexcept;

LONG LockModule() noexcept;
LONG UnlockModule() noexcept;

}  // namespace win
