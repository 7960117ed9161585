// Private window messages of the compact configuration.
#pragma once
#include <windows.h>

// Worker to page, sent (not posted): wParam the percentage with lParam 0,
// or wParam 0 with lParam 1 when the run has ended.
constexpr UINT WM_HASHDATA_NOTIFY = WM_USER + 0x65;
