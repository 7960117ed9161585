#include "HashPage.h"

#include "settings/GeneralSettings.h"
#include "settings/LanguageModule.h"
#include "ui/HashDialog.h"
#include "win/ExceptionBarrier.h"

#include <shellapi.h>
#include <shlwapi.h>

namespace {

// The file list of a data object, locked for the life of the object.
class DroppedFiles {
public:
    explicit DroppedFiles(IDataObject* data)
    {
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        if (data == nullptr || FAILED(data->GetData(&format, &medium)))
            return;
        fetched = true;
        drop = static_cast<HDROP>(::GlobalLock(medium.hGlobal));
    }
    ~DroppedFiles()
    {
        if (drop)
            ::GlobalUnlock(medium.hGlobal);
        if (fetched)
            ::ReleaseStgMedium(&medium);
    }
    DroppedFiles(const DroppedFiles&) = delete;
    DroppedFiles& operator=(const DroppedFiles&) = delete;

    HDROP Get() const { return drop; }

private:
    STGMEDIUM medium = {};
    bool fetched = false;
    HDROP drop = nullptr;
};

}  // namespace

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
    win::RunGuarded([] {
        GeneralSettings::Instance();
        LoadLanguageModule();
    });
    return S_OK;
}

IFACEMETHODIMP CHashPage::Initialize(PCIDLIST_ABSOLUTE, IDataObject* selection, HKEY)
{
    HRESULT result = E_INVALIDARG;
    win::RunGuarded([&] {
        const DroppedFiles files(selection);
        if (files.Get() == nullptr)
            return;  // no file list, or it could not be locked
        result = S_FALSE;
        if (::DragQueryFileW(files.Get(), 0xFFFFFFFF, nullptr, 0) != 1) {
            notOneItem = true;
            return;
        }
        wchar_t name[MAX_PATH] = {};
        if (::DragQueryFileW(files.Get(), 0, name, MAX_PATH) == 0 || ::PathIsDirectoryW(name))
            return;
        filePath = name;
        result = S_OK;
    });
    return result;
}

IFACEMETHODIMP CHashPage::AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM lParam)
{
    if (notOneItem)
        return S_FALSE;
    if (addPage == nullptr)
        return E_INVALIDARG;
    HRESULT result = E_OUTOFMEMORY;
    win::RunGuarded([&] {
        HPROPSHEETPAGE page = CHashDialog::CreatePage(filePath);
        if (page == nullptr)
            return;  // the page could not be made: no page
        if (!addPage(page, lParam))
            ::DestroyPropertySheetPage(page);  // refused: its release frees the page object
        result = S_OK;
    });
    return result;
}

IFACEMETHODIMP CHashPage::ReplacePage(EXPPS, LPFNSVADDPROPSHEETPAGE, LPARAM)
{
    return E_NOTIMPL;
}
