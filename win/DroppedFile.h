#pragma once
// The one file of a shell data object's file list (CF_HDROP): what the shell
// hands a property-sheet handler, and what a drag source drops.
#include <objidl.h>
#include <string>
#include <vector>

namespace win {

enum class DroppedKind {
    NoFileList,  // no CF_HDROP in global memory, or it could not be read
    NotOneItem,  // none, or more than one
    NotAFile,    // one item, but a folder or an empty name
    File,
};

struct DroppedFile {
    DroppedKind kind = DroppedKind::NoFileList;
    std::wstring path;  // whole, however long; set only for File
};

// Never throws; the data object's medium is released before it returns.
DroppedFile SingleDroppedFile(IDataObject* data) noexcept;

// Every item of the file list, folders included, in the list's order; empty
// when there is no file list. Never throws.
std::vector<std::wstring> DroppedPaths(IDataObject* data) noexcept;

}  // namespace win
