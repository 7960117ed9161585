#include "SumAlgorithms.h"

#include <algorithm>

namespace {

// What each algorithm is called in checksum files besides its own tag:
// other tags the tools write, extensions (with the dot) and whole file names.
struct SumAlgorithmNames {
    const char* otherTags;   // separated by spaces
    const char* fileNames;   // ".ext" or whole names, separated by spaces
};

struct Row {
    SumAlgorithm algorithm;
    SumAlgorithmNames names;
};

// Catalogue name, the tag we write, digits; then the tags and file names read.
const Row kRows[] = {
    {{L"Adler32", "ADLER32", 8}, {"ADLER-32", ".adler32"}},
    {{L"CRC32", "CRC32", 8}, {"CRC-32", ".crc32 .sfv"}},
    {{L"CRC32C", "CRC32C", 8}, {"CRC-32C", ".crc32c"}},
    {{L"CRC64", "CRC64", 16}, {"CRC-64", ".crc64"}},
    {{L"MD2", "MD2", 32}, {"", ".md2"}},
    {{L"MD4", "MD4", 32}, {"", ".md4 MD4SUMS"}},
    {{L"MD5", "MD5", 32}, {"", ".md5 .md5sum MD5SUMS"}},
    {{L"RIPEMD-128", "RMD128", 32}, {"RIPEMD128 RIPEMD-128", ".rmd128 .ripemd128"}},
    {{L"RIPEMD-256", "RMD256", 64}, {"RIPEMD256 RIPEMD-256", ".rmd256 .ripemd256"}},
    {{L"RIPEMD-320", "RMD320", 80}, {"RIPEMD320 RIPEMD-320", ".rmd320 .ripemd320"}},
    {{L"SHA-1", "SHA1", 40}, {"SHA-1", ".sha1 .sha1sum SHA1SUMS"}},
    {{L"SHA-256", "SHA256", 64}, {"SHA-256 SHA2-256", ".sha256 .sha256sum SHA256SUMS"}},
    {{L"SHA-384", "SHA384", 96}, {"SHA-384 SHA2-384", ".sha384 .sha384sum SHA384SUMS"}},
    {{L"SHA-512", "SHA512", 128}, {"SHA-512 SHA2-512", ".sha512 .sha512sum SHA512SUMS"}},
    {{L"SHA3-224", "SHA3-224", 56}, {"SHA3_224", ".sha3-224 .sha3_224 SHA3-224SUMS"}},
    {{L"SHA3-256", "SHA3-256", 64}, {"SHA3_256", ".sha3-256 .sha3_256 SHA3-256SUMS"}},
    {{L"SHA3-384", "SHA3-384", 96}, {"SHA3_384", ".sha3-384 .sha3_384 SHA3-384SUMS"}},
    {{L"SHA3-512", "SHA3-512", 128}, {"SHA3_512", ".sha3-512 .sha3_512 SHA3-512SUMS"}},
    {{L"BLAKE2b", "BLAKE2b", 128}, {"BLAKE2b-512 BLAKE2", ".b2 .blake2b .b2sum B2SUMS"}},
    {{L"BLAKE2s", "BLAKE2s", 64}, {"BLAKE2s-256", ".blake2s"}},
    {{L"BLAKE3", "BLAKE3", 64}, {"", ".b3 .blake3 .b3sum B3SUMS"}},
    {{L"XXH64", "XXH64", 16}, {"XXHASH64", ".xxh64"}},
    {{L"XXH3", "XXH3", 16}, {"XXH3_64 XXH3-64", ".xxh3"}},
    {{L"XXH128", "XXH128", 32}, {"XXH3_128 XXH3-128", ".xxh128"}},
    {{L"Tiger", "TIGER", 48}, {"", ".tiger"}},
    {{L"Whirlpool", "WHIRLPOOL", 128}, {"", ".whirlpool"}},
    {{L"HAVAL", "HAVAL", 64}, {"HAVAL-256-3", ".haval"}},
};

wchar_t FoldWide(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

template <class Left, class Right>
bool SameFolded(Left left, Right right)
{
    if (left.size() != right.size())
        return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (FoldWide(static_cast<wchar_t>(left[i])) != FoldWide(static_cast<wchar_t>(right[i])))
            return false;
    }
    return true;
}

// Calls `match` with each word of a space-separated list until it says yes.
template <class Match>
bool AnyWord(const char* list, Match match)
{
    std::string_view words(list);
    while (!words.empty()) {
        const std::size_t end = std::min(words.find(' '), words.size());
        if (end > 0 && match(words.substr(0, end)))
            return true;
        words.remove_prefix(std::min(end + 1, words.size()));
    }
    return false;
}

bool EndsWithFolded(std::wstring_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && SameFolded(text.substr(text.size() - suffix.size()), suffix);
}

// The last component of a path with either separator.
std::wstring_view BaseName(std::wstring_view path)
{
    const std::size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

const std::vector<SumAlgorithm>& SumAlgorithms()
{
    static const std::vector<SumAlgorithm> all = [] {
        std::vector<SumAlgorithm> algorithms;
        for (const Row& row : kRows)
            algorithms.push_back(row.algorithm);
        return algorithms;
    }();
    return all;
}

const SumAlgorithm* SumAlgorithmByTag(std::string_view tag)
{
    const std::vector<SumAlgorithm>& all = SumAlgorithms();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const auto same = [&](std::string_view known) { return SameFolded(tag, known); };
        if (same(kRows[i].algorithm.tag) || AnyWord(kRows[i].names.otherTags, same))
            return &all[i];
    }
    return nullptr;
}

const SumAlgorithm* SumAlgorithmByName(std::wstring_view catalogueName)
{
    for (const SumAlgorithm& algorithm : SumAlgorithms()) {
        if (SameFolded(catalogueName, std::wstring_view(algorithm.catalogueName)))
            return &algorithm;
    }
    return nullptr;
}

const SumAlgorithm* SumAlgorithmByFileName(std::wstring_view fileName)
{
    const std::wstring_view base = BaseName(fileName);
    const std::vector<SumAlgorithm>& all = SumAlgorithms();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const bool named = AnyWord(kRows[i].names.fileNames, [&](std::string_view name) {
            return name[0] == '.' ? EndsWithFolded(base, name) : SameFolded(base, name);
        });
        if (named)
            return &all[i];
    }
    return nullptr;
}

std::vector<const SumAlgorithm*> SumAlgorithmsByLength(std::size_t hexLength)
{
    std::vector<const SumAlgorithm*> found;
    for (const SumAlgorithm& algorithm : SumAlgorithms()) {
        if (algorithm.hexLength == hexLength)
            found.push_back(&algorithm);
    }
    return found;
}

bool IsSfvFileName(std::wstring_view fileName)
{
    return EndsWithFolded(BaseName(fileName), ".sfv");
}
