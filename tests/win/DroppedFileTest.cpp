// The one file of a data object's file list: what counts as one file, a
// medium that is not global memory, and paths longer than MAX_PATH.
#include "win/DroppedFile.h"
#include "win/ComObject.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <string>
#include <vector>

namespace {

// A CF_HDROP block: DROPFILES, then the wide names, each ended by a zero, and
// one more zero.
HGLOBAL MakeFileList(const std::vector<std::wstring>& names)
{
    std::wstring list;
    for (const std::wstring& name : names)
        list += name + L'\0';
    list += L'\0';
    const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(header + 1));
    ::GlobalUnlock(memory);
    return memory;
}

// Hands out a file list in global memory, or claims a stream medium for it.
class FileListData final : public IDataObject {
public:
    FileListData(std::vector<std::wstring> names, DWORD tymed) : names(std::move(names)), tymed(tymed) {}

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override
    {
        static const QITAB interfaces[] = {QITABENT(FileListData, IDataObject), {nullptr, 0}};
        return ::QISearch(this, interfaces, riid, object);
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return 2; }
    IFACEMETHODIMP_(ULONG) Release() override { return 1; }

    IFACEMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (format->cfFormat != CF_HDROP)
            return DV_E_FORMATETC;
        *medium = {};
        medium->tymed = tymed;
        if (tymed == TYMED_HGLOBAL)
            medium->hGlobal = MakeFileList(names);
        else if (FAILED(::CreateStreamOnHGlobal(MakeFileList(names), TRUE, &medium->pstm)))
            return E_OUTOFMEMORY;
        return S_OK;
    }
    IFACEMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    IFACEMETHODIMP QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    IFACEMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    IFACEMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    IFACEMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    IFACEMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    std::vector<std::wstring> names;
    DWORD tymed;
};

std::wstring WindowsFolder()
{
    wchar_t folder[MAX_PATH] = {};
    ::GetWindowsDirectoryW(folder, MAX_PATH);
    return folder;
}

struct Case {
    const char* what;
    std::vector<std::wstring> names;
    DWORD tymed;
    win::DroppedKind kind;
};

}  // namespace

TEST(DroppedFile, KindOfEveryFileList)
{
    // Names need not exist: only a folder is looked at.
    const std::wstring longPath = L"C:\\" + std::wstring(150, L'a') + L"\\" + std::wstring(150, L'b') + L".bin";
    const std::vector<Case> cases = {
        {"one file", {L"C:\\file.bin"}, TYMED_HGLOBAL, win::DroppedKind::File},
        {"a path longer than MAX_PATH", {longPath}, TYMED_HGLOBAL, win::DroppedKind::File},
        {"no item", {}, TYMED_HGLOBAL, win::DroppedKind::NotOneItem},
        {"two files", {L"C:\\a.bin", L"C:\\b.bin"}, TYMED_HGLOBAL, win::DroppedKind::NotOneItem},
        {"a folder", {WindowsFolder()}, TYMED_HGLOBAL, win::DroppedKind::NotAFile},
        {"a medium that is not global memory", {L"C:\\file.bin"}, TYMED_ISTREAM, win::DroppedKind::NoFileList},
    };
    for (const Case& c : cases) {
        FileListData data(c.names, c.tymed);
        const win::DroppedFile dropped = win::SingleDroppedFile(&data);
        EXPECT_EQ(dropped.kind, c.kind) << c.what;
        const std::wstring expected = c.kind == win::DroppedKind::File ? c.names.front() : std::wstring();
        EXPECT_EQ(dropped.path, expected) << c.what;
    }
}

TEST(DroppedFile, NoDataObjectOrAnEmptyNameIsNoFile)
{
    EXPECT_EQ(win::SingleDroppedFile(nullptr).kind, win::DroppedKind::NoFileList);
    // Windows counts no item here, Wine one item without a name: no file either way.
    FileListData emptyName({L""}, TYMED_HGLOBAL);
    const win::DroppedFile dropped = win::SingleDroppedFile(&emptyName);
    EXPECT_NE(dropped.kind, win::DroppedKind::File);
    EXPECT_TRUE(dropped.path.empty());
}
