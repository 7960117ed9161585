#include "LanguageModules.h"

#include "win/ThisModule.h"
#include "win/UniqueHandle.h"
#include "win/VersionResource.h"

#include <algorithm>

namespace {

constexpr wchar_t kLanguageNameValue[] = L"LanguageName";

bool IsTraditionalChinese(LANGID language)
{
    switch (SUBLANGID(language)) {
    case SUBLANG_CHINESE_TRADITIONAL:
    case SUBLANG_CHINESE_HONGKONG:
    case SUBLANG_CHINESE_MACAU:
    case 0x1F:  // zh-Hant, the neutral Traditional Chinese (0x7C04)
        return true;
    default:
        return false;
    }
}

std::optional<LanguageModuleFile> Describe(const std::wstring& folder, const std::wstring& file)
{
    const win::VersionResource version(folder + L"\\" + file);
    const std::optional<LANGID> language = version.Language();
    std::optional<std::wstring> name = version.String(kLanguageNameValue);
    if (!language || !name)
        return std::nullopt;
    return LanguageModuleFile{file, *language, std::move(*name)};
}

}  // namespace

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

std::vector<LanguageModuleFile> FindLanguageModules(const std::wstring& folder, const std::wstring& stem)
{
    std::vector<LanguageModuleFile> found;
    WIN32_FIND_DATAW entry = {};
    const std::wstring pattern = folder + L"\\" + stem + L".*.dll";
    const win::UniqueFind search(::FindFirstFileW(pattern.c_str(), &entry));
    if (!search)
        return found;
    const std::wstring prefix = stem + L".";
    const std::wstring suffix = L".dll";
    do {
        const std::wstring file = entry.cFileName;
        // Only STEM.TAG.dll: the pattern also matches other files by their short names.
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || file.size() <= prefix.size() + suffix.size() ||
            !SameText(file.substr(0, prefix.size()), prefix) ||
            !SameText(file.substr(file.size() - suffix.size()), suffix))
            continue;
        if (auto module = Describe(folder, file))
            found.push_back(std::move(*module));
    } while (::FindNextFileW(search.get(), &entry));
    std::sort(found.begin(), found.end(),
              [](const LanguageModuleFile& a, const LanguageModuleFile& b) { return a.file < b.file; });
    return found;
}

std::optional<LanguageModuleFile> BuiltInLanguage(const std::wstring& folder, const std::wstring& stem)
{
    auto builtIn = Describe(folder, stem + L".dll");
    if (builtIn)
        builtIn->file.clear();
    return builtIn;
}

std::optional<ModuleLocation> ThisModuleLocation()
{
    std::wstring path;
    if (FAILED(ThisModulePath(path)))
        return std::nullopt;
    const size_t slash = path.find_last_of(L"\\/");
    const size_t dot = path.find_last_of(L'.');
    if (slash == std::wstring::npos || dot == std::wstring::npos || dot < slash)
        return std::nullopt;
    return ModuleLocation{path.substr(0, slash), path.substr(slash + 1, dot - slash - 1)};
}

bool SameLanguage(LANGID a, LANGID b)
{
    if (PRIMARYLANGID(a) != PRIMARYLANGID(b))
        return false;
    return PRIMARYLANGID(a) != LANG_CHINESE || IsTraditionalChinese(a) == IsTraditionalChinese(b);
}

std::optional<LanguageModuleFile> ModuleForUserLanguage(const std::vector<LanguageModuleFile>& modules,
                                                        LANGID builtIn, LANGID user)
{
    if (SameLanguage(user, builtIn))
        return std::nullopt;
    const auto in = [&](LANGID language) {
        return std::find_if(modules.begin(), modules.end(),
                            [&](const LanguageModuleFile& module) { return SameLanguage(module.language, language); });
    };
    auto fitting = in(user);
    if (fitting == modules.end())
        fitting = in(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (fitting == modules.end())
        return std::nullopt;
    return *fitting;
}
