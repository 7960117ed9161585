#pragma once
// A page linked in directly (the catalogue's or the compact one), alone in a
// modeless sheet that owns it, its reads behind the test's file seam; the job
// reports the page has handled are seen from a subclass above it.
#include "Features.h"
#include "support/FileSeam.h"
#include "support/Gui.h"
#include "support/ScopedWindowSubclass.h"
#include "support/TallyraDll.h"
#include "support/TestFiles.h"

#include <commctrl.h>
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <vector>

// The job reports a page has handled: progress as it comes to the page, the
// ends (by the tag of the job whose run ended) once the page has handled them.
class HandledReports {
public:
    explicit HandledReports(HWND page) : subclass(page, &Procedure, this) {}

    int Ends(std::uint32_t tag) const
    {
        const auto found = ends.find(tag);
        return found == ends.end() ? 0 : found->second;
    }

    std::vector<WPARAM> progress;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self)
    {
        auto* handled = reinterpret_cast<HandledReports*>(self);
        if (message == WM_HASHDATA_NOTIFY && lParam == 0)
            handled->progress.push_back(wParam);
        const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
        if (message == WM_HASHDATA_NOTIFY && lParam != 0)
            ++handled->ends[static_cast<std::uint32_t>(lParam)];
        return result;
    }

    std::map<std::uint32_t, int> ends;
    ScopedWindowSubclass subclass;
};

template <class Page>
class PageInSheetTest : public ::testing::Test {
protected:
    // A worker held at the seam's gate would hold up the close of a page that
    // waits for its worker: the gate opens first.
    ~PageInSheetTest() override
    {
        seam.Open();
        CloseSheet();
    }

    // The page for the file alone in a modeless sheet, which owns it; its
    // reads go through the seam.
    Page* Show(const std::wstring& path)
    {
        auto* page = new Page(path);
        page->SetSystemCallsForTesting(FileSeam::Calls());
        HPROPSHEETPAGE handle = page->Create();
        sheet = handle ? ShowInModelessSheet({handle}) : nullptr;
        EXPECT_NE(sheet, nullptr);
        window = sheet ? page->Window() : nullptr;
        if (window)
            reports = std::make_unique<HandledReports>(window);
        return page;
    }

    void CloseSheet()
    {
        reports.reset();
        if (sheet)
            ::DestroyWindow(sheet);
        sheet = window = nullptr;
    }

    // Pumps until the page has handled this many ends of the job's runs.
    bool WaitForEnds(std::uint32_t tag, int count)
    {
        return PumpUntil([&] { return reports && reports->Ends(tag) >= count; });
    }

    HWND Control(UINT id) const { return ::GetDlgItem(window, static_cast<int>(id)); }
    bool Enabled(UINT id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }
    bool Visible(UINT id) const { return ::IsWindowVisible(Control(id)) != FALSE; }
    void Click(UINT id)
    {
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(id)));
    }

    TempFolder folder;
    FileSeam seam;
    HWND sheet = nullptr;
    HWND window = nullptr;
    std::unique_ptr<HandledReports> reports;
};
