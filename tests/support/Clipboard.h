#pragma once
// Blocks of exactly the bytes a test says, the real clipboard holding them,
// and a window of the test in its viewer chain.
#include "win/GlobalMemory.h"
#include "win/UniqueHandle.h"

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

// A window of the test in the clipboard-viewer chain, kept as any other
// program keeps its place; it counts the changes it hears of. Joined before
// a page, it hears of a change after the page has handled it.
class OtherViewer {
public:
    OtherViewer();
    ~OtherViewer() { ::ChangeClipboardChain(window.get(), next); }
    OtherViewer(const OtherViewer&) = delete;
    OtherViewer& operator=(const OtherViewer&) = delete;

    HWND Handle() const { return window.get(); }
    int changes = 0;

private:
    static LRESULT CALLBACK Procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

    win::UniqueWindow window;
    HWND next = nullptr;
};

// Copies the text (with its NUL) and pumps messages until the viewer has
// heard of it; false when the clipboard refused it or the chain did not pass
// the change on.
bool CopyUntilHeard(const OtherViewer& viewer, const std::wstring& text);
