#include "DropTargetImpl.h"

#include "win/DroppedFile.h"
#include "win/TypeLibrary.h"

ITypeInfo* DropTargetTypeInfo()
{
    return win::CachedTypeInfo(LIBID_TallyraLib, IID_IDropTargetImpl);
}

const QITAB* CDropTargetImpl::Interfaces()
{
    static const QITAB interfaces[] = {
        {&IID_IDropTargetImpl, OFFSETOFCLASS(IDropTargetImpl, CDropTargetImpl)},
        {&IID_IDispatch, OFFSETOFCLASS(IDropTargetImpl, CDropTargetImpl)},
        {&IID_IDropTarget, OFFSETOFCLASS(IDropTarget, CDropTargetImpl)},
        {nullptr, 0},
    };
    return interfaces;
}

IFACEMETHODIMP CDropTargetImpl::SetWindowHandle(HWND wnd)
{
    window = wnd;
    return S_OK;
}

IFACEMETHODIMP CDropTargetImpl::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* allowed)
{
    // The source's choice of effects, before we answer in the same slot.
    const DWORD sourceEffects = allowed ? *allowed : DROPEFFECT_NONE;
    effect = DROPEFFECT_NONE;
    if (allowed)
        *allowed = DROPEFFECT_NONE;
    if (window == nullptr || ::SendMessageW(window, WM_QUERY_COMPARE_LOCKED, 0, 0) != 0)
        return S_OK;

    win::DroppedFile dropped = win::SingleDroppedFile(data);
    if (dropped.kind == win::DroppedKind::NoFileList)
        return E_INVALIDARG;
    if (dropped.kind == win::DroppedKind::File) {
        path.swap(dropped.path);
        // The page only reads the file: offer the move cursor the user
        // knows, or copy where the source does not allow moving.
        effect = (sourceEffects & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE
                 : (sourceEffects & DROPEFFECT_COPY) ? DROPEFFECT_COPY
                                                     : DROPEFFECT_NONE;
    }
    if (allowed)
        *allowed = effect;
    return S_OK;
}

IFACEMETHODIMP CDropTargetImpl::DragOver(DWORD, POINTL, DWORD* allowed)
{
    if (allowed)
        *allowed = effect;
    return S_OK;
}

IFACEMETHODIMP CDropTargetImpl::DragLeave()
{
    return S_OK;
}

IFACEMETHODIMP CDropTargetImpl::Drop(IDataObject*, DWORD, POINTL, DWORD* allowed)
{
    // Never a move: a source that saw DROPEFFECT_MOVE here would delete the
    // user's file. A copy leaves it where it is, and so does "none".
    if (allowed)
        *allowed = (*allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    if (window != nullptr && effect != DROPEFFECT_NONE)
        ::PostMessageW(window, WM_COMPARE_FILE_DROPPED, 0, reinterpret_cast<LPARAM>(path.c_str()));
    return S_OK;
}
