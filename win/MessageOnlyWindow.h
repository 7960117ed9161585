#pragma once
// A message-only window that hands each arrival of one message to a
// function: how a thread without a window of its own receives what a worker
// posts to a window, through the same message path a page has.
#include "win/UniqueHandle.h"

#include <functional>

namespace win {

class MessageOnlyWindow {
public:
    using Receiver = std::function<void(WPARAM wParam, LPARAM lParam)>;

    // Throws std::runtime_error when the window cannot be made.
    MessageOnlyWindow(UINT message, Receiver receiver);
    MessageOnlyWindow(const MessageOnlyWindow&) = delete;
    MessageOnlyWindow& operator=(const MessageOnlyWindow&) = delete;

    HWND Handle() const noexcept { return window.get(); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT message;
    Receiver receiver;
    UniqueWindow window;
};

}  // namespace win
