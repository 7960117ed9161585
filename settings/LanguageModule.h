#pragma once
// The language module: a resource-only module beside this one whose
// dialogs, strings and images replace the built-in ones while it is loaded.
#include <string>

// Loads the module that the LanguageModule setting names. Nothing happens
// when none is named, one is loaded already or the file cannot be loaded.
void LoadLanguageModule();
// The same with the name given, taken relative to this module's folder.
void LoadLanguageModule(const std::wstring& name);

// Puts the built-in resources back. The module itself is freed when no
// lease on it is left (see ResourceLease).
void UnloadLanguageModule();

bool LanguageModuleLoaded();
