// What the reduced page does differently, on the reduced page itself: the
// compare text taken as typed, no clipboard watching and no drop target,
// the two-command menu, the compare edit locked while hashing, its layout
// and settings dialog. The file is PatternBytes(kFileSize) with CRC32, HAVAL
// and MD5 (rows 0, 1 and 2); the digests are PatternDigests.
#include "HashDialogFixture.h"
#include "support/Clipboard.h"
#include "support/ScratchRegistry.h"
#include "support/Text.h"
#include "ui/SettingsDialog.h"

#include <algorithm>

namespace {

constexpr std::size_t kFileSize = 102401;

class ReducedPageTest : public HashDialogTest {
protected:
    ReducedPageTest() { settings.enabled = {L"CRC32", L"HAVAL", L"MD5"}; }

    void ShowHashed()
    {
        page = Show(folder.Write(L"reduced.bin", PatternBytes(kFileSize)));
        ASSERT_TRUE(WaitForCompletions(1));
    }

    std::wstring Digest(const std::wstring& algorithm) { return PatternDigests(kFileSize, {algorithm})[algorithm]; }

    CHashDialog* page = nullptr;
};

}  // namespace

TEST_F(ReducedPageTest, TheCompareTextIsOnlyTrimmedAndComparedAsTyped)
{
    ShowHashed();
    const std::wstring haval = Digest(L"HAVAL");
    std::wstring grouped = haval;
    grouped.insert(8, L" ");
    grouped.insert(4, L"-");
    struct Case {
        std::wstring typed;
        std::wstring edit;  // after the tidy
        ComparisonOutcome outcome;
    } cases[] = {
        {L"", L"", ComparisonOutcome::NothingToCompare},
        {L" \t" + haval + L" \r\n", haval, ComparisonOutcome::Match},
        {L"0x" + haval, L"0x" + haval, ComparisonOutcome::Mismatch},
        {grouped, grouped, ComparisonOutcome::Mismatch},
        {L"0x", L"0x", ComparisonOutcome::Mismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.typed));
        ::SetWindowTextW(Control(IDC_COMPARE_EDIT), c.typed.c_str());
        EXPECT_EQ(WindowText(Control(IDC_COMPARE_EDIT)), c.edit);
        EXPECT_EQ(page->ShownOutcome(), std::optional<ComparisonOutcome>(c.outcome));
        EXPECT_EQ(WindowText(Control(IDC_ALGORITHM_LABEL)), c.outcome == ComparisonOutcome::Match ? L"HAVAL" : L"");
    }
}

TEST_F(ReducedPageTest, NeitherTheClipboardNorADropReachesTheCompareEdit)
{
    ASSERT_TRUE(PutOnClipboard(CF_UNICODETEXT, MakeTextBlock(Digest(L"MD5") + L'\0')));
    ShowHashed();
    EXPECT_EQ(WindowText(Control(IDC_COMPARE_EDIT)), L"");
    ASSERT_TRUE(PutOnClipboard(CF_UNICODETEXT, MakeTextBlock(Digest(L"CRC32") + L'\0')));
    PumpPending();
    EXPECT_EQ(WindowText(Control(IDC_COMPARE_EDIT)), L"");

    const std::wstring other = folder.Write(L"other.bin", PatternBytes(kFileSize));
    EXPECT_EQ(DropOnPage({other}), static_cast<DWORD>(DROPEFFECT_NONE));
    PumpPending();
    EXPECT_EQ(reports->Ends(HASHJOB_COMPARE), 0);
    EXPECT_EQ(WindowText(Control(IDC_COMPARE_EDIT)), L"");
}

TEST_F(ReducedPageTest, TheMenuHasCopyAndSettingsOnly)
{
    ShowHashed();
    using Entry = PopupMenuAnswer::Entry;
    const Entry copy = {1, L"复制"}, separator = {0, L""}, options = {2, L"设置..."};
    HWND list = Control(IDC_HASH_LIST);
    NMHDR click = {list, IDC_HASH_LIST, static_cast<UINT>(NM_RCLICK)};

    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    PopupMenuAnswer none(-1);
    ::SendMessageW(window, WM_NOTIFY, IDC_HASH_LIST, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(none.Entries(), (std::vector<Entry>{options}));

    ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
    {
        PopupMenuAnswer selected(0, L"reduced-list-menu");
        ::SendMessageW(window, WM_NOTIFY, IDC_HASH_LIST, reinterpret_cast<LPARAM>(&click));
        EXPECT_EQ(selected.Entries(), (std::vector<Entry>{copy, separator, options}));
    }
    EXPECT_EQ(ReadClipboardText(), Digest(L"HAVAL"));
}

TEST_F(ReducedPageTest, WhileHashingTheCompareControlsAreLockedAndTheProgressShows)
{
    ASSERT_NE(ShowWithFirstReadHeld(folder.Write(L"held.bin", PatternBytes(kFileSize))), nullptr);
    for (UINT id : {IDC_HASH_LIST, IDC_COMPARE_EDIT, IDC_COMPARE_FILE, IDC_RESULT_ICON})
        EXPECT_FALSE(Enabled(id)) << id;
    for (UINT id : {IDC_STOP, IDC_PROGRESS, IDC_PROGRESS_FRAME})
        EXPECT_TRUE(Visible(id)) << id;
    EXPECT_TRUE(Enabled(IDC_STOP));

    seam.Open();
    ASSERT_TRUE(WaitForCompletions(1));
    for (UINT id : {IDC_HASH_LIST, IDC_COMPARE_EDIT, IDC_COMPARE_FILE, IDC_RESULT_ICON})
        EXPECT_TRUE(Enabled(id)) << id;
    for (UINT id : {IDC_STOP, IDC_PROGRESS, IDC_PROGRESS_FRAME})
        EXPECT_FALSE(Visible(id)) << id;
    EXPECT_FALSE(Enabled(IDC_STOP));
}

TEST_F(ReducedPageTest, AStoppedRunKeepsItsButtonToResumeIt)
{
    ASSERT_NE(ShowWithFirstReadHeld(folder.Write(L"stopped.bin", PatternBytes(kFileSize))), nullptr);
    Click(IDC_STOP);
    seam.Open();
    ASSERT_TRUE(WaitForCompletions(1));
    EXPECT_TRUE(Visible(IDC_STOP));
    EXPECT_TRUE(Enabled(IDC_STOP));
    EXPECT_EQ(WindowText(Control(IDC_STOP)), L"Hash 文件");

    Click(IDC_STOP);
    ASSERT_TRUE(WaitForCompletions(2));
    EXPECT_EQ(Rows(), 3);
    EXPECT_EQ(ListRows(Control(IDC_HASH_LIST)), PatternDigests(kFileSize, {L"CRC32", L"HAVAL", L"MD5"}));
    EXPECT_FALSE(Visible(IDC_STOP));
    EXPECT_EQ(WindowText(Control(IDC_STOP)), L"取消");
}

TEST_F(ReducedPageTest, ThePageHintsAtTheMenuAndTheSettingsDialogIsItsOwn)
{
    ShowHashed();
    EXPECT_EQ(Control(237), nullptr);  // no options link
    const std::vector<std::wstring> statics = StaticTexts(window);
    EXPECT_NE(std::find(statics.begin(), statics.end(), L"点击右键设置选项"), statics.end());
    SaveScreenshot(CaptureShown(window), L"reduced-page");

    static ScratchRegistry registry;  // the settings' write at exit lands there too
    std::wstring caption;
    int rows = 0;
    ModalDialogAnswers answers({sheet}, {[&](HWND dialog) {
                                   caption = WindowText(dialog);
                                   rows = ListView_GetItemCount(::GetDlgItem(dialog, IDC_ALGORITHM_LIST));
                                   SaveScreenshot(CaptureShown(dialog), L"reduced-settings-dialog");
                                   ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                               }});
    EXPECT_EQ(ShowSettingsDialog(window), SettingsDialogResult::Cancelled);
    EXPECT_EQ(caption, L"Tallyra 设置");
    EXPECT_EQ(rows, 10);
}
