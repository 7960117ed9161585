#pragma once
// Files made for one test in a folder of their own, removed afterwards with
// their subfolders.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path; }
    // A name may hold a subfolder made before with MakeFolder; paths may be
    // longer than MAX_PATH.
    std::wstring Write(const std::wstring& name, const std::vector<std::uint8_t>& content) const;
    std::wstring MakeFolder(const std::wstring& name) const;

private:
    std::wstring path;
};

// The bytes of a text, as they stand.
inline std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// The bytes ((i * 31 + 7) ^ (i >> 9)) & 0xFF: no period of a block's size.
std::vector<std::uint8_t> PatternBytes(std::size_t size);

// Digests of PatternBytes(size) by algorithm name, upper-case hex, computed
// independently (Python's zlib for Adler-32, PyCryptodome for MD2, PHP's hash
// extension for RIPEMD and HAVAL, RHash for the others) for the sizes 0, 1,
// 102400, 102401, 204800, 307200 and kLargePatternSize: every algorithm of
// the list, or all the table has for the size when the list is empty (nine;
// for 102401 all twenty-seven of both configurations). A size or algorithm
// outside the table is a failure.
using DigestTable = std::map<std::wstring, std::wstring>;
constexpr std::size_t kLargePatternSize = 3 * 1024 * 1024 + 5;
DigestTable PatternDigests(std::size_t size, const std::vector<std::wstring>& algorithms = {});
