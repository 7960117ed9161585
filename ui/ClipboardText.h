#pragma once
// The clipboard's Unicode text, read without trusting whoever put it there.
#include <windows.h>

#include <cstddef>
#include <string>

// The most characters taken from one clipboard text (2 Mi characters, 4 MiB):
// far more than any text a digest is copied from, and it bounds what the
// page keeps and searches when the clipboard holds something huge.
constexpr std::size_t kMaxClipboardTextLength = std::size_t{1} << 21;

// The text of a CF_UNICODETEXT block (the clipboard's, or a data object's
// HGLOBAL) up to its first NUL, within the block's size (it need not hold a
// NUL at all), at most kMaxClipboardTextLength characters. Empty for a
// null block or one that cannot be locked.
std::wstring ReadUnicodeTextBlock(HGLOBAL block);

// The clipboard's CF_UNICODETEXT, read as above. Empty when the clipboard
// cannot be opened (another thread has it) or holds no text.
std::wstring ReadClipboardText();
