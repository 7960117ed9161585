#pragma once
// The version resource of a file, read as Windows' file properties read it.
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

namespace win {

class VersionResource {
public:
    // Empty when the file has no version resource or cannot be read.
    explicit VersionResource(const std::wstring& file);

    bool Empty() const { return data.empty(); }
    const VS_FIXEDFILEINFO* Fixed() const;
    // The language of the first translation the resource names.
    std::optional<LANGID> Language() const;
    // A string of the first translation; nothing when it is missing or empty.
    std::optional<std::wstring> String(const wchar_t* name) const;

private:
    struct Translation {
        WORD language, codePage;
    };
    const Translation* FirstTranslation() const;

    std::vector<BYTE> data;
};

}  // namespace win
