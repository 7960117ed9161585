#pragma once
// The compact configuration's page: MD5, SHA-1 and CRC-32 of the file in
// read-only edits, each with a compare edit and a "Compare..." button, a
// progress bar and a button that cancels the run or hashes the file again.
// Its template and texts are the module's own, in the language that the
// resource lookup finds for the thread (English or Chinese).
#include "engine/CompactHashJob.h"
#include "ui/CompareEditTidy.h"
#include "ui/TitleTip.h"
#include "win/CommonControls.h"
#include "win/ModuleLock.h"
#include "win/PropertyPage.h"
#include "win/UniqueHandle.h"

#include <atomic>
#include <memory>
#include <string>

namespace compact {

class CHashDialog : public win::PropertyPage<CHashDialog> {
public:
    // Makes a page for the file and its sheet page; from then on the property
    // sheet owns the object. Null (and nothing left behind) on failure.
    static HPROPSHEETPAGE CreatePage(const std::wstring& path);

    // The page holds a lock on the module while it lives: its worker's code
    // is the module's.
    explicit CHashDialog(const std::wstring& path);
    // Waits for a worker still running (taking the reports it sends meanwhile).
    ~CHashDialog();

    static const win::MessageMap<CHashDialog>& Messages();

    // Called by the page callback when the sheet releases the page.
    void OnPageRelease();

    // The worker's reads and a second file's go through these calls.
    void SetSystemCallsForTesting(const JobSystemCalls& calls) { job.SetSystemCallsForTesting(calls); }

private:
    LRESULT OnInitDialog(win::Message& m);
    LRESULT OnDestroy(win::Message& m);
    LRESULT OnHashDataNotify(win::Message& m);
    LRESULT OnCompareEditChange(win::Message& m);
    LRESULT OnCompareMd5(win::Message& m);
    LRESULT OnCompareSha1(win::Message& m);
    LRESULT OnCompareCrc32(win::Message& m);
    LRESULT OnStopButton(win::Message& m);
    LRESULT OnTitleTipMessage(win::Message& m);

    void StartRun();
    void OnRunEnded();
    void JoinWorker() noexcept;
    void SetControlsBusy();
    void SetControlsReady();
    void Compare(Algorithm algorithm, UINT editId, const std::wstring& digest);
    HWND Control(UINT id) const { return ::GetDlgItem(Window(), static_cast<int>(id)); }

    win::ModuleLockHold moduleLock;  // gone last: the page's code stays while the sheet holds it
    titletip::CTitleTipHandler titleTips;
    HashJob job;
    std::shared_ptr<JobReports> reports;  // the job's reports, sent to the page's window
    std::wstring path;
    std::wstring md5Text;
    std::wstring crc32Text;
    std::wstring sha1Text;
    win::ProgressBar progressBar;
    std::atomic<bool> cancelFlag{false};  // read by the worker before every block
    win::UniqueThread worker;               // kept until the thread has ended
    bool awaitingEnd = false;
    CompareEditTidy compareTidy{&TrimCompareText};
};

}  // namespace compact
