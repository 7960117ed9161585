#pragma once
// The algorithms that checksum files name, by the tags, file names and digest
// lengths that the common tools use for them, each tied to a catalogue name.
// An algorithm here need not be in a configuration's catalogue: the caller
// asks the catalogue and reports the ones it lacks as unsupported.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct SumAlgorithm {
    const wchar_t* catalogueName;  // "SHA-256"
    const char* tag;               // written in bsd lines: "SHA256"
    std::size_t hexLength;         // digits of its digest
};

// Every algorithm the table knows, in a fixed order.
const std::vector<SumAlgorithm>& SumAlgorithms();

// By a bsd tag as any of the tools writes it ("SHA256", "SHA-256", "BLAKE2b",
// "XXH64", "TIGER"), without regard to case; null when no algorithm has it.
const SumAlgorithm* SumAlgorithmByTag(std::string_view tag);

// By catalogue name, without regard to case; null when the table lacks it.
const SumAlgorithm* SumAlgorithmByName(std::wstring_view catalogueName);

// By a checksum file's name: its extension (".sha256", ".b3", ".sfv") or a
// conventional whole name ("SHA256SUMS"); null when the name says nothing.
const SumAlgorithm* SumAlgorithmByFileName(std::wstring_view fileName);

// Every algorithm whose digest has this many hexadecimal digits.
std::vector<const SumAlgorithm*> SumAlgorithmsByLength(std::size_t hexLength);

// Whether the file name marks a simple file verification list (".sfv"):
// lines are read as "name CRC" before any other form.
bool IsSfvFileName(std::wstring_view fileName);
