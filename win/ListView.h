#pragma once
// A list-view control through its messages, one call each; the message a
// call sends is named in it.
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace win {

class ListView {
public:
    explicit ListView(HWND window = nullptr) noexcept : window(window) {}
    // The control's window for the calls that are not its own.
    operator HWND() const noexcept { return window; }

    // LVM_INSERTCOLUMNW, left-aligned unless told (LVCFMT_RIGHT); with no
    // width the list keeps its own.
    void InsertColumn(int index, std::wstring heading, std::optional<int> width, int format = LVCFMT_LEFT) const
    {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_TEXT | (width ? LVCF_WIDTH : 0);
        column.fmt = format;
        column.cx = width.value_or(0);
        column.pszText = heading.data();
        ::SendMessageW(window, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
    }
    // LVM_SETCOLUMNW of the heading alone.
    void SetColumnHeading(int index, std::wstring heading) const
    {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT;
        column.pszText = heading.data();
        ::SendMessageW(window, LVM_SETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
    }
    void SetColumnWidth(int column, int width) const
    {
        ::SendMessageW(window, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
    }
    // LVM_SETEXTENDEDLISTVIEWSTYLE with the style as its own mask: the others
    // stay. A zero mask would mean every style, so nothing is sent for none.
    void AddExtendedStyle(DWORD style) const
    {
        if (style != 0)
            ::SendMessageW(window, LVM_SETEXTENDEDLISTVIEWSTYLE, style, style);
    }

    // The header's sort arrow on one column (up for ascending) and on no
    // other; column -1 for none at all.
    void ShowSortArrow(int column, bool ascending) const
    {
        const HWND header = reinterpret_cast<HWND>(::SendMessageW(window, LVM_GETHEADER, 0, 0));
        const int count = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
        for (int index = 0; index < count; ++index) {
            HDITEMW item = {};
            item.mask = HDI_FORMAT;
            ::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
            item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
            if (index == column)
                item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
            ::SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        }
    }

    // LVM_INSERTITEMW of a text item.
    void InsertItem(int index, std::wstring text) const
    {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = text.data();
        ::SendMessageW(window, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    // LVM_SETITEMCOUNT: the rows of a list whose texts are asked for; flags
    // LVSICF_... keep the scroll position and the rows drawn.
    void SetItemCount(std::size_t count, LPARAM flags = 0) const
    {
        ::SendMessageW(window, LVM_SETITEMCOUNT, count, flags);
    }
    int ItemCount() const { return static_cast<int>(::SendMessageW(window, LVM_GETITEMCOUNT, 0, 0)); }

    // LVM_GETNEXTITEM from the start: the first selected row, -1 for none.
    LRESULT FirstSelected() const
    {
        return ::SendMessageW(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    }
    int SelectedCount() const { return static_cast<int>(::SendMessageW(window, LVM_GETSELECTEDCOUNT, 0, 0)); }
    // LVM_ENSUREVISIBLE, scrolled wholly into view.
    void EnsureVisible(std::size_t item) const { ::SendMessageW(window, LVM_ENSUREVISIBLE, item, FALSE); }

    // LVM_SETITEMSTATE of the bits in mask; kAllItems for every row.
    static constexpr std::size_t kAllItems = static_cast<std::size_t>(-1);
    void SetItemState(std::size_t item, UINT state, UINT mask) const
    {
        LVITEMW change = {};
        change.stateMask = mask;
        change.state = state;
        ::SendMessageW(window, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&change));
    }
    void Select(std::size_t item) const { SetItemState(item, LVIS_SELECTED, LVIS_SELECTED); }
    // The selected rows, in order: row by row (LVM_GETITEMSTATE), since
    // Wine's LVM_GETNEXTITEM misses the selection of an owner-data list once
    // an item has the focus; it stops at the last selected row.
    std::vector<std::size_t> SelectedItems() const
    {
        std::vector<std::size_t> items;
        const std::size_t selected = static_cast<std::size_t>(SelectedCount());
        const std::size_t count = static_cast<std::size_t>(ItemCount());
        for (std::size_t item = 0; item < count && items.size() < selected; ++item) {
            if (ItemState(item, LVIS_SELECTED) != 0)
                items.push_back(item);
        }
        return items;
    }
    UINT ItemState(std::size_t item, UINT mask) const
    {
        return static_cast<UINT>(::SendMessageW(window, LVM_GETITEMSTATE, item, mask));
    }

private:
    HWND window;
};

}  // namespace win
