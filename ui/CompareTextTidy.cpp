#include "CompareTextTidy.h"

#include <algorithm>
#include <cwctype>

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L' ' || c == L'-' || c == L'\t';
}

bool IsWhiteSpace(wchar_t c)
{
    return std::iswspace(c) != 0;
}

}  // namespace

TidiedCompareText TrimCompareText(const std::wstring& text, std::size_t selectionStart)
{
    TidiedCompareText tidied;
    tidied.text = text;
    std::wstring& result = tidied.text;
    const std::size_t leading =
        static_cast<std::size_t>(std::find_if_not(result.begin(), result.end(), IsWhiteSpace) - result.begin());
    result.erase(0, leading);
    const auto trailingStart = std::find_if_not(result.rbegin(), result.rend(), IsWhiteSpace).base();
    result.erase(trailingStart, result.end());

    tidied.caret = selectionStart > leading ? std::min(selectionStart - leading, result.size()) : 0;
    return tidied;
}

TidiedCompareText TidyCompareText(const std::wstring& text, std::size_t selectionStart)
{
    std::wstring bare = text;
    bare.erase(std::remove_if(bare.begin(), bare.end(), IsSeparator), bare.end());
    return TrimCompareText(bare, selectionStart);
}
