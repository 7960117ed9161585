#include "FileListDialog.h"

#include "ClipboardCopy.h"
#include "ClipboardText.h"
#include "DigestComparison.h"
#include "ReportList.h"
#include "RowListKeys.h"

#include "Features.h"
#include "FilesPageResources.h"
#include "resource.h"
#include "settings/ResourceInstance.h"
#include "engine/DigestText.h"
#include "engine/SumAlgorithms.h"
#include "engine/SumFileSave.h"
#include "engine/SumText.h"
#include "win/ActivationContext.h"
#include "win/ErrorText.h"
#include "win/StringResource.h"
#include "win/WindowText.h"

#include <algorithm>
#include <commctrl.h>
#include <commdlg.h>
#include <cwchar>
#include <initializer_list>
#include <numeric>
#include <optional>

namespace {

constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressPeriodMs = 200;
constexpr int kProgressRange = 1000;
constexpr DWORD kPathCapacity = 32768;

std::string AsciiOf(const std::wstring& digits)
{
    return std::string(digits.begin(), digits.end());  // hexadecimal digits only
}

// The first pairs of a "name|pattern|" list of file types.
std::wstring FirstFilterPairs(const std::wstring& filter, int pairs)
{
    std::size_t end = 0;
    for (int separators = 0; separators < 2 * pairs; ++separators) {
        end = filter.find(L'|', end);
        if (end == std::wstring::npos)
            return filter;
        ++end;
    }
    return filter.substr(0, end);
}

}  // namespace

std::wstring FilledText(std::wstring pattern, std::initializer_list<std::wstring> values)
{
    int number = 1;
    for (const std::wstring& value : values) {
        const std::wstring mark = L"%" + std::to_wstring(number++);
        const std::size_t at = pattern.find(mark);
        if (at != std::wstring::npos)
            pattern.replace(at, mark.size(), value);
    }
    return pattern;
}

void FilesPageReport::PostRowsChanged()
{
    const HWND target = window.load();
    if (target != nullptr && !rowsPosted.exchange(true) && !::PostMessageW(target, WM_FILES_NOTIFY, kFilesRowsChanged, 0))
        rowsPosted = false;  // the queue is full: the next change tries again
}

// A full queue must not lose the end of the run: the page would wait for it
// for ever. Posted again until it is taken or the window is gone.
void FilesPageReport::RunEnded()
{
    DWORD pause = 1;
    for (HWND target = window.load(); target != nullptr; target = window.load()) {
        if (::PostMessageW(target, WM_FILES_NOTIFY, kFilesRunEnded, 0) || !::IsWindow(target))
            return;
        ::Sleep(pause);
        pause = pause < 64 ? pause * 2 : pause;
    }
}

HPROPSHEETPAGE CFileListDialog::CreatePage(const std::vector<std::wstring>& selection)
{
    return win::CreateSheetOwnedPage<CFileListDialog>(selection);
}

CFileListDialog::CFileListDialog(std::vector<std::wstring> selection, ResourceLease lease)
    : PropertyPage(lease.instance, IDD_FILES_PAGE),
      resources(std::move(lease)),
      report(std::make_shared<FilesPageReport>())
{
    commonFolder = CommonFolderOf(selection);
    job = FileListJob::Create(std::move(selection), report);
}

// The job, its report and the module stay with a worker still running; the
// page only stops it.
CFileListDialog::~CFileListDialog() = default;

void CFileListDialog::OnPageRelease()
{
    const win::ModuleLockHold stillRunning;  // the page's own lock goes with it
    delete this;
}

const win::MessageMap<CFileListDialog>& CFileListDialog::Messages()
{
    using D = CFileListDialog;
    static const win::MessageMap<D> map = [] {
        win::MessageMap<D> rows{
            win::OnMessage(WM_INITDIALOG, &D::OnInitDialog),
            win::OnMessage(WM_DESTROY, &D::OnDestroy),
            win::OnMessage(WM_FILES_NOTIFY, &D::OnFilesNotify),
            win::OnMessage(WM_TIMER, &D::OnTimer),
            win::OnNotify(IDC_FILES_LIST, LVN_GETDISPINFOW, &D::OnGetDispInfo),
            win::OnNotify(IDC_FILES_LIST, LVN_COLUMNCLICK, &D::OnColumnClick),
            win::OnCommand(IDC_FILES_ALGORITHM, CBN_SELCHANGE, &D::OnAlgorithmChange),
            win::OnCommand(IDC_FILES_COPY, BN_CLICKED, &D::OnCopy),
            win::OnCommand(IDC_FILES_SAVE, BN_CLICKED, &D::OnSave),
            win::OnCommand(IDC_FILES_STOP, BN_CLICKED, &D::OnStop),
            win::OnCommand(IDC_FILES_COMPARE_EDIT, EN_CHANGE, &D::OnCompareChange),
            win::OnNotify(IDC_FILES_LIST, LVN_KEYDOWN, &D::OnListKeyDown),
        };
        if (features::kClipboardWatching) {
            rows.push_back(win::OnMessage(WM_DRAWCLIPBOARD, &D::OnDrawClipboard));
            rows.push_back(win::OnMessage(WM_CHANGECBCHAIN, &D::OnChangeClipboardChain));
        }
        return rows;
    }();
    return map;
}

LRESULT CFileListDialog::OnInitDialog(win::Message&)
{
    list = win::ListView(Control(IDC_FILES_LIST));
    algorithmChoice = win::ComboBox(Control(IDC_FILES_ALGORITHM));
    progressBar = win::ProgressBar(Control(IDC_FILES_PROGRESS));
    RECT client = {};
    ::GetClientRect(list, &client);
    const int width = client.right - client.left - ::GetSystemMetrics(SM_CXVSCROLL);
    const int widths[] = {width * 2 / 5, width / 6, width - width * 2 / 5 - width / 6};
    SetUpReportList(list,
                    {{Text(IDS_FILES_FILE), widths[0]},
                     {Text(IDS_FILES_SIZE), widths[1], LVCFMT_RIGHT},
                     {L"", widths[2]}},
                    0);
    progressBar.SetRange32(kProgressRange);
    report->Attach(Window());
    StartJob();
    FillAlgorithms();
    // Joining sends the first WM_DRAWCLIPBOARD at once: what the clipboard
    // holds now is looked for too.
    if constexpr (features::kClipboardWatching)
        clipboardViewer.Join(Window());
    return FALSE;
}

LRESULT CFileListDialog::OnDestroy(win::Message&)
{
    ::KillTimer(Window(), kProgressTimer);
    clipboardViewer.Leave();
    report->Detach();
    job->Stop();  // the worker ends at its next block; it keeps what it uses
    worker.reset();
    return 0;
}

void CFileListDialog::StartJob()
{
    stopping = false;
    ::SetWindowTextW(Control(IDC_FILES_STOP), LoadResourceString(IDS_STOP).c_str());
    worker.reset(job->Start());  // null: the job has reported its end all the same
    ::SetTimer(Window(), kProgressTimer, kProgressPeriodMs, nullptr);
    ShowProgress();
}

void CFileListDialog::FillAlgorithms()
{
    algorithmChoice.ResetContent();
    for (const std::wstring& name : job->Algorithms())
        algorithmChoice.AddString(name);
    // SHA-256 when it is enabled: what checksum files mostly hold.
    const LRESULT sha256 = algorithmChoice.FindStringExact(L"SHA-256");
    algorithmChoice.SetCurrentSelection(sha256 == CB_ERR ? 0 : sha256);
    const bool any = !job->Algorithms().empty();
    for (UINT id : {IDC_FILES_ALGORITHM, IDC_FILES_COPY, IDC_FILES_SAVE, IDC_FILES_COMPARE_EDIT})
        ::EnableWindow(Control(id), any);
    ShowAlgorithmHeading();
}

std::size_t CFileListDialog::ShownAlgorithm() const
{
    const LRESULT chosen = algorithmChoice.CurrentSelection();
    return chosen == CB_ERR ? 0 : static_cast<std::size_t>(chosen);
}

LRESULT CFileListDialog::OnAlgorithmChange(win::Message&)
{
    ShowAlgorithmHeading();
    return 0;
}

void CFileListDialog::ShowAlgorithmHeading()
{
    list.SetColumnHeading(2, ShownAlgorithm() < job->Algorithms().size() ? job->Algorithms()[ShownAlgorithm()] : L"");
    ::InvalidateRect(list, nullptr, FALSE);  // the digests are all there: nothing is read again
}

LRESULT CFileListDialog::OnFilesNotify(win::Message& m)
{
    if (m.wParam == kFilesRowsChanged) {
        ShowRowCount();  // taken at the next tick: one list update a tick however fast the rows come
    } else if (m.wParam == kFilesRunEnded && !job->IsRunning()) {
        ::KillTimer(Window(), kProgressTimer);
        ShowRowCount();
        const bool finished = job->Outcome() == FileListOutcome::Finished;
        if (!finished)
            ::SetWindowTextW(Control(IDC_FILES_STOP), Text(IDS_FILES_RESUME).c_str());
        ::EnableWindow(Control(IDC_FILES_STOP), !finished);
        stopping = false;
        SearchDigest();
    }
    FillInCopiedDigest();
    ShowProgress();
    return 0;
}

LRESULT CFileListDialog::OnTimer(win::Message& m)
{
    if (m.wParam == kProgressTimer) {
        report->RowsTaken();
        ShowProgress();
    }
    return 0;
}

void CFileListDialog::ShowRowCount()
{
    const std::size_t rows = job->RowCount();
    if (static_cast<std::size_t>(list.ItemCount()) != rows)
        list.SetItemCount(rows, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    ::InvalidateRect(list, nullptr, FALSE);
}

void CFileListDialog::ShowProgress()
{
    const std::uint64_t total = job->BytesListed(), done = std::min(job->BytesDone(), total);
    const int position = total == 0 ? (job->Outcome() == FileListOutcome::Finished ? kProgressRange : 0)
                                    : static_cast<int>(done * kProgressRange / total);
    progressBar.SetPosition(static_cast<WPARAM>(position));
    const std::wstring status =
        job->ListingDone()
            ? FilledText(Text(IDS_FILES_COUNT), {std::to_wstring(job->FilesDone()), std::to_wstring(job->RowCount()),
                                              std::to_wstring(done), std::to_wstring(total)})
            : FilledText(Text(IDS_FILES_LISTING), {std::to_wstring(job->RowCount())});
    ::SetWindowTextW(Control(IDC_FILES_STATUS), status.c_str());
}

std::wstring CFileListDialog::ShownName(const std::wstring& path) const
{
    std::wstring name = NameInSumFolder(commonFolder, path);
    if (name != path) {
        for (wchar_t& c : name)
            c = c == L'/' ? L'\\' : c;
    }
    return name;
}

std::wstring CFileListDialog::DigestCell(const FileRow& row) const
{
    if (row.state == FileRowState::Failed)
        return FilledText(Text(IDS_FILES_CANNOT_READ), {SystemErrorText(row.error)});
    return row.state == FileRowState::Hashed ? job->DigestOf(row, ShownAlgorithm()) : std::wstring();
}

LRESULT CFileListDialog::OnGetDispInfo(win::Message& m)
{
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(m.lParam);
    if ((info->item.mask & LVIF_TEXT) == 0 || info->item.iItem < 0)
        return 0;
    const FileRow row = job->Row(order.RowAt(static_cast<std::size_t>(info->item.iItem)));
    std::wstring& text = cellTexts[nextCellText++ % cellTexts.size()];
    switch (info->item.iSubItem) {
    case 0:
        text = ShownName(row.path);
        break;
    case 1:
        text = row.state == FileRowState::Failed && row.size == 0 ? L"" : std::to_wstring(row.size);
        break;
    default:
        text = DigestCell(row);
        break;
    }
    info->item.pszText = text.data();
    return 0;
}

// The rows as they are now, sorted once: as listed, by size, or by the shown
// digest (its first 16 digits: identical files side by side; rows without
// one last).
LRESULT CFileListDialog::OnColumnClick(win::Message& m)
{
    const int column = reinterpret_cast<const NMLISTVIEW*>(m.lParam)->iSubItem;
    std::vector<std::uint64_t> keys(job->RowCount());
    for (std::size_t index = 0; index < keys.size(); ++index) {
        const FileRow row = job->Row(index);
        if (column == 0) {
            keys[index] = index;
        } else if (column == 1) {
            keys[index] = row.size;
        } else {
            const std::wstring digest = row.state == FileRowState::Hashed ? job->DigestOf(row, ShownAlgorithm()) : L"";
            keys[index] = digest.empty() ? UINT64_MAX : std::wcstoull(digest.substr(0, 16).c_str(), nullptr, 16);
        }
    }
    order.SortForClick(column, keys);
    list.SetItemState(win::ListView::kAllItems, 0, LVIS_SELECTED | LVIS_FOCUSED);
    list.ShowSortArrow(order.Column(), order.Ascending());
    ::InvalidateRect(list, nullptr, FALSE);
    return 0;
}

const SumAlgorithm* CFileListDialog::SumAlgorithmOf(std::size_t algorithm, SumAlgorithm& unknown) const
{
    if (algorithm >= job->Algorithms().size())
        return nullptr;
    const std::wstring& name = job->Algorithms()[algorithm];
    if (const SumAlgorithm* known = SumAlgorithmByName(name))
        return known;
    unknown = SumAlgorithm{name.c_str(), "", 0};
    return &unknown;
}

std::optional<std::size_t> CFileListDialog::Crc32Algorithm() const
{
    const auto& names = job->Algorithms();
    const auto found = std::find(names.begin(), names.end(), L"CRC32");
    return found == names.end() ? std::nullopt : std::optional<std::size_t>(found - names.begin());
}

std::vector<SumFileEntry> CFileListDialog::EntriesOf(const std::vector<std::size_t>& rows, std::size_t algorithm) const
{
    std::vector<SumFileEntry> entries;
    for (std::size_t index : rows) {
        const FileRow row = job->Row(index);
        if (row.state == FileRowState::Hashed)
            entries.push_back({row.path, AsciiOf(job->DigestOf(row, algorithm))});
    }
    return entries;
}

std::wstring CFileListDialog::CopyText() const
{
    SumAlgorithm unknown{};
    const SumAlgorithm* algorithm = SumAlgorithmOf(ShownAlgorithm(), unknown);
    if (algorithm == nullptr)
        return std::wstring();
    std::vector<std::size_t> rows = list.SelectedItems();
    for (std::size_t& place : rows)
        place = order.RowAt(place);
    if (rows.empty()) {
        for (std::size_t i = 0; i < job->RowCount(); ++i)
            rows.push_back(i);
    }
    const std::string lines = SumFileText(SumFormat::Gnu, *algorithm, commonFolder, EntriesOf(rows, ShownAlgorithm()));
    std::wstring wide, text;
    if (!Utf8ToWide(lines, wide))
        return std::wstring();
    for (wchar_t c : wide) {
        if (c == L'\n')
            text += L'\r';
        text += c;
    }
    return text;
}

LRESULT CFileListDialog::OnCopy(win::Message&)
{
    CopyTextToClipboard(Window(), CopyText());
    return 0;
}

LRESULT CFileListDialog::OnListKeyDown(win::Message& m)
{
    OnRowListKey(Window(), list, *reinterpret_cast<const NMLVKEYDOWN*>(m.lParam), [this] { return CopyText(); });
    return 0;
}

// sfv lines carry CRC32 values, whatever the list shows.
DWORD CFileListDialog::SaveSumFile(const std::wstring& target, SumFormat format) const
{
    const std::optional<std::size_t> index = format == SumFormat::Sfv ? Crc32Algorithm() : ShownAlgorithm();
    SumAlgorithm unknown{};
    const SumAlgorithm* algorithm = index ? SumAlgorithmOf(*index, unknown) : nullptr;
    if (algorithm == nullptr)
        return format == SumFormat::Sfv ? ERROR_NOT_SUPPORTED : ERROR_INVALID_FUNCTION;
    std::vector<std::size_t> rows(job->RowCount());
    std::iota(rows.begin(), rows.end(), std::size_t{0});
    const std::size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash);
    return ReplaceFileWith(target, SumFileText(format, *algorithm, folder, EntriesOf(rows, *index)));
}

LRESULT CFileListDialog::OnSave(win::Message&)
{
    SumAlgorithm unknown{};
    const SumAlgorithm* algorithm = SumAlgorithmOf(ShownAlgorithm(), unknown);
    if (algorithm == nullptr)
        return 0;
    // "name|pattern|" pairs with the separators made NULs, as the dialog
    // wants them; the third, sfv, only where CRC32 values were computed.
    std::wstring filter = Text(IDS_FILES_SAVE_FILTER);
    if (!Crc32Algorithm())
        filter = FirstFilterPairs(filter, 2);
    for (wchar_t& c : filter)
        c = c == L'|' ? L'\0' : c;
    filter.push_back(L'\0');
    std::vector<wchar_t> file(kPathCapacity, L'\0');
    const std::wstring name = DefaultSumFileName(SumFormat::Gnu, *algorithm);
    name.copy(file.data(), name.size());
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Window();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = kPathCapacity;
    dialog.lpstrInitialDir = commonFolder.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    {
        win::ScopedModuleActivation activation;
        if (!::GetSaveFileNameW(&dialog))
            return 0;
    }
    const SumFormat format = dialog.nFilterIndex == 2 ? SumFormat::Bsd
                             : dialog.nFilterIndex == 3 ? SumFormat::Sfv
                                                        : SumFormat::Gnu;
    const DWORD error = SaveSumFile(file.data(), format);
    if (error != ERROR_SUCCESS) {
        const std::wstring message = FilledText(Text(IDS_FILES_SAVE_FAILED), {SystemErrorText(error)});
        ::MessageBoxW(Window(), message.c_str(), nullptr, MB_OK | MB_ICONERROR);
    }
    return 0;
}

LRESULT CFileListDialog::OnStop(win::Message&)
{
    if (job->IsRunning()) {
        if (!stopping) {
            stopping = true;
            job->Stop();
            ::EnableWindow(Control(IDC_FILES_STOP), FALSE);  // until the worker has stopped
        }
        return 0;
    }
    if (job->Outcome() == FileListOutcome::Stopped)
        StartJob();
    return 0;
}

LRESULT CFileListDialog::OnCompareChange(win::Message&)
{
    SearchDigest();
    return 0;
}

// The compare text among every digest of every hashed file: the first file
// with an equal digest is selected and shown, and its algorithm named.
void CFileListDialog::SearchDigest()
{
    const std::wstring text = win::WindowText(Control(IDC_FILES_COMPARE_EDIT));
    const HWND result = Control(IDC_FILES_COMPARE_RESULT);
    if (text.empty()) {
        ::SetWindowTextW(result, L"");
        return;
    }
    // As bytes against the job's bytes: whole digests, either case, as CompareWithDigests compares.
    std::string digest;
    const std::optional<FoundDigest> found =
        AppendDigestBytes(ComparedDigits(text), digest) ? job->FindDigest(digest) : std::nullopt;
    if (found) {
        list.SetItemState(win::ListView::kAllItems, 0, LVIS_SELECTED | LVIS_FOCUSED);
        list.SetItemState(order.PlaceOf(found->row), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        list.EnsureVisible(order.PlaceOf(found->row));
        algorithmChoice.SetCurrentSelection(found->algorithm);
        ShowAlgorithmHeading();
        const std::wstring shown =
            FilledText(Text(IDS_FILES_MATCH), {job->Algorithms()[found->algorithm], ShownName(job->Row(found->row).path)});
        ::SetWindowTextW(result, shown.c_str());
        return;
    }
    ::SetWindowTextW(result, Text(IDS_FILES_NO_MATCH).c_str());
}

LRESULT CFileListDialog::OnDrawClipboard(win::Message& m)
{
    clipboardViewer.OnDrawClipboard(m.wParam, m.lParam);
    // The page's own copy holds every digest: not a question to answer.
    if (::GetClipboardOwner() == Window() || !CompareTextIsOurs())
        return 0;
    copiedDigests.LookFor(ReadClipboardText());
    rowsSearchedForCopy = 0;
    FillInCopiedDigest();
    return 0;
}

LRESULT CFileListDialog::OnChangeClipboardChain(win::Message& m)
{
    return clipboardViewer.OnChangeChain(m.wParam, m.lParam);
}

// A copy may replace the compare text only where the user has not typed one.
bool CFileListDialog::CompareTextIsOurs() const
{
    const std::wstring text = win::WindowText(Control(IDC_FILES_COMPARE_EDIT));
    return text.empty() || text == compareTextFromCopy;
}

// The rows hashed since the last look, searched for a digest the newest
// copied text holds: the first found becomes the compare text, which selects
// its row and names its algorithm.
void CFileListDialog::FillInCopiedDigest()
{
    if (copiedDigests.Empty())
        return;
    if (!CompareTextIsOurs()) {
        copiedDigests.Forget();  // typed meanwhile: the user's text stays
        return;
    }
    std::vector<std::wstring> digests(job->Algorithms().size());
    for (const std::size_t count = job->RowCount(); rowsSearchedForCopy < count; ++rowsSearchedForCopy) {
        const FileRow row = job->Row(rowsSearchedForCopy);
        if (row.state == FileRowState::Waiting)
            return;  // not hashed yet: looked at when it is
        if (row.state != FileRowState::Hashed)
            continue;
        for (std::size_t i = 0; i < digests.size(); ++i)
            digests[i] = job->DigestOf(row, i);
        const std::wstring found = copiedDigests.FirstHeld(digests);
        if (!found.empty()) {
            copiedDigests.Forget();
            compareTextFromCopy = found;
            ::SetWindowTextW(Control(IDC_FILES_COMPARE_EDIT), found.c_str());  // EN_CHANGE searches
            return;
        }
    }
}
