#pragma once
// A property-sheet page from a template of a given module. The page
// description carries the object (lParam) and a page callback; the window
// binds to the object on its first message; PSPCB_RELEASE calls the object's
// OnPageRelease, where an owner that the sheet owns typically deletes itself.
#include "win/ActivationContext.h"
#include "win/DialogImpl.h"

#include <commctrl.h>
#include <cstddef>
#include <memory>
#include <utility>
#include <prsht.h>

namespace win {

// The page description up to and including hActCtx.
constexpr UINT kPageSizeWithActivationContext =
    static_cast<UINT>(offsetof(PROPSHEETPAGEW, hActCtx) + sizeof(HANDLE));

template <class T>
class PropertyPage : public DialogImpl<T> {
public:
    // CreatePropertySheetPageW inside the module's activation context; null on failure.
    HPROPSHEETPAGE Create()
    {
        ScopedModuleActivation activation;
        if (activation.IsActive() && page.dwSize >= kPageSizeWithActivationContext) {
            page.dwFlags |= PSP_USEFUSIONCONTEXT;
            page.hActCtx = activation.Context();
        }
        return ::CreatePropertySheetPageW(&page);
    }

    const PROPSHEETPAGEW& Description() const noexcept { return page; }

protected:
    PropertyPage(HINSTANCE instance, UINT templateId)
    {
        page.dwSize = kPageSizeWithActivationContext;
        page.dwFlags = PSP_USECALLBACK;
        page.hInstance = instance;
        page.pszTemplate = MAKEINTRESOURCEW(templateId);
        page.pfnDlgProc = &DialogImpl<T>::DialogProcedure;
        page.lParam = reinterpret_cast<LPARAM>(static_cast<T*>(this));
        page.pfnCallback = &PageCallback;
    }
    ~PropertyPage() = default;

    void OnPageRelease() {}

private:
    static UINT CALLBACK PageCallback(HWND, UINT message, PROPSHEETPAGEW* description) noexcept
    {
        T* object = description ? reinterpret_cast<T*>(description->lParam) : nullptr;
        if (!object)
            return 1;
        if (message == PSPCB_CREATE)
            object->PrepareBinding();
        else if (message == PSPCB_RELEASE)
            RunGuarded([&] { object->OnPageRelease(); });
        return 1;
    }

    PROPSHEETPAGEW page = {};
};

// A page object made for a sheet, which owns it once its page exists (it is
// freed when the sheet releases the page); null, and nothing left behind,
// when the page could not be made.
template <class Page, class... Arguments>
HPROPSHEETPAGE CreateSheetOwnedPage(Arguments&&... arguments)
{
    auto page = std::make_unique<Page>(std::forward<Arguments>(arguments)...);
    HPROPSHEETPAGE handle = page->Create();
    if (handle != nullptr)
        page.release();
    return handle;
}

}  // namespace win
