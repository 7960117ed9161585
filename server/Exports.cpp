// The five entry points of the COM server (named in Tallyra32.def).
#include "server/TallyraModule.h"
#include "win/ProcessTermination.h"

#include <objbase.h>

extern "C" {

// Runs before the run-time library's own detach work (the static
// destructors that save the settings), and only notes how the module goes.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_DETACH && reserved != nullptr)
        win::NoteProcessTerminating();
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** object)
{
    return CTallyraModule::Instance().GetClassObject(clsid, riid, object);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return CTallyraModule::Instance().GetLockCount() == 0 ? S_OK : S_FALSE;
}

HRESULT STDAPICALLTYPE DllRegisterServer()
{
    return CTallyraModule::Instance().RegisterServer();
}

HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    return CTallyraModule::Instance().UnregisterServer();
}

// There is no per-user registration: nothing to install.
HRESULT STDAPICALLTYPE DllInstall(BOOL, PCWSTR)
{
    return S_OK;
}

}  // extern "C"
