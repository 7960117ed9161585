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
#if TALLYRA_FILES_PAGE
#include "ui/FileListDialog.h"
#include "ui/SumFileDialog.h"
#endif

void StartPageServices()
{
    BindHashSettings(&StoredHashSettings());
    BindHashTexts(&ResourceTexts());
}

void StopPageServices() noexcept
{
    BindHashTexts(nullptr);
    BindHashSettings(nullptr);
}

void PreparePageResources()
{
    GeneralSettings::Instance();
    if constexpr (features::kLanguageModule)
        LoadLanguageModule();
}

HPROPSHEETPAGE CreateHashPropertyPage(const std::wstring& path)
{
    return CHashDialog::CreatePage(path);
}

HPROPSHEETPAGE CreateFilesPropertyPage(const std::vector<std::wstring>& selection)
{
#if TALLYRA_FILES_PAGE
    return CFileListDialog::CreatePage(selection);
#else
    (void)selection;
    return nullptr;
#endif
}

HPROPSHEETPAGE CreateSumFilePropertyPage(const std::wstring& sumFile)
{
#if TALLYRA_FILES_PAGE
    return IsSumFileName(sumFile) ? CSumFileDialog::CreatePage(sumFile) : nullptr;
#else
    (void)sumFile;
    return nullptr;
#endif
}
