// Title tips on the page's own template under Wine: real edit, real tool tip,
// the mouse moved as a user moves it, and the tool tip's notifications sent
// directly where a case needs an exact set-up.
#include "TitleTipHost.h"

#include <gtest/gtest.h>
#include <atomic>
#include <thread>

using titletip::XTitleTipEditHook;
using titletip::XTitleTipListBoxHook;
using titletip::XToolTipCtrlHook;

namespace {

POINT CenterOf(HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Rests the mouse on the edit until the tool tip shows (or is known not to).
bool HoverUntilShown(TitleTipHost& host)
{
    MoveMouseTo({0, 0});
    PumpPending();
    MoveMouseTo(CenterOf(host.edit));
    POINT nudge = CenterOf(host.edit);
    nudge.x += 3;
    MoveMouseTo(nudge);
    return PumpUntil([&] { return host.TipShown(); });
}

LOGFONTW FontOf(HWND window)
{
    LOGFONTW font = {};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font;
}

}  // namespace

TEST(TitleTip, HostToolTipAndEditAnswerTheHookQueryForTheirOwnClassOnly)
{
    TitleTipHost host;
    ASSERT_TRUE(::IsWindow(host.ToolTip()));
    EXPECT_EQ(QueryHook<titletip::CTitleTipHandlerImpl>(host.dialog.get()), host.tips.get());
    EXPECT_NE(QueryHook<XTitleTipEditHook>(host.edit), nullptr);
    EXPECT_NE(QueryHook<XToolTipCtrlHook>(host.ToolTip()), nullptr);
    EXPECT_EQ(QueryHook<XTitleTipEditHook>(host.dialog.get()), nullptr);
    EXPECT_EQ(QueryHook<XToolTipCtrlHook>(host.edit), nullptr);
    EXPECT_EQ(::SendMessageW(host.edit, titletip::kGetHookObjectMessage,
                             titletip::TypeIdentity<XTitleTipEditHook>(), 0), 0);

    // The tool tip as created: style, delays, one tool for the edit.
    const HWND tip = host.ToolTip();
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(tip, GWL_STYLE)) & 0x80000003u, 0x80000003u);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 500);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 5000);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETDELAYTIME, TTDT_RESHOW, 0), 500);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_TRUE(host.tips->AddEdit(host.edit));  // already served
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_FALSE(host.tips->AddEdit(nullptr));
}

// The registered messages carry pointers, which nothing marshals between
// processes: sent from another thread, they are not answered.
TEST(TitleTip, MessagesCarryingPointersAreAnsweredOnlyFromTheWindowsOwnThread)
{
    TitleTipHost host;
    HWND listBox = ::CreateWindowExW(0, L"LISTBOX", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 50, 40, host.dialog.get(),
                                     nullptr, nullptr, nullptr);
    titletip::ListBoxTitleTipRecord record = {listBox, titletip::kSystemColour, titletip::kSystemColour,
                                              titletip::kSystemColour, titletip::kSystemColour};
    void* answered = nullptr;
    LRESULT queried = -1;
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        queried = ::SendMessageW(host.edit, titletip::kGetHookObjectMessage,
                                 titletip::TypeIdentity<XTitleTipEditHook>(), reinterpret_cast<LPARAM>(&answered));
        ::SendMessageW(host.dialog.get(), titletip::kListBoxTitleTipMessage, 1, reinterpret_cast<LPARAM>(&record));
        sent = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return sent.load(); }));
    sender.join();
    EXPECT_EQ(queried, 0);
    EXPECT_EQ(answered, nullptr);
    EXPECT_EQ(QueryHook<XTitleTipListBoxHook>(listBox), nullptr);

    ::SendMessageW(host.dialog.get(), titletip::kListBoxTitleTipMessage, 1, reinterpret_cast<LPARAM>(&record));
    EXPECT_NE(QueryHook<XTitleTipListBoxHook>(listBox), nullptr);
}

TEST(TitleTip, TextThatFitsGivesNoTipAndOneCharacterMoreGivesTheWholeText)
{
    TitleTipHost host;
    auto* hook = QueryHook<XTitleTipEditHook>(host.edit);
    ASSERT_NE(hook, nullptr);
    const std::wstring digest = HexText(128);
    const size_t fits = CharactersThatFit(host.edit, digest);
    ASSERT_GT(fits, 20u);
    ASSERT_LT(fits, 128u);

    ::SetWindowTextW(host.edit, L"");
    EXPECT_EQ(AskForText(host.ToolTip(), host.edit, hook), L"");

    ::SetWindowTextW(host.edit, digest.substr(0, fits).c_str());
    EXPECT_EQ(AskForText(host.ToolTip(), host.edit, hook), L"");

    const std::wstring oneMore = digest.substr(0, fits + 1);
    ::SetWindowTextW(host.edit, oneMore.c_str());
    EXPECT_EQ(AskForText(host.ToolTip(), host.edit, hook), oneMore);

    // Another control's request, or one without the hook, is not ours.
    EXPECT_EQ(AskForText(host.ToolTip(), host.edit, nullptr), L"");
}

TEST(TitleTip, Resting_the_mouse_shows_the_whole_text_over_the_edit_in_its_font_and_colours)
{
    TitleTipHost host;
    const std::wstring digest = HexText(128);
    const std::wstring text = digest.substr(0, CharactersThatFit(host.edit, digest) + 1);
    ::SetWindowTextW(host.edit, text.c_str());

    ASSERT_TRUE(HoverUntilShown(host)) << "no tip after resting the mouse on the edit";
    const HWND tip = host.ToolTip();
    EXPECT_EQ(WindowText(tip), text);
    const POINT tipText = TipTextOnScreen(tip), editText = FirstCharacterOnScreen(host.edit);
    EXPECT_EQ(tipText.x, editText.x);
    EXPECT_EQ(tipText.y, editText.y);
    EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(tip, TTM_GETTIPTEXTCOLOR, 0, 0)), ::GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(tip, TTM_GETTIPBKCOLOR, 0, 0)), ::GetSysColor(COLOR_WINDOW));
    const LOGFONTW tipFont = FontOf(tip), editFont = FontOf(host.edit);
    EXPECT_STREQ(tipFont.lfFaceName, editFont.lfFaceName);
    EXPECT_EQ(tipFont.lfHeight, editFont.lfHeight);

    // What the tip paints: the window colour, and text in the text colour.
    const ScreenCapture painted = CaptureClient(tip);
    SaveScreenshot(painted, L"title-tip-painted");
    int window = 0, ink = 0;
    for (std::uint32_t pixel : painted.pixels) {
        const COLORREF colour = RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
        window += colour == ::GetSysColor(COLOR_WINDOW);
        ink += colour == ::GetSysColor(COLOR_WINDOWTEXT);
    }
    EXPECT_GT(window, static_cast<int>(painted.pixels.size()) / 2);
    EXPECT_GT(ink, 0);
}

TEST(TitleTip, ScrolledEditPutsTheTipLeftOfTheEditWithTheCharactersInPlace)
{
    TitleTipHost host;
    auto* hook = QueryHook<XTitleTipEditHook>(host.edit);
    const std::wstring text = HexText(90);
    ::SetWindowTextW(host.edit, text.c_str());
    ::SendMessageW(host.edit, EM_SETSEL, text.size(), text.size());
    ::SendMessageW(host.edit, EM_SCROLLCARET, 0, 0);
    RECT editRect = {};
    ::GetWindowRect(host.edit, &editRect);
    ASSERT_LT(FirstCharacterOnScreen(host.edit).x, editRect.left) << "the edit did not scroll";

    EXPECT_EQ(AskForText(host.ToolTip(), host.edit, hook), text);
    EXPECT_EQ(AnnounceShow(host.ToolTip(), host.edit), TRUE);
    RECT tipRect = {};
    ::GetWindowRect(host.ToolTip(), &tipRect);
    EXPECT_LT(tipRect.left, editRect.left);
    EXPECT_EQ(TipTextOnScreen(host.ToolTip()).x, FirstCharacterOnScreen(host.edit).x);
    EXPECT_EQ(TipTextOnScreen(host.ToolTip()).y, FirstCharacterOnScreen(host.edit).y);

    // As a user sees it.
    ::SendMessageW(host.ToolTip(), TTM_POP, 0, 0);
    ASSERT_TRUE(HoverUntilShown(host));
    EXPECT_EQ(TipTextOnScreen(host.ToolTip()).x, FirstCharacterOnScreen(host.edit).x);
}

TEST(TitleTip, TextBufferGrowsToExactlyTheLongestTextAndNeverShrinks)
{
    TitleTipHost host;
    auto* hook = QueryHook<XTitleTipEditHook>(host.edit);
    EXPECT_EQ(host.tips->TextBufferLength(), 129u);
    ::SetWindowTextW(host.edit, HexText(128).c_str());
    EXPECT_EQ(AskForText(host.ToolTip(), host.edit, hook), HexText(128));
    EXPECT_EQ(host.tips->TextBufferLength(), 129u);

    ::SetWindowTextW(host.edit, HexText(200).c_str());
    EXPECT_EQ(AskForText(host.ToolTip(), host.edit, hook), HexText(200));
    EXPECT_EQ(host.tips->TextBufferLength(), 201u);

    ::SetWindowTextW(host.edit, HexText(150).c_str());
    EXPECT_EQ(AskForText(host.ToolTip(), host.edit, hook), HexText(150));
    EXPECT_EQ(host.tips->TextBufferLength(), 201u);
}

TEST(TitleTip, KeyPressAndButtonUpHideTheTip)
{
    TitleTipHost host;
    ::SetWindowTextW(host.edit, HexText(100).c_str());

    ASSERT_TRUE(HoverUntilShown(host));
    ::SendMessageW(host.edit, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_FALSE(host.TipShown());

    ASSERT_TRUE(HoverUntilShown(host));
    ::SendMessageW(host.edit, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(host.TipShown());

    // (Not the right button: the edit's context menu would wait for a user.)
    ASSERT_TRUE(HoverUntilShown(host));
    ::SendMessageW(host.edit, WM_MBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(host.TipShown());
}

TEST(TitleTip, ClickOnTheTipHidesItAndReachesTheEditAtTheSamePoint)
{
    TitleTipHost host;
    ::SetWindowTextW(host.edit, HexText(100).c_str());
    MessageSpy spy(host.edit);

    // Driven by the message the tip receives: under Wine 8 a synthesized
    // click over the transparent tip is hit-tested but delivered to no window.
    ASSERT_TRUE(HoverUntilShown(host));
    const HWND tip = host.ToolTip();
    POINT onTip = {30, 5};
    POINT expected = onTip;
    ::MapWindowPoints(tip, host.edit, &expected, 1);
    ::SendMessageW(tip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(onTip.x, onTip.y));
    EXPECT_FALSE(host.TipShown());
    EXPECT_EQ(spy.Last(WM_LBUTTONDOWN), MAKELPARAM(expected.x, expected.y));
    // Button ups are not forwarded.
    spy.seen.clear();
    ::SendMessageW(tip, WM_LBUTTONUP, 0, MAKELPARAM(onTip.x, onTip.y));
    EXPECT_FALSE(spy.Saw(WM_LBUTTONUP));
}

TEST(TitleTip, ListBoxAttachedThroughTheRegisteredMessageShowsItsLongItem)
{
    TitleTipHost host;
    ::ShowWindow(::GetDlgItem(host.dialog.get(), IDC_HASH_LIST), SW_HIDE);  // room for the list box
    HWND list = ::CreateWindowExW(0, L"LISTBOX", nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_NOTIFY, 10, 10,
                                  120, 80, host.dialog.get(), nullptr, nullptr, nullptr);
    ::SendMessageW(list, WM_SETFONT, ::SendMessageW(host.edit, WM_GETFONT, 0, 0), TRUE);
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"short"));
    const std::wstring longItem = L"an item much longer than the list box is wide";
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(longItem.c_str()));
    const std::size_t recordsBefore = win::LiveSubclassRecords();

    titletip::ListBoxTitleTipRecord record = {list, RGB(0, 0, 128), RGB(255, 255, 200), RGB(255, 255, 255),
                                              RGB(0, 0, 128)};
    EXPECT_EQ(::SendMessageW(host.dialog.get(), titletip::kListBoxTitleTipMessage, 1,
                             reinterpret_cast<LPARAM>(&record)), 0);
    ASSERT_NE(QueryHook<XTitleTipListBoxHook>(list), nullptr);
    EXPECT_EQ(::SendMessageW(host.ToolTip(), TTM_GETTOOLCOUNT, 0, 0), 2);

    RECT item = {};
    ::SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    POINT over = {item.left + 30, (item.top + item.bottom) / 2};
    ::ClientToScreen(list, &over);
    MoveMouseTo(over);
    over.x += 2;
    MoveMouseTo(over);
    ASSERT_TRUE(PumpUntil([&] { return host.TipShown(); }));
    EXPECT_EQ(WindowText(host.ToolTip()), longItem);
    EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(host.ToolTip(), TTM_GETTIPTEXTCOLOR, 0, 0)), RGB(0, 0, 128));
    POINT itemText = {item.left + 2, item.top};
    ::ClientToScreen(list, &itemText);
    EXPECT_EQ(TipTextOnScreen(host.ToolTip()).x, itemText.x);

    // Detach: the tool goes, the edit's tool stays. comctl32's own subclass
    // (for the tool's mouse relay) still sits above the hook, so the hook
    // stays in the chain and goes with the list box.
    EXPECT_EQ(::SendMessageW(host.dialog.get(), titletip::kListBoxTitleTipMessage, 0,
                             reinterpret_cast<LPARAM>(&record)), 0);
    EXPECT_EQ(::SendMessageW(host.ToolTip(), TTM_GETTOOLCOUNT, 0, 0), 1);
    ::DestroyWindow(list);
    EXPECT_EQ(win::LiveSubclassRecords(), recordsBefore);
}

TEST(TitleTip, MultiLineEditGetsTheLineUnderTheMouse)
{
    TitleTipHost host;
    ::ShowWindow(::GetDlgItem(host.dialog.get(), IDC_HASH_LIST), SW_HIDE);  // room for the edit
    HWND edit = ::CreateWindowExW(0, L"EDIT", nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_AUTOHSCROLL, 10, 10, 150, 60,
                                  host.dialog.get(), nullptr, nullptr, nullptr);
    ::SendMessageW(edit, WM_SETFONT, ::SendMessageW(host.edit, WM_GETFONT, 0, 0), TRUE);
    const std::wstring second = L"the second line is far too long for this edit";
    ::SetWindowTextW(edit, (L"short\r\n" + second + L"\r\nthird").c_str());
    titletip::EditTitleTipRecord record = {edit, RGB(0, 0, 0), RGB(255, 255, 225)};
    ::SendMessageW(host.dialog.get(), titletip::kEditTitleTipMessage, 1, reinterpret_cast<LPARAM>(&record));

    const LRESULT start = ::SendMessageW(edit, EM_POSFROMCHAR, ::SendMessageW(edit, EM_LINEINDEX, 1, 0), 0);
    POINT over = {static_cast<short>(LOWORD(start)) + 20, static_cast<short>(HIWORD(start)) + 4};
    ::ClientToScreen(edit, &over);
    MoveMouseTo(over);
    over.x += 2;
    MoveMouseTo(over);
    ASSERT_TRUE(PumpUntil([&] { return host.TipShown(); }));
    EXPECT_EQ(WindowText(host.ToolTip()), second);
    EXPECT_EQ(QueryHook<XTitleTipEditHook>(edit)->tracked.line, 1);

    // Moving to another line hides it.
    POINT third = {over.x, over.y + 2 * (static_cast<short>(HIWORD(start)) + 4)};
    const LRESULT thirdStart = ::SendMessageW(edit, EM_POSFROMCHAR, ::SendMessageW(edit, EM_LINEINDEX, 2, 0), 0);
    third = {static_cast<short>(LOWORD(thirdStart)) + 5, static_cast<short>(HIWORD(thirdStart)) + 4};
    ::SendMessageW(edit, WM_MOUSEMOVE, 0, MAKELPARAM(third.x, third.y));
    EXPECT_FALSE(host.TipShown());
    EXPECT_EQ(QueryHook<XTitleTipEditHook>(edit)->tracked.line, -1);
}

TEST(TitleTip, HostsMadeAndDestroyedManyTimesLeaveNoObjectsBehind)
{
    auto cycle = [] {
        TitleTipHost host(false);
        auto* hook = QueryHook<XTitleTipEditHook>(host.edit);
        ::SetWindowTextW(host.edit, HexText(300).c_str());
        AskForText(host.ToolTip(), host.edit, hook);
        AnnounceShow(host.ToolTip(), host.edit);
        PumpPending();
    };
    cycle();  // first-use caches of user32, gdi32 and comctl32
    const std::size_t gdi = CountGdiObjects(), windows = CountThreadWindows(),
                      records = win::LiveSubclassRecords();
    for (int i = 0; i < 100; ++i)
        cycle();
    PumpPending();
    EXPECT_LE(CountGdiObjects(), gdi + 2);  // a leak per cycle would show 100
    EXPECT_EQ(CountThreadWindows(), windows);
    EXPECT_EQ(win::LiveSubclassRecords(), records);
}

TEST(TitleTip, NoTextWhileAnotherWindowHoldsTheMouseCaptureAndNoTipOffTheClientArea)
{
    TitleTipHost host;
    auto* hook = QueryHook<XTitleTipEditHook>(host.edit);
    ::SetWindowTextW(host.edit, HexText(100).c_str());
    ::SetCapture(host.dialog.get());
    EXPECT_EQ(AskForText(host.ToolTip(), host.edit, hook), L"");
    ::ReleaseCapture();
    EXPECT_EQ(AskForText(host.ToolTip(), host.edit, hook), HexText(100));

    // The edit's border is not its client area: the tip goes.
    ASSERT_TRUE(HoverUntilShown(host));
    RECT edit = {};
    ::GetWindowRect(host.edit, &edit);
    ::SendMessageW(host.edit, WM_NCHITTEST, 0, MAKELPARAM(edit.left, edit.top));
    EXPECT_FALSE(host.TipShown());
}

TEST(TitleTip, DestroyedEditTakesItsHookAndToolAlongAndANewEditCanBeServed)
{
    TitleTipHost host;
    const std::size_t records = win::LiveSubclassRecords();
    const HWND tip = host.ToolTip();
    ::DestroyWindow(host.edit);
    EXPECT_EQ(win::LiveSubclassRecords(), records - 1);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 0);

    HWND edit = ::CreateWindowExW(0, L"EDIT", nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 60, 240,
                                  120, 22, host.dialog.get(), nullptr, nullptr, nullptr);
    EXPECT_TRUE(host.tips->AddEdit(edit));
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    ::SetWindowTextW(edit, HexText(60).c_str());
    EXPECT_EQ(AskForText(tip, edit, QueryHook<XTitleTipEditHook>(edit)), HexText(60));
}

TEST(TitleTip, HandlerGoneUnderAnotherSubclassLeavesTheHostWorking)
{
    TitleTipHost host;
    ::SetWindowTextW(host.dialog.get(), L"host");
    {
        MessageSpy above(host.dialog.get());  // sits above the handler's subclass
        host.tips.reset();                    // the page object goes first
        EXPECT_EQ(WindowText(host.dialog.get()), L"host");
        EXPECT_EQ(QueryHook<titletip::CTitleTipHandlerImpl>(host.dialog.get()), nullptr);
        NMHDR show = {nullptr, reinterpret_cast<UINT_PTR>(host.edit), static_cast<UINT>(TTN_SHOW)};
        EXPECT_EQ(::SendMessageW(host.dialog.get(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&show)), 0);
    }
    ::SetWindowTextW(host.dialog.get(), L"still the host");
    EXPECT_EQ(WindowText(host.dialog.get()), L"still the host");
}

// The shared variant: one tool tip for the hosts of a thread (another
// thread has its own), kept when a host goes and made anew when it is gone;
// the host routes its messages; its own message names; no hook query.
TEST(TitleTip, SharedVariantKeepsOneToolTipPerThreadAndMakesANewOneWhenItIsGone)
{
    const std::wstring digest = HexText(128);
    auto servesTheLongText = [&](SharedTitleTipHost& host) {
        ::SetWindowTextW(host.edit, digest.c_str());
        void* hook = ToolData(host.ToolTip(), host.edit);
        return hook != nullptr && AskForText(host.ToolTip(), host.edit, hook) == digest;
    };
    auto first = std::make_unique<SharedTitleTipHost>(false);
    SharedTitleTipHost second(false);
    const HWND shared = first->ToolTip();
    ASSERT_TRUE(::IsWindow(shared));
    EXPECT_EQ(second.ToolTip(), shared);
    EXPECT_EQ(::GetParent(shared), nullptr);
    EXPECT_EQ(::SendMessageW(shared, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 500);
    EXPECT_EQ(::SendMessageW(shared, TTM_GETTOOLCOUNT, 0, 0), 2);
    EXPECT_EQ(::SendMessageW(second.edit, titletip::kGetHookObjectMessage,
                             titletip::TypeIdentity<titletip::CTitleTipHandler::XTitleTipEditHook>(), 0), 0);
    EXPECT_TRUE(servesTheLongText(second));

    first.reset();
    ASSERT_TRUE(::IsWindow(shared));
    EXPECT_EQ(::SendMessageW(shared, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_TRUE(servesTheLongText(second));

    HWND otherThreads = nullptr;
    std::thread([&] { otherThreads = SharedTitleTipHost(false).ToolTip(); }).join();
    EXPECT_NE(otherThreads, shared);

    ::DestroyWindow(shared);
    SharedTitleTipHost third(false);
    EXPECT_TRUE(::IsWindow(third.ToolTip()));
    EXPECT_NE(third.ToolTip(), shared);
    EXPECT_TRUE(servesTheLongText(third));

    // A list box attached through the variant's own message name.
    HWND listBox = ::CreateWindowExW(0, L"LISTBOX", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 50, 40,
                                     third.dialog.get(), nullptr, nullptr, nullptr);
    titletip::ListBoxTitleTipRecord record = {listBox, titletip::kSystemColour, titletip::kSystemColour,
                                              titletip::kSystemColour, titletip::kSystemColour};
    ::SendMessageW(third.dialog.get(), titletip::kListBoxTitleTipMessage, 1, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(::SendMessageW(third.ToolTip(), TTM_GETTOOLCOUNT, 0, 0), 1);
    ::SendMessageW(third.dialog.get(), titletip::kSharedListBoxTitleTipMessage, 1, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(::SendMessageW(third.ToolTip(), TTM_GETTOOLCOUNT, 0, 0), 2);
}
