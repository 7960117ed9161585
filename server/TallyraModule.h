#pragma once
// The module object of the COM server: its lock count, its object map with
// lazily made class factories, and registration.
#include "Features.h"
#include "server/Registrar.h"
#include "win/ModuleLock.h"

#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <objbase.h>
#include <windows.h>

class CTallyraModule final : public win::IModuleLock {
public:
    CTallyraModule();
    ~CTallyraModule();
    CTallyraModule(const CTallyraModule&) = delete;
    CTallyraModule& operator=(const CTallyraModule&) = delete;

    static CTallyraModule& Instance();

    // Installed as the module-lock hook of every COM object of the module.
    LONG Lock() noexcept override { return ++locks; }
    LONG Unlock() noexcept override { return --locks; }
    LONG GetLockCount() const noexcept { return locks.load(); }

    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object) noexcept;
    HRESULT RegisterServer() noexcept;
    HRESULT UnregisterServer() noexcept;

private:
    struct ObjectEntry {
        const CLSID* clsid;
        registry::Script (*script)(const std::wstring& modulePath);
        IClassFactory* (*makeFactory)();
        IClassFactory* factory;  // made on first request, kept until unload
    };

    std::atomic<LONG> locks{0};
    std::mutex factoryGuard;
    // In the order of registration: the drop target (where the configuration
    // has one), then the page.
    std::array<ObjectEntry, kConfiguration.dropTarget ? 2 : 1> objects;
};
