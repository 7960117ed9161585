#pragma once
// A few bytes of machine code that call a static window procedure with an
// object's address in place of the window handle, so that one procedure can
// serve many subclassed windows and still tell them apart (the classic
// template-library thunk).
#include <windows.h>

namespace win {

class Thunk {
public:
    // The thunk calls procedure(object, message, wParam, lParam).
    Thunk(void* object, WNDPROC procedure);
    ~Thunk();
    Thunk(const Thunk&) = delete;
    Thunk& operator=(const Thunk&) = delete;

    // Null when no executable memory could be had.
    WNDPROC Procedure() const noexcept;

private:
    void* code = nullptr;
};

}  // namespace win
