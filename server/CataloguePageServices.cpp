// The catalogue's page (full and reduced configurations): the engine asks
// the user's settings which algorithms to run and in which case, and the
// resource instance for its texts; the language module is put in force
// before a page is built from the resources.
#include "server/PageServices.h"

#include "Features.h"
#include "settings/GeneralSettings.h"
#include "settings/LanguageModule.h"
#include "settings/ResourceTexts.h"
#include "settings/StoredHashSettings.h"
#include "ui/HashDialog.h"

void BindEngineToSettingsAndTexts()
{
    BindHashSettings(&StoredHashSettings());
    BindHashTexts(&ResourceTexts());
}

void UnbindEngineFromSettingsAndTexts() noexcept
{
    BindHashTexts(nullptr);
    BindHashSettings(nullptr);
}

void LoadSettingsAndLanguageModule()
{
    GeneralSettings::Instance();
    if constexpr (features::kLanguageModule)
        LoadLanguageModule();
}

HPROPSHEETPAGE CreateHashPropertyPage(const std::wstring& path)
{
    return CHashDialog::CreatePage(path);
}
