#pragma once
// The page in a checksum file's Properties: every line of the file with the
// file it names, its algorithm and whether the file matches, counts of each
// result, progress and a stop button; the check runs on SumCheckJob's worker.
// A click on a heading sorts the rows by that column (the result's: problems
// first), again the other way round; Ctrl+C copies the selected rows (all
// when none is), Ctrl+A selects every row.
#include "engine/SumCheckJob.h"
#include "settings/ResourceInstance.h"
#include "ui/FileListDialog.h"
#include "ui/RowOrder.h"
#include "win/CommonControls.h"
#include "win/ListView.h"
#include "win/ModuleLock.h"
#include "win/PropertyPage.h"
#include "win/StringResource.h"
#include "win/UniqueHandle.h"

#include <array>
#include <memory>
#include <string>

class CSumFileDialog : public win::PropertyPage<CSumFileDialog> {
public:
    // The page for the checksum file and its sheet page, which owns it from
    // then on; null (and nothing left behind) on failure.
    static HPROPSHEETPAGE CreatePage(const std::wstring& sumFile);

    // Template and texts from the resource instance, leased for the page's life.
    explicit CSumFileDialog(std::wstring sumFile, ResourceLease resources = LeaseResourceInstance());
    ~CSumFileDialog();

    static const win::MessageMap<CSumFileDialog>& Messages();
    void OnPageRelease();

    const SumCheckJob& Job() const { return *job; }
    void SetSystemCallsForTesting(const JobSystemCalls& calls) { job->SetSystemCallsForTesting(calls); }
    // The rows' texts as shown (file, algorithm, result), tab-separated, CRLF
    // after each: the selected rows, or all when none is.
    std::wstring CopyText() const;

private:
    LRESULT OnInitDialog(win::Message& m);
    LRESULT OnDestroy(win::Message& m);
    LRESULT OnFilesNotify(win::Message& m);
    LRESULT OnTimer(win::Message& m);
    LRESULT OnGetDispInfo(win::Message& m);
    LRESULT OnStop(win::Message& m);
    LRESULT OnColumnClick(win::Message& m);
    LRESULT OnListKeyDown(win::Message& m);
    void ShowState();
    std::wstring CellText(const SumCheckRow& row, int column) const;
    HWND Control(UINT id) const { return ::GetDlgItem(Window(), static_cast<int>(id)); }
    std::wstring Text(unsigned id) const { return win::LoadStringResource(resources.instance, id); }

    win::ModuleLockHold moduleLock;
    ResourceLease resources;  // the module this page's template and texts come from
    std::shared_ptr<FilesPageReport> report;
    SumCheckJobPtr job;
    win::UniqueThread worker;
    win::ListView list;
    win::ProgressBar progressBar;
    RowOrder order;
    std::array<std::wstring, 3> cellTexts;
    std::size_t nextCellText = 0;
};
