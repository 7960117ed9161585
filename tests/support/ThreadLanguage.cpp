#include "ThreadLanguage.h"

bool UnderWine()
{
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

LANGID ResourceLookupLanguage()
{
    return UnderWine() ? LANGIDFROMLCID(::GetThreadLocale()) : ::GetThreadUILanguage();
}

ScopedThreadLanguage::ScopedThreadLanguage(LANGID language)
    : savedUiLanguage(::GetThreadUILanguage()), savedLocale(::GetThreadLocale())
{
    ::SetThreadUILanguage(language);
    ::SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
}

ScopedThreadLanguage::~ScopedThreadLanguage()
{
    ::SetThreadUILanguage(savedUiLanguage);
    ::SetThreadLocale(savedLocale);
}
