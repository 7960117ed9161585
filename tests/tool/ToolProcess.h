#pragma once
// What the tool tests share: the tool of a configuration and UTF-8 text.
#include "support/ChildProcess.h"

#include <string>
#include <windows.h>

inline std::string Utf8(const std::wstring& text)
{
    std::string utf8(text.size() * 3 + 1, '\0');
    utf8.resize(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                          utf8.data(), static_cast<int>(utf8.size()), nullptr,
                                                          nullptr)));
    return utf8;
}

// The tool over a configuration's catalogue: bin/<configuration>/tallyra-hash.exe.
inline std::wstring Tool(const std::wstring& configuration = L"full")
{
    return BesideThisProgram(configuration + L"\\tallyra-hash.exe");
}
