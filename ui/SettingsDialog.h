#pragma once
// The settings dialog: which algorithms of the catalogue the page computes,
// whether digests are written in lowercase and, when its template has the
// choice, the language of the user interface.
#include "engine/HashDescriptor.h"
#include "settings/LanguageModules.h"
#include "settings/ResourceInstance.h"
#include "win/CommonControls.h"
#include "win/ListView.h"
#include "win/ModalDialog.h"

class CSettingsDialog : public win::ModalDialog<CSettingsDialog> {
public:
    // The template and texts come from the resource module in force (a
    // language module's, when one is loaded), or from the lease given.
    // The languages offered are the built-in one of the extension at
    // `extension` and the language modules beside it.
    explicit CSettingsDialog(ResourceLease resources = LeaseResourceInstance(),
                             std::optional<ModuleLocation> extension = ThisModuleLocation());
    ~CSettingsDialog() = default;

    static const win::MessageMap<CSettingsDialog>& Messages();

private:
    LRESULT OnInitDialog(win::Message& m);
    LRESULT OnClose(win::Message& m);
    LRESULT OnSelectAll(win::Message& m);
    LRESULT OnClearAll(win::Message& m);
    LRESULT OnReselect(win::Message& m);
    LRESULT OnLowercase(win::Message& m);
    LRESULT OnSave(win::Message& m);
    LRESULT OnCancel(win::Message& m);

    int ItemCount() const;
    void SetChecked(int item, bool checked) const;
    bool IsChecked(int item) const;
    // Every item from the flags as they are held now.
    void ShowStoredChoice() const;
    // The language choice (IDC_LANGUAGE), when the template has one.
    void ShowLanguages();
    void SaveLanguage() const;

    ResourceLease resources;  // keeps a language module's template loaded while shown
    win::ListView algorithmList;
    HWND saveButton = nullptr;  // kept, not otherwise used
    win::CheckBox lowercaseBox;
    DescriptorList algorithms;  // item i stands for algorithms[i]
    std::optional<ModuleLocation> extension;
    win::ComboBox languageBox;
    std::vector<LanguageModuleFile> languages;  // item i stands for languages[i]; the built-in one has no file
};

// How the settings dialog ended (the values are the dialog's own results).
enum class SettingsDialogResult : INT_PTR {
    Saved = IDOK,          // the algorithm flags are written
    Cancelled = IDCANCEL,  // cancelled or closed
    NotShown = -1,         // the dialog could not be created
};

// Runs the settings dialog modally over the owner. The lowercase box takes
// effect at each click, whatever the result.
SettingsDialogResult ShowSettingsDialog(HWND owner);
