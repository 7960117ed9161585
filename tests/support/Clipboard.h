#pragma once
// Blocks of exactly the bytes a test says, and the real clipboard holding them.
#include "win/GlobalMemory.h"

#include <cstddef>
#include <string>

// A movable block of exactly these bytes (GlobalSize says size). It is
// shrunk from a larger one whose tail holds no NUL, so a reader that runs
// past the block's end finds garbage there, not a terminator.
win::UniqueGlobal MakeBlock(const void* bytes, std::size_t size);
// A block of exactly these characters, NULs included, none added.
win::UniqueGlobal MakeTextBlock(const std::wstring& characters);

// Empties the clipboard and puts the block there as the format; false when
// the clipboard refused it (the block is freed then).
bool PutOnClipboard(UINT format, win::UniqueGlobal block);
bool EmptyTheClipboard();
