#include "RowListKeys.h"

#include "ui/ClipboardCopy.h"

void OnRowListKey(HWND page, const win::ListView& list, const NMLVKEYDOWN& key,
                  const std::function<std::wstring()>& rowsText)
{
    if ((::GetKeyState(VK_CONTROL) & 0x8000) == 0)
        return;
    if (key.wVKey == 'C')
        CopyTextToClipboard(page, rowsText());
    else if (key.wVKey == 'A')
        list.SetItemState(win::ListView::kAllItems, LVIS_SELECTED, LVIS_SELECTED);
}
