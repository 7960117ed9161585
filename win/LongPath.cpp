#include "LongPath.h"

#include <windows.h>

namespace {

// CreateDirectoryW's limit (MAX_PATH less room for an 8.3 name) also covers
// the file calls, whose limit is MAX_PATH.
constexpr std::size_t kShortPathLimit = MAX_PATH - 12;

}  // namespace

std::wstring ExtendedLengthPath(const std::wstring& path)
{
    if (path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return path;
    full.resize(length);
    if (full.size() < kShortPathLimit)
        return path;  // a relative path counts with the current folder in front
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

bool IsAbsolutePath(const std::wstring& path)
{
    if (!path.empty() && (path[0] == L'\\' || path[0] == L'/'))
        return true;
    return path.size() >= 2 && path[1] == L':';
}
