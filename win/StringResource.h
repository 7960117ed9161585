#pragma once
#include <string>
#include <windows.h>

namespace win {

// A string of a module's string table; empty when the module has none.
std::wstring LoadStringResource(HINSTANCE module, unsigned id);

}  // namespace win
