#include "SumLine.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsTagCharacter(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' || c == '_';
}

bool IsHex(std::string_view text)
{
    for (const char c : text) {
        if (!IsHexDigit(c))
            return false;
    }
    return !text.empty();
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool TakeName(std::string_view text, bool escaped, SumLine& line)
{
    if (text.empty())
        return false;
    if (!escaped) {
        line.name.assign(text);
        return true;
    }
    return UnescapeSumName(text, line.name) && !line.name.empty();
}

// "TAG (name) = digest", the name running to the last ")".
bool ParseBsd(std::string_view text, bool escaped, SumLine& line)
{
    std::size_t i = 0;
    while (i < text.size() && IsTagCharacter(text[i]))
        ++i;
    const std::string_view tag = text.substr(0, i);
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (tag.empty() || i >= text.size() || text[i] != '(')
        return false;
    const std::size_t close = text.rfind(')');
    if (close == std::string_view::npos || close <= i)
        return false;
    std::size_t at = close + 1;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    if (at >= text.size() || text[at] != '=')
        return false;
    const std::string_view digest = TrimBlanks(text.substr(at + 1));
    if (!IsHex(digest) || !TakeName(text.substr(i + 1, close - i - 1), escaped, line))
        return false;
    line.format = SumFormat::Bsd;
    line.tag.assign(tag);
    line.digest.assign(digest);
    return true;
}

// "name CRC": the CRC after the last blank.
bool ParseSfv(std::string_view text, SumLine& line)
{
    const std::size_t blank = text.find_last_of(" \t");
    if (blank == std::string_view::npos)
        return false;
    const std::string_view crc = text.substr(blank + 1);
    const std::string_view name = TrimBlanks(text.substr(0, blank));
    if (crc.size() != 8 || !IsHex(crc) || name.empty())
        return false;
    line.format = SumFormat::Sfv;
    line.digest.assign(crc);
    line.name.assign(name);
    return true;
}

}  // namespace

bool SumLineParser::ParseGnu(std::string_view text, bool escaped, SumLine& line)
{
    std::size_t i = 0;
    while (i < text.size() && IsHexDigit(text[i]))
        ++i;
    // Only a digest of some algorithm's length, so that "a b.txt 352441C2"
    // is no digest "a" of the file "b.txt 352441C2".
    if (SumAlgorithmsByLength(i).empty() || i + 1 >= text.size() || text[i] != ' ')
        return false;
    // "digest  name" or "digest *name"; "digest name" only in a file whose
    // first line of the two kinds has it, as coreutils decides.
    const bool twoColumns = text[i + 1] == ' ' || text[i + 1] == '*';
    if (twoColumns ? reversed == Reversed::Yes : reversed == Reversed::No)
        return false;
    if (!TakeName(text.substr(twoColumns ? i + 2 : i + 1), escaped, line))
        return false;
    if (reversed == Reversed::Unknown)
        reversed = twoColumns ? Reversed::No : Reversed::Yes;
    line.format = SumFormat::Gnu;
    line.digest.assign(text.substr(0, i));
    return true;
}

SumLine SumLineParser::Parse(std::string_view text)
{
    SumLine line;
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    if (text.empty() || text.front() == '#' || text.front() == ';') {
        line.kind = SumLineKind::Ignored;
        return line;
    }
    line.kind = SumLineKind::Entry;
    if (sfvFirst && ParseSfv(text, line))
        return line;
    const bool escaped = text.front() == '\\';
    const std::string_view body = escaped ? text.substr(1) : text;
    if (ParseBsd(body, escaped, line) || ParseGnu(body, escaped, line))
        return line;
    if (!sfvFirst && !escaped && ParseSfv(text, line))
        return line;
    line = SumLine();
    return line;
}

ResolvedSumAlgorithm ResolveSumAlgorithm(const SumLine& line, const SumAlgorithm* implied)
{
    ResolvedSumAlgorithm resolved;
    const SumAlgorithm* algorithm = nullptr;
    if (line.format == SumFormat::Bsd) {
        algorithm = SumAlgorithmByTag(line.tag);
        if (algorithm == nullptr) {
            resolved.status = SumAlgorithmStatus::UnknownTag;
            return resolved;
        }
    } else if (line.format == SumFormat::Sfv) {
        algorithm = SumAlgorithmByName(L"CRC32");
    } else if (implied != nullptr) {
        algorithm = implied;
    } else {
        const std::vector<const SumAlgorithm*> candidates = SumAlgorithmsByLength(line.digest.size());
        if (candidates.size() > 1) {
            resolved.status = SumAlgorithmStatus::Ambiguous;
            return resolved;
        }
        algorithm = candidates.empty() ? nullptr : candidates.front();
    }
    if (algorithm == nullptr || algorithm->hexLength != line.digest.size())
        return resolved;  // WrongLength
    resolved.status = SumAlgorithmStatus::Found;
    resolved.algorithm = algorithm;
    return resolved;
}

bool UnescapeSumName(std::string_view escaped, std::string& name)
{
    name.clear();
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\') {
            name += escaped[i];
            continue;
        }
        if (++i >= escaped.size())
            return false;
        switch (escaped[i]) {
        case '\\':
            name += '\\';
            break;
        case 'n':
            name += '\n';
            break;
        case 'r':
            name += '\r';
            break;
        default:
            return false;
        }
    }
    return true;
}

bool SumNameNeedsEscape(std::string_view name)
{
    return name.find_first_of("\\\n\r") != std::string_view::npos;
}

std::string EscapeSumName(std::string_view name)
{
    std::string escaped;
    escaped.reserve(name.size() + 2);
    for (const char c : name) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\n')
            escaped += "\\n";
        else if (c == '\r')
            escaped += "\\r";
        else
            escaped += c;
    }
    return escaped;
}

std::string FormatSumLine(SumFormat format, const SumAlgorithm& algorithm, std::string_view digest,
                          std::string_view name)
{
    if (format == SumFormat::Sfv)
        return std::string(name) + " " + std::string(digest);
    const bool escape = SumNameNeedsEscape(name);
    const std::string shownName = escape ? EscapeSumName(name) : std::string(name);
    const std::string mark = escape ? "\\" : "";
    if (format == SumFormat::Bsd)
        return mark + algorithm.tag + " (" + shownName + ") = " + std::string(digest);
    return mark + std::string(digest) + "  " + shownName;
}

std::string SumNameForReport(std::string_view name)
{
    if (name.find('\n') == std::string_view::npos)
        return std::string(name);
    return "\\" + EscapeSumName(name);
}
