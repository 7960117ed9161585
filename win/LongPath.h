#pragma once
// Paths of any length for the file calls: a path too long for the usual
// limit is made absolute and given the extended-length prefix ("\\?\",
// "\\?\UNC\" for a share); a shorter one is left exactly as it is.
#include <string>

std::wstring ExtendedLengthPath(const std::wstring& path);

// Whether a path names its drive or root itself ("C:\x", "\x", "/x",
// "\\server\share"), rather than starting from the current folder.
bool IsAbsolutePath(const std::wstring& path);
