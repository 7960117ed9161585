#include "TitleTipMeasure.h"

#include "win/Edit.h"
#include "win/GdiObjects.h"
#include "win/ListBox.h"
#include "win/ToolTip.h"

#include <commctrl.h>
#include <new>

namespace titletip {

TextBuffer::TextBuffer() : text(new wchar_t[kInitialCapacity + 1]), capacity(kInitialCapacity)
{
    text[0] = L'\0';
}

bool TextBuffer::Reserve(std::size_t length) noexcept
{
    if (length <= capacity && text)
        return true;
    text.reset();
    capacity = 0;
    text.reset(new (std::nothrow) wchar_t[length + 1]);
    if (!text)
        return false;
    capacity = length;
    text[0] = L'\0';
    return true;
}

void TextBuffer::Clear() noexcept
{
    if (text)
        text[0] = L'\0';
}

namespace {

HFONT FontOf(HWND window)
{
    return reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
}

struct Extent {
    int fitting = 0;
    SIZE size = {};
};

// How many characters of the text fit in maxWidth pixels, in the window's font.
bool MeasureText(HWND window, const wchar_t* text, int length, int maxWidth, Extent& extent)
{
    win::WindowDC dc(window);
    if (!dc)
        return false;
    win::SelectedObject font(dc.get(), FontOf(window));
    return ::GetTextExtentExPointW(dc.get(), text, length, maxWidth, &extent.fitting, nullptr, &extent.size) != FALSE;
}

bool CursorInClient(HWND window, POINT& point)
{
    return ::GetCursorPos(&point) && ::ScreenToClient(window, &point);
}

int SignedLow(LRESULT value)
{
    return static_cast<short>(LOWORD(value));
}

// The tool tip's window rectangle for a text rectangle. Wine's comctl32 does
// not know TTM_ADJUSTRECT; there the same sum is made from the tip's margins,
// its text offset of two pixels and its window frame.
bool AdjustTipRect(const win::ToolTip& toolTip, RECT& rect)
{
    if (toolTip.TextRectToWindowRect(rect))
        return true;
    const RECT margin = toolTip.Margin();
    rect.left -= 2 + margin.left;
    rect.top -= 2 + margin.top;
    rect.right += 2 + margin.right;
    rect.bottom += 2 + margin.bottom;
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(toolTip, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongW(toolTip, GWL_EXSTYLE));
    return ::AdjustWindowRectEx(&rect, style, FALSE, exStyle) != FALSE;
}

bool ShowTip(const win::ToolTip& toolTip, HWND control, const RECT& rect, TipColours colours)
{
    toolTip.SetTipTextColour(colours.text);
    toolTip.SetTipBackgroundColour(colours.background);
    ::SendMessageW(toolTip, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(control)), TRUE);
    return ::SetWindowPos(toolTip, HWND_TOPMOST, rect.left, rect.top, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE) != FALSE;
}

}  // namespace

Measure MeasureSingleLineEdit(HWND editWindow, TextBuffer& buffer)
{
    const win::Edit edit(editWindow);
    const int length = ::GetWindowTextLengthW(edit);
    if (!buffer.Reserve(static_cast<std::size_t>(length)))
        return Measure::Failed;
    ::GetWindowTextW(edit, buffer.Data(), length + 1);
    const RECT rect = edit.FormattingRect();
    Extent extent;
    if (!MeasureText(edit, buffer.Data(), length, rect.right - rect.left, extent))
        return Measure::Failed;
    return extent.fitting < length ? Measure::Truncated : Measure::Fits;
}

Measure MeasureMultiLineEdit(HWND editWindow, TextBuffer& buffer, TrackedLine& tracked)
{
    const win::Edit edit(editWindow);
    POINT cursor;
    if (!CursorInClient(edit, cursor))
        return Measure::Failed;
    const LRESULT hit = edit.CharFromPos(MAKELPARAM(cursor.x, cursor.y));
    tracked.line = HIWORD(hit);
    const int firstVisible = edit.FirstVisibleLine();
    if (tracked.line < firstVisible)
        return Measure::Failed;

    const int length = edit.LineLength(LOWORD(hit));
    if (!buffer.Reserve(static_cast<std::size_t>(length)))
        return Measure::Failed;
    // EM_GETLINE takes the room it may fill in the buffer's first word.
    *reinterpret_cast<WORD*>(buffer.Data()) = static_cast<WORD>(length + 1);
    const int copied = edit.GetLine(tracked.line, buffer.Data());
    buffer.Data()[copied >= 0 && copied <= length ? copied : 0] = L'\0';

    const RECT rect = edit.FormattingRect();
    Extent extent;
    if (!MeasureText(edit, buffer.Data(), length, rect.right - rect.left, extent))
        return Measure::Failed;

    const int lineCount = edit.LineCount();
    tracked.textBottom = (lineCount - firstVisible) * extent.size.cy;
    if (cursor.y > tracked.textBottom)
        return Measure::Failed;

    const int x0 = SignedLow(edit.PosFromChar(edit.LineIndex(tracked.line)));
    tracked.textRight = x0 + extent.size.cx + 1;
    if (cursor.x > tracked.textRight)
        return Measure::Fits;

    const bool wholeLineFits = extent.fitting >= length;
    if (wholeLineFits && (x0 >= rect.left || tracked.textRight < rect.left))
        return Measure::Fits;
    return Measure::Truncated;
}

Measure MeasureListBoxItem(HWND listBoxWindow, TextBuffer& buffer, int& trackedItem)
{
    const win::ListBox listBox(listBoxWindow);
    POINT cursor;
    if (!::GetCursorPos(&cursor))
        return Measure::Failed;
    if (::SendMessageW(listBox, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y)) != HTCLIENT)
        return Measure::Failed;
    if (!::ScreenToClient(listBox, &cursor))
        return Measure::Failed;
    const LRESULT hit = listBox.ItemFromPoint(MAKELPARAM(cursor.x, cursor.y));
    trackedItem = LOWORD(hit);
    if (HIWORD(hit) != 0)
        return Measure::Failed;

    const LRESULT length = listBox.TextLength(trackedItem);
    if (length == LB_ERR || !buffer.Reserve(static_cast<std::size_t>(length)))
        return Measure::Failed;
    if (listBox.GetText(trackedItem, buffer.Data()) == LB_ERR)
        return Measure::Failed;
    RECT rect = {};
    if (listBox.GetItemRect(trackedItem, rect) == LB_ERR)
        return Measure::Failed;
    ::InflateRect(&rect, -2, 0);
    Extent extent;
    if (!MeasureText(listBox, buffer.Data(), static_cast<int>(length), rect.right - rect.left, extent))
        return Measure::Failed;
    return extent.fitting < length ? Measure::Truncated : Measure::Fits;
}

bool PlaceOverEdit(HWND toolTipWindow, HWND editWindow, int trackedLine, TipColours colours)
{
    const win::ToolTip toolTip(toolTipWindow);
    const win::Edit edit(editWindow);
    RECT rect = edit.FormattingRect();
    const int left = rect.left;
    ::MapWindowPoints(edit, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);

    const bool multiLine = (::GetWindowLongW(edit, GWL_STYLE) & ES_MULTILINE) != 0;
    int firstCharacter = 0;
    if (multiLine) {
        win::WindowDC dc(edit);
        if (!dc)
            return false;
        win::SelectedObject font(dc.get(), FontOf(edit));
        SIZE zero = {};
        if (!::GetTextExtentPoint32W(dc.get(), L"0", 1, &zero))
            return false;
        const int firstVisible = edit.FirstVisibleLine();
        rect.bottom = rect.top + zero.cy;
        ::OffsetRect(&rect, 0, (trackedLine - firstVisible) * zero.cy);
        firstCharacter = edit.LineIndex(trackedLine);
    }
    if (!AdjustTipRect(toolTip, rect))
        return false;
    // A text scrolled to the left starts left of the edit: so must the tip.
    const int x = SignedLow(edit.PosFromChar(firstCharacter));
    ::OffsetRect(&rect, x - left, 0);
    return ShowTip(toolTip, edit, rect, colours);
}

bool PlaceOverListBoxItem(HWND toolTipWindow, HWND listBoxWindow, int item, TipColours colours)
{
    const win::ToolTip toolTip(toolTipWindow);
    const win::ListBox listBox(listBoxWindow);
    RECT rect = {};
    if (listBox.GetItemRect(item, rect) == LB_ERR)
        return false;
    ::InflateRect(&rect, -2, 0);
    ::MapWindowPoints(listBox, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    if (!AdjustTipRect(toolTip, rect))
        return false;
    return ShowTip(toolTip, listBox, rect, colours);
}

}  // namespace titletip
