#pragma once
// The clipboard opened for a scope: OpenClipboard, and CloseClipboard when
// it was opened.
#include <windows.h>

namespace win {

class ScopedClipboard {
public:
    // The owner window may be null (the clipboard is then opened for this
    // thread). IsOpen() is false when another thread holds it.
    explicit ScopedClipboard(HWND owner = nullptr) noexcept : open_(::OpenClipboard(owner) != FALSE) {}
    ScopedClipboard(const ScopedClipboard&) = delete;
    ScopedClipboard& operator=(const ScopedClipboard&) = delete;
    ~ScopedClipboard()
    {
        if (open_)
            ::CloseClipboard();
    }

    bool IsOpen() const noexcept { return open_; }

private:
    bool open_;
};

}  // namespace win
