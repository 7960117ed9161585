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

namespace {

// The item's whole path, however long; empty when it cannot be read.
std::wstring DroppedPath(HDROP drop, UINT index)
{
    const UINT length = ::DragQueryFileW(drop, index, nullptr, 0);
    if (length == 0)
        return std::wstring();
    std::wstring path(static_cast<size_t>(length) + 1, L'\0');
    const UINT copied = ::DragQueryFileW(drop, index, path.data(), length + 1);
    if (copied == 0 || copied > length)
        return std::wstring();
    path.resize(copied);
    return path;
}

}  // namespace

std::vector<std::wstring> DroppedPaths(IDataObject* data) noexcept
{
    std::vector<std::wstring> paths;
    const bool complete = RunGuarded([&] {
        const FileListMedium files(data);
        if (files.Get() == nullptr)
            return;
        const UINT count = ::DragQueryFileW(files.Get(), 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path = DroppedPath(files.Get(), i);
            if (!path.empty())
                paths.push_back(std::move(path));
        }
    });
    if (!complete)
        paths.clear();
    return paths;
}

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
        std::wstring path = DroppedPath(files.Get(), 0);
        if (path.empty() || ::PathIsDirectoryW(path.c_str()))
            return;
        result.path = std::move(path);
        result.kind = DroppedKind::File;
    });
    if (result.kind != DroppedKind::File)
        result.path.clear();
    return result;
}

}  // namespace win
