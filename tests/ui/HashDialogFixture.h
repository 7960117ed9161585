#pragma once
// The catalogue's page linked in directly, alone in a modeless sheet, its
// reads behind the test's file seam (PageInSheet.h).
#include "PageInSheet.h"
#include "support/Digests.h"
#include "ui/HashDialog.h"

#include <ole2.h>

class HashDialogTest : public PageInSheetTest<CHashDialog> {
protected:
    HashDialogTest() : bound(settings) { ::OleInitialize(nullptr); }
    ~HashDialogTest() override
    {
        CloseSheet();
        ::OleUninitialize();
    }

    // The page shown with the seam closed, its first read held at the gate;
    // null (the failure reported) when either does not happen.
    CHashDialog* ShowWithFirstReadHeld(const std::wstring& path)
    {
        seam.Close();
        const int first = seam.Reads();
        CHashDialog* page = Show(path);
        const bool held = window != nullptr && seam.WaitUntilHeld(first);
        EXPECT_TRUE(held) << "the page's first read never came";
        return held ? page : nullptr;
    }

    // Pumps until the page has handled this many completions of its file job.
    bool WaitForCompletions(int count) { return WaitForEnds(HASHJOB_FILE, count); }

    // Drags the files from a source that lets go at once over the middle of
    // the page's list; the effect the drop target answered.
    DWORD DropOnPage(const std::vector<std::wstring>& files)
    {
        RECT area = {};
        ::GetWindowRect(Control(IDC_HASH_LIST), &area);
        ::SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
        win::ComPtr<IDataObject> data = ShellDataObject(files);
        EXPECT_TRUE(data);
        DropAtOnce source;
        DWORD effect = 0xFFFF;
        if (data)
            ::DoDragDrop(data.Get(), &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
        return effect;
    }

    int Rows() const { return static_cast<int>(::SendMessageW(Control(IDC_HASH_LIST), LVM_GETITEMCOUNT, 0, 0)); }
    bool Locked() const { return ::SendMessageW(window, WM_QUERY_COMPARE_LOCKED, 0, 0) != 0; }

    FixedSettings settings;
    BoundSettings bound;
};
