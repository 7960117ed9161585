#include "TestFiles.h"

#include "win/UniqueHandle.h"

#include <atomic>
#include <stdexcept>

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    path = std::wstring(temp) + L"tallyra-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
    if (!::CreateDirectoryW(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder()
{
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..")
                ::DeleteFileW((path + L"\\" + name).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(path.c_str());
}

std::wstring TempFolder::Write(const std::wstring& name, const std::vector<std::uint8_t>& content) const
{
    const std::wstring file = path + L"\\" + name;
    win::UniqueFile handle(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!handle)
        throw std::runtime_error("cannot create a test file");
    DWORD written = 0;
    if (!content.empty() &&
        (!::WriteFile(handle.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
         written != content.size()))
        throw std::runtime_error("cannot write a test file");
    return file;
}

std::vector<std::uint8_t> PatternBytes(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(((i * 31 + 7) ^ (i >> 9)) & 0xFF);
    return bytes;
}
