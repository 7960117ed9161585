#include "CompactHashDialog.h"

#include "CompareFileDialog.h"
#include "WindowJobReports.h"

#include "Features.h"
#include "resource.h"
#include "win/StringResource.h"
#include "win/ThisModule.h"
#include "win/ThreadWait.h"
#include "win/WindowText.h"

#include <commctrl.h>
#include <memory>
#include <wchar.h>

namespace compact {

namespace {

// Disabled while busy, enabled when ready: the digest and compare edits,
// the compare buttons and their group boxes.
constexpr UINT kResultControls[] = {IDC_MD5_DIGEST,     IDC_SHA1_DIGEST,        IDC_CRC32_DIGEST,
                                    IDC_MD5_COMPARE,    IDC_MD5_COMPARE_BUTTON, IDC_SHA1_COMPARE,
                                    IDC_SHA1_COMPARE_BUTTON, IDC_CRC32_COMPARE, IDC_CRC32_COMPARE_BUTTON,
                                    IDC_MD5_FRAME,      IDC_SHA1_FRAME,         IDC_CRC32_FRAME};
constexpr UINT kProgressControls[] = {IDC_STOP, IDC_PROGRESS, IDC_PROGRESS_FRAME};
constexpr UINT kCompareEdits[] = {IDC_MD5_COMPARE, IDC_SHA1_COMPARE, IDC_CRC32_COMPARE};

std::wstring Text(UINT id)
{
    return win::LoadStringResource(ThisModule(), id);
}

}  // namespace

HPROPSHEETPAGE CHashDialog::CreatePage(const std::wstring& path)
{
    return win::CreateSheetOwnedPage<CHashDialog>(path);
}

CHashDialog::CHashDialog(const std::wstring& path) : PropertyPage(ThisModule(), IDD_HASH_PAGE), path(path) {}

CHashDialog::~CHashDialog()
{
    job.SetPageGone();
    JoinWorker();
}

void CHashDialog::OnPageRelease()
{
    delete this;
}

const win::MessageMap<CHashDialog>& CHashDialog::Messages()
{
    using D = CHashDialog;
    static const win::MessageMap<D> map{
        win::OnMessage(WM_INITDIALOG, &D::OnInitDialog),
        win::OnMessage(WM_HASHDATA_NOTIFY, &D::OnHashDataNotify),
        win::OnMessage(WM_DESTROY, &D::OnDestroy),
        win::OnCommand(IDC_MD5_COMPARE, EN_CHANGE, &D::OnCompareEditChange),
        win::OnCommand(IDC_SHA1_COMPARE, EN_CHANGE, &D::OnCompareEditChange),
        win::OnCommand(IDC_CRC32_COMPARE, EN_CHANGE, &D::OnCompareEditChange),
        win::OnCommand(IDC_MD5_COMPARE_BUTTON, BN_CLICKED, &D::OnCompareMd5),
        win::OnCommand(IDC_SHA1_COMPARE_BUTTON, BN_CLICKED, &D::OnCompareSha1),
        win::OnCommand(IDC_CRC32_COMPARE_BUTTON, BN_CLICKED, &D::OnCompareCrc32),
        win::OnCommand(IDC_STOP, BN_CLICKED, &D::OnStopButton),
        win::OnAnyMessage(&D::OnTitleTipMessage),  // last: what the page leaves
    };
    return map;
}

LRESULT CHashDialog::OnInitDialog(win::Message&)
{
    progressBar = win::ProgressBar(Control(IDC_PROGRESS));
    progressBar.SetRange32(100);
    reports = std::make_shared<WindowJobReports>(Window(), WM_HASHDATA_NOTIFY, WindowJobReports::Delivery::Send);
    SetControlsBusy();
    StartRun();
    titleTips.Attach(Window());
    for (UINT id : kCompareEdits)
        titleTips.AddEdit(Control(id), titletip::kSystemColour, titletip::kSystemColour);
    return TRUE;
}

LRESULT CHashDialog::OnDestroy(win::Message&)
{
    job.SetPageGone();
    return 0;
}

void CHashDialog::StartRun()
{
    job.Prepare(reports, &cancelFlag, path);  // a file that cannot be opened reports its end at once
    awaitingEnd = true;
    worker = job.Start();
    if (!worker)
        OnRunEnded();  // no thread: nothing was read
}

LRESULT CHashDialog::OnHashDataNotify(win::Message& m)
{
    if (!awaitingEnd)
        return 0;
    progressBar.SetPosition(m.wParam);
    if (m.lParam == static_cast<LPARAM>(HashJob::kEndReport))
        OnRunEnded();
    return 0;
}

// Digests only of a file read whole: a cancelled run says so, a file that
// could not be opened or read says that; both leave the compare controls
// locked and offer to hash the file again.
void CHashDialog::OnRunEnded()
{
    awaitingEnd = false;
    ::SetFocus(Control(IDC_MD5_COMPARE_BUTTON));
    const std::optional<DigestTexts> digests = job.Finish();
    if (cancelFlag.load() || !digests) {
        const std::wstring shown = Text(cancelFlag.load() ? IDS_STOPPED : IDS_CANNOT_READ);
        md5Text = sha1Text = crc32Text = shown;
        ::SetWindowTextW(Control(IDC_STOP), Text(IDS_VERIFY).c_str());
        ::EnableWindow(Control(IDC_STOP), TRUE);
    } else {
        md5Text = digests->md5;
        sha1Text = digests->sha1;
        crc32Text = digests->crc32;
        SetControlsReady();
    }
    ::SetWindowTextW(Control(IDC_CRC32_DIGEST), crc32Text.c_str());
    ::SetWindowTextW(Control(IDC_MD5_DIGEST), md5Text.c_str());
    ::SetWindowTextW(Control(IDC_SHA1_DIGEST), sha1Text.c_str());
}

// While a run goes on: cancel it; the button waits for the run's end
// report, which the worker sends at its next block. After a run that was
// cancelled or could not read the file: hash the file again from the start.
LRESULT CHashDialog::OnStopButton(win::Message&)
{
    if (awaitingEnd) {
        cancelFlag.store(true);
        ::EnableWindow(Control(IDC_STOP), FALSE);
        return 0;
    }
    JoinWorker();  // it has sent its end report: it is ending
    cancelFlag.store(false);
    ::SetWindowTextW(Control(IDC_STOP), Text(IDS_STOP).c_str());
    SetControlsBusy();
    StartRun();
    return 0;
}

void CHashDialog::JoinWorker() noexcept
{
    if (worker)
        win::WaitTakingSentMessages(worker.get());
    worker.reset();
}

void CHashDialog::SetControlsBusy()
{
    for (UINT id : kResultControls)
        ::EnableWindow(Control(id), FALSE);
    for (UINT id : kProgressControls)
        ::EnableWindow(Control(id), TRUE);
}

// The progress controls are shown only by the template: once hidden they
// do not come back.
void CHashDialog::SetControlsReady()
{
    for (UINT id : kResultControls)
        ::EnableWindow(Control(id), TRUE);
    for (UINT id : kProgressControls)
        ::ShowWindow(Control(id), SW_HIDE);
}

// Blanks around a pasted digest go as it is typed; nothing is compared.
LRESULT CHashDialog::OnCompareEditChange(win::Message& m)
{
    if (!compareTidy.Rewriting())
        compareTidy.Apply(win::Edit(m.CommandControl()));
    return 0;
}

LRESULT CHashDialog::OnCompareMd5(win::Message&)
{
    Compare(Algorithm::MD5, IDC_MD5_COMPARE, md5Text);
    return 0;
}

LRESULT CHashDialog::OnCompareSha1(win::Message&)
{
    Compare(Algorithm::SHA1, IDC_SHA1_COMPARE, sha1Text);
    return 0;
}

LRESULT CHashDialog::OnCompareCrc32(win::Message&)
{
    Compare(Algorithm::CRC32, IDC_CRC32_COMPARE, crc32Text);
    return 0;
}

// The compare edit's text, or with an empty edit a second file's digest of
// the algorithm (chosen in the open-file dialog, hashed here), against the
// file's digest, in any case.
void CHashDialog::Compare(Algorithm algorithm, UINT editId, const std::wstring& digest)
{
    HWND edit = Control(editId);
    std::wstring text = win::WindowText(edit);
    if (text.empty()) {
        const std::optional<std::wstring> chosen = ChooseCompareFile(::GetActiveWindow(), ThisModule());
        if (!chosen)
            return;
        const SecondFileDigest second = HashSecondFile(*chosen, algorithm, job.SystemCalls());
        if (second.failure == SecondFileDigest::Failure::Open) {
            ::MessageBoxW(Window(), L"Failed to open file for reading.", L"ERROR", MB_OK);
            return;
        }
        if (second.failure == SecondFileDigest::Failure::Read) {
            ::MessageBoxW(Window(), L"Error reading file.", L"ERROR", MB_OK);
            return;
        }
        text = second.text;
        ::SetWindowTextW(edit, text.c_str());
    }
    const bool equal = _wcsicmp(text.c_str(), digest.c_str()) == 0;
    ::MessageBoxW(Window(), Text(equal ? IDS_HASHES_MATCH : IDS_HASHES_DIFFER).c_str(),
                  Text(IDS_COMPARE_HASHES).c_str(), equal ? MB_OK : MB_ICONWARNING);
}

LRESULT CHashDialog::OnTitleTipMessage(win::Message& m)
{
    return titleTips.RouteOrPassOn(m);
}

}  // namespace compact
