#pragma once
// Checksum files written from a list of files: the text in one of the forms
// the common tools read, names relative to the folder the file is saved in,
// and the file replaced whole or not at all.
#include "SumLine.h"

#include <string>
#include <vector>
#include <windows.h>

struct SumFileEntry {
    std::wstring path;   // the file's full path
    std::string digest;  // hexadecimal
};

// The name a checksum file of the format and algorithm is usually given:
// "SHA256SUMS" (gnu, when the tools have such a name), "checksums.sfv",
// otherwise "checksums" with the algorithm's first extension.
std::wstring DefaultSumFileName(SumFormat format, const SumAlgorithm& algorithm);

// The path of a file as a checksum file in the folder names it: relative,
// with forward slashes, when it lies below the folder; else as it is.
std::wstring NameInSumFolder(const std::wstring& folder, const std::wstring& path);

// The deepest folder that holds every path (files and folders alike),
// compared as Windows compares names (case and separator ignored), as the
// first path spells it; empty when they share none (other drives).
std::wstring CommonFolderOf(const std::vector<std::wstring>& paths);

// The whole file in UTF-8, one line per entry, each ended by a line feed;
// digests lowercase for gnu and bsd, uppercase for sfv, as the tools write.
std::string SumFileText(SumFormat format, const SumAlgorithm& algorithm, const std::wstring& folder,
                        const std::vector<SumFileEntry>& entries);

// Writes the bytes to a new file in the target's folder and renames it over
// the target, so that a failure (a read-only folder, a full disk) leaves the
// old file as it was and no part of the new one. ERROR_SUCCESS or why not.
DWORD ReplaceFileWith(const std::wstring& target, const std::string& bytes);
