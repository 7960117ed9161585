#pragma once
#include <string>
#include <windows.h>

// ASCII text (digests, algorithm names, registry paths) for test messages.
inline std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// Any text (a translated label) for test messages, as UTF-8.
inline std::string Utf8(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), size, nullptr,
                          nullptr);
    return utf8;
}
