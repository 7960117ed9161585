#include "CompareEditTidy.h"

std::wstring CompareEditTidy::Apply(const win::Edit& edit)
{
    const DWORD selectionStart = edit.SelectionStart();
    const std::wstring text = edit.Text();
    TidiedCompareText tidied = tidy(text, selectionStart);
    if (tidied.text != text) {
        rewriting = true;
        edit.SetText(tidied.text);
        edit.SetSelection(tidied.caret, tidied.caret);
        edit.ScrollCaretIntoView();
        rewriting = false;
    }
    return std::move(tidied.text);
}
