#include "HashDialog.h"

#include "settings/LanguageModule.h"
#include "win/ActivationContext.h"
#include "win/ErrorText.h"

#include <commctrl.h>

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
    auto page = std::make_unique<CHashDialog>(path);
    HPROPSHEETPAGE handle = page->Create();
    if (handle != nullptr)
        page.release();  // the sheet's now: freed when it releases the page
    return handle;
}

CHashDialog::CHashDialog(const std::wstring& path, ResourceLease lease)
    : PropertyPage(lease.instance, IDD_HASH_PAGE),
      resources(std::move(lease)),
      fileJob(HashData::Create()),
      compareJob(HashData::Create()),
      path(path),
      stopFlag(std::make_shared<std::atomic<bool>>(false)),
      titleTips(std::make_unique<titletip::CTitleTipHandlerImpl>()),
      dropTarget(win::MakeComObject<CDropTargetImpl>())
{
    fileJob->SetJobTag(HASHJOB_FILE);
    compareJob->SetJobTag(HASHJOB_COMPARE);
}

// The jobs are shared with their workers: a worker still reading (a slow
// network file, say) keeps its job, the stop flag and the module alive and
// only posts to a window that is gone.
CHashDialog::~CHashDialog() = default;

void CHashDialog::OnPageRelease()
{
    delete this;
    UnloadLanguageModule();
}

void CHashDialog::SetFileAccessForTesting(const HashFileAccess& access)
{
    testFileAccess = access;
    fileJob->SetFileAccessForTesting(access);
    compareJob->SetFileAccessForTesting(access);
}

const win::MessageMap<CHashDialog>& CHashDialog::Messages()
{
    static const win::MessageMap<CHashDialog> map{
        win::OnMessage(WM_INITDIALOG, &CHashDialog::OnInitDialog),
        win::OnMessage(WM_DESTROY, &CHashDialog::OnDestroy),
        win::OnCommand(IDC_STOP, BN_CLICKED, &CHashDialog::OnStopButton),
        win::OnNotify(IDC_HASH_LIST, LVN_GETDISPINFOW, &CHashDialog::OnGetDispInfo),
        win::OnNotify(IDC_HASH_LIST, LVN_GETINFOTIPW, &CHashDialog::OnGetInfoTip),
        win::OnMessage(WM_HASHDATA_NOTIFY, &CHashDialog::OnHashDataNotify),
        win::OnMessage(WM_COMPARE_FILE_DROPPED, &CHashDialog::OnCompareFileDropped),
        win::OnMessage(WM_QUERY_COMPARE_LOCKED, &CHashDialog::OnQueryCompareLocked),
    };
    return map;
}

LRESULT CHashDialog::OnInitDialog(win::Message&)
{
    optionsLink = Control(IDC_OPTIONS_LINK);
    progressBar = Control(IDC_PROGRESS);
    hashList = Control(IDC_HASH_LIST);
    resultIcon = Control(IDC_RESULT_ICON);
    algorithmLabel = Control(IDC_ALGORITHM_LABEL);
    compareEdit = Control(IDC_COMPARE_EDIT);

    ::SendMessageW(progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SetText(algorithmLabel, L"");

    RECT client = {};
    ::GetClientRect(hashList, &client);
    std::wstring heading = LoadResourceString(IDS_ALGORITHM);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = kNameColumnWidth;
    column.pszText = heading.data();
    ::SendMessageW(hashList, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    heading = LoadResourceString(IDS_HASH_VALUE);
    column.pszText = heading.data();
    column.cx = (client.right - client.left) - kDigestColumnMargin;
    if (column.cx == -1)
        column.mask &= ~LVCF_WIDTH;
    ::SendMessageW(hashList, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    ::SendMessageW(hashList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    ::SendMessageW(hashList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_INFOTIP, LVS_EX_INFOTIP);

    LoadResultIcons();

    fileJob->SetWindow(Window());
    fileJob->SetStopFlag(stopFlag);
    fileJob->SetJobTag(HASHJOB_FILE);
    compareJob->SetWindow(Window());
    compareJob->SetStopFlag(stopFlag);
    UpdateControls(false);
    OpenAndHash();

    titleTips->Attach(Window());
    titleTips->AddEdit(compareEdit, titletip::kSystemColour, titletip::kSystemColour);

    dropTarget->SetWindowHandle(Window());
    win::ComPtr<IDropTarget> target;
    if (SUCCEEDED(dropTarget.As(&target)))
        ::RegisterDragDrop(Window(), target.Get());
    return FALSE;
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
    if (fileJob->Open(path)) {
        compareLocked = true;
        StartFileJob(true);
    } else {
        ShowUnusable(fileJob->LastError());
    }
}

// A stopped run whose worker is still inside a slow read (a network file,
// say) keeps its record and its stop flag, which stays set, so that it ends
// at its next block; the page goes on with a new record and a new flag. The
// old run's completion then comes when no run of it is awaited, or while the
// new one still runs: either way it is ignored.
void CHashDialog::ReplaceBusyFileJob()
{
    HashDataPtr fresh = HashData::Create();
    StopFlag freshFlag = std::make_shared<std::atomic<bool>>(stopFlag->load());
    fresh->SetWindow(Window());
    fresh->SetStopFlag(freshFlag);
    fresh->SetJobTag(HASHJOB_FILE);
    if (testFileAccess)
        fresh->SetFileAccessForTesting(*testFileAccess);
    compareJob->SetStopFlag(freshFlag);
    fileJob = std::move(fresh);
    stopFlag = std::move(freshFlag);
    awaitingFileRun = false;
}

void CHashDialog::StartFileJob(bool prepare)
{
    awaitingFileRun = true;
    // Null when no worker could start: the job has posted its completion
    // (with the failure), or the stopped worker is still running and will.
    worker.reset(fileJob->Start(prepare));
}

// The file cannot be hashed: the page says why and takes no input.
void CHashDialog::ShowUnusable(DWORD error)
{
    ::SendMessageW(hashList, LVM_SETITEMCOUNT, 0, 0);
    SetText(algorithmLabel, error != ERROR_SUCCESS ? SystemErrorText(error) : std::wstring());
    ::EnableWindow(Window(), FALSE);
}

LRESULT CHashDialog::OnDestroy(win::Message&)
{
    if (Window() != nullptr)
        ::RevokeDragDrop(Window());
    StopHashing();
    return 0;
}

void CHashDialog::UpdateControls(bool ready)
{
    const bool hasAlgorithms = fileJob->Count() > 0;
    const bool hasRows = ::SendMessageW(hashList, LVM_GETITEMCOUNT, 0, 0) > 0;
    const bool stopped = stopFlag->load();

    ::EnableWindow(hashList, ready);

    LITEM link = {};
    link.mask = LIF_ITEMINDEX | LIF_STATE;
    link.iLink = 0;
    link.stateMask = LIS_ENABLED;
    ::SendMessageW(optionsLink, LM_GETITEM, 0, reinterpret_cast<LPARAM>(&link));
    link.mask = LIF_ITEMINDEX | LIF_STATE;
    link.stateMask = LIS_ENABLED;
    link.state = ready ? (link.state | LIS_ENABLED) : (link.state & ~LIS_ENABLED);
    ::SendMessageW(optionsLink, LM_SETITEM, 0, reinterpret_cast<LPARAM>(&link));

    ::EnableWindow(resultIcon, ready && hasAlgorithms);
    ::EnableWindow(Control(IDC_COMPARE_FILE), ready && hasAlgorithms && !stopped);

    const int show = (!ready || (hasAlgorithms && !hasRows)) ? SW_SHOWNORMAL : SW_HIDE;
    for (UINT id : {IDC_STOP, IDC_PROGRESS, IDC_PROGRESS_FRAME})
        ::ShowWindow(Control(id), show);

    compareLocked = !(ready && hasAlgorithms && !stopped);
}

void CHashDialog::StopHashing()
{
    stopFlag->store(true);
    // The worker sees the flag before its next block; its record is shared
    // with it, so nothing here waits for it to end.
    ::Sleep(250);
    SetText(Control(IDC_STOP), LoadResourceString(IDS_VERIFY));
    worker.reset();
}

void CHashDialog::RunHashing()
{
    ::SendMessageW(hashList, LVM_SETITEMCOUNT, 0, 0);
    SetText(compareEdit, L"");
    SetText(Control(IDC_STOP), LoadResourceString(IDS_STOP));
    // A stopped run still reading must not see the flag cleared: it would
    // read on with the old algorithms. It keeps its flag; this run gets one.
    if (fileJob->IsRunning())
        ReplaceBusyFileJob();
    stopFlag->store(false);
    UpdateControls(false);
    OpenAndHash();
}

LRESULT CHashDialog::OnStopButton(win::Message&)
{
    if (!stopFlag->load()) {
        StopHashing();
        UpdateControls(true);
        return 0;
    }
    SetText(Control(IDC_STOP), LoadResourceString(IDS_STOP));
    stopFlag->store(false);
    fileJob->SetJobTag(HASHJOB_FILE);
    compareLocked = true;
    UpdateControls(false);
    StartFileJob(false);
    return 0;
}

LRESULT CHashDialog::OnHashDataNotify(win::Message& m)
{
    ::SendMessageW(progressBar, PBM_SETPOS, m.wParam, 0);
    if (m.lParam == HASHJOB_FILE) {
        // A run that was stopped or replaced may report after a newer one
        // started: the newer one will report for itself.
        if (fileJob->IsRunning() || !awaitingFileRun)
            return 0;
        awaitingFileRun = false;
        worker.reset();
        if (fileJob->LastError() != ERROR_SUCCESS) {
            ShowUnusable(fileJob->LastError());
        } else if (!fileJob->Completed() && !stopFlag->load()) {
            // Resumed while the stopped worker was still finishing its last
            // block (Start found it busy): now the run can go on.
            StartFileJob(false);
        } else if (!fileJob->Completed()) {
            ::SendMessageW(hashList, LVM_SETITEMCOUNT, 0, 0);
            SetText(Control(IDC_STOP), LoadResourceString(IDS_VERIFY));
        } else {
            // A stop that came too late for the run: its digests stand.
            stopFlag->store(false);
            ::SendMessageW(hashList, LVM_SETITEMCOUNT, fileJob->Count(), 0);
            LVITEMW item = {};
            item.stateMask = LVIS_SELECTED;
            item.state = LVIS_SELECTED;
            ::SendMessageW(hashList, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
            UpdateControls(true);
        }
    } else if (m.lParam == HASHJOB_COMPARE) {
        worker.reset();
    }
    return 0;
}

LRESULT CHashDialog::OnGetDispInfo(win::Message& m)
{
    auto& info = m.Notification<NMLVDISPINFOW>();
    if (info.item.iItem < 0 || static_cast<size_t>(info.item.iItem) >= fileJob->Count() ||
        !(info.item.mask & LVIF_TEXT) || fileJob->IsRunning())
        return 0;
    const SharedDescriptor descriptor = fileJob->At(static_cast<size_t>(info.item.iItem));
    cellText = info.item.iSubItem == 0 ? descriptor->GetName() : descriptor->GetDigestText();
    if (!cellText.empty())
        info.item.pszText = cellText.data();
    return 0;
}

LRESULT CHashDialog::OnGetInfoTip(win::Message& m)
{
    auto& tip = m.Notification<NMLVGETINFOTIPW>();
    if (tip.iItem < 0 || static_cast<size_t>(tip.iItem) >= fileJob->Count() || tip.pszText == nullptr ||
        tip.cchTextMax <= 0)
        return 0;
    const std::wstring description = fileJob->At(static_cast<size_t>(tip.iItem))->GetDescription();
    const size_t length = std::min(description.size(), static_cast<size_t>(tip.cchTextMax - 1));
    description.copy(tip.pszText, length);
    tip.pszText[length] = L'\0';
    return 0;
}

LRESULT CHashDialog::OnQueryCompareLocked(win::Message&)
{
    return compareLocked ? 1 : 0;
}

LRESULT CHashDialog::OnCompareFileDropped(win::Message&)
{
    return 1;  // comparing a dropped file comes with the comparison
}
