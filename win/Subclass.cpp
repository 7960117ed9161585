#include "Subclass.h"

#include "win/ExceptionBarrier.h"
#include "win/ModuleLock.h"
#include "win/Thunk.h"

#include <atomic>
#include <new>

namespace win {

namespace {

std::atomic<std::size_t> liveRecords{0};

WNDPROC CurrentProcedure(HWND window)
{
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
}

}  // namespace

struct Subclass::Record {
    Record(HWND window, Subclass* owner, Handler handler, Final final, void* context)
        : window(window), owner(owner), handler(handler), final(final), context(context)
    {
        ++liveRecords;
    }
    ~Record()
    {
        --liveRecords;
        if (holdsModule)
            UnlockModule();
    }

    static LRESULT CALLBACK Procedure(HWND self, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Route(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Finish(WPARAM wParam, LPARAM lParam);
    void Detach() noexcept
    {
        owner = nullptr;
        handler = nullptr;
        final = nullptr;
    }

    HWND window;
    Subclass* owner;
    Handler handler;
    Final final;
    void* context;
    WNDPROC previous = nullptr;
    Thunk thunk{this, &Procedure};
    int depth = 0;      // messages of this window now inside Procedure
    bool dead = false;  // free when the last of them returns
    // Left in the window's chain by its owner: the module stays loaded until
    // the window's last message has been through this code.
    bool holdsModule = false;
};

LRESULT CALLBACK Subclass::Record::Procedure(HWND self, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The thunk put the record where the window handle was.
    Record& record = *reinterpret_cast<Record*>(self);
    ++record.depth;
    const LRESULT result = message == WM_NCDESTROY ? record.Finish(wParam, lParam)
                                                   : record.Route(message, wParam, lParam);
    if (--record.depth == 0 && record.dead)
        delete &record;
    return result;
}

LRESULT Subclass::Record::Route(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (handler) {
        Message m{window, message, wParam, lParam};
        LRESULT result = 0;
        if (RunGuarded([&] { result = handler(context, m); }) && m.handled)
            return result;
    }
    return ::CallWindowProcW(previous, window, message, wParam, lParam);
}

LRESULT Subclass::Record::Finish(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = ::CallWindowProcW(previous, window, WM_NCDESTROY, wParam, lParam);
    if (CurrentProcedure(window) == thunk.Procedure())
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    if (owner)
        owner->record = nullptr;
    const Final finalCall = final;
    void* const finalContext = context;
    Detach();
    dead = true;
    if (finalCall)
        RunGuarded([&] { finalCall(finalContext); });
    return result;
}

Subclass::~Subclass()
{
    Remove();
}

bool Subclass::Install(HWND window, Handler handler, Final final, void* owner) noexcept
{
    if (record || !::IsWindow(window) || ::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId())
        return false;
    Record* fresh = new (std::nothrow) Record(window, this, handler, final, owner);
    if (!fresh)
        return false;
    if (!fresh->thunk.Procedure()) {
        delete fresh;
        return false;
    }
    fresh->previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(fresh->thunk.Procedure())));
    if (!fresh->previous) {
        delete fresh;
        return false;
    }
    record = fresh;
    return true;
}

bool Subclass::Remove() noexcept
{
    Record* const removed = record;
    if (!removed)
        return true;
    record = nullptr;
    removed->Detach();
    if (CurrentProcedure(removed->window) != removed->thunk.Procedure()) {
        // Passes messages on until WM_NCDESTROY frees it.
        LockModule();
        removed->holdsModule = true;
        return false;
    }
    ::SetWindowLongPtrW(removed->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(removed->previous));
    if (removed->depth == 0)
        delete removed;
    else
        removed->dead = true;
    return true;
}

bool Subclass::IsTopmost() const noexcept
{
    return record && CurrentProcedure(record->window) == record->thunk.Procedure();
}

HWND Subclass::Window() const noexcept
{
    return record ? record->window : nullptr;
}

LRESULT Subclass::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (!record)
        return 0;
    return ::CallWindowProcW(record->previous, record->window, message, wParam, lParam);
}

std::size_t LiveSubclassRecords() noexcept
{
    return liveRecords.load();
}

}  // namespace win
