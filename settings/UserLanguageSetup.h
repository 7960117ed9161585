#pragma once
// The first logon of a user after Tallyra is installed: the language module
// of the user's interface language named in the user's settings, unless the
// user has chosen already.
#include "settings/LanguageModules.h"

enum class UserLanguageSetup {
    ChoiceKept,  // a LanguageModule value exists (the built-in too is a choice)
    Named,       // the fitting module is now named
    NoneFits,    // the built-in texts are the user's language, or no module fits
    WriteFailed,
};

// For the current user (HKEY_CURRENT_USER) whose interface language is `user`,
// among the modules, with the built-in texts in language `builtIn`.
UserLanguageSetup NameLanguageModuleForUser(const std::vector<LanguageModuleFile>& modules, LANGID builtIn,
                                            LANGID user);
