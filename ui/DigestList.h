#pragma once
// The page's virtual list of digests: its columns, and the texts of a row
// (LVN_GETDISPINFOW) and of its info tip (LVN_GETINFOTIPW) from the file job.
#include "win/ListView.h"

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstddef>
#include <string>

class HashData;

// The algorithm's and the digest's columns, whole rows selected, info tips.
void SetUpDigestList(const win::ListView& list);

class DigestListCells {
public:
    // Points the item at the text of its cell: column 0 the algorithm's name,
    // else its digest. Nothing for a row the job does not have, without
    // LVIF_TEXT, or while the job runs (its digests are being written).
    void Fill(NMLVDISPINFOW& info, const class HashData& job);

private:
    // The list reads a cell's text after the notification returns: a text
    // handed out stays as it is until two more have been asked for.
    std::array<std::wstring, 3> texts;
    std::size_t next = 0;
};

// Copies the row's algorithm description into the tip, cut to its buffer;
// nothing for a row the job does not have or a tip without a buffer.
void FillDigestInfoTip(NMLVGETINFOTIPW& tip, const class HashData& job);
