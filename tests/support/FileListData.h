#pragma once
// A data object of the test's making: a file list (CF_HDROP) of the names
// given, in global memory or claimed as a stream, or no file list at all.
#include <objidl.h>
#include <optional>
#include <string>
#include <vector>

class FileListData final : public IDataObject {
public:
    // No names: the object offers no CF_HDROP.
    explicit FileListData(std::optional<std::vector<std::wstring>> names, DWORD tymed = TYMED_HGLOBAL);

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override;
    IFACEMETHODIMP_(ULONG) AddRef() override { return 2; }  // lives on the test's stack
    IFACEMETHODIMP_(ULONG) Release() override { return 1; }

    IFACEMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    IFACEMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    IFACEMETHODIMP QueryGetData(FORMATETC* format) override;
    IFACEMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    IFACEMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    IFACEMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    IFACEMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    IFACEMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    std::optional<std::vector<std::wstring>> names;
    DWORD tymed;
};
