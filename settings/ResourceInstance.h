#pragma once
// The one module handle from which every user-interface resource is loaded:
// this module itself, or a language module while one is in force.
#include <string>
#include <windows.h>

// The module these sources are linked into (DLL or program).
HINSTANCE ThisModule();

HINSTANCE ResourceInstance();
// Atomic exchange; returns the instance that was in force.
HINSTANCE ExchangeResourceInstance(HINSTANCE instance);

// A string of the resource instance's string table; empty when it has none.
std::wstring LoadResourceString(unsigned id);
