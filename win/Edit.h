#pragma once
// An edit control through its messages, one call each; the message a call
// sends is named in it.
#include "win/WindowText.h"

#include <windows.h>

#include <cstddef>
#include <string>

namespace win {

class Edit {
public:
    explicit Edit(HWND window = nullptr) noexcept : window(window) {}
    // The control's window for the calls that are not its own.
    operator HWND() const noexcept { return window; }

    std::wstring Text() const { return win::WindowText(window); }
    void SetText(const std::wstring& text) const { ::SetWindowTextW(window, text.c_str()); }

    // EM_GETSEL: where the selection (or the caret) starts.
    DWORD SelectionStart() const
    {
        DWORD start = 0;
        ::SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        return start;
    }
    void SetSelection(std::size_t start, std::size_t end) const { ::SendMessageW(window, EM_SETSEL, start, end); }
    void ScrollCaretIntoView() const { ::SendMessageW(window, EM_SCROLLCARET, 0, 0); }

    // EM_GETRECT: the rectangle the text is laid out in, client coordinates.
    RECT FormattingRect() const
    {
        RECT rect = {};
        ::SendMessageW(window, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
        return rect;
    }

    // EM_CHARFROMPOS: the line in the high word, the character in the low.
    LRESULT CharFromPos(LPARAM clientPoint) const { return ::SendMessageW(window, EM_CHARFROMPOS, 0, clientPoint); }
    // EM_POSFROMCHAR: the character's client x in the signed low word.
    LRESULT PosFromChar(int character) const
    {
        return ::SendMessageW(window, EM_POSFROMCHAR, static_cast<WPARAM>(character), 0);
    }
    int FirstVisibleLine() const { return static_cast<int>(::SendMessageW(window, EM_GETFIRSTVISIBLELINE, 0, 0)); }
    int LineCount() const { return static_cast<int>(::SendMessageW(window, EM_GETLINECOUNT, 0, 0)); }
    // EM_LINEINDEX: the line's first character.
    int LineIndex(int line) const
    {
        return static_cast<int>(::SendMessageW(window, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    }
    // EM_LINELENGTH of the line that holds the character.
    int LineLength(int character) const
    {
        return static_cast<int>(::SendMessageW(window, EM_LINELENGTH, static_cast<WPARAM>(character), 0));
    }
    // EM_GETLINE: the buffer's first word holds its room on the way in; the
    // characters copied (no terminator) come back.
    int GetLine(int line, wchar_t* buffer) const
    {
        return static_cast<int>(
            ::SendMessageW(window, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buffer)));
    }

private:
    HWND window;
};

}  // namespace win
