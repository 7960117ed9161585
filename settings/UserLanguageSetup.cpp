#include "UserLanguageSetup.h"

#include "settings/GeneralSettings.h"
#include "settings/RegistryValues.h"

UserLanguageSetup NameLanguageModuleForUser(const std::vector<LanguageModuleFile>& modules, LANGID builtIn,
                                            LANGID user)
{
    if (win::UniqueKey key = registry::OpenUserKey(kSettingsKeyPath, KEY_READ))
        if (registry::ValueExists(key.get(), L"LanguageModule"))
            return UserLanguageSetup::ChoiceKept;
    const std::optional<LanguageModuleFile> fitting = ModuleForUserLanguage(modules, builtIn, user);
    if (!fitting)
        return UserLanguageSetup::NoneFits;
    win::UniqueKey key = registry::CreateUserKey(kSettingsKeyPath, KEY_READ | KEY_WRITE);
    if (!key || !registry::SetString(key.get(), L"LanguageModule", fitting->file))
        return UserLanguageSetup::WriteFailed;
    return UserLanguageSetup::Named;
}
