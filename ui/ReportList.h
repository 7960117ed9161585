#pragma once
// The page's list of digests and the settings dialog's list of algorithms
// are set up alike: left-aligned columns under their headings, whole rows
// selected, and one extended style more for each (the page's info tips, the
// dialog's check boxes).
#include "win/ListView.h"

#include <initializer_list>

struct ReportColumn {
    std::wstring heading;
    std::optional<int> width;  // none: the list's own
    int format = LVCFMT_LEFT;
};

inline void SetUpReportList(const win::ListView& list, std::initializer_list<ReportColumn> columns,
                            DWORD extendedStyle)
{
    int index = 0;
    for (const ReportColumn& column : columns)
        list.InsertColumn(index++, column.heading, column.width, column.format);
    list.AddExtendedStyle(LVS_EX_FULLROWSELECT);
    list.AddExtendedStyle(extendedStyle);
}
