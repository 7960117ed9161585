// The catalogue's page (full and reduced configurations): the engine asks
// the user's settings which algorithms to run and in which case, and the
// resource instance for its texts; the language module is put in force
// before a page is built from the resources.
#include "server/PageServices.h"

#include "Features.h"
#include "engine/SumFileDetection.h"
#include "settings/GeneralSettings.h"
#include "settings/LanguageModule.h"
#include "settings/ResourceTexts.h"
#include "settings/StoredHashSettings.h"
#include "ui/FileListDialog.h"
#include "ui/HashDialog.h"
#include "ui/SumFileDialog.h"

namespace {

// Templates, so that a configuration without the files pages neither
// instantiates nor links them.
template <bool kFilesPage = features::kFilesPage>
HPROPSHEETPAGE CreateFilesPage(const std::vector<std::wstring>& selection)
{
    if constexpr (kFilesPage)
        return CFileListDialog::CreatePage(selection);
    else
        return nullptr;
}

template <bool kFilesPage = features::kFilesPage>
HPROPSHEETPAGE CreateSumFilePage(const std::wstring& sumFile)
{
    if constexpr (kFilesPage)
        return IsSumFile(sumFile) ? CSumFileDialog::CreatePage(sumFile) : nullptr;
    else
        return nullptr;
}

}  // namespace

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

HPROPSHEETPAGE CreateFilesPropertyPage(const std::vector<std::wstring>& selection)
{
    return CreateFilesPage(selection);
}

HPROPSHEETPAGE CreateSumFilePropertyPage(const std::wstring& sumFile)
{
    return CreateSumFilePage(sumFile);
}
