#include "FileListData.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace {

// DROPFILES, then the wide names, each ended by a zero, and one more zero.
HGLOBAL MakeFileList(const std::vector<std::wstring>& names)
{
    std::wstring list;
    for (const std::wstring& name : names)
        list += name + L'\0';
    list += L'\0';
    const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (memory == nullptr)
        return nullptr;
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(header + 1));
    ::GlobalUnlock(memory);
    return memory;
}

}  // namespace

FileListData::FileListData(std::optional<std::vector<std::wstring>> names, DWORD tymed)
    : names(std::move(names)), tymed(tymed)
{
}

IFACEMETHODIMP FileListData::QueryInterface(REFIID riid, void** object)
{
    static const QITAB interfaces[] = {QITABENT(FileListData, IDataObject), {nullptr, 0}};
    return ::QISearch(this, interfaces, riid, object);
}

IFACEMETHODIMP FileListData::QueryGetData(FORMATETC* format)
{
    return names && format != nullptr && format->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC;
}

IFACEMETHODIMP FileListData::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (QueryGetData(format) != S_OK)
        return DV_E_FORMATETC;
    *medium = {};
    medium->tymed = tymed;
    HGLOBAL list = MakeFileList(*names);
    if (list == nullptr)
        return E_OUTOFMEMORY;
    if (tymed == TYMED_HGLOBAL) {
        medium->hGlobal = list;
        return S_OK;
    }
    if (FAILED(::CreateStreamOnHGlobal(list, TRUE, &medium->pstm))) {
        ::GlobalFree(list);
        return E_OUTOFMEMORY;
    }
    return S_OK;
}
