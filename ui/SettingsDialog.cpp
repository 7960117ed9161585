#include "SettingsDialog.h"

#include "ReportList.h"
#include "resource.h"
#include "engine/HashCatalogue.h"
#include "settings/AlgorithmFlags.h"
#include "settings/GeneralSettings.h"

#include <algorithm>
#include <commctrl.h>
#include <map>

namespace {

constexpr int kColumnMargin = 10;
constexpr UINT kChecked = INDEXTOSTATEIMAGEMASK(2);
constexpr UINT kUnchecked = INDEXTOSTATEIMAGEMASK(1);

}  // namespace

CSettingsDialog::CSettingsDialog(ResourceLease lease, std::optional<ModuleLocation> extensionAt)
    : ModalDialog(lease.instance, IDD_SETTINGS), resources(std::move(lease)), extension(std::move(extensionAt))
{
}

const win::MessageMap<CSettingsDialog>& CSettingsDialog::Messages()
{
    static const win::MessageMap<CSettingsDialog> map{
        win::OnMessage(WM_INITDIALOG, &CSettingsDialog::OnInitDialog),
        win::OnMessage(WM_CLOSE, &CSettingsDialog::OnClose),
        win::OnCommand(IDC_SELECT_ALL, BN_CLICKED, &CSettingsDialog::OnSelectAll),
        win::OnCommand(IDC_CLEAR_ALL, BN_CLICKED, &CSettingsDialog::OnClearAll),
        win::OnCommand(IDC_RESELECT, BN_CLICKED, &CSettingsDialog::OnReselect),
        win::OnCommand(IDC_LOWERCASE, BN_CLICKED, &CSettingsDialog::OnLowercase),
        win::OnCommand(IDOK, BN_CLICKED, &CSettingsDialog::OnSave),
        win::OnCommand(IDCANCEL, BN_CLICKED, &CSettingsDialog::OnCancel),
    };
    return map;
}

LRESULT CSettingsDialog::OnInitDialog(win::Message&)
{
    saveButton = ::GetDlgItem(Window(), IDOK);
    algorithmList = win::ListView(::GetDlgItem(Window(), IDC_ALGORITHM_LIST));
    lowercaseBox = win::CheckBox(::GetDlgItem(Window(), IDC_LOWERCASE));

    RECT client = {};
    ::GetClientRect(algorithmList, &client);
    SetUpReportList(algorithmList, {{LoadResourceString(IDS_ALGORITHM), (client.right - client.left) - kColumnMargin}},
                    LVS_EX_CHECKBOXES);

    algorithms = HashCatalogue::Instance().CreateAll();
    for (std::size_t i = 0; i < algorithms.size(); ++i)
        algorithmList.InsertItem(static_cast<int>(i), algorithms[i]->GetName());
    // With more rows than the list shows, its vertical scroll bar took room
    // from the client area: the column fits what is left, with no
    // horizontal scroll bar.
    ::GetClientRect(algorithmList, &client);
    algorithmList.SetColumnWidth(0, (client.right - client.left) - kColumnMargin);
    ShowStoredChoice();

    lowercaseBox.SetChecked(GeneralSettings::Instance().UseLowercase());
    ShowLanguages();
    return TRUE;  // the system sets the default focus
}

LRESULT CSettingsDialog::OnClose(win::Message&)
{
    EndDialog(static_cast<INT_PTR>(SettingsDialogResult::Cancelled));
    return 0;
}

LRESULT CSettingsDialog::OnSelectAll(win::Message&)
{
    for (int i = 0, count = ItemCount(); i < count; ++i)
        SetChecked(i, true);
    return 0;
}

LRESULT CSettingsDialog::OnClearAll(win::Message&)
{
    for (int i = 0, count = ItemCount(); i < count; ++i)
        SetChecked(i, false);
    return 0;
}

LRESULT CSettingsDialog::OnReselect(win::Message&)
{
    ShowStoredChoice();
    return 0;
}

LRESULT CSettingsDialog::OnLowercase(win::Message&)
{
    GeneralSettings::Instance().SetUseLowercase(lowercaseBox.IsChecked());
    return 0;
}

LRESULT CSettingsDialog::OnSave(win::Message&)
{
    std::map<std::wstring, bool> choice;
    for (std::size_t i = 0; i < algorithms.size(); ++i)
        choice.emplace(algorithms[i]->GetName(), IsChecked(static_cast<int>(i)));
    AlgorithmFlags& flags = AlgorithmFlags::Instance();
    flags.SetEnabled(choice);  // at once: a page starting a job meanwhile sees all of it or none
    flags.SaveAll();
    SaveLanguage();
    EndDialog(static_cast<INT_PTR>(SettingsDialogResult::Saved));
    return 0;
}

LRESULT CSettingsDialog::OnCancel(win::Message&)
{
    EndDialog(static_cast<INT_PTR>(SettingsDialogResult::Cancelled));
    return 0;
}

int CSettingsDialog::ItemCount() const
{
    return algorithmList.ItemCount();
}

void CSettingsDialog::SetChecked(int item, bool checked) const
{
    algorithmList.SetItemState(static_cast<std::size_t>(item), checked ? kChecked : kUnchecked, LVIS_STATEIMAGEMASK);
}

bool CSettingsDialog::IsChecked(int item) const
{
    return algorithmList.ItemState(static_cast<std::size_t>(item), LVIS_STATEIMAGEMASK) == kChecked;
}

void CSettingsDialog::ShowStoredChoice() const
{
    const AlgorithmFlags& flags = AlgorithmFlags::Instance();
    for (std::size_t i = 0; i < algorithms.size(); ++i)
        SetChecked(static_cast<int>(i), flags.IsEnabled(algorithms[i]->GetName()));
}

void CSettingsDialog::ShowLanguages()
{
    languageBox = win::ComboBox(::GetDlgItem(Window(), IDC_LANGUAGE));
    if (!languageBox)
        return;  // a language module's template without the choice
    std::optional<LanguageModuleFile> builtIn = extension ? BuiltInLanguage(extension->folder, extension->stem)
                                                          : std::nullopt;
    if (!builtIn) {
        ::EnableWindow(languageBox, FALSE);
        return;
    }
    languages.push_back(std::move(*builtIn));
    for (LanguageModuleFile& module : FindLanguageModules(extension->folder, extension->stem))
        languages.push_back(std::move(module));

    const std::wstring current = GeneralSettings::Instance().LanguageModule();
    auto chosen = std::find_if(languages.begin(), languages.end(),
                               [&](const LanguageModuleFile& language) { return SameText(language.file, current); });
    if (chosen == languages.end()) {  // a module named by hand, not beside the extension: shown as named
        languages.push_back({current, 0, current});
        chosen = languages.end() - 1;
    }
    for (const LanguageModuleFile& language : languages)
        languageBox.AddString(language.name);
    languageBox.SetCurrentSelection(static_cast<WPARAM>(chosen - languages.begin()));
}

void CSettingsDialog::SaveLanguage() const
{
    if (!languageBox)
        return;
    const LRESULT chosen = languageBox.CurrentSelection();
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= languages.size())
        return;
    GeneralSettings& settings = GeneralSettings::Instance();
    // Unchanged, nothing is written: a user who never chose keeps having no choice stored.
    if (!SameText(languages[static_cast<std::size_t>(chosen)].file, settings.LanguageModule()))
        settings.SetLanguageModule(languages[static_cast<std::size_t>(chosen)].file);
}

SettingsDialogResult ShowSettingsDialog(HWND owner)
{
    CSettingsDialog dialog;
    return static_cast<SettingsDialogResult>(dialog.DoModal(owner));
}
