#pragma once
// The page's drop target: accepts one dropped file (not a folder) while the
// page allows comparing, and hands its path to the page window.
#include "ui/typelib/TallyraLib.h"
#include "win/ComObject.h"
#include "win/Dispatch.h"

#include <oleidl.h>
#include <string>

// Drop target to page: a file was dropped; lParam points at its path, which
// stays owned by the drop target. Result 1 when the page ignored it.
constexpr UINT WM_COMPARE_FILE_DROPPED = WM_APP + 0x66;
// Drop target to page: non-zero when comparing is not allowed now.
constexpr UINT WM_QUERY_COMPARE_LOCKED = WM_APP + 0x67;

// The type information of IDropTargetImpl from the module's type library.
ITypeInfo* DropTargetTypeInfo();

class CDropTargetImpl : public win::ComClassBase,
                        public win::DispatchImpl<IDropTargetImpl, &DropTargetTypeInfo>,
                        public IDropTarget {
public:
    static const QITAB* Interfaces();

    IFACEMETHODIMP SetWindowHandle(HWND wnd) override;

    IFACEMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    IFACEMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    IFACEMETHODIMP DragLeave() override;
    IFACEMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

    const std::wstring& Path() const { return path; }

private:
    std::wstring path;
    DWORD effect = DROPEFFECT_NONE;
    HWND window = nullptr;
};
