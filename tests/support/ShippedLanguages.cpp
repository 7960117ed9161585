#include "ShippedLanguages.h"

#include <cwchar>
#include <sstream>

std::vector<ShippedLanguage> ShippedLanguages()
{
    // "TAG:LANGID,..." from the build's list of modules.
    std::vector<ShippedLanguage> languages;
    std::wistringstream items(TALLYRA_LANGUAGE_MODULES);
    for (std::wstring item; std::getline(items, item, L',');) {
        const size_t colon = item.find(L':');
        if (colon == std::wstring::npos)
            continue;
        languages.push_back(
            {item.substr(0, colon), static_cast<LANGID>(std::wcstoul(item.c_str() + colon + 1, nullptr, 0))});
    }
    return languages;
}
