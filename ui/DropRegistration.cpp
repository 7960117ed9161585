#include "DropRegistration.h"

bool DropRegistration::Register(HWND targetWindow, IDropTarget* target) noexcept
{
    Revoke();
    HRESULT hr = ::RegisterDragDrop(targetWindow, target);
    if ((hr == E_OUTOFMEMORY || hr == CO_E_NOTINITIALIZED) && SUCCEEDED(::OleInitialize(nullptr))) {
        initialisedOle = true;
        hr = ::RegisterDragDrop(targetWindow, target);
    }
    if (SUCCEEDED(hr))
        window = targetWindow;
    return SUCCEEDED(hr);
}

void DropRegistration::Revoke() noexcept
{
    if (window != nullptr)
        ::RevokeDragDrop(window);
    window = nullptr;
    if (initialisedOle)
        ::OleUninitialize();
    initialisedOle = false;
}
