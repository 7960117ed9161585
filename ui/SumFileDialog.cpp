#include "SumFileDialog.h"

#include "ReportList.h"
#include "RowListKeys.h"
#include "FilesPageResources.h"
#include "win/StringResource.h"

#include <algorithm>
#include <commctrl.h>

namespace {

constexpr int kProgressRange = 1000;
// Row changes are taken at most this often: a million quick lines cost the
// page's thread a few updates a second, not one each.
constexpr UINT_PTR kRowsTimer = 1;
constexpr UINT kRowsPeriodMs = 200;

std::wstring ResultText(HINSTANCE resources, SumCheckResult result)
{
    return result == SumCheckResult::Waiting ? std::wstring()
                                             : win::LoadStringResource(resources, IDS_SUMS_MATCHES + static_cast<unsigned>(result) -
                                                    static_cast<unsigned>(SumCheckResult::Matches));
}

// Problems first, in the order the counts name them; rows not checked last.
std::uint64_t ResultRank(SumCheckResult result)
{
    switch (result) {
    case SumCheckResult::DoesNotMatch: return 0;
    case SumCheckResult::Missing: return 1;
    case SumCheckResult::Unreadable: return 2;
    case SumCheckResult::NotUnderstood: return 3;
    case SumCheckResult::Matches: return 4;
    default: return 5;
    }
}

// The algorithms in the table's order; a line without one last.
std::uint64_t AlgorithmRank(const SumAlgorithm* algorithm)
{
    const std::vector<SumAlgorithm>& known = SumAlgorithms();
    return algorithm == nullptr ? known.size() : static_cast<std::uint64_t>(algorithm - known.data());
}

}  // namespace

HPROPSHEETPAGE CSumFileDialog::CreatePage(const std::wstring& sumFile)
{
    return win::CreateSheetOwnedPage<CSumFileDialog>(sumFile);
}

CSumFileDialog::CSumFileDialog(std::wstring sumFile, ResourceLease lease)
    : PropertyPage(lease.instance, IDD_SUMS_PAGE),
      resources(std::move(lease)),
      report(std::make_shared<FilesPageReport>()),
      job(SumCheckJob::Create(std::move(sumFile), report))
{
}

// The job, its report and the module stay with a worker still running.
CSumFileDialog::~CSumFileDialog() = default;

void CSumFileDialog::OnPageRelease()
{
    const win::ModuleLockHold stillRunning;
    delete this;
}

const win::MessageMap<CSumFileDialog>& CSumFileDialog::Messages()
{
    using D = CSumFileDialog;
    static const win::MessageMap<D> map{
        win::OnMessage(WM_INITDIALOG, &D::OnInitDialog),
        win::OnMessage(WM_DESTROY, &D::OnDestroy),
        win::OnMessage(WM_FILES_NOTIFY, &D::OnFilesNotify),
        win::OnMessage(WM_TIMER, &D::OnTimer),
        win::OnNotify(IDC_SUMS_LIST, LVN_GETDISPINFOW, &D::OnGetDispInfo),
        win::OnCommand(IDC_SUMS_STOP, BN_CLICKED, &D::OnStop),
        win::OnNotify(IDC_SUMS_LIST, LVN_COLUMNCLICK, &D::OnColumnClick),
        win::OnNotify(IDC_SUMS_LIST, LVN_KEYDOWN, &D::OnListKeyDown),
    };
    return map;
}

LRESULT CSumFileDialog::OnInitDialog(win::Message&)
{
    list = win::ListView(Control(IDC_SUMS_LIST));
    progressBar = win::ProgressBar(Control(IDC_SUMS_PROGRESS));
    RECT client = {};
    ::GetClientRect(list, &client);
    const int width = client.right - client.left - ::GetSystemMetrics(SM_CXVSCROLL);
    const int widths[] = {width / 2, width / 5, width - width / 2 - width / 5};
    SetUpReportList(list,
                    {{Text(IDS_FILES_FILE), widths[0]},
                     {Text(IDS_SUMS_ALGORITHM), widths[1]},
                     {Text(IDS_SUMS_RESULT), widths[2]}},
                    0);
    progressBar.SetRange32(kProgressRange);
    report->Attach(Window());
    worker.reset(job->Start());  // null: the job has reported its end all the same
    ShowState();
    return FALSE;
}

LRESULT CSumFileDialog::OnDestroy(win::Message&)
{
    ::KillTimer(Window(), kRowsTimer);
    report->Detach();
    job->Stop();  // the worker ends at its next block; it keeps what it uses
    worker.reset();
    return 0;
}

LRESULT CSumFileDialog::OnFilesNotify(win::Message& m)
{
    if (m.wParam == kFilesRowsChanged)
        ::SetTimer(Window(), kRowsTimer, kRowsPeriodMs, nullptr);  // taken then
    ShowState();
    return 0;
}

LRESULT CSumFileDialog::OnTimer(win::Message& m)
{
    if (m.wParam == kRowsTimer) {
        ::KillTimer(Window(), kRowsTimer);
        report->RowsTaken();
    }
    return 0;
}

void CSumFileDialog::ShowState()
{
    list.SetItemCount(job->RowCount(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    ::InvalidateRect(list, nullptr, FALSE);
    const auto counts = job->Counts();
    const auto count = [&](SumCheckResult result) { return std::to_wstring(counts[static_cast<std::size_t>(result)]); };
    const std::wstring text = FilledText(Text(IDS_SUMS_COUNTS),
                                         {count(SumCheckResult::Matches), count(SumCheckResult::DoesNotMatch),
                                          count(SumCheckResult::Missing), count(SumCheckResult::Unreadable),
                                          count(SumCheckResult::NotUnderstood)});
    ::SetWindowTextW(Control(IDC_SUMS_COUNTS), text.c_str());
    const std::uint64_t size = job->Size();
    const bool ended = job->Ended();
    const int position = ended ? kProgressRange
                               : size == 0 ? 0 : static_cast<int>(std::min(job->BytesRead(), size) * kProgressRange / size);
    progressBar.SetPosition(static_cast<WPARAM>(position));
    ::EnableWindow(Control(IDC_SUMS_STOP), !ended);
}

std::wstring CSumFileDialog::CellText(const SumCheckRow& row, int column) const
{
    switch (column) {
    case 0:
        return row.name;
    case 1:
        return SumRowAlgorithmText(row);
    default:
        return ResultText(resources.instance, row.result);
    }
}

LRESULT CSumFileDialog::OnGetDispInfo(win::Message& m)
{
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(m.lParam);
    if ((info->item.mask & LVIF_TEXT) == 0 || info->item.iItem < 0)
        return 0;
    const SumCheckRow row = job->Row(order.RowAt(static_cast<std::size_t>(info->item.iItem)));
    std::wstring& text = cellTexts[nextCellText++ % cellTexts.size()];
    text = CellText(row, info->item.iSubItem);
    info->item.pszText = text.data();
    return 0;
}

// The rows as they are now, sorted once: results that come later change
// their rows' texts, not their places.
LRESULT CSumFileDialog::OnColumnClick(win::Message& m)
{
    const int column = reinterpret_cast<const NMLISTVIEW*>(m.lParam)->iSubItem;
    std::vector<std::uint64_t> keys;
    job->VisitRows([&](const SumAlgorithm* algorithm, SumCheckResult result) {
        keys.push_back(column == 0 ? keys.size() : column == 1 ? AlgorithmRank(algorithm) : ResultRank(result));
    });
    order.SortForClick(column, keys);
    list.SetItemState(win::ListView::kAllItems, 0, LVIS_SELECTED | LVIS_FOCUSED);
    list.ShowSortArrow(order.Column(), order.Ascending());
    ::InvalidateRect(list, nullptr, FALSE);
    return 0;
}

std::wstring CSumFileDialog::CopyText() const
{
    std::vector<std::size_t> places = list.SelectedItems();
    if (places.empty()) {
        for (std::size_t place = 0; place < job->RowCount(); ++place)
            places.push_back(place);
    }
    std::wstring text;
    for (std::size_t place : places) {
        const SumCheckRow row = job->Row(order.RowAt(place));
        text += CellText(row, 0) + L'\t' + CellText(row, 1) + L'\t' + CellText(row, 2) + L"\r\n";
    }
    return text;
}

LRESULT CSumFileDialog::OnListKeyDown(win::Message& m)
{
    OnRowListKey(Window(), list, *reinterpret_cast<const NMLVKEYDOWN*>(m.lParam), [this] { return CopyText(); });
    return 0;
}

LRESULT CSumFileDialog::OnStop(win::Message&)
{
    job->Stop();
    ::EnableWindow(Control(IDC_SUMS_STOP), FALSE);
    return 0;
}
