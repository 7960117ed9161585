#pragma once
// Runs a program of the build beside the test and collects what it printed.
#include <string>
#include <vector>

struct ChildResult {
    unsigned long exitCode = 0;
    std::string out;  // UTF-8
    std::string err;
};

// The full path of a file in the folder of the running test program.
std::wstring BesideThisProgram(const std::wstring& fileName);

ChildResult RunChild(const std::wstring& program, const std::vector<std::wstring>& arguments);
