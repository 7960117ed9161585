#pragma once
// The hash list's context menu.
#include <windows.h>

enum ListMenuCommand : UINT {
    ID_COPY_SELECTED = 1,
    ID_SETTINGS = 2,
    ID_COPY_ALL = 3,
};

// The point with x moved into the work area of the nearest monitor when no
// monitor holds it (y is left alone); unchanged when no monitor is found.
POINT KeepMenuOnMonitor(POINT at);

// The copy command and a separator (only with a selected row), "copy all"
// where the configuration has it, then the settings command; texts from the
// resource instance; kept on a monitor where the configuration says so. The
// chosen command, or 0 when the menu was dismissed or could not be made.
UINT TrackListMenu(HWND list, POINT at, bool rowSelected);
