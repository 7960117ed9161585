#pragma once
// The open-file dialog that chooses the second file of a comparison.
#include <optional>
#include <string>
#include <windows.h>

// The chosen path, whole however long; nothing when the user cancels or the
// dialog cannot be shown. Shown inside the module's activation context.
std::optional<std::wstring> ChooseCompareFile(HWND owner, HINSTANCE resources);
