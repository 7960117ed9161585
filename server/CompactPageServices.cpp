// The compact page: its resources are the module's own, chosen by the
// thread's language, and it keeps no settings.
#include "server/PageServices.h"

#include "ui/CompactHashDialog.h"

void BindEngineToSettingsAndTexts() {}

void UnbindEngineFromSettingsAndTexts() noexcept {}

void LoadSettingsAndLanguageModule() {}

HPROPSHEETPAGE CreateHashPropertyPage(const std::wstring& path)
{
    return compact::CHashDialog::CreatePage(path);
}

HPROPSHEETPAGE CreateFilesPropertyPage(const std::vector<std::wstring>&)
{
    return nullptr;
}

HPROPSHEETPAGE CreateSumFilePropertyPage(const std::wstring&)
{
    return nullptr;
}
