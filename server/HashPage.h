#pragma once
// The object the shell makes for a file's Properties: it takes the selection
// and adds the hash page for exactly one file that is not a folder; in a
// configuration with the files page, that page for several items or a folder.
#include "ui/typelib/TallyraLib.h"
#include "win/ComObject.h"
#include "win/Dispatch.h"

#include <shlobj.h>
#include <string>
#include <vector>

// The type information of IHashPage from the module's type library.
ITypeInfo* HashPageTypeInfo();

class CHashPage : public win::ComClassBase,
                  public win::DispatchImpl<IHashPage, &HashPageTypeInfo>,
                  public IShellExtInit,
                  public IShellPropSheetExt {
public:
    static const QITAB* Interfaces();

    // Makes sure the settings are loaded and the language module is in force,
    // so that the page is built from the right resources. Never fails.
    HRESULT FinalConstruct();

    IFACEMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* selection, HKEY progIdKey) override;
    IFACEMETHODIMP AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM lParam) override;
    IFACEMETHODIMP ReplacePage(EXPPS pageId, LPFNSVADDPROPSHEETPAGE replaceWith, LPARAM lParam) override;

    const std::wstring& FilePath() const { return filePath; }

private:
    std::wstring filePath;
    bool notOneItem = false;
    std::vector<std::wstring> selection;  // for the files page: several items, or one folder
};
