#include "ModuleLock.h"

#include <atomic>

namespace win {

namespace {

std::atomic<IModuleLock*> installed{nullptr};

}  // namespace

void InstallModuleLock(IModuleLock* hook) noexcept
{
    installed.store(hook);
}

LONG LockModule() noexcept
{
    IModuleLock* hook = installed.load();
    return hook ? hook->Lock() : 0;
}

LONG UnlockModule() noexcept
{
    IModuleLock* hook = installed.load();
    return hook ? hook->Unlock() : 0;
}

}  // namespace win
