#pragma once
// Owners for Win32 handles, one type per kind of handle, in the manner of
// WIL's unique_any: movable, not copyable, closed exactly once.
#include <windows.h>
#include <commctrl.h>
#include <utility>

namespace win {

template <class Handle, class Traits>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return Traits::IsValid(handle_); }

    // For out-parameters: closes what is held and hands out the slot.
    Handle* put() noexcept
    {
        reset();
        return &handle_;
    }

    Handle release() noexcept { return std::exchange(handle_, Traits::Invalid()); }

    void reset(Handle handle = Traits::Invalid()) noexcept
    {
        Handle old = std::exchange(handle_, handle);
        if (Traits::IsValid(old))
            Traits::Close(old);
    }

private:
    Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {  // CreateFile and friends: INVALID_HANDLE_VALUE means none
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};

struct FindTraits {  // FindFirstFileW: closed with FindClose, not CloseHandle
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) noexcept { ::FindClose(h); }
};

struct RegistryKeyTraits {
    static HKEY Invalid() noexcept { return nullptr; }
    static bool IsValid(HKEY h) noexcept { return h != nullptr; }
    static void Close(HKEY h) noexcept { ::RegCloseKey(h); }
};

struct ModuleTraits {
    static HMODULE Invalid() noexcept { return nullptr; }
    static bool IsValid(HMODULE h) noexcept { return h != nullptr; }
    static void Close(HMODULE h) noexcept { ::FreeLibrary(h); }
};

struct WindowTraits {
    static HWND Invalid() noexcept { return nullptr; }
    static bool IsValid(HWND h) noexcept { return h != nullptr; }
    static void Close(HWND h) noexcept { ::DestroyWindow(h); }
};

struct IconTraits {
    static HICON Invalid() noexcept { return nullptr; }
    static bool IsValid(HICON h) noexcept { return h != nullptr; }
    static void Close(HICON h) noexcept { ::DestroyIcon(h); }
};

struct ImageListTraits {
    static HIMAGELIST Invalid() noexcept { return nullptr; }
    static bool IsValid(HIMAGELIST h) noexcept { return h != nullptr; }
    static void Close(HIMAGELIST h) noexcept { ::ImageList_Destroy(h); }
};

struct MenuTraits {
    static HMENU Invalid() noexcept { return nullptr; }
    static bool IsValid(HMENU h) noexcept { return h != nullptr; }
    static void Close(HMENU h) noexcept { ::DestroyMenu(h); }
};

// Kernel objects closed with CloseHandle, named by what they hold.
using UniqueFile = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueThread = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueEvent = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueProcess = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueSnapshot = UniqueHandle<HANDLE, KernelHandleTraits>;  // CreateToolhelp32Snapshot
using UniqueFind = UniqueHandle<HANDLE, FindTraits>;  // a directory search
using UniqueKey = UniqueHandle<HKEY, RegistryKeyTraits>;
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;
using UniqueWindow = UniqueHandle<HWND, WindowTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;

}  // namespace win
