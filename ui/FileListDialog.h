#pragma once
// The page for several files or a folder: every file of the selection in a
// virtual list (its name below the selection's folder, its size and the
// digest of the algorithm chosen in the drop-down), hashed one after another
// on the job's worker, with progress, stop and resume, a copy and a checksum
// file of the digests (the rows sorted by a heading: identical files side by
// side by their digests), and a search of every digest for the compare text,
// typed, pasted or copied elsewhere while the page is open.
#include "engine/FileListJob.h"
#include "engine/SumFileSave.h"
#include "engine/SumLine.h"
#include "ui/ClipboardViewer.h"
#include "ui/CopiedDigests.h"
#include "ui/RowOrder.h"
#include "settings/ResourceInstance.h"
#include "win/CommonControls.h"
#include "win/ListView.h"
#include "win/ModuleLock.h"
#include "win/PropertyPage.h"
#include "win/StringResource.h"
#include "win/UniqueHandle.h"

#include <array>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The pattern with "%1", "%2", ... replaced by the values in turn.
std::wstring FilledText(std::wstring pattern, std::initializer_list<std::wstring> values);

// From the job's report to the page: wParam says what (FilesNotice).
constexpr UINT WM_FILES_NOTIFY = WM_APP + 0x68;
enum FilesNotice : WPARAM { kFilesRowsChanged = 1, kFilesRunEnded = 2 };

// The job's report for a page: posted to its window, row changes folded into
// one message until the page has taken it; nothing after Detach.
class FilesPageReport final : public IFileListReport {
public:
    void Attach(HWND page) { window = page; }
    void RowsListed() override { PostRowsChanged(); }
    void RowFinished(std::size_t) override { PostRowsChanged(); }
    void RunEnded() override;
    // On the page's thread, when it is ready for the next kFilesRowsChanged.
    void RowsTaken() { rowsPosted = false; }
    void Detach() { window = nullptr; }

private:
    void PostRowsChanged();
    std::atomic<HWND> window;
    std::atomic<bool> rowsPosted{false};
};

class CFileListDialog : public win::PropertyPage<CFileListDialog> {
public:
    // Makes the page for the selection's paths and its sheet page, which owns
    // it from then on; null (and nothing left behind) on failure.
    static HPROPSHEETPAGE CreatePage(const std::vector<std::wstring>& selection);

    // Template and texts come from the resource instance (the language module
    // chosen, or this module), leased for the page's life.
    explicit CFileListDialog(std::vector<std::wstring> selection, ResourceLease resources = LeaseResourceInstance());
    ~CFileListDialog();

    static const win::MessageMap<CFileListDialog>& Messages();
    void OnPageRelease();

    const FileListJob& Job() const { return *job; }
    HWND List() const { return list; }
    // The folder names are shown (and copied) relative to.
    const std::wstring& CommonFolder() const { return commonFolder; }
    // The algorithm whose digests the list shows (index in the job's Algorithms()).
    std::size_t ShownAlgorithm() const;
    // gnu lines of the rows (all when none is selected), CRLF after each.
    std::wstring CopyText() const;
    // Writes a checksum file of the hashed rows (the shown algorithm's
    // digests, CRC32's for sfv); ERROR_SUCCESS or why not.
    DWORD SaveSumFile(const std::wstring& target, SumFormat format) const;

    void SetSystemCallsForTesting(const JobSystemCalls& calls) { job->SetSystemCallsForTesting(calls); }

private:
    LRESULT OnInitDialog(win::Message& m);
    LRESULT OnDestroy(win::Message& m);
    LRESULT OnFilesNotify(win::Message& m);
    LRESULT OnTimer(win::Message& m);
    LRESULT OnGetDispInfo(win::Message& m);
    LRESULT OnColumnClick(win::Message& m);
    LRESULT OnAlgorithmChange(win::Message& m);
    LRESULT OnCopy(win::Message& m);
    LRESULT OnSave(win::Message& m);
    LRESULT OnStop(win::Message& m);
    LRESULT OnCompareChange(win::Message& m);
    LRESULT OnListKeyDown(win::Message& m);
    LRESULT OnDrawClipboard(win::Message& m);
    LRESULT OnChangeClipboardChain(win::Message& m);

    void StartJob();
    void FillAlgorithms();
    void ShowAlgorithmHeading();
    void ShowProgress();
    void ShowRowCount();
    void SearchDigest();
    void FillInCopiedDigest();
    bool CompareTextIsOurs() const;
    std::wstring ShownName(const std::wstring& path) const;
    std::wstring DigestCell(const FileRow& row) const;
    // The table's entry of an algorithm of the job (by index), or one made in
    // unknown for an algorithm checksum files have no name for.
    const SumAlgorithm* SumAlgorithmOf(std::size_t algorithm, SumAlgorithm& unknown) const;
    std::optional<std::size_t> Crc32Algorithm() const;
    // The hashed rows among these, with the digests of one algorithm.
    std::vector<SumFileEntry> EntriesOf(const std::vector<std::size_t>& rows, std::size_t algorithm) const;
    HWND Control(UINT id) const { return ::GetDlgItem(Window(), static_cast<int>(id)); }
    std::wstring Text(unsigned id) const { return win::LoadStringResource(resources.instance, id); }

    win::ModuleLockHold moduleLock;
    ResourceLease resources;  // the module this page's template and texts come from
    std::shared_ptr<FilesPageReport> report;
    FileListJobPtr job;
    std::wstring commonFolder;
    win::UniqueThread worker;
    win::ListView list;
    win::ComboBox algorithmChoice;
    win::ProgressBar progressBar;
    bool stopping = false;
    CClipboardViewer clipboardViewer;
    CopiedDigests copiedDigests;      // of the newest copied text, until a file is found to have one
    std::size_t rowsSearchedForCopy = 0;  // rows are hashed in order: those before it were looked at
    std::wstring compareTextFromCopy;     // what the compare edit was given from the clipboard
    RowOrder order;  // of the rows shown, when the user sorted them
    std::array<std::wstring, 3> cellTexts;  // LVN_GETDISPINFOW's texts stay valid until two more are asked for
    std::size_t nextCellText = 0;
};
