#include "HashDialog.h"

#include "CompareFileDialog.h"
#include "DigestComparison.h"
#include "DigestList.h"
#include "HashListCommands.h"
#include "SettingsDialog.h"
#include "WindowJobReports.h"

#include "Features.h"
#include "settings/LanguageModule.h"
#include "win/ErrorText.h"

#include <commctrl.h>

namespace {

void SetText(HWND window, const std::wstring& text)
{
    ::SetWindowTextW(window, text.c_str());
}

}  // namespace

HPROPSHEETPAGE CHashDialog::CreatePage(const std::wstring& path)
{
    return win::CreateSheetOwnedPage<CHashDialog>(path);
}

CHashDialog::CHashDialog(const std::wstring& path, ResourceLease lease)
    : PropertyPage(lease.instance, IDD_HASH_PAGE),
      resources(std::move(lease)),
      path(path),
      titleTips(std::make_unique<PageTitleTips>())
{
    if constexpr (features::kDropTarget)
        dropTarget = win::MakeComObject<CDropTargetImpl>();
}

// The jobs are shared with their workers: a worker still reading (a slow
// network file, say) keeps its job, the stop flag, its reports and the module
// alive and only posts to a window that is gone.
CHashDialog::~CHashDialog() = default;

void CHashDialog::OnPageRelease()
{
    const win::ModuleLockHold stillRunning;  // the page's own lock goes with it
    delete this;
    if constexpr (features::kLanguageModule)
        UnloadLanguageModule();
}

const win::MessageMap<CHashDialog>& CHashDialog::Messages()
{
    using D = CHashDialog;
    static const win::MessageMap<D> map = [] {
        win::MessageMap<D> rows{
            win::OnMessage(WM_INITDIALOG, &D::OnInitDialog),
            win::OnMessage(WM_DESTROY, &D::OnDestroy),
            win::OnCommand(IDC_STOP, BN_CLICKED, &D::OnStopButton),
            win::OnCommand(IDC_COMPARE_FILE, BN_CLICKED, &D::OnCompareFileButton),
            win::OnCommand(IDC_COMPARE_EDIT, EN_CHANGE, &D::OnCompareEditChange),
            win::OnNotify(IDC_HASH_LIST, NM_RCLICK, &D::OnListRightClick),
            win::OnNotify(IDC_HASH_LIST, LVN_KEYDOWN, &D::OnListKeyDown),
            win::OnNotify(IDC_HASH_LIST, LVN_GETDISPINFOW, &D::OnGetDispInfo),
            win::OnNotify(IDC_HASH_LIST, LVN_GETINFOTIPW, &D::OnGetInfoTip),
            win::OnMessage(WM_HASHDATA_NOTIFY, &D::OnHashDataNotify),
        };
        if (features::kOptionsLink)
            rows.push_back(win::OnNotify(IDC_OPTIONS_LINK, NM_CLICK, &D::OnOptionsLink));
        if (features::kClipboardWatching) {
            rows.push_back(win::OnMessage(WM_DRAWCLIPBOARD, &D::OnDrawClipboard));
            rows.push_back(win::OnMessage(WM_CHANGECBCHAIN, &D::OnChangeClipboardChain));
        }
        if (features::kDropTarget) {
            rows.push_back(win::OnMessage(WM_COMPARE_FILE_DROPPED, &D::OnCompareFileDropped));
            rows.push_back(win::OnMessage(WM_QUERY_COMPARE_LOCKED, &D::OnQueryCompareLocked));
        }
        if (!PageTitleTips::Wiring().subclassHost)
            rows.push_back(win::OnAnyMessage(&D::OnTitleTipMessage));  // last: what the page leaves
        return rows;
    }();
    return map;
}

LRESULT CHashDialog::OnInitDialog(win::Message&)
{
    optionsLink = win::Link(Control(IDC_OPTIONS_LINK));
    progressBar = win::ProgressBar(Control(IDC_PROGRESS));
    hashList = win::ListView(Control(IDC_HASH_LIST));
    resultIcon = win::IconStatic(Control(IDC_RESULT_ICON));
    algorithmLabel = Control(IDC_ALGORITHM_LABEL);
    compareEdit = win::Edit(Control(IDC_COMPARE_EDIT));

    progressBar.SetRange(100);
    SetText(algorithmLabel, L"");

    SetUpDigestList(hashList);

    comparison.Attach({compareEdit, resultIcon, algorithmLabel, hashList}, resources.instance);

    runs.ReportTo(std::make_shared<WindowJobReports>(Window(), WM_HASHDATA_NOTIFY));
    UpdateControls(false);
    // Joining sends the first WM_DRAWCLIPBOARD at once.
    if constexpr (features::kClipboardWatching)
        comparison.WatchClipboard(Window());
    OpenAndHash();

    titleTips->Attach(Window());
    titleTips->AddEdit(compareEdit, titletip::kSystemColour, titletip::kSystemColour);

    if (dropTarget) {
        dropTarget->SetWindowHandle(Window());
        drops.Register(Window(), dropTarget.Get());
    }
    return FALSE;
}

// A fresh run over the algorithms enabled now, or the page made unusable.
void CHashDialog::OpenAndHash()
{
    if (runs.HashFile(path))
        compareLocked = true;
    else
        ShowUnusable(ERROR_SUCCESS);
}

// The file cannot be hashed: the page takes no input. A file that cannot be
// opened shows nothing more; a read that fails part-way (a network file that
// went away) says why in the label, since digests had been on their way.
void CHashDialog::ShowUnusable(DWORD readError)
{
    hashList.SetItemCount(0);
    SetText(algorithmLabel, readError != ERROR_SUCCESS ? SystemErrorText(readError) : std::wstring());
    ::EnableWindow(Window(), FALSE);
}

LRESULT CHashDialog::OnDestroy(win::Message&)
{
    drops.Revoke();
    comparison.StopWatching();
    StopHashing();
    return 0;
}

void CHashDialog::UpdateControls(bool ready)
{
    const bool hasAlgorithms = runs.FileJob().Count() > 0;
    const bool hasRows = hashList.ItemCount() > 0;
    const bool stopped = runs.Stopped();
    compareLocked = !(ready && hasAlgorithms && !stopped);

    ::EnableWindow(hashList, ready);
    ::EnableWindow(resultIcon, ready && hasAlgorithms);
    ::EnableWindow(Control(IDC_COMPARE_FILE), ready && hasAlgorithms && !stopped);

    if constexpr (features::kControlStates == features::ControlStates::CompareWhileReady) {
        // A stopped run keeps its button, which then resumes it.
        const bool running = !ready || stopped;
        ::EnableWindow(compareEdit, ready && hasAlgorithms);
        for (UINT id : {IDC_STOP, IDC_PROGRESS, IDC_PROGRESS_FRAME})
            ::ShowWindow(Control(id), running ? SW_SHOWNORMAL : SW_HIDE);
        ::EnableWindow(Control(IDC_STOP), running);
        return;
    }

    optionsLink.EnableFirstLink(ready);

    const int show = (!ready || (hasAlgorithms && !hasRows)) ? SW_SHOWNORMAL : SW_HIDE;
    for (UINT id : {IDC_STOP, IDC_PROGRESS, IDC_PROGRESS_FRAME})
        ::ShowWindow(Control(id), show);
}

void CHashDialog::StopHashing()
{
    runs.Stop();
    // A fixed pause, no waiting for the worker: it sees the flag before its
    // next block, and its record is shared with it.
    ::Sleep(250);
    SetText(Control(IDC_STOP), LoadResourceString(IDS_VERIFY));
}

void CHashDialog::RunHashing()
{
    hashList.SetItemCount(0);
    SetText(compareEdit, L"");
    SetText(Control(IDC_STOP), LoadResourceString(IDS_STOP));
    runs.ForgetRuns();
    UpdateControls(false);
    OpenAndHash();
}

LRESULT CHashDialog::OnStopButton(win::Message&)
{
    if (!runs.Stopped()) {
        StopHashing();
        UpdateControls(true);
        return 0;
    }
    SetText(Control(IDC_STOP), LoadResourceString(IDS_STOP));
    compareLocked = true;
    runs.Resume();
    UpdateControls(false);
    return 0;
}

LRESULT CHashDialog::OnHashDataNotify(win::Message& m)
{
    progressBar.SetPosition(m.wParam);
    const RunEvent event = runs.OnReport(WindowJobReports::EndedTag(m.lParam));
    switch (event) {
    case RunEvent::FileRunDone:
        ShowFileDigests();
        break;
    case RunEvent::FileRunFailed:
        ShowUnusable(runs.FileJob().LastError());
        break;
    case RunEvent::FileRunStopped:
        ShowStoppedRun();
        break;
    case RunEvent::ComparisonDone:
    case RunEvent::ComparisonStopped:
    case RunEvent::ComparisonFailed:
        OnComparisonEnded(event);
        break;
    case RunEvent::Progress:
    case RunEvent::FileRunResumed:
    case RunEvent::Stale:
        break;
    }
    return 0;
}

void CHashDialog::ShowFileDigests()
{
    hashList.SetItemCount(runs.FileJob().Count());
    hashList.Select(0);
    UpdateControls(true);
    comparison.Refresh();
}

void CHashDialog::ShowStoppedRun()
{
    hashList.SetItemCount(0);
    SetText(Control(IDC_STOP), LoadResourceString(IDS_VERIFY));
}

// The second file's digest of the algorithm of the selected row (row 0 when
// none is) goes into the compare edit and is compared with the file's own.
void CHashDialog::OnComparisonEnded(RunEvent event)
{
    SetText(Control(IDC_STOP), LoadResourceString(IDS_STOP));
    SharedDescriptor chosen;
    if (event == RunEvent::ComparisonDone) {
        const LRESULT row = hashList.FirstSelected();
        chosen = runs.CompareJob().At(row >= 0 ? static_cast<size_t>(row) : 0);
        if (chosen)
            SetText(compareEdit, chosen->GetDigestText());
    }
    UpdateControls(true);
    if (event == RunEvent::ComparisonFailed)
        ShowOpenFailure();
    if (chosen) {
        SetText(algorithmLabel, chosen->GetName());
        comparison.Refresh();
    }
}

LRESULT CHashDialog::OnGetDispInfo(win::Message& m)
{
    listCells.Fill(m.Notification<NMLVDISPINFOW>(), runs.FileJob());
    return 0;
}

LRESULT CHashDialog::OnGetInfoTip(win::Message& m)
{
    FillDigestInfoTip(m.Notification<NMLVGETINFOTIPW>(), runs.FileJob());
    return 0;
}

LRESULT CHashDialog::OnQueryCompareLocked(win::Message&)
{
    return compareLocked ? 1 : 0;
}

// The path is taken from the page's own drop target, never from lParam: a
// pointer that another process posted would be read as our memory.
LRESULT CHashDialog::OnCompareFileDropped(win::Message&)
{
    if (compareLocked || !dropTarget || dropTarget->Path().empty())
        return 1;
    HashCompareFile(std::wstring(dropTarget->Path()));
    return 0;
}

LRESULT CHashDialog::OnCompareFileButton(win::Message&)
{
    const std::optional<std::wstring> chosen = ChooseCompareFile(::GetActiveWindow(), resources.instance);
    if (chosen && HashCompareFile(*chosen))
        SetText(compareEdit, L"");  // its change handler returns at once: the page is compare-locked
    return 0;
}

LRESULT CHashDialog::OnListRightClick(win::Message&)
{
    if (RunHashListMenu(Window(), hashList, runs.FileJob()))
        ShowSettings();
    return 0;
}

LRESULT CHashDialog::OnListKeyDown(win::Message& m)
{
    OnHashListKey(Window(), hashList, runs.FileJob(), m.Notification<NMLVKEYDOWN>());
    return 0;
}

// The settings dialog; after a save the file is hashed again with the
// algorithms and the case now in force, whether or not anything changed.
void CHashDialog::ShowSettings()
{
    if (ShowSettingsDialog(::GetActiveWindow()) == SettingsDialogResult::Saved)
        RunHashing();
}

LRESULT CHashDialog::OnOptionsLink(win::Message&)
{
    ShowSettings();
    return 0;
}

LRESULT CHashDialog::OnCompareEditChange(win::Message&)
{
    if (!compareLocked)
        comparison.OnEditChange();
    return 0;
}

LRESULT CHashDialog::OnDrawClipboard(win::Message& m)
{
    comparison.OnDrawClipboard(m.wParam, m.lParam, compareLocked);
    return 0;
}

LRESULT CHashDialog::OnChangeClipboardChain(win::Message& m)
{
    return comparison.OnChangeChain(m.wParam, m.lParam);
}

LRESULT CHashDialog::OnTitleTipMessage(win::Message& m)
{
    return titleTips->RouteOrPassOn(m);
}

void CHashDialog::ShowOpenFailure()
{
    ::MessageBoxW(Window(), L"Failed to open the file for reading.", L"Error", MB_ICONERROR);
}

bool CHashDialog::HashCompareFile(const std::wstring& comparePath)
{
    if (!runs.CompareWith(comparePath)) {
        ShowOpenFailure();
        return false;
    }
    UpdateControls(false);
    compareLocked = true;
    return true;
}
