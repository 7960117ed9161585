#pragma once
// Programs of the machine the tests run on (sha256sum, rhash, ln), run from
// a test under Wine through the host's shell.
#include <string>

// Runs the shell command in the folder and returns what it printed (stdout
// and stderr); empty, with a test failure, when it never finished.
std::string RunHostCommand(const std::wstring& folder, const std::wstring& command);

// The bytes of a file (at most 64 KiB); empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
