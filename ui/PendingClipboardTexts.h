#pragma once
// Texts copied to the clipboard while the page could not compare yet (the
// file was still being hashed), and the digest they hold, if any: once the
// digests are known, the page puts that digest into its compare edit.
//
// The clipboard may hold anything, of any size: each text is cut to
// kMaxClipboardTextLength characters, only the newest kMaxTexts are kept,
// and the search takes time linear in what is kept (Knuth-Morris-Pratt per
// digest, ASCII case folding): at worst kMaxTexts * kMaxClipboardTextLength
// steps per digest, whatever the text holds.
#include "ui/ClipboardText.h"

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

class PendingClipboardTexts {
public:
    static constexpr std::size_t kMaxTexts = 4;

    // Keeps the text (cut to kMaxClipboardTextLength), dropping the oldest
    // beyond kMaxTexts.
    void Add(std::wstring text);
    void Clear() { texts.clear(); }
    std::size_t Count() const { return texts.size(); }

    // The digest, in uppercase, that the newest text holding one holds
    // anywhere (inside a longer run of hex digits too), case ignored; within
    // one text the first digest in list order wins. Empty when no text holds
    // any; empty digests are never looked for.
    std::wstring FindDigest(const std::vector<std::wstring>& digests) const;

private:
    std::deque<std::wstring> texts;  // oldest first
};
