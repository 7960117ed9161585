#pragma once
// A window registered as a drop target, revoked exactly once. Dragging needs
// OLE on the window's thread, and a host may have given that thread COM
// alone (RegisterDragDrop then fails with E_OUTOFMEMORY or
// CO_E_NOTINITIALIZED): OLE is then initialised here, and uninitialised
// again with the revoke, on the same thread.
#include <ole2.h>

class DropRegistration {
public:
    DropRegistration() = default;
    DropRegistration(const DropRegistration&) = delete;
    DropRegistration& operator=(const DropRegistration&) = delete;
    ~DropRegistration() { Revoke(); }

    // Registers the window (revoking an earlier registration first); false
    // when it could not be registered.
    bool Register(HWND window, IDropTarget* target) noexcept;
    // Before the window is destroyed; nothing when not registered.
    void Revoke() noexcept;
    bool IsRegistered() const noexcept { return window != nullptr; }

private:
    HWND window = nullptr;  // null when not registered
    bool initialisedOle = false;
};
