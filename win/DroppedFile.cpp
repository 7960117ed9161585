#include "DroppedFile.h"

#include "win/ExceptionBarrier.h"

#include <shellapi.h>
#include <shlwapi.h>

namespace win {

namespace {

// The medium of a data object, released with the object; the file list is
// locked only when the medium really is global memory.
class FileListMedium {
public:
    explicit FileListMedium(IDataObject* data)
    {
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        if (data == nullptr || FAILED(data->GetData(&format, &medium)))
            return;
        fetched = true;
        if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal != nullptr)
            drop = static_cast<HDROP>(::GlobalLock(medium.hGlobal));
    }
    ~FileListMedium()
    {
        if (drop)
            ::GlobalUnlock(medium.hGlobal);
        if (fetched)
            ::ReleaseStgMedium(&medium);
    }
    FileListMedium(const FileListMedium&) = delete;
    FileListMedium& operator=(const FileListMedium&) = delete;

    HDROP Get() const { return drop; }

private:
    STGMEDIUM medium = {};
    bool fetched = false;
    HDROP drop = nullptr;
};

}  // namespace

DroppedFile SingleDroppedFile(IDataObject* data) noexcept
{
    DroppedFile result;
    RunGuarded([&] {
        const FileListMedium files(data);
        if (files.Get() == nullptr)
            return;
        result.kind = DroppedKind::NotOneItem;
        if (::DragQueryFileW(files.Get(), 0xFFFFFFFF, nullptr, 0) != 1)
            return;
        result.kind = DroppedKind::NotAFile;
        const UINT length = ::DragQueryFileW(files.Get(), 0, nullptr, 0);
        if (length == 0)
            return;
        std::wstring path(static_cast<size_t>(length) + 1, L'\0');
        const UINT copied = ::DragQueryFileW(files.Get(), 0, path.data(), length + 1);
        if (copied == 0 || copied > length)
            return;
        path.resize(copied);
        if (::PathIsDirectoryW(path.c_str()))
            return;
        result.path = std::move(path);
        result.kind = DroppedKind::File;
    });
    if (result.kind != DroppedKind::File)
        result.path.clear();
    return result;
}

}  // namespace win
