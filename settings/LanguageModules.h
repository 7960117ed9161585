#pragma once
// The language modules found beside a module, each with the language its
// version resource names, and the one that fits a user-interface language.
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

struct LanguageModuleFile {
    std::wstring file;  // the file name, as the LanguageModule setting names it
    LANGID language = 0;
    std::wstring name;  // the language's own name ("Deutsch")
};

// File names as Windows compares them: without regard to case.
bool SameText(const std::wstring& a, const std::wstring& b);

// The files STEM.*.dll in the folder whose version resource names a
// language and the language's own name, in file-name order. STEM is the
// extension's file name without ".dll" (Tallyra32).
std::vector<LanguageModuleFile> FindLanguageModules(const std::wstring& folder, const std::wstring& stem);

// The built-in user interface of the module FOLDER\STEM.dll: its language
// and name from its version resource (file empty); nothing when it has none.
std::optional<LanguageModuleFile> BuiltInLanguage(const std::wstring& folder, const std::wstring& stem);

// The folder and stem of the module these sources are linked into.
struct ModuleLocation {
    std::wstring folder;
    std::wstring stem;
};
std::optional<ModuleLocation> ThisModuleLocation();

// The same language for a user: the same primary language and, for Chinese,
// the same script (Traditional for Taiwan, Hong Kong and Macao).
bool SameLanguage(LANGID a, LANGID b);

// The module a user whose interface language is `user` should see: none when
// the built-in texts are in that language; else the module in that language;
// else, for a language without a module, the English one (nothing if there
// is none).
std::optional<LanguageModuleFile> ModuleForUserLanguage(const std::vector<LanguageModuleFile>& modules,
                                                        LANGID builtIn, LANGID user);
