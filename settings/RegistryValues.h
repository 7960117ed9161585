#pragma once
// Small reads and writes of values under HKEY_CURRENT_USER, failing soft.
#include "win/UniqueHandle.h"

#include <optional>
#include <string>

namespace registry {

win::UniqueKey OpenUserKey(const std::wstring& path, REGSAM access);
// Creates the key when it is missing.
win::UniqueKey CreateUserKey(const std::wstring& path, REGSAM access);

// The value when it exists and is a REG_DWORD.
std::optional<DWORD> QueryDword(HKEY key, const wchar_t* name);

// A REG_SZ or REG_EXPAND_SZ (not expanded) that fits, with its terminating
// zero, in maxChars characters, has an even length and ends in a zero;
// the text up to its first zero. Anything else gives nothing.
std::optional<std::wstring> QueryString(HKEY key, const wchar_t* name, size_t maxChars);

bool SetDword(HKEY key, const wchar_t* name, DWORD value);
bool SetString(HKEY key, const wchar_t* name, const std::wstring& text);
// Whether the value exists, whatever its type and contents.
bool ValueExists(HKEY key, const wchar_t* name);

}  // namespace registry
