#pragma once
// The type library the module carries as resource TYPELIB 1.
#include <oaidl.h>
#include <string>

// Registers the library (loaded from the module's own file, or from a .tlb
// beside it) under the module's path; unregisters it again.
HRESULT RegisterModuleTypeLibrary(const std::wstring& modulePath);
HRESULT UnregisterModuleTypeLibrary(const std::wstring& modulePath);

// Type information for the dual interfaces, loaded once per process from the
// registered library (from the module's own file when it is not registered)
// and shared by every object; null when neither can be loaded. Not counted.
ITypeInfo* HashPageTypeInfo();
ITypeInfo* DropTargetTypeInfo();
