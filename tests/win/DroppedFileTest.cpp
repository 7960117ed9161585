// The one file of a data object's file list: what counts as one file, a
// medium that is not global memory, and paths longer than MAX_PATH.
#include "support/FileListData.h"
#include "win/DroppedFile.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

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
    FileListData emptyName(std::vector<std::wstring>{L""});
    const win::DroppedFile dropped = win::SingleDroppedFile(&emptyName);
    EXPECT_NE(dropped.kind, win::DroppedKind::File);
    EXPECT_TRUE(dropped.path.empty());
}
