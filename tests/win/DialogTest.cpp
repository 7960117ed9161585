// Dialogs and property pages on the support library, under real user32 and
// comctl32: binding, message-map dispatch, results, the exception barrier,
// modal results and the page's life in a property sheet.
#include "TestDialog.h"
#include "support/Gui.h"
#include "win/ActivationContext.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT_PTR kNotFound = 0;

// A modeless property sheet holding one TestPage; the page window is live
// while the sheet is.
class Sheet {
public:
    explicit Sheet(TestPage* page)
    {
        HPROPSHEETPAGE pages[] = {page->Create()};
        PROPSHEETHEADERW header = {};
        header.dwSize = sizeof(header);
        header.dwFlags = PSH_MODELESS;
        header.pszCaption = L"Sheet";
        header.nPages = 1;
        header.phpage = pages;
        sheet = reinterpret_cast<HWND>(::PropertySheetW(&header));
    }
    ~Sheet()
    {
        if (::IsWindow(sheet))
            ::DestroyWindow(sheet);
    }
    HWND Window() const { return sheet; }
    HWND Page() const { return reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }

private:
    HWND sheet = nullptr;
};

NMHDR Notification(HWND from, UINT_PTR id, int code)
{
    NMHDR header = {};
    header.hwndFrom = from;
    header.idFrom = id;
    header.code = static_cast<UINT>(code);
    return header;
}

}  // namespace

TEST(PropertyPage, DescriptionCarriesTheObjectTheCallbackAndTheActivationContext)
{
    bool released = false;
    auto* page = new TestPage(&released);
    const PROPSHEETPAGEW& description = page->Description();
    EXPECT_EQ(description.dwSize, offsetof(PROPSHEETPAGEW, hActCtx) + sizeof(HANDLE));
    EXPECT_EQ(description.dwFlags, static_cast<DWORD>(PSP_USECALLBACK));
    EXPECT_EQ(description.hInstance, ThisModule());
    EXPECT_EQ(description.pszTemplate, MAKEINTRESOURCEW(kTestDialog));
    EXPECT_EQ(description.lParam, reinterpret_cast<LPARAM>(page));
    EXPECT_NE(description.pfnCallback, nullptr);

    HPROPSHEETPAGE handle = page->Create();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(description.dwFlags, static_cast<DWORD>(PSP_USECALLBACK | PSP_USEFUSIONCONTEXT));
    EXPECT_EQ(description.hActCtx, win::ModuleActivationContext());
    EXPECT_TRUE(win::ActivationContextTraits::IsValid(description.hActCtx));

    // A page that never got a window is still released, once.
    ::DestroyPropertySheetPage(handle);
    EXPECT_TRUE(released);
}

TEST(PropertyPage, WindowBindsOnItsFirstMessageAndMapRowsAnswer)
{
    bool released = false;
    auto* page = new TestPage(&released);
    Sheet sheet(page);
    ASSERT_TRUE(::IsWindow(sheet.Window()));
    const HWND window = sheet.Page();
    ASSERT_EQ(page->Window(), window);

    // DS_SETFONT's WM_SETFONT comes before WM_INITDIALOG: bound from the first.
    ASSERT_GE(page->messages.size(), 2u);
    EXPECT_EQ(page->messages[0], static_cast<UINT>(WM_SETFONT));
    EXPECT_EQ(page->messages[1], static_cast<UINT>(WM_INITDIALOG));

    // Results travel through DWLP_MSGRESULT to the sender.
    EXPECT_EQ(::SendMessageW(window, WM_ANSWER, 0, 0), 0x1234);

    // Commands: the control id and the code must both match.
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(kButton, BN_CLICKED), 0);
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(kButton, BN_DOUBLECLICKED), 0);
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(kEdit, BN_CLICKED), 0);
    EXPECT_EQ(page->buttonClicks, 1);

    // Notifications likewise.
    NMHDR click = Notification(::GetDlgItem(window, kEdit), kEdit, NM_CLICK);
    EXPECT_EQ(::SendMessageW(window, WM_NOTIFY, kEdit, reinterpret_cast<LPARAM>(&click)), 1000 + kEdit);
    NMHDR other = Notification(::GetDlgItem(window, kButton), kButton, NM_CLICK);
    EXPECT_EQ(::SendMessageW(window, WM_NOTIFY, kButton, reinterpret_cast<LPARAM>(&other)), kNotFound);
    EXPECT_EQ(page->notifications, 1);

    // A declining row lets the next row have the message.
    EXPECT_EQ(::SendMessageW(window, WM_DECLINE, 0, 0), 77);
    EXPECT_EQ(page->declined, 1);

    // An exception stops at the window procedure: default handling, and the
    // window keeps working.
    EXPECT_EQ(::SendMessageW(window, WM_THROW, 0, 0), 0);
    EXPECT_EQ(::SendMessageW(window, WM_ANSWER, 0, 0), 0x1234);
    EXPECT_FALSE(released);
}

TEST(PropertyPage, SheetReleasesThePageWhenItCloses)
{
    bool released = false;
    {
        Sheet sheet(new TestPage(&released));
        ASSERT_TRUE(::IsWindow(sheet.Page()));
        EXPECT_FALSE(released);
    }
    EXPECT_TRUE(released);
}

TEST(ModalDialog, DoModalReturnsTheEndDialogValue)
{
    TestModal dialog;
    // Queued before the modal loop starts: the loop handles it.
    struct Ender {
        static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD)
        {
            ::KillTimer(nullptr, id);
            HWND active = ::GetActiveWindow();
            HWND target = active ? active : ::FindWindowW(nullptr, L"Support library test");
            ::SendMessageW(target, WM_COMMAND, MAKEWPARAM(kButton, BN_CLICKED), 0);
            ::SendMessageW(target, WM_THROW, 0, 0);
            ::PostMessageW(target, WM_END_WITH, 42, 0);
        }
    };
    ::SetTimer(nullptr, 0, 1, &Ender::OnTimer);
    EXPECT_EQ(dialog.DoModal(nullptr), 42);
    EXPECT_EQ(dialog.buttonClicks, 1);
    EXPECT_EQ(dialog.Window(), nullptr);  // unbound after WM_NCDESTROY
}

TEST(ModalDialog, MissingTemplateGivesMinusOneAndLeavesNoBindingBehind)
{
    TestModal missing(4242);
    EXPECT_EQ(missing.DoModal(nullptr), -1);

    TestModal next;
    struct Ender {
        static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD)
        {
            ::KillTimer(nullptr, id);
            ::PostMessageW(::FindWindowW(nullptr, L"Support library test"), WM_END_WITH, 7, 0);
        }
    };
    ::SetTimer(nullptr, 0, 1, &Ender::OnTimer);
    EXPECT_EQ(next.DoModal(nullptr), 7);
    EXPECT_EQ(missing.messages.size(), 0u);
    ASSERT_FALSE(next.messages.empty());
}
