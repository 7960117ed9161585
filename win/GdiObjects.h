#pragma once
// GDI owners: objects deleted once, a window's device context released, and
// an object selected into a context for a scope.
#include "win/UniqueHandle.h"

namespace win {

template <class Object>
struct GdiObjectTraits {
    static Object Invalid() noexcept { return nullptr; }
    static bool IsValid(Object h) noexcept { return h != nullptr; }
    static void Close(Object h) noexcept { ::DeleteObject(h); }
};

template <class Object>
using UniqueGdiObject = UniqueHandle<Object, GdiObjectTraits<Object>>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;

// GetDC / ReleaseDC for one window.
class WindowDC {
public:
    explicit WindowDC(HWND window) noexcept : window(window), dc(::GetDC(window)) {}
    ~WindowDC()
    {
        if (dc)
            ::ReleaseDC(window, dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const noexcept { return dc; }
    explicit operator bool() const noexcept { return dc != nullptr; }

private:
    HWND window;
    HDC dc;
};

// SelectObject for a scope; the old object goes back at the end.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc(dc), old(object ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectedObject()
    {
        if (old && old != HGDI_ERROR)
            ::SelectObject(dc, old);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc;
    HGDIOBJ old;
};

}  // namespace win
