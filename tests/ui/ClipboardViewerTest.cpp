// The page's viewer in a real clipboard-viewer chain, beside viewers that do
// what any other program in the chain does: changes reach everyone, windows
// leave in any order and the chain stays whole.
#include "support/Clipboard.h"
#include "support/Gui.h"
#include "ui/ClipboardViewer.h"
#include "win/UniqueHandle.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const wchar_t kClassName[] = L"TallyraTestClipboardViewer";

// A hidden window in the chain that counts the changes it hears of. The
// page's kind hands the chain messages to CClipboardViewer; another
// program's kind keeps its place by hand.
class ChainWindow {
public:
    enum Kind { Page, OtherProgram };

    explicit ChainWindow(Kind kind) : kind(kind)
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &ChainWindow::WindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        ::RegisterClassW(&windowClass);  // fails harmlessly once registered
        window.reset(::CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       windowClass.hInstance, nullptr));
        ::SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~ChainWindow()
    {
        if (kind == OtherProgram && joined)
            Leave();
    }
    HWND Handle() const { return window.get(); }

    void Join()
    {
        if (kind == Page)
            return viewer.Join(Handle());
        next = ::SetClipboardViewer(Handle());
        joined = true;
    }
    void Leave()
    {
        if (kind == Page)
            return viewer.Leave();
        ::ChangeClipboardChain(Handle(), next);
        joined = false;
    }

    const Kind kind;
    win::UniqueWindow window;
    CClipboardViewer viewer;   // the page's kind (leaves before the window goes)
    HWND next = nullptr;       // another program's kind
    bool joined = false;
    int changes = 0;           // WM_DRAWCLIPBOARD heard
    LRESULT chainResult = -1;  // the page's answer to WM_CHANGECBCHAIN

private:
    static LRESULT CALLBACK WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<ChainWindow*>(::GetWindowLongPtrW(handle, GWLP_USERDATA));
        if (self != nullptr && message == WM_DRAWCLIPBOARD)
            ++self->changes;
        if (self == nullptr || (message != WM_DRAWCLIPBOARD && message != WM_CHANGECBCHAIN))
            return ::DefWindowProcW(handle, message, wParam, lParam);
        if (self->kind == Page && message == WM_DRAWCLIPBOARD)
            self->viewer.OnDrawClipboard(wParam, lParam);
        else if (self->kind == Page)
            return self->chainResult = self->viewer.OnChangeChain(wParam, lParam);
        else if (message == WM_CHANGECBCHAIN && reinterpret_cast<HWND>(wParam) == self->next)
            self->next = reinterpret_cast<HWND>(lParam);
        else if (self->next != nullptr)
            ::SendMessageW(self->next, message, wParam, lParam);
        return 0;
    }
};

// Changes the clipboard and waits until the windows that must hear of it
// have; the counts of all of them are then checked by the caller.
int changeNumber = 0;
void ChangeClipboard(std::initializer_list<const ChainWindow*> mustHear)
{
    std::vector<int> before;
    for (const ChainWindow* window : mustHear)
        before.push_back(window->changes);
    ASSERT_TRUE(PutOnClipboard(CF_UNICODETEXT, MakeTextBlock(L"change " + std::to_wstring(++changeNumber) + L'\0')));
    ASSERT_TRUE(PumpUntil([&] {
        std::size_t i = 0;
        for (const ChainWindow* window : mustHear) {
            if (window->changes == before[i++])
                return false;
        }
        return true;
    })) << "a viewer did not hear of the change";
    PumpPending();
}

}  // namespace

TEST(ClipboardViewer, OtherViewerBehindThePageHearsOfChangesBeforeAndAfterItLeaves)
{
    ChainWindow other(ChainWindow::OtherProgram), page(ChainWindow::Page);
    other.Join();
    page.Join();
    page.Join();  // again: still one place
    EXPECT_TRUE(page.viewer.IsJoined());
    EXPECT_EQ(page.viewer.Next(), other.Handle());

    ChangeClipboard({&page, &other});
    const int pageChanges = page.changes;
    page.Leave();
    EXPECT_FALSE(page.viewer.IsJoined());
    page.viewer.Leave();  // twice: nothing
    ChangeClipboard({&other});
    EXPECT_EQ(page.changes, pageChanges);
}

TEST(ClipboardViewer, PageBehindAnotherViewerLeavesItsPlaceToTheOneAfterIt)
{
    ChainWindow page(ChainWindow::Page), other(ChainWindow::OtherProgram);
    page.Join();
    const HWND afterPage = page.viewer.Next();
    other.Join();
    ASSERT_EQ(other.next, page.Handle());

    ChangeClipboard({&other, &page});
    const int pageChanges = page.changes;
    page.Leave();
    EXPECT_EQ(other.next, afterPage);
    ChangeClipboard({&other});
    EXPECT_EQ(page.changes, pageChanges);
}

// Chain: first -> page -> second -> third. The third leaves (the page passes
// the news on), then the second (the page mends its own link).
TEST(ClipboardViewer, ViewersAfterThePageLeaveAndTheChainStaysWhole)
{
    ChainWindow third(ChainWindow::OtherProgram), second(ChainWindow::OtherProgram), page(ChainWindow::Page),
        first(ChainWindow::OtherProgram);
    for (ChainWindow* window : {&third, &second, &page, &first})
        window->Join();
    const HWND afterThird = third.next;

    third.Leave();
    EXPECT_EQ(page.chainResult, 0);
    EXPECT_EQ(page.viewer.Next(), second.Handle());
    EXPECT_EQ(second.next, afterThird);

    page.chainResult = -1;
    second.Leave();
    EXPECT_EQ(page.chainResult, 0);
    EXPECT_EQ(page.viewer.Next(), afterThird);

    const int thirdChanges = third.changes, secondChanges = second.changes;
    ChangeClipboard({&first, &page});
    EXPECT_EQ(third.changes, thirdChanges);
    EXPECT_EQ(second.changes, secondChanges);
}

TEST(ClipboardViewer, AViewerWithNothingAfterItAnswersOneAndChangesNothing)
{
    CClipboardViewer viewer;
    ChainWindow someone(ChainWindow::OtherProgram);
    EXPECT_EQ(viewer.OnChangeChain(0, reinterpret_cast<LPARAM>(someone.Handle())), 1);
    EXPECT_EQ(viewer.Next(), nullptr);
    EXPECT_FALSE(viewer.IsJoined());
}
