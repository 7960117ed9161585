// The list's commands: Ctrl+C copies the selected digest, the copy-all text,
// what a copy leaves on the clipboard, and the menu kept on a monitor.
#include "HashDialogFixture.h"
#include "support/Clipboard.h"
#include "ui/ClipboardCopy.h"
#include "ui/ClipboardText.h"
#include "ui/ListMenu.h"

namespace {

class ListCommandsTest : public HashDialogTest {
protected:
    // The key as the list reports it, with Control held in this thread's
    // keyboard state or not.
    void Press(WORD key, bool control)
    {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = control ? 0x80 : 0;
        ::SetKeyboardState(keys);
        NMLVKEYDOWN down = {};
        down.hdr = {Control(IDC_HASH_LIST), IDC_HASH_LIST, static_cast<UINT>(LVN_KEYDOWN)};
        down.wVKey = key;
        ::SendMessageW(window, WM_NOTIFY, IDC_HASH_LIST, reinterpret_cast<LPARAM>(&down));
        keys[VK_CONTROL] = 0;
        ::SetKeyboardState(keys);
    }
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
    ASSERT_TRUE(CopyTextToClipboard(text));
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
