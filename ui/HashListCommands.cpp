#include "HashListCommands.h"

#include "ClipboardCopy.h"
#include "ListMenu.h"

#include "engine/HashData.h"

#include <windowsx.h>

namespace {

void CopyDigestOfRow(HWND page, const class HashData& job, LRESULT row)
{
    if (row < 0)
        return;
    if (const SharedDescriptor descriptor = job.At(static_cast<size_t>(row)))
        CopyTextToClipboard(page, descriptor->GetDigestText());
}

void CopyAllDigests(HWND page, const class HashData& job)
{
    DescriptorList descriptors;
    for (size_t i = 0; i < job.Count(); ++i)
        descriptors.push_back(job.At(i));
    CopyTextToClipboard(page, AllDigestsText(descriptors));
}

}  // namespace

bool RunHashListMenu(HWND page, const win::ListView& list, const class HashData& job)
{
    const DWORD position = ::GetMessagePos();
    const POINT at = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    const LRESULT row = list.FirstSelected();
    switch (TrackListMenu(list, at, row >= 0)) {
    case ID_COPY_SELECTED:
        CopyDigestOfRow(page, job, row);
        return false;
    case ID_COPY_ALL:
        CopyAllDigests(page, job);
        return false;
    case ID_SETTINGS:
        return true;
    default:
        return false;
    }
}

void OnHashListKey(HWND page, const win::ListView& list, const class HashData& job, const NMLVKEYDOWN& key)
{
    if (key.wVKey == 'C' && (::GetKeyState(VK_CONTROL) & 0x8000) != 0)
        CopyDigestOfRow(page, job, list.FirstSelected());
}
