#include "PageComparison.h"

#include "ui/ClipboardText.h"
#include "ui/PageRuns.h"

void PageComparison::Attach(const Controls& shownIn, HINSTANCE module)
{
    controls = shownIn;
    icons.Load(module);
}

void PageComparison::StopWatching() noexcept
{
    viewer.Leave();
    pendingTexts.Clear();
}

void PageComparison::OnDrawClipboard(WPARAM wParam, LPARAM lParam, bool compareLocked)
{
    // Passed on first: a match found below takes the page out of the chain,
    // and the viewers after it must still hear of this change.
    viewer.OnDrawClipboard(wParam, lParam);
    if (compareLocked)
        pendingTexts.Add(ReadClipboardText());
    else
        Refresh();
}

void PageComparison::OnEditChange()
{
    if (!tidy.Rewriting())
        Compare(tidy.Apply(controls.edit));
}

void PageComparison::Refresh()
{
    std::wstring text = controls.edit.Text();
    if (features::kClipboardWatching && text.empty()) {
        pendingTexts.Add(ReadClipboardText());
        text = pendingTexts.FindDigest(runs.FileDigests());
        if (!text.empty())
            controls.edit.SetText(text);
    }
    pendingTexts.Clear();
    Compare(text);
}

void PageComparison::Compare(const std::wstring& text)
{
    ::SetWindowTextW(controls.algorithmLabel, L"");
    const DigestComparison result = features::kCompareTidy == features::CompareTidy::TrimOnly
                                        ? CompareWithDigestsAsTyped(text, runs.FileDigests())
                                        : CompareWithDigests(text, runs.FileDigests());
    controls.result.SetIcon(icons.For(result.outcome));
    if (result.outcome != ComparisonOutcome::Match)
        return;
    controls.list.Select(result.matchIndex);
    ::SetWindowTextW(controls.algorithmLabel, runs.FileJob().At(result.matchIndex)->GetName().c_str());
    // The question is answered: the clipboard is no longer watched.
    viewer.Leave();
    pendingTexts.Clear();
}
