#pragma once
// The whole text of a window (a control's, a dialog's caption), however long.
#include <windows.h>

#include <string>

namespace win {

std::wstring WindowText(HWND window);

}  // namespace win
