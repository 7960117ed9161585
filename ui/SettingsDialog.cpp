#include "SettingsDialog.h"

#include "resource.h"
#include "engine/HashCatalogue.h"
#include "settings/AlgorithmFlags.h"
#include "settings/GeneralSettings.h"

#include <commctrl.h>
#include <map>

namespace {

constexpr int kColumnMargin = 10;
constexpr UINT kChecked = INDEXTOSTATEIMAGEMASK(2);
constexpr UINT kUnchecked = INDEXTOSTATEIMAGEMASK(1);

constexpr INT_PTR kSaved = IDOK;
constexpr INT_PTR kCancelled = IDCANCEL;

}  // namespace

CSettingsDialog::CSettingsDialog(ResourceLease lease)
    : ModalDialog(lease.instance, IDD_SETTINGS), resources(std::move(lease))
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
    ShowStoredChoice();

    ::SendMessageW(lowercaseBox, BM_SETCHECK,
                   GeneralSettings::Instance().UseLowercase() ? BST_CHECKED : BST_UNCHECKED, 0);
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

INT_PTR ShowSettingsDialog(HWND owner)
{
    CSettingsDialog dialog;
    return dialog.DoModal(owner);
}
