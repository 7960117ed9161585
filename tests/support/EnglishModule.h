#pragma once
// The product's English language module as the LanguageModule setting names
// it for a program in bin/ (where the tests are): bin/full/Tallyra32.en.dll.
inline constexpr wchar_t kEnglishModule[] = L"full\\Tallyra32.en.dll";
