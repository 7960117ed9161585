#pragma once
// The language modules the full configuration ships (config/full/Languages.cmake),
// as the build made them beside the test programs: bin/full/Tallyra32.TAG.dll.
#include <ostream>
#include <string>
#include <vector>
#include <windows.h>

struct ShippedLanguage {
    std::wstring tag;  // "en", "zh-TW"
    LANGID language = 0;

    std::wstring File() const { return L"Tallyra32." + tag + L".dll"; }
    // Relative to the test programs' folder, as the tests load it.
    std::wstring Path() const { return L"full\\" + File(); }
};

std::vector<ShippedLanguage> ShippedLanguages();

// For test names and messages.
inline void PrintTo(const ShippedLanguage& language, std::ostream* out)
{
    *out << std::string(language.tag.begin(), language.tag.end());
}
