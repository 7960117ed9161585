#pragma once
// Which algorithms the page computes, kept under
// HKCU\SOFTWARE\Tallyra\Algorithms\<name>, value "Enabled".
#include "engine/HashDescriptor.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

// Shared by the Properties dialogs of several threads: every call sees and
// leaves the map whole. A change is written through to the registry at once
// (outside the lock), and everything again when the module unloads.
class AlgorithmFlags {
public:
    // The process-wide flags, read on first use (safe from any thread) and
    // written back when the module unloads.
    static AlgorithmFlags& Instance();

    // The stored flag of every descriptor's name; nothing is written.
    static AlgorithmFlags Load(const DescriptorList& algorithms);

    AlgorithmFlags() = default;
    AlgorithmFlags(const AlgorithmFlags& other);
    AlgorithmFlags& operator=(const AlgorithmFlags& other);

    // False for a name the map does not hold.
    bool IsEnabled(const std::wstring& name) const;
    // The flags of these names as they stood at one moment.
    std::vector<bool> AreEnabled(const std::vector<std::wstring>& names) const;
    // A name the map does not hold is ignored; a flag that changes is written.
    void SetEnabled(const std::wstring& name, bool enabled);
    // Every flag of the choice at once: no reader sees half of it.
    void SetEnabled(const std::map<std::wstring, bool>& choice);
    // Every entry, in map order; a failed write is skipped.
    void SaveAll() const;

    // A copy of the map at one moment.
    std::map<std::wstring, bool> Entries() const;

private:
    mutable std::mutex lock;
    std::map<std::wstring, bool> flags;
};

// HKCU path of one algorithm's key.
std::wstring AlgorithmKeyPath(const std::wstring& name);
