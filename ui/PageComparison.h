#pragma once
// What the page shows of comparing its file's digests with a text: the
// compare edit (tidied as typed), the result icon, the matched algorithm's
// name and row; and, where the configuration watches the clipboard, the texts
// copied meanwhile, searched for a digest when the edit is empty.
#include "Features.h"
#include "ui/ClipboardViewer.h"
#include "ui/CompareEditTidy.h"
#include "ui/DigestComparison.h"
#include "ui/PendingClipboardTexts.h"
#include "ui/ResultIcons.h"
#include "win/CommonControls.h"
#include "win/Edit.h"
#include "win/ListView.h"

#include <optional>
#include <string>

class PageRuns;

class PageComparison {
public:
    struct Controls {
        win::Edit edit;
        win::IconStatic result;
        HWND algorithmLabel = nullptr;
        win::ListView list;
    };

    explicit PageComparison(const PageRuns& runs) noexcept : runs(runs) {}

    // The controls it shows in, and the result icons from the module.
    void Attach(const Controls& controls, HINSTANCE module);
    // Joins the clipboard chain: what the clipboard holds now waits, with
    // later copies, for the file's digests.
    void WatchClipboard(HWND page) { viewer.Join(page); }
    // Leaves the chain and forgets the waiting texts (the page's window goes).
    void StopWatching() noexcept;

    // WM_DRAWCLIPBOARD: passed on, then compared at once, or kept while the
    // page cannot compare yet.
    void OnDrawClipboard(WPARAM wParam, LPARAM lParam, bool compareLocked);
    LRESULT OnChangeChain(WPARAM leaving, LPARAM after) { return viewer.OnChangeChain(leaving, after); }
    // EN_CHANGE of the compare edit while the page may compare.
    void OnEditChange();

    // Compares the edit's text with the file's digests; with an empty edit, a
    // digest found in what was copied meanwhile (or is on the clipboard now)
    // fills it in first.
    void Refresh();
    // The outcome whose icon the result control shows now.
    std::optional<ComparisonOutcome> ShownOutcome() const { return icons.OutcomeOf(controls.result.Icon()); }

private:
    void Compare(const std::wstring& text);

    const PageRuns& runs;
    Controls controls;
    ResultIcons icons;
    CClipboardViewer viewer;
    PendingClipboardTexts pendingTexts;  // copied while compare-locked, searched at the next refresh
    CompareEditTidy tidy{features::kCompareTidy == features::CompareTidy::TrimOnly ? &TrimCompareText
                                                                                  : &TidyCompareText};
};
