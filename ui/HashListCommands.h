#pragma once
// What the hash list's context menu and Ctrl+C do with the file job's
// digests: copy one row's or all of them to the clipboard, owned by the page.
#include "win/ListView.h"

#include <windows.h>
#include <commctrl.h>

class HashData;

// The list's menu where the message being handled happened (a right click),
// for the selected row; its copies are done here. True when the user chose
// the settings command, which is the page's to carry out.
bool RunHashListMenu(HWND page, const win::ListView& list, const class HashData& job);

// Ctrl+C copies the selected row's digest; other keys do nothing.
void OnHashListKey(HWND page, const win::ListView& list, const class HashData& job, const NMLVKEYDOWN& key);
