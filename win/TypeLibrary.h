#pragma once
// The type library a module carries as resource TYPELIB 1, and the type
// information of its dual interfaces for IDispatch.
#include <oaidl.h>
#include <string>

namespace win {

// Registers the library (loaded from the module's own file, or from a .tlb
// beside it) under the module's path; unregisters it again.
HRESULT RegisterModuleTypeLibrary(const std::wstring& modulePath);
HRESULT UnregisterModuleTypeLibrary(const std::wstring& modulePath);

// Type information of one interface of the library (version 1.0), loaded
// once per process from the registered library, or from this module's own
// file when it is not registered, and shared by every object until the
// module unloads; null when neither can be loaded. Not counted.
ITypeInfo* CachedTypeInfo(REFGUID libid, REFIID iid);

}  // namespace win
