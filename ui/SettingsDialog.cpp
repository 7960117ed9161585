#include "SettingsDialog.h"

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

constexpr INT_PTR kSaved = IDOK;
constexpr INT_PTR kCancelled = IDCANCEL;

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
    algorithmList = ::GetDlgItem(Window(), IDC_ALGORITHM_LIST);
    lowercaseBox = ::GetDlgItem(Window(), IDC_LOWERCASE);

    RECT client = {};
    ::GetClientRect(algorithmList, &client);
    std::wstring heading = LoadResourceString(IDS_ALGORITHM);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
    column.fmt = LVCFMT_LEFT;
    column.cx = (client.right - client.left) - kColumnMargin;
    column.pszText = heading.data();
    ::SendMessageW(algorithmList, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    ::SendMessageW(algorithmList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    ::SendMessageW(algorithmList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);

    algorithms = HashCatalogue::Instance().CreateAll();
    for (std::size_t i = 0; i < algorithms.size(); ++i) {
        std::wstring name = algorithms[i]->GetName();
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = name.data();
        ::SendMessageW(algorithmList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    // With more rows than the list shows, its vertical scroll bar took room
    // from the client area: the column fits what is left, with no
    // horizontal scroll bar.
    ::GetClientRect(algorithmList, &client);
    ::SendMessageW(algorithmList, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM((client.right - client.left) - kColumnMargin, 0));
    ShowStoredChoice();

    ::SendMessageW(lowercaseBox, BM_SETCHECK,
                   GeneralSettings::Instance().UseLowercase() ? BST_CHECKED : BST_UNCHECKED, 0);
    ShowLanguages();
    return TRUE;  // the system sets the default focus
}

LRESULT CSettingsDialog::OnClose(win::Message&)
{
    EndDialog(kCancelled);
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
    const bool checked = ::SendMessageW(lowercaseBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
    GeneralSettings::Instance().SetUseLowercase(checked);
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
    EndDialog(kSaved);
    return 0;
}

LRESULT CSettingsDialog::OnCancel(win::Message&)
{
    EndDialog(kCancelled);
    return 0;
}

int CSettingsDialog::ItemCount() const
{
    return static_cast<int>(::SendMessageW(algorithmList, LVM_GETITEMCOUNT, 0, 0));
}

void CSettingsDialog::SetChecked(int item, bool checked) const
{
    LVITEMW state = {};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = checked ? kChecked : kUnchecked;
    ::SendMessageW(algorithmList, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

bool CSettingsDialog::IsChecked(int item) const
{
    return ::SendMessageW(algorithmList, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK) ==
           kChecked;
}

void CSettingsDialog::ShowStoredChoice() const
{
    const AlgorithmFlags& flags = AlgorithmFlags::Instance();
    for (std::size_t i = 0; i < algorithms.size(); ++i)
        SetChecked(static_cast<int>(i), flags.IsEnabled(algorithms[i]->GetName()));
}

void CSettingsDialog::ShowLanguages()
{
    languageBox = ::GetDlgItem(Window(), IDC_LANGUAGE);
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
        ::SendMessageW(languageBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(language.name.c_str()));
    ::SendMessageW(languageBox, CB_SETCURSEL, static_cast<WPARAM>(chosen - languages.begin()), 0);
}

void CSettingsDialog::SaveLanguage() const
{
    if (!languageBox)
        return;
    const auto chosen = ::SendMessageW(languageBox, CB_GETCURSEL, 0, 0);
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= languages.size())
        return;
    GeneralSettings& settings = GeneralSettings::Instance();
    // Unchanged, nothing is written: a user who never chose keeps having no choice stored.
    if (!SameText(languages[static_cast<std::size_t>(chosen)].file, settings.LanguageModule()))
        settings.SetLanguageModule(languages[static_cast<std::size_t>(chosen)].file);
}

INT_PTR ShowSettingsDialog(HWND owner)
{
    CSettingsDialog dialog;
    return dialog.DoModal(owner);
}
