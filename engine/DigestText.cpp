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

namespace {

int HexValue(wchar_t digit)
{
    if (digit >= L'0' && digit <= L'9')
        return digit - L'0';
    if (digit >= L'a' && digit <= L'f')
        return digit - L'a' + 10;
    if (digit >= L'A' && digit <= L'F')
        return digit - L'A' + 10;
    return -1;
}

}  // namespace

bool AppendDigestBytes(std::wstring_view text, std::string& bytes)
{
    if (text.size() % 2 != 0)
        return false;
    const std::size_t start = bytes.size();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexValue(text[i]), low = HexValue(text[i + 1]);
        if (high < 0 || low < 0) {
            bytes.resize(start);
            return false;
        }
        bytes.push_back(static_cast<char>(high << 4 | low));
    }
    return true;
}

void CrcBytesMostSignificantFirst(std::uint8_t* digest, std::size_t size)
{
    std::reverse(digest, digest + size);
}
