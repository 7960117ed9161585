#include "HashDialog.h"

#include "CompareFileDialog.h"
#include "DigestComparison.h"
#include "ClipboardCopy.h"
#include "ListMenu.h"
#include "ReportList.h"
#include "SettingsDialog.h"
#include "WindowJobReports.h"

#include "Features.h"
#include "settings/LanguageModule.h"
#include "win/ActivationContext.h"
#include "win/ErrorText.h"

#include <commctrl.h>
#include <ole2.h>
#include <windowsx.h>

namespace {

constexpr int kNameColumnWidth = 75;
constexpr int kDigestColumnMargin = 80;
constexpr COLORREF kIconMaskColour = RGB(255, 255, 255);

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

    RECT client = {};
    ::GetClientRect(hashList, &client);
    const int digestWidth = (client.right - client.left) - kDigestColumnMargin;
    const std::optional<int> digestColumn = digestWidth == -1 ? std::nullopt : std::optional<int>(digestWidth);
    SetUpReportList(hashList,
                    {{LoadResourceString(IDS_ALGORITHM), kNameColumnWidth},
                     {LoadResourceString(IDS_HASH_VALUE), digestColumn}},
                    LVS_EX_INFOTIP);

    LoadResultIcons();

    runs.ReportTo(std::make_shared<WindowJobReports>(Window(), WM_HASHDATA_NOTIFY));
    UpdateControls(false);
    // Joining sends the first WM_DRAWCLIPBOARD at once: what the clipboard
    // holds now waits, with later copies, for the file's digests.
    if constexpr (features::kClipboardWatching)
        clipboardViewer.Join(Window());
    OpenAndHash();

    titleTips->Attach(Window());
    titleTips->AddEdit(compareEdit, titletip::kSystemColour, titletip::kSystemColour);

    if (dropTarget)
        RegisterForDrops();
    return FALSE;
}

// Drag and drop needs OLE on the page's thread, and a host may have given it
// COM alone (RegisterDragDrop then fails with E_OUTOFMEMORY): the page then
// initialises OLE itself, and uninitialises it when its window goes.
void CHashDialog::RegisterForDrops()
{
    dropTarget->SetWindowHandle(Window());
    win::ComPtr<IDropTarget> target;
    if (FAILED(dropTarget.As(&target)))
        return;
    HRESULT hr = ::RegisterDragDrop(Window(), target.Get());
    if ((hr == E_OUTOFMEMORY || hr == CO_E_NOTINITIALIZED) && SUCCEEDED(::OleInitialize(nullptr))) {
        initialisedOle = true;
        hr = ::RegisterDragDrop(Window(), target.Get());
    }
    dropRegistered = SUCCEEDED(hr);
}

void CHashDialog::LoadResultIcons()
{
    win::ScopedModuleActivation activation;
    win::UniqueImageList images(::ImageList_LoadImageW(resources.instance, MAKEINTRESOURCEW(IDB_RESULT_ICONS), 32, 0,
                                                       kIconMaskColour, IMAGE_BITMAP, LR_CREATEDIBSECTION));
    if (!images)
        return;
    questionIcon.reset(::ImageList_GetIcon(images.get(), 0, ILD_NORMAL));
    crossIcon.reset(::ImageList_GetIcon(images.get(), 1, ILD_NORMAL));
    checkIcon.reset(::ImageList_GetIcon(images.get(), 2, ILD_NORMAL));
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
    if (dropRegistered)
        ::RevokeDragDrop(Window());
    dropRegistered = false;
    if (initialisedOle)
        ::OleUninitialize();
    initialisedOle = false;
    clipboardViewer.Leave();
    pendingTexts.Clear();
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
    RefreshComparison();
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
        const LRESULT row = SelectedRow();
        chosen = runs.CompareJob().At(row >= 0 ? static_cast<size_t>(row) : 0);
        if (chosen)
            SetText(compareEdit, chosen->GetDigestText());
    }
    UpdateControls(true);
    if (event == RunEvent::ComparisonFailed)
        ShowOpenFailure();
    if (chosen) {
        SetText(algorithmLabel, chosen->GetName());
        RefreshComparison();
    }
}

LRESULT CHashDialog::OnGetDispInfo(win::Message& m)
{
    auto& info = m.Notification<NMLVDISPINFOW>();
    if (info.item.iItem < 0 || static_cast<size_t>(info.item.iItem) >= runs.FileJob().Count() ||
        !(info.item.mask & LVIF_TEXT) || runs.FileJob().IsRunning())
        return 0;
    const SharedDescriptor descriptor = runs.FileJob().At(static_cast<size_t>(info.item.iItem));
    std::wstring& cell = cellTexts[nextCellText++ % cellTexts.size()];
    cell = info.item.iSubItem == 0 ? descriptor->GetName() : descriptor->GetDigestText();
    if (!cell.empty())
        info.item.pszText = cell.data();
    return 0;
}

LRESULT CHashDialog::OnGetInfoTip(win::Message& m)
{
    auto& tip = m.Notification<NMLVGETINFOTIPW>();
    if (tip.iItem < 0 || static_cast<size_t>(tip.iItem) >= runs.FileJob().Count() || tip.pszText == nullptr ||
        tip.cchTextMax <= 0)
        return 0;
    const std::wstring description = runs.FileJob().At(static_cast<size_t>(tip.iItem))->GetDescription();
    const size_t length = std::min(description.size(), static_cast<size_t>(tip.cchTextMax - 1));
    description.copy(tip.pszText, length);
    tip.pszText[length] = L'\0';
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
    const DWORD position = ::GetMessagePos();
    const POINT at = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    const LRESULT row = SelectedRow();
    switch (TrackListMenu(hashList, at, row >= 0)) {
    case ID_COPY_SELECTED:
        CopyDigestOfRow(row);
        break;
    case ID_COPY_ALL: {
        DescriptorList descriptors;
        for (size_t i = 0; i < runs.FileJob().Count(); ++i)
            descriptors.push_back(runs.FileJob().At(i));
        CopyTextToClipboard(Window(), AllDigestsText(descriptors));
        break;
    }
    case ID_SETTINGS:
        ShowSettings();
        break;
    default:
        break;
    }
    return 0;
}

LRESULT CHashDialog::OnListKeyDown(win::Message& m)
{
    const auto& key = m.Notification<NMLVKEYDOWN>();
    if (key.wVKey == 'C' && (::GetKeyState(VK_CONTROL) & 0x8000) != 0)
        CopyDigestOfRow(SelectedRow());
    return 0;
}

LRESULT CHashDialog::SelectedRow() const
{
    return hashList.FirstSelected();
}

void CHashDialog::CopyDigestOfRow(LRESULT row)
{
    if (row < 0)
        return;
    if (const SharedDescriptor descriptor = runs.FileJob().At(static_cast<size_t>(row)))
        CopyTextToClipboard(Window(), descriptor->GetDigestText());
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
    if (compareLocked || compareTidy.Rewriting())
        return 0;
    CompareDigestText(compareTidy.Apply(compareEdit));
    return 0;
}

LRESULT CHashDialog::OnDrawClipboard(win::Message& m)
{
    // Passed on first: a match found below takes the page out of the chain,
    // and the viewers after it must still hear of this change.
    clipboardViewer.OnDrawClipboard(m.wParam, m.lParam);
    if (compareLocked)
        pendingTexts.Add(ReadClipboardText());
    else
        RefreshComparison();
    return 0;
}

LRESULT CHashDialog::OnChangeClipboardChain(win::Message& m)
{
    return clipboardViewer.OnChangeChain(m.wParam, m.lParam);
}

LRESULT CHashDialog::OnTitleTipMessage(win::Message& m)
{
    return titleTips->RouteOrPassOn(m);
}

// With an empty edit, a digest of the file found in what was copied meanwhile
// (or is on the clipboard now) fills it in.
void CHashDialog::RefreshComparison()
{
    std::wstring text = compareEdit.Text();
    if (features::kClipboardWatching && text.empty()) {
        pendingTexts.Add(ReadClipboardText());
        text = pendingTexts.FindDigest(runs.FileDigests());
        if (!text.empty())
            SetText(compareEdit, text);
    }
    pendingTexts.Clear();
    CompareDigestText(text);
}

void CHashDialog::CompareDigestText(const std::wstring& text)
{
    SetText(algorithmLabel, L"");
    const DigestComparison result = features::kCompareTidy == features::CompareTidy::TrimOnly
                                        ? CompareWithDigestsAsTyped(text, runs.FileDigests())
                                        : CompareWithDigests(text, runs.FileDigests());
    HICON icon = result.outcome == ComparisonOutcome::Match      ? checkIcon.get()
                 : result.outcome == ComparisonOutcome::Mismatch ? crossIcon.get()
                                                                 : questionIcon.get();
    resultIcon.SetIcon(icon);
    if (result.outcome != ComparisonOutcome::Match)
        return;
    hashList.Select(result.matchIndex);
    SetText(algorithmLabel, runs.FileJob().At(result.matchIndex)->GetName());
    // The question is answered: the clipboard is no longer watched.
    clipboardViewer.Leave();
    pendingTexts.Clear();
}

std::optional<ComparisonOutcome> CHashDialog::ShownOutcome() const
{
    const HICON shown = resultIcon.Icon();
    if (shown == nullptr)
        return std::nullopt;
    if (shown == checkIcon.get())
        return ComparisonOutcome::Match;
    if (shown == crossIcon.get())
        return ComparisonOutcome::Mismatch;
    if (shown == questionIcon.get())
        return ComparisonOutcome::NothingToCompare;
    return std::nullopt;
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
