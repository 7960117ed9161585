#include "HostTool.h"

#include "ChildProcess.h"
#include "Text.h"
#include "win/UniqueHandle.h"

#include <gtest/gtest.h>

std::string ReadFileBytes(const std::wstring& path)
{
    win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes(1 << 16, '\0');
    DWORD read = 0;
    if (!file || !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        read = 0;
    bytes.resize(read);
    return bytes;
}

// Wine gives a Unix program the console, not the pipes of STARTUPINFO, and
// does not wait for it: the shell's redirection catches the output, which is
// renamed into place when the command is done.
std::string RunHostCommand(const std::wstring& folder, const std::wstring& command)
{
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ::SetCurrentDirectoryW(folder.c_str());
    RunChild(L"Z:\\bin\\sh", {L"-c", L"(" + command + L") > host-output.part 2>&1; mv host-output.part host-output.txt"});
    ::SetCurrentDirectoryW(saved);
    const std::wstring output = folder + L"\\host-output.txt";
    // A safety limit for a hang, not a timing check.
    const ULONGLONG deadline = ::GetTickCount64() + 60000;
    while (::GetFileAttributesW(output.c_str()) == INVALID_FILE_ATTRIBUTES && ::GetTickCount64() < deadline)
        ::Sleep(20);
    EXPECT_NE(::GetFileAttributesW(output.c_str()), INVALID_FILE_ATTRIBUTES) << Utf8(command) << " never finished";
    std::string printed = ReadFileBytes(output);
    ::DeleteFileW(output.c_str());
    return printed;
}
