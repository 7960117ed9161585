#include "Gui.h"

#include "ChildProcess.h"
#include "win/ActivationContext.h"
#include "win/GdiObjects.h"

#include <algorithm>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>


bool PumpUntil(const std::function<bool()>& condition, DWORD limitMs)
{
    const ULONGLONG end = ::GetTickCount64() + limitMs;
    while (!condition()) {
        if (::GetTickCount64() > end)
            return false;
        PumpPending();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

bool WaitWithoutPumping(const std::function<bool()>& condition, DWORD limitMs)
{
    const ULONGLONG end = ::GetTickCount64() + limitMs;
    while (!condition()) {
        if (::GetTickCount64() > end)
            return false;
        ::SwitchToThread();
    }
    return true;
}

void PumpPending()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

std::map<std::wstring, std::wstring> ListRows(HWND list)
{
    std::map<std::wstring, std::wstring> rows;
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t texts[2][256] = {};
        for (int column = 0; column < 2; ++column) {
            LVITEMW item = {};
            item.iSubItem = column;
            item.pszText = texts[column];
            item.cchTextMax = 256;
            ::SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
        }
        rows[texts[0]] = texts[1];
    }
    return rows;
}

namespace {

void SendMouse(POINT screen, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65535 + ::GetSystemMetrics(SM_CXSCREEN) / 2) /
                                    (::GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>((screen.y * 65535 + ::GetSystemMetrics(SM_CYSCREEN) / 2) /
                                    (::GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    ::SendInput(1, &input, sizeof(input));
}

}  // namespace

void MoveMouseTo(POINT screen)
{
    SendMouse(screen, 0);
}

std::size_t CountGdiObjects()
{
    if (const DWORD count = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS))
        return count;
    // Wine: a handle with a zero high word names its table entry, live or not.
    std::size_t live = 0;
    for (UINT_PTR index = 1; index < 0x10000; ++index) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0)
            ++live;
    }
    return live;
}

std::size_t CountThreadWindows()
{
    struct Counter {
        static BOOL CALLBACK Child(HWND, LPARAM count)
        {
            ++*reinterpret_cast<std::size_t*>(count);
            return TRUE;
        }
        static BOOL CALLBACK TopLevel(HWND window, LPARAM count)
        {
            ++*reinterpret_cast<std::size_t*>(count);
            ::EnumChildWindows(window, &Child, count);
            return TRUE;
        }
    };
    std::size_t count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &Counter::TopLevel, reinterpret_cast<LPARAM>(&count));
    return count;
}

namespace {

// Runs paint(memoryDC) into a 32-bit top-down DIB of the given size.
template <class Paint>
std::vector<std::uint32_t> PaintInto(int width, int height, Paint paint)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    win::WindowDC screen(nullptr);
    win::UniqueBitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HDC memory = ::CreateCompatibleDC(screen.get());
    {
        win::SelectedObject selected(memory, bitmap.get());
        paint(memory);
        ::GdiFlush();
    }
    ::DeleteDC(memory);
    const auto* first = static_cast<const std::uint32_t*>(bits);
    return std::vector<std::uint32_t>(first, first + static_cast<size_t>(width) * height);
}

}  // namespace

ScreenCapture CaptureClient(HWND window)
{
    ScreenCapture capture;
    ::GetClientRect(window, &capture.area);
    capture.pixels = PaintInto(capture.area.right, capture.area.bottom, [&](HDC memory) {
        ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    });
    return capture;
}

ScreenCapture CaptureShown(HWND window)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ScreenCapture capture;
    ::GetClientRect(window, &capture.area);
    win::WindowDC shown(window);
    capture.pixels = PaintInto(capture.area.right, capture.area.bottom, [&](HDC memory) {
        ::BitBlt(memory, 0, 0, capture.area.right, capture.area.bottom, shown.get(), 0, 0, SRCCOPY);
    });
    return capture;
}

namespace {

INT_PTR CALLBACK DoNothing(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

}  // namespace

win::UniqueWindow CreateFromTemplate(HINSTANCE module, UINT templateId)
{
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_LINK_CLASS};
    ::InitCommonControlsEx(&classes);
    win::ScopedModuleActivation activation;
    return win::UniqueWindow(::CreateDialogParamW(module, MAKEINTRESOURCEW(templateId), nullptr, DoNothing, 0));
}

std::wstring SaveScreenshot(const ScreenCapture& capture, const std::wstring& name)
{
    const std::wstring folder = BesideThisProgram(L"screenshots");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\" + name + L".bmp";
    const int width = capture.area.right - capture.area.left, height = capture.area.bottom - capture.area.top;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    // The fourth byte is reserved in a 32-bit BMP; viewers that take it for
    // alpha would show zeros as transparent.
    std::vector<std::uint32_t> opaque(capture.pixels);
    for (std::uint32_t& pixel : opaque)
        pixel |= 0xFF000000u;
    const DWORD pixelBytes = static_cast<DWORD>(opaque.size() * 4);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + pixelBytes;
    win::UniqueFile out(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(out.get(), &file, sizeof(file), &written, nullptr);
    ::WriteFile(out.get(), &header, sizeof(header), &written, nullptr);
    ::WriteFile(out.get(), opaque.data(), pixelBytes, &written, nullptr);
    return path;
}

namespace {

ModalDialogAnswers* activeAnswers = nullptr;

}  // namespace

ModalDialogAnswers::ModalDialogAnswers(std::vector<HWND> leftAlone, std::vector<Answer> answers)
    : seen(std::move(leftAlone)), answers(std::move(answers))
{
    activeAnswers = this;
    timer = ::SetTimer(nullptr, 0, 20, &Tick);
}

ModalDialogAnswers::~ModalDialogAnswers()
{
    ::KillTimer(nullptr, timer);
    activeAnswers = nullptr;
}

void CALLBACK ModalDialogAnswers::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (activeAnswers != nullptr)
        ::EnumThreadWindows(::GetCurrentThreadId(), &Visit, reinterpret_cast<LPARAM>(activeAnswers));
}

BOOL CALLBACK ModalDialogAnswers::Visit(HWND window, LPARAM parameter)
{
    auto& self = *reinterpret_cast<ModalDialogAnswers*>(parameter);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (std::wstring(className) != L"#32770" || !::IsWindowVisible(window) ||
        std::find(self.seen.begin(), self.seen.end(), window) != self.seen.end())
        return TRUE;
    self.seen.push_back(window);
    if (static_cast<std::size_t>(self.answered) < self.answers.size()) {
        self.answers[static_cast<std::size_t>(self.answered++)](window);
    } else {
        ++self.unexpected;
        ::SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    }
    return FALSE;  // one dialog a tick: an answer may have opened or closed others
}

namespace {
PopupMenuAnswer* activeMenuAnswer = nullptr;
}

PopupMenuAnswer::PopupMenuAnswer(int pick, std::wstring screenshot) : pick(pick), screenshot(std::move(screenshot))
{
    activeMenuAnswer = this;
    timer = ::SetTimer(nullptr, 0, 20, &Tick);
}

PopupMenuAnswer::~PopupMenuAnswer()
{
    ::KillTimer(nullptr, timer);
    activeMenuAnswer = nullptr;
}

void CALLBACK PopupMenuAnswer::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (activeMenuAnswer != nullptr && !activeMenuAnswer->answered)
        ::EnumThreadWindows(::GetCurrentThreadId(), &Visit, reinterpret_cast<LPARAM>(activeMenuAnswer));
}

BOOL CALLBACK PopupMenuAnswer::Visit(HWND window, LPARAM parameter)
{
    auto& self = *reinterpret_cast<PopupMenuAnswer*>(parameter);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    constexpr UINT kGetMenu = 0x01E1;  // MN_GETHMENU
    auto* menu = reinterpret_cast<HMENU>(::SendMessageW(window, kGetMenu, 0, 0));
    if (std::wstring(className) != L"#32768" || !::IsWindowVisible(window) || menu == nullptr)
        return TRUE;
    self.answered = true;
    int downs = 0;
    for (int index = 0; index < ::GetMenuItemCount(menu); ++index) {
        wchar_t text[128] = {};
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 128;
        ::GetMenuItemInfoW(menu, static_cast<UINT>(index), TRUE, &item);
        const bool separator = (item.fType & MFT_SEPARATOR) != 0;
        self.entries.push_back({separator ? 0 : item.wID, separator ? std::wstring() : text});
        if (!separator && index <= self.pick)
            ++downs;
    }
    if (!self.screenshot.empty())
        SaveScreenshot(CaptureShown(window), self.screenshot);
    // The menu's loop reads the keys from this thread's queue.
    for (int i = 0; i < downs; ++i)
        ::PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(window, WM_KEYDOWN, self.pick < 0 ? VK_ESCAPE : VK_RETURN, 0);
    return FALSE;
}

std::vector<std::wstring> StaticTexts(HWND window)
{
    struct Collect {
        static BOOL CALLBACK Child(HWND child, LPARAM texts)
        {
            wchar_t className[16] = {};
            ::GetClassNameW(child, className, 16);
            if (::lstrcmpiW(className, L"Static") == 0)
                reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(WindowText(child));
            return TRUE;
        }
    };
    std::vector<std::wstring> texts;
    ::EnumChildWindows(window, &Collect::Child, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

ModalDialogAnswers::Answer ChooseInOpenFileDialog(const std::wstring& path)
{
    return [path](HWND dialog) {
        HWND name = ::GetDlgItem(dialog, cmb13);  // the file name box (a ComboBoxEx32 under Wine)
        ASSERT_NE(name, nullptr) << "no file name box in the open-file dialog";
        ::SetWindowTextW(name, path.c_str());
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
}

ModalDialogAnswers::Answer RecordMessageBox(MessageBoxSeen& seen)
{
    return [&seen](HWND box) {
        seen.caption = WindowText(box);
        struct Visit {
            static BOOL CALLBACK Child(HWND child, LPARAM record)
            {
                auto& seen = *reinterpret_cast<MessageBoxSeen*>(record);
                wchar_t className[16] = {};
                ::GetClassNameW(child, className, 16);
                if (::lstrcmpiW(className, L"Static") != 0)
                    return TRUE;
                if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
                    seen.text = WindowText(child);
                    return TRUE;
                }
                const auto shown = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
                for (LPCWSTR icon : {IDI_WARNING, IDI_ERROR, IDI_INFORMATION, IDI_QUESTION}) {
                    if (shown != nullptr && shown == ::LoadIconW(nullptr, icon))
                        seen.icon = icon;
                }
                return TRUE;
            }
        };
        ::EnumChildWindows(box, &Visit::Child, reinterpret_cast<LPARAM>(&seen));
        ::SendMessageW(box, WM_COMMAND, IDOK, 0);
    };
}

void PressListKey(HWND parent, int listId, WORD key, bool control)
{
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    ::SetKeyboardState(keys);
    NMLVKEYDOWN down = {};
    down.hdr = {::GetDlgItem(parent, listId), static_cast<UINT_PTR>(listId), static_cast<UINT>(LVN_KEYDOWN)};
    down.wVKey = key;
    ::SendMessageW(parent, WM_NOTIFY, static_cast<WPARAM>(listId), reinterpret_cast<LPARAM>(&down));
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
}

void ClickListColumn(HWND parent, int listId, int column)
{
    NMLISTVIEW click = {};
    click.hdr = {::GetDlgItem(parent, listId), static_cast<UINT_PTR>(listId), static_cast<UINT>(LVN_COLUMNCLICK)};
    click.iItem = -1;
    click.iSubItem = column;
    ::SendMessageW(parent, WM_NOTIFY, static_cast<WPARAM>(listId), reinterpret_cast<LPARAM>(&click));
}
