#pragma once
// Which algorithms and which digest case one run of the tool uses.
#include "Options.h"
#include "engine/HashSettings.h"

#include <set>
#include <string>

class AlgorithmChoice final : public IHashSettings {
public:
    std::set<std::wstring> names;  // catalogue names
    bool lowercase = false;

    bool IsEnabled(const std::wstring& name) const override { return names.count(name) != 0; }
    bool UseLowercase() const override { return lowercase; }
};

// --all and --algo (matched without regard to case) choose the algorithms;
// without them the user's enabled algorithms are taken. The stored settings
// are only read, never created or written. On failure the error says why.
bool ChooseAlgorithms(const Options& options, AlgorithmChoice& choice, std::wstring& error);
