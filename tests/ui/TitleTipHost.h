#pragma once
// A host for title-tip tests: the page's own dialog template (103) with its
// compare edit (218), shown on the screen, with a handler attached the way
// the page attaches it.
#include "resource.h"
#include "support/Gui.h"
#include "ui/TitleTip.h"
#include "win/ActivationContext.h"
#include "win/ThisModule.h"
#include "win/UniqueHandle.h"

#include <commctrl.h>
#include <memory>
#include <string>
#include <vector>


// Handler: the page's own (it subclasses the host) or the shared variant,
// to which the host's dialog procedure routes its messages.
template <class Handler>
struct TitleTipHostT {
    // Declared first, destroyed last: the page's window goes before the page object.
    std::unique_ptr<Handler> tips;
    win::UniqueWindow dialog;
    HWND edit = nullptr;

    // Hidden hosts are for many quick cycles: under Wine without a window
    // manager, hiding a shown top-level window waits about a second.
    explicit TitleTipHostT(bool shown = true)
    {
        INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_LINK_CLASS};
        ::InitCommonControlsEx(&classes);
        tips = std::make_unique<Handler>();
        {
            win::ScopedModuleActivation activation;
            dialog.reset(::CreateDialogParamW(ThisModule(), MAKEINTRESOURCEW(IDD_HASH_PAGE), nullptr, &Procedure,
                                              reinterpret_cast<LPARAM>(tips.get())));
        }
        edit = ::GetDlgItem(dialog.get(), IDC_COMPARE_EDIT);
        ::SetWindowPos(dialog.get(), HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE | (shown ? SWP_SHOWWINDOW : 0));
        tips->Attach(dialog.get());
        tips->AddEdit(edit, titletip::kSystemColour, titletip::kSystemColour);
        PumpPending();
    }

    HWND ToolTip() const { return tips->ToolTip(); }
    bool TipShown() const { return ::IsWindowVisible(ToolTip()) != FALSE; }

    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_INITDIALOG)
            ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto* handler = reinterpret_cast<Handler*>(::GetWindowLongPtrW(window, DWLP_USER));
        if (handler == nullptr || Handler::Wiring().subclassHost)
            return FALSE;
        win::Message m{window, message, wParam, lParam};
        LRESULT result = 0;
        if (!handler->Route(m, result))
            return FALSE;
        ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
};

using TitleTipHost = TitleTipHostT<titletip::CTitleTipHandlerImpl>;
using SharedTitleTipHost = TitleTipHostT<titletip::CTitleTipHandler>;

// The item data of the tool tip's tool for the control: its hook.
inline void* ToolData(HWND toolTip, HWND control)
{
    TTTOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = control;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    return ::SendMessageW(toolTip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))
               ? reinterpret_cast<void*>(info.lParam)
               : nullptr;
}

template <class Hook>
Hook* QueryHook(HWND window)
{
    Hook* hook = nullptr;
    if (!::SendMessageW(window, titletip::kGetHookObjectMessage, titletip::TypeIdentity<Hook>(),
                        reinterpret_cast<LPARAM>(&hook)))
        return nullptr;
    return hook;
}

// What the tool tip does when it wants the text: TTN_NEEDTEXTW to the tool's
// window, with the tool's item data. Returns the text supplied.
inline std::wstring AskForText(HWND toolTip, HWND control, void* hook)
{
    NMTTDISPINFOW info = {};
    info.hdr.hwndFrom = toolTip;
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(control);
    info.hdr.code = TTN_NEEDTEXTW;
    info.lpszText = info.szText;
    info.lParam = reinterpret_cast<LPARAM>(hook);
    ::SendMessageW(control, WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    return info.lpszText ? info.lpszText : L"";
}

// TTN_SHOW likewise; the result says whether the handler placed the tip.
inline LRESULT AnnounceShow(HWND toolTip, HWND control)
{
    NMHDR header = {toolTip, reinterpret_cast<UINT_PTR>(control), static_cast<UINT>(TTN_SHOW)};
    return ::SendMessageW(control, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

// Uppercase hexadecimal, as long as asked.
inline std::wstring HexText(size_t length)
{
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring text;
    for (size_t i = 0; i < length; ++i)
        text += digits[(i * 7 + 3) % 16];
    return text;
}

// How many characters of the text the edit's formatting rectangle holds,
// measured character by character with the edit's font.
inline size_t CharactersThatFit(HWND edit, const std::wstring& text)
{
    RECT rect = {};
    ::SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    HDC dc = ::GetDC(edit);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(edit, WM_GETFONT, 0, 0)));
    size_t fit = 0;
    for (size_t n = 1; n <= text.size(); ++n) {
        SIZE size = {};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(n), &size);
        if (size.cx > rect.right - rect.left)
            break;
        fit = n;
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(edit, dc);
    return fit;
}

// The screen point where the edit draws its first character.
inline POINT FirstCharacterOnScreen(HWND edit)
{
    RECT rect = {};
    ::SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    const LRESULT position = ::SendMessageW(edit, EM_POSFROMCHAR, 0, 0);
    POINT point = {static_cast<short>(LOWORD(position)), rect.top};
    ::ClientToScreen(edit, &point);
    return point;
}

// The screen point where the tool tip draws its text.
inline POINT TipTextOnScreen(HWND toolTip)
{
    RECT margin = {};
    ::SendMessageW(toolTip, TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    POINT point = {2 + margin.left, 2 + margin.top};
    ::ClientToScreen(toolTip, &point);
    return point;
}

// Records the messages a control receives (above every other subclass).
struct MessageSpy {
    win::Subclass subclass;
    std::vector<std::pair<UINT, LPARAM>> seen;
    explicit MessageSpy(HWND window)
    {
        subclass.Install(window, [](void* self, win::Message& m) -> LRESULT {
            static_cast<MessageSpy*>(self)->seen.emplace_back(m.id, m.lParam);
            m.PassOn();
            return 0;
        }, nullptr, this);
    }
    bool Saw(UINT message) const
    {
        for (const auto& entry : seen)
            if (entry.first == message)
                return true;
        return false;
    }
    LPARAM Last(UINT message) const
    {
        for (auto it = seen.rbegin(); it != seen.rend(); ++it)
            if (it->first == message)
                return it->second;
        return -1;
    }
};
