#pragma once
// The hash page in a file's Properties dialog: the digests of the file in a
// virtual list, with progress and a stop/resume button while it is read.
#include "Features.h"
#include "resource.h"
#include "settings/ResourceInstance.h"
#include "ui/DigestComparison.h"
#include "ui/DigestList.h"
#include "ui/DropRegistration.h"
#include "ui/DropTargetImpl.h"
#include "ui/PageComparison.h"
#include "ui/PageRuns.h"
#include "ui/TitleTip.h"
#include "win/CommonControls.h"
#include "win/Edit.h"
#include "win/ListView.h"
#include "win/PropertyPage.h"
#include "win/ModuleLock.h"
#include "win/UniqueHandle.h"

#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

// The title-tip handler of the configuration: the page's own, which
// subclasses the page, or the shared one, to which the page's message map
// passes what it leaves.
using PageTitleTips = std::conditional_t<features::kTitleTips == features::TitleTips::ProcessWide,
                                         titletip::CTitleTipHandler, titletip::CTitleTipHandlerImpl>;

class CHashDialog : public win::PropertyPage<CHashDialog> {
public:
    // Makes a page for the file and its sheet page; from then on the property
    // sheet owns the object. Null (and nothing left behind) on failure.
    static HPROPSHEETPAGE CreatePage(const std::wstring& path);

    explicit CHashDialog(const std::wstring& path, ResourceLease resources = LeaseResourceInstance());
    virtual ~CHashDialog();

    static const win::MessageMap<CHashDialog>& Messages();

    void UpdateControls(bool ready);
    void StopHashing();
    void RunHashing();
    // Hashes a second file with the enabled algorithms; false (after telling
    // the user) when it cannot be opened.
    bool HashCompareFile(const std::wstring& path);

    // "class": shlwapi.h declares a function of the same name.
    const class HashData& FileJob() const { return runs.FileJob(); }
    const class HashData& CompareJob() const { return runs.CompareJob(); }
    HWND HashList() const { return hashList; }
    bool CompareLocked() const { return compareLocked; }
    // The outcome whose icon the result control shows now; nothing while it
    // shows none of them (before the first comparison).
    std::optional<ComparisonOutcome> ShownOutcome() const { return comparison.ShownOutcome(); }

    // Called by the page callback when the sheet releases the page.
    void OnPageRelease();

    // Both jobs read through these calls (tests put a failing read there).
    void SetSystemCallsForTesting(const JobSystemCalls& calls) { runs.SetSystemCallsForTesting(calls); }

private:
    LRESULT OnInitDialog(win::Message& m);
    LRESULT OnDestroy(win::Message& m);
    LRESULT OnStopButton(win::Message& m);
    LRESULT OnHashDataNotify(win::Message& m);
    LRESULT OnGetDispInfo(win::Message& m);
    LRESULT OnGetInfoTip(win::Message& m);
    LRESULT OnQueryCompareLocked(win::Message& m);
    LRESULT OnCompareFileDropped(win::Message& m);
    LRESULT OnCompareFileButton(win::Message& m);
    LRESULT OnCompareEditChange(win::Message& m);
    LRESULT OnOptionsLink(win::Message& m);
    LRESULT OnListRightClick(win::Message& m);
    LRESULT OnListKeyDown(win::Message& m);
    void ShowSettings();
    LRESULT OnDrawClipboard(win::Message& m);
    LRESULT OnChangeClipboardChain(win::Message& m);
    LRESULT OnTitleTipMessage(win::Message& m);
    void ShowFileDigests();
    void ShowStoppedRun();
    void OnComparisonEnded(RunEvent event);

    void OpenAndHash();
    void ShowUnusable(DWORD readError);
    void ShowOpenFailure();
    HWND Control(UINT id) const { return ::GetDlgItem(Window(), static_cast<int>(id)); }

    // The page's dialog procedure, and the title tips' and drop target's
    // code, stay loaded while the sheet holds the page, whatever else holds
    // the module.
    win::ModuleLockHold moduleLock;
    ResourceLease resources;  // the module this page's template and texts come from
    PageRuns runs;
    std::wstring path;
    win::ProgressBar progressBar;
    win::ListView hashList;
    DigestListCells listCells;
    win::Edit compareEdit;
    win::IconStatic resultIcon;
    HWND algorithmLabel = nullptr;
    win::Link optionsLink;
    std::unique_ptr<PageTitleTips> titleTips;
    win::ComPtr<win::ComObject<CDropTargetImpl>> dropTarget;
    DropRegistration drops;  // the page's window, revoked when it is destroyed
    PageComparison comparison{runs};
    bool compareLocked = true;  // nothing may be compared before the file is hashed
};
