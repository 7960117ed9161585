#pragma once
// What the list's commands put on the clipboard.
#include "engine/HashDescriptor.h"

#include <string>
#include <windows.h>

// Puts the text on the clipboard as CF_UNICODETEXT, with the window as the
// clipboard's owner (emptied by a clipboard opened for no window, the
// clipboard would have no owner, and SetClipboardData may then fail). The
// memory is made and filled before the clipboard is emptied, so a failure
// leaves whatever the clipboard held; false then, for no window, or when
// another program keeps the clipboard open.
bool CopyTextToClipboard(HWND owner, const std::wstring& text);

// "Name: DIGEST\r\n" for every descriptor, in list order, the last line
// ended too.
std::wstring AllDigestsText(const DescriptorList& descriptors);
