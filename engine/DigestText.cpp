#include "DigestText.h"

#include <algorithm>

std::wstring FormatDigestText(const std::uint8_t* digest, std::size_t size, bool lowercase)
{
    const wchar_t* digits = lowercase ? L"0123456789abcdef" : L"0123456789ABCDEF";
    std::wstring text;
    text.reserve(2 * size);
    for (std::size_t i = 0; i < size; ++i) {
        text += digits[digest[i] >> 4];
        text += digits[digest[i] & 0x0F];
    }
    return text;
}

void CrcBytesMostSignificantFirst(std::uint8_t* digest, std::size_t size)
{
    std::reverse(digest, digest + size);
}
