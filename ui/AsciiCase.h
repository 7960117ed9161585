#pragma once
// Case folding for digest text. Digests are ASCII hex, and no character
// outside ASCII folds onto a hex digit, so ASCII folding decides exactly,
// with no locale and whatever else the text holds (NULs, lone surrogates).

inline wchar_t AsciiUpper(wchar_t c) noexcept
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}
