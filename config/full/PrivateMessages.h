// Private window messages of the full configuration, all posted or sent to
// the hash page's window.
#pragma once
#include <windows.h>

// Job to page. wParam: percentage (lParam 0), or 0 with lParam = the tag of
// the job that ended.
constexpr UINT WM_HASHDATA_NOTIFY = WM_APP + 0x65;
// Drop target to page: a file was dropped; lParam points at its path, which
// stays owned by the drop target. Result 1 when the page ignored it.
constexpr UINT WM_COMPARE_FILE_DROPPED = WM_APP + 0x66;
// Drop target to page: non-zero when comparing is not allowed now.
constexpr UINT WM_QUERY_COMPARE_LOCKED = WM_APP + 0x67;
