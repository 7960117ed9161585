#pragma once
// Measuring a control's text against the room it has, and placing a tool tip
// exactly over that text: the geometry of title tips, in plain Win32 calls.
#include <windows.h>

#include <cstddef>
#include <memory>

namespace titletip {

// The text handed to the tool tip. Grows to exactly length + 1 characters
// when a longer text comes, never shrinks; a failed growth leaves capacity 0.
class TextBuffer {
public:
    static constexpr std::size_t kInitialCapacity = 128;

    TextBuffer();
    bool Reserve(std::size_t length) noexcept;
    void Clear() noexcept;
    wchar_t* Data() noexcept { return text.get(); }
    // Characters, not counting the terminator.
    std::size_t Capacity() const noexcept { return capacity; }

private:
    std::unique_ptr<wchar_t[]> text;
    std::size_t capacity = 0;
};

enum class Measure { Fits, Truncated, Failed };

// Where the cursor rests on a multi-line edit, as measuring found it.
struct TrackedLine {
    int line = -1;
    int textRight = 0;   // client x of the line's end
    int textBottom = 0;  // client y below the last line
};

// Whether the whole text fits in the edit's formatting rectangle; the text
// is read into the buffer.
Measure MeasureSingleLineEdit(HWND edit, TextBuffer& buffer);
// The line under the cursor.
Measure MeasureMultiLineEdit(HWND edit, TextBuffer& buffer, TrackedLine& tracked);
// The item under the cursor.
Measure MeasureListBoxItem(HWND listBox, TextBuffer& buffer, int& trackedItem);

struct TipColours {
    COLORREF text;
    COLORREF background;
};

// Moves the tool tip so that its text stands over the control's text, in the
// control's font and the given colours; false when something failed.
bool PlaceOverEdit(HWND toolTip, HWND edit, int trackedLine, TipColours colours);
bool PlaceOverListBoxItem(HWND toolTip, HWND listBox, int item, TipColours colours);

}  // namespace titletip
