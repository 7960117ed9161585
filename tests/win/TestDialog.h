#pragma once
// Dialog classes for the support library's tests: every row kind of a
// message map, a handler that throws and one that declines, as a modal
// dialog and as a property page.
#include "win/ModalDialog.h"
#include "win/PropertyPage.h"
#include "win/ThisModule.h"

#include <stdexcept>
#include <vector>

constexpr UINT kTestDialog = 1001;
constexpr UINT kButton = 100;
constexpr UINT kEdit = 101;
constexpr UINT WM_ANSWER = WM_APP + 1;   // answers 0x1234
constexpr UINT WM_THROW = WM_APP + 2;    // the handler throws
constexpr UINT WM_DECLINE = WM_APP + 3;  // the first row declines, the second answers 77
constexpr UINT WM_END_WITH = WM_APP + 4; // EndDialog(wParam)

struct TestHandlers {
    std::vector<UINT> messages;  // what the rows saw, in order
    int buttonClicks = 0;
    int notifications = 0;
    int declined = 0;

    LRESULT OnInitDialog(win::Message&)
    {
        messages.push_back(WM_INITDIALOG);
        return TRUE;
    }
    LRESULT OnSetFont(win::Message& m)
    {
        messages.push_back(WM_SETFONT);
        m.PassOn();
        return 0;
    }
    LRESULT OnButton(win::Message&)
    {
        ++buttonClicks;
        return 0;
    }
    LRESULT OnEditClick(win::Message& m)
    {
        ++notifications;
        return static_cast<LRESULT>(m.Notification().idFrom) + 1000;
    }
    LRESULT OnAnswer(win::Message&) { return 0x1234; }
    LRESULT OnThrow(win::Message&) { throw std::runtime_error("from a handler"); }
    LRESULT OnDecline(win::Message& m)
    {
        ++declined;
        m.PassOn();
        return 99;
    }
    LRESULT OnDeclineFallback(win::Message&) { return 77; }
};

template <class Dialog>
const win::MessageMap<Dialog>& TestRows()
{
    static const win::MessageMap<Dialog> map{
        win::OnMessage<Dialog>(WM_SETFONT, &TestHandlers::OnSetFont),
        win::OnMessage<Dialog>(WM_INITDIALOG, &TestHandlers::OnInitDialog),
        win::OnCommand<Dialog>(kButton, BN_CLICKED, &TestHandlers::OnButton),
        win::OnNotify<Dialog>(kEdit, NM_CLICK, &TestHandlers::OnEditClick),
        win::OnMessage<Dialog>(WM_ANSWER, &TestHandlers::OnAnswer),
        win::OnMessage<Dialog>(WM_THROW, &TestHandlers::OnThrow),
        win::OnMessage<Dialog>(WM_DECLINE, &TestHandlers::OnDecline),
        win::OnMessage<Dialog>(WM_DECLINE, &TestHandlers::OnDeclineFallback),
        win::OnMessage<Dialog>(WM_END_WITH, &Dialog::OnEndWith),
    };
    return map;
}

class TestModal : public win::ModalDialog<TestModal>, public TestHandlers {
public:
    explicit TestModal(UINT templateId = kTestDialog) : ModalDialog(ThisModule(), templateId) {}
    static const win::MessageMap<TestModal>& Messages() { return TestRows<TestModal>(); }
    LRESULT OnEndWith(win::Message& m)
    {
        EndDialog(static_cast<INT_PTR>(m.wParam));
        return 0;
    }
};

// Owned by the property sheet: deletes itself when the sheet releases it.
class TestPage : public win::PropertyPage<TestPage>, public TestHandlers {
public:
    explicit TestPage(bool* released) : PropertyPage(ThisModule(), kTestDialog), released(released) {}
    static const win::MessageMap<TestPage>& Messages() { return TestRows<TestPage>(); }
    LRESULT OnEndWith(win::Message&) { return 0; }
    void OnPageRelease()
    {
        *released = true;
        delete this;
    }

private:
    bool* released;
};
