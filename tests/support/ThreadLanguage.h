#pragma once
// The language in which the resource lookup finds a module's resources for
// this thread. Windows goes by the thread's UI language; Wine 8 by the
// thread's locale (its SetThreadUILanguage is a stub that changes nothing).
#include <windows.h>

bool UnderWine();

LANGID ResourceLookupLanguage();

// Both set to the language for the life of the object, then restored.
class ScopedThreadLanguage {
public:
    explicit ScopedThreadLanguage(LANGID language);
    ~ScopedThreadLanguage();
    ScopedThreadLanguage(const ScopedThreadLanguage&) = delete;
    ScopedThreadLanguage& operator=(const ScopedThreadLanguage&) = delete;

private:
    LANGID savedUiLanguage;
    LCID savedLocale;
};
