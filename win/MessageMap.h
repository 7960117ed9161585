#pragma once
// Message maps that read as a table: each row routes one message, one
// command (control id and code) or one notification (control id and code)
// to one member function.
//
//     static const win::MessageMap<SettingsDialog> map{
//         win::OnMessage(WM_INITDIALOG, &SettingsDialog::OnInitDialog),
//         win::OnCommand(228, BN_CLICKED, &SettingsDialog::OnSelectAll),
//         win::OnNotify(237, NM_CLICK, &SettingsDialog::OnOptionsLink),
//     };
#include <windows.h>

#include <vector>

namespace win {

// One message as a handler sees it.
struct Message {
    HWND window;
    UINT id;
    WPARAM wParam;
    LPARAM lParam;
    bool handled = true;

    // The handler declines: later rows or the default handling get the message.
    void PassOn() noexcept { handled = false; }

    UINT CommandId() const noexcept { return LOWORD(wParam); }
    UINT CommandCode() const noexcept { return HIWORD(wParam); }
    HWND CommandControl() const noexcept { return reinterpret_cast<HWND>(lParam); }

    // WM_NOTIFY's header, or the whole notification record.
    template <class Record = NMHDR>
    Record& Notification() const noexcept
    {
        return *reinterpret_cast<Record*>(lParam);
    }
};

// Notifications from any control (tool tips name their tool, not a control id).
constexpr UINT_PTR kAnyControl = static_cast<UINT_PTR>(-1);

template <class T>
using Handler = LRESULT (T::*)(Message&);

template <class T>
struct MessageEntry {
    enum class Kind { Message, Command, Notify, Any };
    Kind kind;
    UINT message;
    UINT_PTR control;
    int code;
    Handler<T> handler;

    bool Matches(const Message& m) const noexcept
    {
        switch (kind) {
        case Kind::Message:
            return m.id == message;
        case Kind::Command:
            return m.id == WM_COMMAND && m.CommandId() == control &&
                   m.CommandCode() == static_cast<UINT>(static_cast<WORD>(code));
        case Kind::Notify:
            return m.id == WM_NOTIFY && m.lParam != 0 &&
                   (control == kAnyControl || m.Notification().idFrom == control) &&
                   static_cast<int>(m.Notification().code) == code;
        case Kind::Any:
            return true;
        }
        return false;
    }
};

template <class T>
using MessageMap = std::vector<MessageEntry<T>>;

template <class T>
MessageEntry<T> OnMessage(UINT message, Handler<T> handler)
{
    return {MessageEntry<T>::Kind::Message, message, 0, 0, handler};
}

template <class T>
MessageEntry<T> OnCommand(UINT control, int code, Handler<T> handler)
{
    return {MessageEntry<T>::Kind::Command, WM_COMMAND, control, code, handler};
}

template <class T>
MessageEntry<T> OnNotify(UINT_PTR control, int code, Handler<T> handler)
{
    return {MessageEntry<T>::Kind::Notify, WM_NOTIFY, control, code, handler};
}

// Every message that reaches this row: the last row of a map that chains
// what it leaves to another object's map (the handler passes on what that
// map does not keep either).
template <class T>
MessageEntry<T> OnAnyMessage(Handler<T> handler)
{
    return {MessageEntry<T>::Kind::Any, 0, 0, 0, handler};
}

// Runs the first row that matches and keeps the message; true when one did.
template <class T>
bool Dispatch(const MessageMap<T>& map, T& object, Message& message, LRESULT& result)
{
    for (const MessageEntry<T>& entry : map) {
        if (!entry.Matches(message))
            continue;
        message.handled = true;
        const LRESULT value = (object.*entry.handler)(message);
        if (message.handled) {
            result = value;
            return true;
        }
    }
    return false;
}

}  // namespace win
