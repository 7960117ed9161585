#include "DigestComparison.h"

#include "ui/AsciiCase.h"

#include <algorithm>

namespace {

bool EqualIgnoringCase(const wchar_t* first, const wchar_t* last, const std::wstring& digest)
{
    return static_cast<std::size_t>(last - first) == digest.size() &&
           std::equal(first, last, digest.begin(),
                      [](wchar_t a, wchar_t b) { return AsciiUpper(a) == AsciiUpper(b); });
}

DigestComparison CompareRange(const wchar_t* first, const wchar_t* last, const std::vector<std::wstring>& digests)
{
    if (first == last)
        return {ComparisonOutcome::NothingToCompare, 0};
    for (std::size_t index = 0; index < digests.size(); ++index) {
        if (EqualIgnoringCase(first, last, digests[index]))
            return {ComparisonOutcome::Match, index};
    }
    return {ComparisonOutcome::Mismatch, 0};
}

}  // namespace

std::wstring_view ComparedDigits(const std::wstring& text)
{
    const std::wstring_view digits = text;
    if (digits.size() > 1 && digits[0] == L'0' && (digits[1] == L'x' || digits[1] == L'X'))
        return digits.substr(2);
    return digits;
}

DigestComparison CompareWithDigests(const std::wstring& text, const std::vector<std::wstring>& digests)
{
    const std::wstring_view digits = ComparedDigits(text);
    return CompareRange(digits.data(), digits.data() + digits.size(), digests);
}

DigestComparison CompareWithDigestsAsTyped(const std::wstring& text, const std::vector<std::wstring>& digests)
{
    return CompareRange(text.data(), text.data() + text.size(), digests);
}
