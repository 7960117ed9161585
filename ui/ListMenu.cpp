#include "ListMenu.h"

#include "Features.h"
#include "resource.h"
#include "settings/ResourceInstance.h"
#include "win/UniqueHandle.h"

#include <algorithm>
#include <string>

namespace {

void Append(HMENU menu, UINT id, const std::wstring& text)
{
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_ID | MIIM_TYPE;
    item.fType = text.empty() && id == 0 ? MFT_SEPARATOR : MFT_STRING;
    item.wID = id;
    std::wstring copy = text;
    item.dwTypeData = copy.data();
    ::InsertMenuItemW(menu, ::GetMenuItemCount(menu), TRUE, &item);
}

}  // namespace

POINT KeepMenuOnMonitor(POINT at)
{
    if (::MonitorFromPoint(at, MONITOR_DEFAULTTONULL) != nullptr)
        return at;
    HMONITOR nearest = ::MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (nearest == nullptr || !::GetMonitorInfoW(nearest, &info))
        return at;
    // The right edge is outside the work area.
    at.x = std::clamp(at.x, info.rcWork.left, std::max(info.rcWork.left, info.rcWork.right - 1));
    return at;
}

UINT TrackListMenu(HWND list, POINT at, bool rowSelected)
{
    win::UniqueMenu menu(::CreatePopupMenu());
    if (!menu)
        return 0;
    if (rowSelected) {
        Append(menu.get(), ID_COPY_SELECTED, LoadResourceString(IDS_COPY));
        Append(menu.get(), 0, std::wstring());
    }
    if constexpr (features::kCopyAll)
        Append(menu.get(), ID_COPY_ALL, LoadResourceString(IDS_COPY_ALL));
    Append(menu.get(), ID_SETTINGS, LoadResourceString(IDS_OPTIONS));
    const POINT shown = features::kMenuOnMonitor ? KeepMenuOnMonitor(at) : at;
    return static_cast<UINT>(::TrackPopupMenu(menu.get(), TPM_RETURNCMD, shown.x, shown.y, 0, list, nullptr));
}
