#pragma once
// Which algorithms the page computes, kept under
// HKCU\SOFTWARE\Tallyra\Algorithms\<name>, value "Enabled".
#include "engine/HashDescriptor.h"

#include <map>
#include <string>

class AlgorithmFlags {
public:
    // The process-wide flags, read on first use (safe from any thread) and
    // written back when the module unloads.
    static AlgorithmFlags& Instance();

    // The stored flag of every descriptor's name; nothing is written.
    static AlgorithmFlags Load(const DescriptorList& algorithms);

    // False for a name the map does not hold.
    bool IsEnabled(const std::wstring& name) const;
    // A name the map does not hold is ignored.
    void SetEnabled(const std::wstring& name, bool enabled);
    // Every entry, in map order; a failed write is skipped.
    void SaveAll() const;

    const std::map<std::wstring, bool>& Entries() const { return flags; }

private:
    std::map<std::wstring, bool> flags;
};

// HKCU path of one algorithm's key.
std::wstring AlgorithmKeyPath(const std::wstring& name);
