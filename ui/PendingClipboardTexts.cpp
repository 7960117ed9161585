#include "PendingClipboardTexts.h"

#include "ui/AsciiCase.h"

#include <algorithm>

namespace {

// Knuth-Morris-Pratt: one pass over the text, never stepping back, so a
// hostile text (long runs of one digit) costs no more than any other.
class UppercaseMatcher {
public:
    explicit UppercaseMatcher(const std::wstring& digest) : pattern(digest.size(), L'\0'), fallback(digest.size(), 0)
    {
        std::transform(digest.begin(), digest.end(), pattern.begin(), AsciiUpper);
        for (std::size_t i = 1, matched = 0; i < pattern.size(); ++i) {
            while (matched > 0 && pattern[i] != pattern[matched])
                matched = fallback[matched - 1];
            if (pattern[i] == pattern[matched])
                ++matched;
            fallback[i] = matched;
        }
    }

    const std::wstring& Pattern() const { return pattern; }

    bool FoundIn(const std::wstring& text) const
    {
        std::size_t matched = 0;
        for (const wchar_t c : text) {
            const wchar_t upper = AsciiUpper(c);
            while (matched > 0 && upper != pattern[matched])
                matched = fallback[matched - 1];
            if (upper == pattern[matched] && ++matched == pattern.size())
                return true;
        }
        return false;
    }

private:
    std::wstring pattern;               // uppercase, not empty
    std::vector<std::size_t> fallback;  // longest proper border of each prefix
};

}  // namespace

void PendingClipboardTexts::Add(std::wstring text)
{
    if (text.size() > kMaxClipboardTextLength)
        text.resize(kMaxClipboardTextLength);
    texts.push_back(std::move(text));
    while (texts.size() > kMaxTexts)
        texts.pop_front();
}

std::wstring PendingClipboardTexts::FindDigest(const std::vector<std::wstring>& digests) const
{
    std::vector<UppercaseMatcher> matchers;
    for (const std::wstring& digest : digests) {
        if (!digest.empty())
            matchers.emplace_back(digest);
    }
    // The newest text holding a digest decides: search from the newest back.
    for (auto text = texts.rbegin(); text != texts.rend(); ++text) {
        const auto match = std::find_if(matchers.begin(), matchers.end(),
                                        [&](const UppercaseMatcher& matcher) { return matcher.FoundIn(*text); });
        if (match != matchers.end())
            return match->Pattern();
    }
    return {};
}
