#pragma once
// One line of a checksum file, read and written in the forms the common tools
// use, all in UTF-8:
//   gnu  "<digest>  <name>" or "<digest> *<name>" (sha256sum, b2sum, b3sum,
//        xxhsum, rhash); "<digest> <name>" too when the file's first such line
//        has it (md5 -r)
//   bsd  "<TAG> (<name>) = <digest>" (sha256sum --tag, rhash --bsd, xxhsum)
//   sfv  "<name> <CRC32>" (rhash --sfv), with ";" comment lines
// A gnu or bsd line that starts with a backslash has its name escaped: "\\"
// for a backslash, "\n" for a line feed, "\r" for a carriage return.
#include "SumAlgorithms.h"

#include <string>
#include <string_view>

enum class SumFormat { Gnu, Bsd, Sfv };

enum class SumLineKind {
    Entry,      // a digest and a name
    Ignored,    // empty, or a comment ("#", ";")
    Malformed,  // none of the forms
};

struct SumLine {
    SumLineKind kind = SumLineKind::Malformed;
    SumFormat format = SumFormat::Gnu;
    std::string tag;     // of a bsd line, as written
    std::string digest;  // hexadecimal, as written
    std::string name;    // unescaped
};

class SumLineParser {
public:
    // With sfvFirst (a ".sfv" file), "name CRC" is tried before the others.
    explicit SumLineParser(bool sfvFirst = false) : sfvFirst(sfvFirst) {}

    // One line without its end.
    SumLine Parse(std::string_view line);

private:
    bool ParseGnu(std::string_view text, bool escaped, SumLine& line);
    enum class Reversed { Unknown, Yes, No };
    bool sfvFirst;
    Reversed reversed = Reversed::Unknown;
};

// How a line's algorithm was found, or why not.
enum class SumAlgorithmStatus {
    Found,
    UnknownTag,   // a bsd tag that no algorithm has
    Ambiguous,    // untagged, and several algorithms have the digest's length
    WrongLength,  // the digest's length fits no algorithm it may be
};

struct ResolvedSumAlgorithm {
    SumAlgorithmStatus status = SumAlgorithmStatus::WrongLength;
    const SumAlgorithm* algorithm = nullptr;
};

// The algorithm of an entry: by its bsd tag, else by `implied` (from the
// file's name or the user's choice; may be null), else by the digest's
// length when only one algorithm has that length.
ResolvedSumAlgorithm ResolveSumAlgorithm(const SumLine& line, const SumAlgorithm* implied);

// A name with its escapes taken out; false for an unknown escape.
bool UnescapeSumName(std::string_view escaped, std::string& name);
// Whether a gnu or bsd line must escape the name, and the escaped name.
bool SumNameNeedsEscape(std::string_view name);
std::string EscapeSumName(std::string_view name);

// One line without its end; the digest is written as given (lowercase for
// gnu and bsd, uppercase for sfv is the tools' habit).
std::string FormatSumLine(SumFormat format, const SumAlgorithm& algorithm, std::string_view digest,
                          std::string_view name);

// The name as a checking tool prints it before ": OK": with a leading
// backslash and escapes when it holds a line feed, else as it is.
std::string SumNameForReport(std::string_view name);
