#pragma once
// The page linked in directly, alone in a modeless sheet, its reads behind the
// test's file seam; what the page has handled is seen from a subclass above it.
#include "support/Digests.h"
#include "support/FileSeam.h"
#include "support/Gui.h"
#include "support/ScopedWindowSubclass.h"
#include "support/TallyraDll.h"
#include "support/TestFiles.h"
#include "ui/HashDialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <memory>
#include <ole2.h>

// The jobs' completions the page has handled: seen by a subclass above the
// page, after the page's own handling.
class HandledCompletions {
public:
    explicit HandledCompletions(HWND page) : subclass(page, &Procedure, this) {}

    int count = 0;     // of the file job
    int compares = 0;  // of the compare job

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self)
    {
        const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
        auto* handled = reinterpret_cast<HandledCompletions*>(self);
        if (message == WM_HASHDATA_NOTIFY && wParam == 0 && lParam == HASHJOB_FILE)
            ++handled->count;
        if (message == WM_HASHDATA_NOTIFY && wParam == 0 && lParam == HASHJOB_COMPARE)
            ++handled->compares;
        return result;
    }

    ScopedWindowSubclass subclass;
};

class HashDialogTest : public ::testing::Test {
protected:
    HashDialogTest() : bound(settings) { ::OleInitialize(nullptr); }
    ~HashDialogTest() override
    {
        CloseSheet();
        ::OleUninitialize();
    }

    // The page for the file alone in a modeless sheet, which owns it; its
    // reads go through the seam.
    CHashDialog* Show(const std::wstring& path)
    {
        auto* page = new CHashDialog(path);
        page->SetFileAccessForTesting(FileSeam::Access());
        HPROPSHEETPAGE handle = page->Create();
        sheet = handle ? ShowInModelessSheet({handle}) : nullptr;
        EXPECT_NE(sheet, nullptr);
        window = sheet ? page->Window() : nullptr;
        if (window)
            completions = std::make_unique<HandledCompletions>(window);
        return page;
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

    void CloseSheet()
    {
        completions.reset();
        if (sheet)
            ::DestroyWindow(sheet);
        sheet = window = nullptr;
    }

    // Pumps until the page has handled this many completions of its file job.
    bool WaitForCompletions(int count)
    {
        return PumpUntil([&] { return completions && completions->count >= count; });
    }

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

    HWND Control(UINT id) const { return ::GetDlgItem(window, static_cast<int>(id)); }
    int Rows() const { return static_cast<int>(::SendMessageW(Control(IDC_HASH_LIST), LVM_GETITEMCOUNT, 0, 0)); }
    bool Locked() const { return ::SendMessageW(window, WM_QUERY_COMPARE_LOCKED, 0, 0) != 0; }
    void Click(UINT id)
    {
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(id)));
    }

    FixedSettings settings;
    BoundSettings bound;
    TempFolder folder;
    FileSeam seam;
    HWND sheet = nullptr;
    HWND window = nullptr;
    std::unique_ptr<HandledCompletions> completions;
};
