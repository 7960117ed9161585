#pragma once
// The module (DLL or program) these sources are linked into.
#include <windows.h>

HINSTANCE ThisModule();
