#pragma once
// The digests a copied text may hold, looked for among the digests of many
// files as they become known. Every run of hexadecimal digits of a digest's
// length (kMinDigestDigits to kMaxDigestDigits) that stands alone in the text
// is a candidate, kept in uppercase in a hash set: checking one file's
// digests costs a lookup per digest, whatever the clipboard held, and the
// text is read once (cut to kMaxClipboardTextLength).
#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

class CopiedDigests {
public:
    static constexpr std::size_t kMinDigestDigits = 8;    // CRC32
    static constexpr std::size_t kMaxDigestDigits = 128;  // SHA-512, Whirlpool

    // The candidates of this text from now on; the previous text's are forgotten.
    void LookFor(const std::wstring& text);
    void Forget() noexcept { candidates.clear(); }
    bool Empty() const noexcept { return candidates.empty(); }

    // The first of these digests (any case) that the text held, in
    // uppercase; empty when it held none of them.
    std::wstring FirstHeld(const std::vector<std::wstring>& digests) const;

private:
    std::unordered_set<std::wstring> candidates;
};
