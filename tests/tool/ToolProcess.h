#pragma once
// What the tool tests share: the tool of a configuration (and UTF-8 text, from support/Text.h).
#include "support/ChildProcess.h"
#include "support/Text.h"

#include <string>
#include <windows.h>

// The tool over a configuration's catalogue: bin/<configuration>/tallyra-hash.exe.
inline std::wstring Tool(const std::wstring& configuration = L"full")
{
    return BesideThisProgram(configuration + L"\\tallyra-hash.exe");
}
