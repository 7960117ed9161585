// Shows the page's template with a digest twenty characters too long for the
// compare edit, rests the mouse on it until the title tip appears, writes
// the tip's and the edit's screen rectangles to a file and keeps the tip up
// until a second file appears, so that a screenshot can be taken from outside.
//   titletip_show.exe READY-FILE DONE-FILE
#include "TitleTipHost.h"

#include <cstdio>

namespace {

bool Exists(const wchar_t* path)
{
    return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    TitleTipHost host;
    const std::wstring digest = HexText(128);
    ::SetWindowTextW(host.edit, digest.substr(0, CharactersThatFit(host.edit, digest) + 20).c_str());
    ::SendMessageW(host.ToolTip(), TTM_SETDELAYTIME, TTDT_AUTOPOP, 60000);  // long enough to be photographed

    RECT editRect = {};
    ::GetWindowRect(host.edit, &editRect);
    MoveMouseTo({editRect.left + 20, (editRect.top + editRect.bottom) / 2});
    PumpPending();
    MoveMouseTo({editRect.left + 24, (editRect.top + editRect.bottom) / 2});
    if (!PumpUntil([&] { return host.TipShown(); }))
        return 1;
    ::UpdateWindow(host.ToolTip());
    PumpPending();

    RECT tipRect = {};
    ::GetWindowRect(host.ToolTip(), &tipRect);
    FILE* ready = _wfopen(argv[1], L"w");
    if (!ready)
        return 1;
    std::fprintf(ready, "%ld %ld %ld %ld %ld %ld %ld %ld\n", tipRect.left, tipRect.top, tipRect.right, tipRect.bottom,
                 editRect.left, editRect.top, editRect.right, editRect.bottom);
    std::fclose(ready);
    return PumpUntil([&] { return Exists(argv[2]); }, 60000) ? 0 : 1;
}
