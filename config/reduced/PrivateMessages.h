// Private window messages of the reduced configuration.
#pragma once
#include <windows.h>

// Job to page. wParam: percentage (lParam 0), or 0 with lParam = the tag of
// the job that ended.
constexpr UINT WM_HASHDATA_NOTIFY = WM_USER + 0x65;
