#include "LanguageModule.h"

#include "settings/GeneralSettings.h"
#include "settings/ResourceInstance.h"
#include "win/ActivationContext.h"
#include "win/ProcessTermination.h"
#include "win/ThisModule.h"

#include <mutex>
#include <shlwapi.h>

namespace {

// Loading and unloading may come from Properties dialogs on different
// threads: the lock makes each one a whole step.
std::mutex stateLock;
HMODULE languageModule = nullptr;
HINSTANCE savedInstance = nullptr;

// The name taken as a file name (or relative path) in this module's folder.
bool LanguageModulePath(const std::wstring& name, wchar_t (&path)[MAX_PATH])
{
    std::wstring module;
    if (FAILED(ThisModulePath(module)))
        return false;
    module.copy(path, MAX_PATH - 1);
    path[module.size()] = L'\0';
    ::PathRemoveFileSpecW(path);
    return ::PathAddBackslashW(path) != nullptr && ::PathAppendW(path, name.c_str()) != FALSE;
}

HMODULE LoadAsDataFile(const wchar_t* path)
{
    win::ScopedModuleActivation activation;
    return ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

}  // namespace

void LoadLanguageModule()
{
    LoadLanguageModule(GeneralSettings::Instance().LanguageModule());
}

void LoadLanguageModule(const std::wstring& name)
{
    if (name.empty() || LanguageModuleLoaded())
        return;
    wchar_t path[MAX_PATH] = {};
    if (!LanguageModulePath(name, path))
        return;
    HMODULE module = LoadAsDataFile(path);
    if (!module)
        return;
    // Never freed while the process ends: FreeLibrary is not to be called
    // from the module's own unload then.
    std::shared_ptr<void> keeper(module, [](void* loaded) {
        if (!win::ProcessIsTerminating())
            ::FreeLibrary(static_cast<HMODULE>(loaded));
    });

    std::lock_guard<std::mutex> lock(stateLock);
    if (languageModule)
        return;  // another thread was quicker; ours goes with the keeper
    languageModule = module;
    savedInstance = ExchangeResourceInstance(module, std::move(keeper));
}

void UnloadLanguageModule()
{
    std::lock_guard<std::mutex> lock(stateLock);
    if (!languageModule || !savedInstance)
        return;
    ExchangeResourceInstance(savedInstance);
    languageModule = nullptr;
    savedInstance = nullptr;
}

bool LanguageModuleLoaded()
{
    std::lock_guard<std::mutex> lock(stateLock);
    return languageModule != nullptr;
}
