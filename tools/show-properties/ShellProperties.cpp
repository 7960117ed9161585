#include "ShellProperties.h"

#include "resource.h"
// The compact page shows its digests in edits (the ids the two share agree).
#include "config/compact/resource.h"
#include "config/full/FilesPageResources.h"
#include "win/ComObject.h"
#include "win/GdiObjects.h"
#include "win/UniqueHandle.h"

#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>
#include <memory>
#include <thread>

namespace shellprops {

namespace {

struct MemoryDcTraits {
    static HDC Invalid() noexcept { return nullptr; }
    static bool IsValid(HDC dc) noexcept { return dc != nullptr; }
    static void Close(HDC dc) noexcept { ::DeleteDC(dc); }
};

struct SheetSearch {
    DWORD process;
    HWND found;
};

// A callback of the system's calling convention (a lambda converts
// to the default one, which on 32-bit Windows is not it).
BOOL CALLBACK VisitTopLevel(HWND window, LPARAM lParam)
{
    auto& search = *reinterpret_cast<SheetSearch*>(lParam);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (process == search.process && ::IsWindowVisible(window) && std::wstring(className) == L"#32770" &&
        ::FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr) != nullptr) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindSheet()
{
    SheetSearch search{::GetCurrentProcessId(), nullptr};
    ::EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

HRESULT ShowProperties(const std::vector<std::wstring>& paths, const std::function<void(HWND)>& watch,
                       DWORD appearTimeoutMs)
{
    if (paths.empty())
        return E_INVALIDARG;
    // The items' own ids, freed at the end; the shell selects items of one folder.
    std::vector<std::unique_ptr<ITEMIDLIST, decltype(&::CoTaskMemFree)>> items;
    HRESULT hr = S_OK;
    for (const std::wstring& path : paths) {
        PIDLIST_ABSOLUTE item = nullptr;
        hr = ::SHParseDisplayName(path.c_str(), nullptr, &item, 0, nullptr);
        if (FAILED(hr))
            return hr;
        items.emplace_back(item, &::CoTaskMemFree);
    }
    win::ComPtr<IShellFolder> folder;
    hr = ::SHBindToParent(items.front().get(), IID_PPV_ARGS(folder.GetAddressOf()), nullptr);
    std::vector<PCUITEMID_CHILD> children;
    for (const auto& item : items)
        children.push_back(::ILFindLastID(item.get()));
    win::ComPtr<IContextMenu> menu;
    if (SUCCEEDED(hr))
        hr = folder->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(), IID_IContextMenu,
                                   nullptr, reinterpret_cast<void**>(menu.GetAddressOf()));
    win::UniqueMenu popup(::CreatePopupMenu());
    if (SUCCEEDED(hr))
        hr = menu->QueryContextMenu(popup.get(), 0, 1, 0x7FFF, CMF_NORMAL);

    std::thread watcher;
    if (SUCCEEDED(hr)) {
        watcher = std::thread([&] {
            HWND sheet = nullptr;
            const ULONGLONG deadline = ::GetTickCount64() + appearTimeoutMs;
            while (!(sheet = FindSheet()) && ::GetTickCount64() < deadline)
                ::Sleep(100);
            watch(sheet);
        });
        CMINVOKECOMMANDINFO invoke = {};
        invoke.cbSize = sizeof(invoke);
        invoke.lpVerb = "properties";
        invoke.nShow = SW_SHOWNORMAL;
        hr = menu->InvokeCommand(&invoke);
        watcher.join();
    }
    return hr;
}

HWND SelectPage(HWND sheet, const std::wstring& caption)
{
    HWND tabs = ::FindWindowExW(sheet, nullptr, WC_TABCONTROLW, nullptr);
    const int count = static_cast<int>(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 128;
        ::SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        if (caption == text) {
            ::SendMessageW(sheet, PSM_SETCURSEL, i, 0);
            return reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        }
    }
    return nullptr;
}

// The files page and the checksum file's page: their list, the columns read
// (name and digest or result) and the stop button that is disabled at the end.
struct ListPage {
    int list;
    int stop;
};
constexpr ListPage kListPages[] = {{IDC_FILES_LIST, IDC_FILES_STOP}, {IDC_SUMS_LIST, IDC_SUMS_STOP}};

bool WaitForResult(HWND page, DWORD timeoutMs)
{
    for (const ListPage& kind : kListPages) {
        if (::GetDlgItem(page, kind.list) == nullptr)
            continue;
        const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
        while (::GetTickCount64() < deadline) {
            if (!::IsWindowEnabled(::GetDlgItem(page, kind.stop)))
                return true;
            ::Sleep(50);
        }
        return false;
    }
    HWND list = ::GetDlgItem(page, IDC_HASH_LIST);
    HWND stop = ::GetDlgItem(page, IDC_STOP);
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::GetTickCount64() < deadline) {
        if (!::IsWindowEnabled(page) || ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0 || !::IsWindowVisible(stop) ||
            (list == nullptr && ::GetWindowTextLengthW(::GetDlgItem(page, IDC_MD5_DIGEST)) > 0))
            return true;
        ::Sleep(50);
    }
    return false;
}

std::vector<Row> ReadRows(HWND page)
{
    HWND list = ::GetDlgItem(page, IDC_HASH_LIST);
    int second = 1;  // the column read with the first
    for (const ListPage& kind : kListPages) {
        if (HWND other = ::GetDlgItem(page, kind.list)) {
            list = other;
            second = 2;
        }
    }
    std::vector<Row> rows;
    if (list == nullptr) {
        const std::pair<const wchar_t*, int> edits[] = {
            {L"MD5", IDC_MD5_DIGEST}, {L"SHA-1", IDC_SHA1_DIGEST}, {L"CRC32", IDC_CRC32_DIGEST}};
        for (const auto& [name, id] : edits) {
            wchar_t digest[256] = {};
            if (::GetDlgItemTextW(page, id, digest, 256) > 0)
                rows.emplace_back(name, digest);
        }
        return rows;
    }
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring texts[2];
        for (int column = 0; column < 2; ++column) {
            wchar_t buffer[256] = {};
            LVITEMW item = {};
            item.iSubItem = column == 0 ? 0 : second;
            item.pszText = buffer;
            item.cchTextMax = 256;
            ::SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            texts[column] = buffer;
        }
        rows.emplace_back(texts[0], texts[1]);
    }
    return rows;
}

bool SaveScreenshot(HWND window, const std::wstring& bmpPath)
{
    RECT rect = {};
    if (!::GetWindowRect(window, &rect))
        return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    win::WindowDC screen(nullptr);
    const win::UniqueHandle<HDC, MemoryDcTraits> memoryDc(::CreateCompatibleDC(screen.get()));
    HDC memory = memoryDc.get();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    win::UniqueBitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bool saved = false;
    if (memory && bitmap) {
        {
            win::SelectedObject selected(memory, bitmap.get());
            ::BitBlt(memory, 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
        }
        const DWORD rowBytes = ((width * 3 + 3) / 4) * 4;
        const DWORD imageBytes = rowBytes * height;
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
        file.bfSize = file.bfOffBits + imageBytes;
        win::UniqueFile out(::CreateFileW(bmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        saved = out && ::WriteFile(out.get(), &file, sizeof(file), &written, nullptr) &&
                ::WriteFile(out.get(), &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr) &&
                ::WriteFile(out.get(), bits, imageBytes, &written, nullptr);
    }
    return saved;
}

void CloseSheet(HWND sheet)
{
    ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

}  // namespace shellprops
