#pragma once
// What the list's commands put on the clipboard.
#include "engine/HashDescriptor.h"

#include <string>

// Puts the text on the clipboard as CF_UNICODETEXT. The memory is made and
// filled before the clipboard is emptied, so a failure leaves whatever the
// clipboard held; false then, or when another program holds the clipboard.
bool CopyTextToClipboard(const std::wstring& text);

// "Name: DIGEST\r\n" for every descriptor, in list order, the last line
// ended too.
std::wstring AllDigestsText(const DescriptorList& descriptors);
