#include "HashPage.h"

#include "Features.h"
#include "server/PageServices.h"
#include "win/DroppedFile.h"
#include "win/ExceptionBarrier.h"
#include "win/TypeLibrary.h"

#include <shlwapi.h>

ITypeInfo* HashPageTypeInfo()
{
    return win::CachedTypeInfo(LIBID_TallyraLib, IID_IHashPage);
}

const QITAB* CHashPage::Interfaces()
{
    static const QITAB interfaces[] = {
        {&IID_IHashPage, OFFSETOFCLASS(IHashPage, CHashPage)},
        {&IID_IDispatch, OFFSETOFCLASS(IHashPage, CHashPage)},
        {&IID_IShellExtInit, OFFSETOFCLASS(IShellExtInit, CHashPage)},
        {&IID_IShellPropSheetExt, OFFSETOFCLASS(IShellPropSheetExt, CHashPage)},
        {nullptr, 0},
    };
    return interfaces;
}

HRESULT CHashPage::FinalConstruct()
{
    win::RunGuarded([] { LoadSettingsAndLanguageModule(); });
    return S_OK;
}

IFACEMETHODIMP CHashPage::Initialize(PCIDLIST_ABSOLUTE, IDataObject* selection, HKEY)
{
    win::DroppedFile selected = win::SingleDroppedFile(selection);
    this->selection.clear();
    if (features::kFilesPage &&
        (selected.kind == win::DroppedKind::NotOneItem || selected.kind == win::DroppedKind::NotAFile)) {
        std::vector<std::wstring> paths = win::DroppedPaths(selection);
        const bool filesPage = paths.size() > 1 || (paths.size() == 1 && ::PathIsDirectoryW(paths[0].c_str()));
        if (filesPage) {
            // Like a refused selection, it keeps the file page refused for a
            // later Initialize with one file.
            notOneItem = notOneItem || selected.kind == win::DroppedKind::NotOneItem;
            this->selection = std::move(paths);
            return S_OK;
        }
    }
    switch (selected.kind) {
    case win::DroppedKind::NoFileList:
        return E_INVALIDARG;
    case win::DroppedKind::NotOneItem:
        notOneItem = true;
        return S_FALSE;
    case win::DroppedKind::NotAFile:
        return S_FALSE;
    case win::DroppedKind::File:
        break;
    }
    filePath.swap(selected.path);
    return S_OK;
}

IFACEMETHODIMP CHashPage::AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM lParam)
{
    if (notOneItem && selection.empty())
        return S_FALSE;
    if (addPage == nullptr)
        return E_INVALIDARG;
    return win::GuardedHResult([&] {
        ::SetLastError(ERROR_SUCCESS);
        HPROPSHEETPAGE page = selection.empty() ? CreateHashPropertyPage(filePath) : CreateFilesPropertyPage(selection);
        if (page == nullptr)
            return win::LastErrorHResult();  // the page could not be made: no page
        if (!addPage(page, lParam))
            ::DestroyPropertySheetPage(page);  // refused: its release frees the page object
        // A checksum file's Properties also check the files it lists.
        if (HPROPSHEETPAGE sums = selection.empty() ? CreateSumFilePropertyPage(filePath) : nullptr) {
            if (!addPage(sums, lParam))
                ::DestroyPropertySheetPage(sums);
        }
        return S_OK;
    });
}

IFACEMETHODIMP CHashPage::ReplacePage(EXPPS, LPFNSVADDPROPSHEETPAGE, LPARAM)
{
    return E_NOTIMPL;
}
