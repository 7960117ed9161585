#include "CompareFileDialog.h"

#include "win/ActivationContext.h"

#include <commdlg.h>
#include <vector>

namespace {

// Long enough for any path the system can open (\\?\ paths included): a
// path cut at MAX_PATH could name another, existing file.
constexpr DWORD kPathCapacity = 32768;

UINT_PTR CALLBACK NoHook(HWND, UINT, WPARAM, LPARAM)
{
    return 0;  // every message to the dialog's default handling
}

}  // namespace

std::optional<std::wstring> ChooseCompareFile(HWND owner, HINSTANCE resources)
{
    std::vector<wchar_t> file(kPathCapacity, L'\0');
    wchar_t title[256] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.hInstance = resources;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = kPathCapacity;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = 256;
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_EXPLORER | OFN_ENABLESIZING;
    dialog.lpfnHook = &NoHook;

    win::ScopedModuleActivation activation;
    if (!::GetOpenFileNameW(&dialog))
        return std::nullopt;
    return std::wstring(file.data());
}
