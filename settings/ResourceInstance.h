#pragma once
// The one module handle from which every user-interface resource is loaded:
// this module itself, or a language module while one is in force.
#include "win/ThisModule.h"

#include <memory>
#include <string>
#include <windows.h>

HINSTANCE ResourceInstance();

// Atomic exchange; returns the instance that was in force. The keeper keeps
// the new instance's module loaded for as long as it is in force or leased.
HINSTANCE ExchangeResourceInstance(HINSTANCE instance, std::shared_ptr<void> keeper = nullptr);

// The resource instance together with a hold on its module: a language
// module unloaded meanwhile (by a Properties dialog on another thread) is
// freed only when the last lease on it goes.
struct ResourceLease {
    HINSTANCE instance = nullptr;
    std::shared_ptr<void> keeper;
};
ResourceLease LeaseResourceInstance();

// A string of the resource instance's string table; empty when it has none.
std::wstring LoadResourceString(unsigned id);
