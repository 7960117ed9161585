#include "TallyraModule.h"

#include "server/HashPage.h"
#include "server/PageServices.h"
#include "server/RegistrationScripts.h"
#include "server/RegistryViews.h"
#include "ui/DropTargetImpl.h"
#include "win/ClassFactory.h"
#include "win/ExceptionBarrier.h"
#include "win/ThisModule.h"
#include "win/TypeLibrary.h"

#include <new>

namespace {

CTallyraModule module;

constexpr ShellHandlerKey kShellHandlerKey = kConfiguration.handlerKey;

registry::Script PageScript(const std::wstring& modulePath)
{
    return HashPageScript(modulePath, kShellHandlerKey, features::kFilesPage ? FolderHandler::Yes : FolderHandler::No);
}

template <class T>
IClassFactory* MakeFactory()
{
    return new (std::nothrow) win::ClassFactory<T>();
}

// The registrar converts text with the thread's code page; registration runs
// with the system's locale and gives the thread its own back afterwards.
class SystemThreadLocale {
public:
    SystemThreadLocale() : saved(::GetThreadLocale()) { ::SetThreadLocale(LOCALE_SYSTEM_DEFAULT); }
    ~SystemThreadLocale() { ::SetThreadLocale(saved); }

private:
    LCID saved;
};

// The classes the module serves, in the order of registration: the drop
// target (where the configuration has one), then the page.
template <class Objects>
Objects ServedObjects()
{
    if constexpr (kConfiguration.dropTarget)
        return {{{&CLSID_DropTargetImpl, &DropTargetScript, &MakeFactory<CDropTargetImpl>, nullptr},
                 {&CLSID_HashPage, &PageScript, &MakeFactory<CHashPage>, nullptr}}};
    else
        return {{{&CLSID_HashPage, &PageScript, &MakeFactory<CHashPage>, nullptr}}};
}

}  // namespace

CTallyraModule::CTallyraModule() : objects(ServedObjects<decltype(objects)>())
{
    win::InstallModuleLock(this);
    BindEngineToSettingsAndTexts();
}

CTallyraModule::~CTallyraModule()
{
    UnbindEngineFromSettingsAndTexts();
    win::InstallModuleLock(nullptr);
    for (ObjectEntry& entry : objects) {
        if (entry.factory)
            entry.factory->Release();
        entry.factory = nullptr;
    }
}

CTallyraModule& CTallyraModule::Instance()
{
    return module;
}

HRESULT CTallyraModule::GetClassObject(REFCLSID clsid, REFIID riid, void** object) noexcept
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    for (ObjectEntry& entry : objects) {
        if (!IsEqualCLSID(clsid, *entry.clsid))
            continue;
        const HRESULT made = win::GuardedHResult([&] {
            std::lock_guard<std::mutex> guard(factoryGuard);
            if (entry.factory == nullptr)
                entry.factory = entry.makeFactory();
            return entry.factory != nullptr ? S_OK : E_OUTOFMEMORY;
        });
        if (FAILED(made))
            return made;
        const HRESULT hr = entry.factory->QueryInterface(riid, object);
        return hr == S_OK && *object == nullptr ? CLASS_E_CLASSNOTAVAILABLE : hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CTallyraModule::RegisterServer() noexcept
{
    SystemThreadLocale locale;
    return win::GuardedHResult([&] {
        std::wstring path;
        HRESULT hr = ThisModulePath(path);
        if (FAILED(hr) || FAILED(hr = registry::RunForRegistration(AppIdScript(kShellHandlerKey))))
            return hr;
        for (const ObjectEntry& entry : objects) {
            if (FAILED(hr = registry::RunForRegistration(entry.script(path))))
                return hr;
        }
        return win::RegisterModuleTypeLibrary(path);
    });
}

HRESULT CTallyraModule::UnregisterServer() noexcept
{
    SystemThreadLocale locale;
    return win::GuardedHResult([&] {
        std::wstring path;
        HRESULT hr = ThisModulePath(path);
        if (FAILED(hr))
            return hr;
        // The other bitness's module still needs the keys both views share.
        const registry::SharedKeys shared = OtherViewServes(GuidText(CLSID_HashPage), path)
                                                ? registry::SharedKeys::Keep
                                                : registry::SharedKeys::Remove;
        for (const ObjectEntry& entry : objects) {
            if (FAILED(hr = registry::RunForUnregistration(entry.script(path), shared)))
                return hr;
        }
        if (FAILED(hr = win::UnregisterModuleTypeLibrary(path)))
            return hr;
        return registry::RunForUnregistration(AppIdScript(kShellHandlerKey), shared);
    });
}
