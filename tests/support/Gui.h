#pragma once
// Helpers for tests of real windows: pumping messages, driving the mouse,
// counting GDI objects and windows, capturing what a window paints.
#include "win/UniqueHandle.h"
#include "win/WindowText.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Dispatches this thread's messages until the condition holds; false when it
// still does not after a generous safety limit (a hang, not a timing check).
bool PumpUntil(const std::function<bool()>& condition, DWORD limitMs = 15000);
// Waits (within the same limit) without dispatching this thread's messages:
// for a worker's state, while what it posted stays queued.
bool WaitWithoutPumping(const std::function<bool()>& condition, DWORD limitMs = 15000);
// Dispatches what is queued now.
void PumpPending();

// A dialog template of a module made into a hidden modeless dialog whose
// procedure does nothing, inside this module's activation context (common
// controls initialised): what its controls and texts come to. Null when the
// module has no such template.
win::UniqueWindow CreateFromTemplate(HINSTANCE module, UINT templateId);

// A window's text: a caption, a control's label, an edit's contents.
using win::WindowText;
// The rows of a report list view: the first column's text to the second's.
std::map<std::wstring, std::wstring> ListRows(HWND list);

// A key as a list view reports it to its parent (LVN_KEYDOWN), with Control
// held in this thread's keyboard state or not.
void PressListKey(HWND parent, int listId, WORD key, bool control);
// A click on a list view's column heading as the list reports it (LVN_COLUMNCLICK).
void ClickListColumn(HWND parent, int listId, int column);

// Moves the mouse (as input, so windows see WM_MOUSEMOVE) to a screen point.
void MoveMouseTo(POINT screen);

// GDI objects of this process (GetGuiResources, or Wine's handle table
// where that is a stub).
std::size_t CountGdiObjects();
// Windows of this thread, top-level and children.
std::size_t CountThreadWindows();

// Pixels of a window or of the screen.
struct ScreenCapture {
    RECT area = {};
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top-down
};
// What a window paints into its client area (WM_PRINTCLIENT), in client
// coordinates: independent of what else covers it on the screen.
ScreenCapture CaptureClient(HWND window);
// What a window shows, children included, in client coordinates: read back
// from its DC once it has painted (whatever covers it shows where it does).
ScreenCapture CaptureShown(HWND window);
// Writes a 32-bit BMP into the screenshots folder beside the test program;
// returns its path.
std::wstring SaveScreenshot(const ScreenCapture& capture, const std::wstring& name);

// Answers the modal dialogs (class "#32770") that this thread shows while the
// object lives, from a timer that their modal loops dispatch: each new
// top-level dialog, other than the windows left alone, goes to the next
// answer, which must close it. A dialog with no answer left is cancelled and
// counted. One at a time.
class ModalDialogAnswers {
public:
    using Answer = std::function<void(HWND dialog)>;
    ModalDialogAnswers(std::vector<HWND> leftAlone, std::vector<Answer> answers);
    ~ModalDialogAnswers();
    ModalDialogAnswers(const ModalDialogAnswers&) = delete;
    ModalDialogAnswers& operator=(const ModalDialogAnswers&) = delete;

    int Answered() const { return answered; }
    int Unexpected() const { return unexpected; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK Visit(HWND window, LPARAM self);

    std::vector<HWND> seen;  // the windows left alone, then every dialog handled
    std::vector<Answer> answers;
    UINT_PTR timer = 0;
    int answered = 0;
    int unexpected = 0;
};

// An answer that chooses the path in the open-file dialog.
ModalDialogAnswers::Answer ChooseInOpenFileDialog(const std::wstring& path);

// A message box as the user sees it: its caption, its text, and the
// standard icon it shows (IDI_WARNING, IDI_ERROR, ...; null for none).
struct MessageBoxSeen {
    std::wstring caption;
    std::wstring text;
    LPCWSTR icon = nullptr;
    bool operator==(const MessageBoxSeen& other) const
    {
        return caption == other.caption && text == other.text && icon == other.icon;
    }
};
// An answer that records the message box into `seen` and closes it.
ModalDialogAnswers::Answer RecordMessageBox(MessageBoxSeen& seen);

// Answers the popup menu that this thread tracks while the object lives,
// from a timer that the menu's loop dispatches: records its entries, then
// picks the entry at `pick` with the keyboard, or dismisses the menu when
// `pick` is negative; with a screenshot name, saves what the menu shows. One
// menu.
class PopupMenuAnswer {
public:
    struct Entry {
        UINT id;            // 0 for a separator
        std::wstring text;  // empty for a separator
        bool operator==(const Entry& other) const { return id == other.id && text == other.text; }
    };
    explicit PopupMenuAnswer(int pick, std::wstring screenshot = {});
    ~PopupMenuAnswer();
    PopupMenuAnswer(const PopupMenuAnswer&) = delete;
    PopupMenuAnswer& operator=(const PopupMenuAnswer&) = delete;

    bool Answered() const { return answered; }
    const std::vector<Entry>& Entries() const { return entries; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK Visit(HWND window, LPARAM self);

    int pick;
    std::wstring screenshot;
    bool answered = false;
    std::vector<Entry> entries;
    UINT_PTR timer = 0;
};

// The texts of a window's static controls (a message box's text among them).
std::vector<std::wstring> StaticTexts(HWND window);
