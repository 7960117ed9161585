#pragma once
// Whether a file is a checksum file, for the page that checks the files it
// lists. Its name may say so (an extension or whole name the console tool's
// check knows); otherwise its first bytes may: checksum lines whose
// algorithm is known or one of a few (an untagged digest of a length several
// share), with nothing but blank and comment lines beside them.
// The bytes are read only from a local fixed disk and only when the file's
// data is there (not offline, not recalled on access): the caller is the
// shell's thread, which must not wait for a network or a cloud.
#include <cstddef>
#include <string>
#include <string_view>

constexpr std::size_t kSumFileSampleBytes = 4096;

// By its extension or whole name alone.
bool IsSumFileName(const std::wstring& path);

// The test on a file's first bytes; whole: the file ends within them (else
// the last line, perhaps cut, is not looked at). Lines in the simple file
// verification form ("name CRC") do not count: any text may end in eight hex
// digits.
bool LooksLikeSumText(std::string_view firstBytes, bool whole);

// By name, or by the first kSumFileSampleBytes bytes where they may be read.
bool IsSumFile(const std::wstring& path);
