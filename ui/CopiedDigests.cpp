#include "CopiedDigests.h"

#include "ui/AsciiCase.h"
#include "ui/ClipboardText.h"

#include <algorithm>

namespace {

bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

std::wstring Uppercase(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), AsciiUpper);
    return text;
}

}  // namespace

void CopiedDigests::LookFor(const std::wstring& text)
{
    candidates.clear();
    const std::size_t end = std::min(text.size(), kMaxClipboardTextLength);
    for (std::size_t at = 0; at < end;) {
        if (!IsHexDigit(text[at])) {
            ++at;
            continue;
        }
        const std::size_t start = at;
        while (at < end && IsHexDigit(text[at]))
            ++at;
        const std::size_t digits = at - start;
        if (digits >= kMinDigestDigits && digits <= kMaxDigestDigits)
            candidates.insert(Uppercase(text.substr(start, digits)));
    }
}

std::wstring CopiedDigests::FirstHeld(const std::vector<std::wstring>& digests) const
{
    if (candidates.empty())
        return {};
    for (const std::wstring& digest : digests) {
        if (digest.size() < kMinDigestDigits || digest.size() > kMaxDigestDigits)
            continue;
        std::wstring upper = Uppercase(digest);
        if (candidates.count(upper) != 0)
            return upper;
    }
    return {};
}
