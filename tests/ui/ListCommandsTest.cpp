// The list's commands: the real context menu in both layouts, Ctrl+C copies
// the selected digest, the copy-all text, what a copy leaves on the
// clipboard (and how it comes back to the compare edit), and the menu kept
// on a monitor.
#include "HashDialogFixture.h"
#include "support/Clipboard.h"
#include "support/Text.h"
#include "ui/ClipboardCopy.h"
#include "ui/ClipboardText.h"
#include "ui/ListMenu.h"

namespace {

class ListCommandsTest : public HashDialogTest {
protected:
    void Press(WORD key, bool control) { PressListKey(window, IDC_HASH_LIST, key, control); }
};

}  // namespace

TEST_F(ListCommandsTest, CtrlCCopiesTheSelectedRowsDigestAndNoOtherKeyDoes)
{
    settings.enabled = {L"CRC32", L"MD5"};
    Show(folder.Write(L"copied.bin", PatternBytes(102401)));
    ASSERT_TRUE(WaitForCompletions(1));
    const std::wstring sentinel = L"left alone";
    ASSERT_TRUE(PutOnClipboard(CF_UNICODETEXT, MakeTextBlock(sentinel + L'\0')));

    Press('C', false);
    Press('V', true);
    EXPECT_EQ(ReadClipboardText(), sentinel);
    Press('C', true);  // row 0 is selected after a run
    EXPECT_EQ(ReadClipboardText(), PatternDigests(102401, {L"CRC32"}).at(L"CRC32"));
    EXPECT_EQ(::GetClipboardOwner(), window);
}

TEST_F(ListCommandsTest, TheMenuOffersItsLayoutAndItsCopiesComeBackToTheCompareEdit)
{
    using Entry = PopupMenuAnswer::Entry;
    const Entry copySelected = {1, L"复制选中值"}, separator = {0, L""}, copyAll = {3, L"复制全部"},
                options = {2, L"选项..."};
    const std::map<std::wstring, std::wstring> digests = PatternDigests(102400, {L"CRC32", L"MD5"});
    const std::wstring allText = L"CRC32: " + digests.at(L"CRC32") + L"\r\nMD5: " + digests.at(L"MD5") + L"\r\n";
    const std::wstring sentinel = L"left alone";
    struct Case {
        bool rowSelected;
        int pick;  // entry index, -1 dismisses
        std::vector<Entry> entries;
        std::wstring clipboard;
        std::wstring compareEdit;  // the clipboard's change seen by the page
    } cases[] = {
        {false, -1, {copyAll, options}, sentinel, L""},
        {true, 0, {copySelected, separator, copyAll, options}, digests.at(L"MD5"), digests.at(L"MD5")},
        {false, 0, {copyAll, options}, allText, digests.at(L"CRC32")},
    };
    settings.enabled = {L"CRC32", L"MD5"};
    const std::wstring path = folder.Write(L"menu.bin", PatternBytes(102400));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pick);
        ASSERT_TRUE(PutOnClipboard(CF_UNICODETEXT, MakeTextBlock(sentinel + L'\0')));
        Show(path);
        ASSERT_TRUE(WaitForCompletions(1));
        HWND list = Control(IDC_HASH_LIST);
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        if (c.rowSelected)
            ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
        PopupMenuAnswer answer(c.pick, c.rowSelected ? L"list-menu-row-selected" : L"list-menu");
        NMHDR click = {list, IDC_HASH_LIST, static_cast<UINT>(NM_RCLICK)};
        ::SendMessageW(window, WM_NOTIFY, IDC_HASH_LIST, reinterpret_cast<LPARAM>(&click));
        EXPECT_TRUE(answer.Answered());
        EXPECT_EQ(answer.Entries(), c.entries);
        EXPECT_EQ(ReadClipboardText(), c.clipboard);
        if (c.pick >= 0) {
            EXPECT_EQ(::GetClipboardOwner(), window);
        }
        EXPECT_TRUE(PumpUntil([&] { return WindowText(Control(IDC_COMPARE_EDIT)) == c.compareEdit; }))
            << Narrow(WindowText(Control(IDC_COMPARE_EDIT)));
        CloseSheet();
    }
}

TEST(ListCommands, CopyAllIsOneLinePerAlgorithmEachEndedWithCrLf)
{
    DescriptorList descriptors = {MakeDescriptor(L"CRC32"), MakeDescriptor(L"MD5")};
    for (const SharedDescriptor& descriptor : descriptors) {
        descriptor->Update(reinterpret_cast<const std::uint8_t*>("abc"), 3);
        descriptor->Finalize();
    }
    const std::wstring text = AllDigestsText(descriptors);
    // CRC-32 check value and RFC 1321's vector for "abc".
    EXPECT_EQ(text, L"CRC32: 352441C2\r\nMD5: 900150983CD24FB0D6963F7D28E17F72\r\n");
    win::UniqueWindow owner(::CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                              nullptr));
    ASSERT_TRUE(CopyTextToClipboard(owner.get(), text));
    EXPECT_EQ(ReadClipboardText(), text);
    EXPECT_EQ(::GetClipboardOwner(), owner.get());
    EXPECT_FALSE(CopyTextToClipboard(nullptr, L"no owner"));
    EXPECT_EQ(ReadClipboardText(), text);
    EXPECT_EQ(AllDigestsText({}), L"");
}

TEST(ListCommands, TheMenuIsKeptOnAMonitorWhateverTheCursorsSign)
{
    MONITORINFO primary = {};
    primary.cbSize = sizeof(primary);
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary));
    const RECT work = primary.rcWork;
    const POINT inside = {work.left + 10, work.top + 10};
    EXPECT_EQ(KeepMenuOnMonitor(inside).x, inside.x);
    const POINT left = KeepMenuOnMonitor({-30000, work.top + 10});
    EXPECT_EQ(left.x, work.left);
    EXPECT_EQ(left.y, work.top + 10);
    const POINT right = KeepMenuOnMonitor({30000, -5});
    EXPECT_GE(right.x, work.left);
    EXPECT_LT(right.x, work.right);
    EXPECT_EQ(right.y, -5);
}
