#pragma once
#include <string>

// ASCII text (digests, algorithm names, registry paths) for test messages.
inline std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}
