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

// One lock on the module for as long as it lives: a member of whatever runs
// module code after the COM objects that made it are gone (a page, a window
// left subclassed).
class ModuleLockHold {
public:
    ModuleLockHold() noexcept { LockModule(); }
    ~ModuleLockHold() { UnlockModule(); }
    ModuleLockHold(const ModuleLockHold&) = delete;
    ModuleLockHold& operator=(const ModuleLockHold&) = delete;
};

}  // namespace win
