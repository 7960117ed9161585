// Window subclassing on real windows: chains of two removed in both orders,
// removal from inside a handler, the exception barrier, and the last message.
#include "support/Gui.h"
#include "win/Subclass.h"
#include "win/UniqueHandle.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace {

constexpr UINT WM_PING = WM_APP + 10;

// Counts what it sees; answers WM_PING with its own mark.
struct Spy {
    explicit Spy(LRESULT mark) : mark(mark) {}
    win::Subclass subclass;
    LRESULT mark;
    int pings = 0;
    bool removeOnPing = false;
    bool throwOnGetText = false;

    static LRESULT Handle(void* self, win::Message& m)
    {
        auto& spy = *static_cast<Spy*>(self);
        if (m.id == WM_GETTEXT && spy.throwOnGetText)
            throw std::runtime_error("in a subclass");
        if (m.id != WM_PING) {
            m.PassOn();
            return 0;
        }
        ++spy.pings;
        if (spy.removeOnPing)
            spy.subclass.Remove();
        return spy.mark;
    }
    bool Install(HWND window) { return subclass.Install(window, &Handle, nullptr, this); }
};

win::UniqueWindow MakeStatic(const wchar_t* text)
{
    return win::UniqueWindow(
        ::CreateWindowExW(0, L"STATIC", text, WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr));
}

WNDPROC ProcedureOf(HWND window)
{
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
}

}  // namespace

TEST(Subclass, ChainRemovedTopFirstRestoresTheOriginalProcedure)
{
    const std::size_t recordsBefore = win::LiveSubclassRecords();
    win::UniqueWindow window = MakeStatic(L"plain");
    const WNDPROC original = ProcedureOf(window.get());
    Spy lower(1), upper(2);
    ASSERT_TRUE(lower.Install(window.get()));
    ASSERT_TRUE(upper.Install(window.get()));
    EXPECT_FALSE(lower.Install(window.get()));  // one window per subclass object
    EXPECT_TRUE(upper.subclass.IsTopmost());
    EXPECT_FALSE(lower.subclass.IsTopmost());

    EXPECT_EQ(::SendMessageW(window.get(), WM_PING, 0, 0), 2);
    EXPECT_EQ(WindowText(window.get()), L"plain");  // passed down to the static control

    EXPECT_TRUE(upper.subclass.Remove());
    EXPECT_EQ(::SendMessageW(window.get(), WM_PING, 0, 0), 1);
    EXPECT_TRUE(lower.subclass.Remove());
    EXPECT_EQ(ProcedureOf(window.get()), original);
    EXPECT_EQ(::SendMessageW(window.get(), WM_PING, 0, 0), 0);
    EXPECT_EQ(win::LiveSubclassRecords(), recordsBefore);
}

TEST(Subclass, ChainRemovedBottomFirstKeepsTheWindowWorkingAndFreesAtDestroy)
{
    const std::size_t recordsBefore = win::LiveSubclassRecords();
    win::UniqueWindow window = MakeStatic(L"chain");
    {
        Spy lower(1), upper(2);
        ASSERT_TRUE(lower.Install(window.get()));
        ASSERT_TRUE(upper.Install(window.get()));

        // The lower one cannot give the procedure back under the upper one.
        EXPECT_FALSE(lower.subclass.Remove());
        EXPECT_FALSE(lower.subclass.IsInstalled());
        EXPECT_EQ(::SendMessageW(window.get(), WM_PING, 0, 0), 2);
        EXPECT_TRUE(upper.subclass.Remove());
        // Only the pass-through is left: no owner is called any more.
        EXPECT_EQ(::SendMessageW(window.get(), WM_PING, 0, 0), 0);
        EXPECT_EQ(lower.pings, 0);
        EXPECT_EQ(upper.pings, 1);
    }
    // Both owners are gone; messages still reach the static control.
    ::SetWindowTextW(window.get(), L"still works");
    EXPECT_EQ(WindowText(window.get()), L"still works");
    EXPECT_EQ(win::LiveSubclassRecords(), recordsBefore + 1);
    window.reset();
    EXPECT_EQ(win::LiveSubclassRecords(), recordsBefore);
}

TEST(Subclass, RemovedFromInsideItsOwnHandler)
{
    const std::size_t recordsBefore = win::LiveSubclassRecords();
    win::UniqueWindow window = MakeStatic(L"self");
    const WNDPROC original = ProcedureOf(window.get());
    Spy spy(5);
    spy.removeOnPing = true;
    ASSERT_TRUE(spy.Install(window.get()));
    EXPECT_EQ(::SendMessageW(window.get(), WM_PING, 0, 0), 5);
    EXPECT_EQ(ProcedureOf(window.get()), original);
    EXPECT_EQ(win::LiveSubclassRecords(), recordsBefore);
    EXPECT_EQ(::SendMessageW(window.get(), WM_PING, 0, 0), 0);
}

TEST(Subclass, ExceptionInAHandlerHandsTheMessageToThePreviousProcedure)
{
    win::UniqueWindow window = MakeStatic(L"guarded");
    Spy spy(3);
    spy.throwOnGetText = true;
    ASSERT_TRUE(spy.Install(window.get()));
    EXPECT_EQ(WindowText(window.get()), L"guarded");
    EXPECT_EQ(::SendMessageW(window.get(), WM_PING, 0, 0), 3);
}

TEST(Subclass, LastMessageGoesThroughThePreviousProcedureBeforeTheOwnerIsToldAndFreed)
{
    struct Owner {
        win::Subclass subclass;
        std::wstring textAtFinal = L"unset";
        bool* deleted;
        HWND window = nullptr;
        ~Owner() { *deleted = true; }
    };
    const std::size_t recordsBefore = win::LiveSubclassRecords();
    bool deleted = false;
    HWND window = MakeStatic(L"last").release();
    auto* owner = new Owner{{}, L"unset", &deleted, window};
    ASSERT_TRUE(owner->subclass.Install(
        window, [](void*, win::Message& m) -> LRESULT {
            m.PassOn();
            return 0;
        },
        [](void* self) {
            auto* o = static_cast<Owner*>(self);
            // The window is past WM_NCDESTROY: the subclass is gone already.
            o->textAtFinal = ::IsWindow(o->window) ? L"alive" : L"gone";
            EXPECT_FALSE(o->subclass.IsInstalled());
            delete o;
        },
        owner));
    ::DestroyWindow(window);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(win::LiveSubclassRecords(), recordsBefore);
}

TEST(Subclass, RefusesWindowsOfOtherThreadsAndNonWindows)
{
    Spy spy(1);
    EXPECT_FALSE(spy.Install(nullptr));
    EXPECT_FALSE(spy.Install(reinterpret_cast<HWND>(0x12345)));
    EXPECT_FALSE(spy.Install(::GetDesktopWindow()));
    EXPECT_FALSE(spy.subclass.IsInstalled());
}
