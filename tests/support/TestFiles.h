#pragma once
// Files made for one test in a folder of their own, removed afterwards.
#include <cstdint>
#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path; }
    std::wstring Write(const std::wstring& name, const std::vector<std::uint8_t>& content) const;

private:
    std::wstring path;
};

// The bytes ((i * 31 + 7) ^ (i >> 9)) & 0xFF: no period of a block's size.
std::vector<std::uint8_t> PatternBytes(std::size_t size);
