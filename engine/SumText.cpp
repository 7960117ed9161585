#include "SumText.h"

#include <cstring>

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

void AppendUtf8(std::string& text, std::uint32_t codePoint)
{
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Decodes one code point at `i`; false for an invalid sequence.
bool DecodeUtf8(std::string_view text, std::size_t& i, std::uint32_t& codePoint)
{
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    std::size_t length = 1;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07, minimum = 0x10000;
    } else {
        return false;
    }
    if (text.size() - i < length)
        return false;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return false;
        codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return false;
    i += length;
    return true;
}

bool IsHighSurrogate(std::uint32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(std::uint32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

bool IsValidUtf8(std::string_view text)
{
    std::uint32_t codePoint = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (!DecodeUtf8(text, i, codePoint))
            return false;
    }
    return true;
}

bool Utf8ToWide(std::string_view text, std::wstring& wide)
{
    wide.clear();
    wide.reserve(text.size());
    std::uint32_t codePoint = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (!DecodeUtf8(text, i, codePoint))
            return false;
        if (codePoint >= 0x10000 && sizeof(wchar_t) == 2) {
            wide += static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(codePoint);
        }
    }
    return true;
}

bool WideToUtf8(std::wstring_view wide, std::string& text)
{
    text.clear();
    text.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        std::uint32_t unit = static_cast<std::uint32_t>(wide[i]);
        if (IsHighSurrogate(unit)) {
            if (i + 1 >= wide.size() || !IsLowSurrogate(static_cast<std::uint32_t>(wide[i + 1])))
                return false;
            unit = 0x10000 + ((unit - 0xD800) << 10) + (static_cast<std::uint32_t>(wide[++i]) - 0xDC00);
        } else if (IsLowSurrogate(unit) || unit > 0x10FFFF) {
            return false;
        }
        AppendUtf8(text, unit);
    }
    return true;
}

SumLineReader::SumLineReader(ReadBytes read, std::size_t lineLimit)
    : read(std::move(read)), lineLimit(lineLimit), chunk(kChunkSize, '\0')
{
}

bool SumLineReader::Fill()
{
    if (position < filled)
        return true;
    if (ended)
        return false;
    const std::int64_t count = read(chunk.data(), chunk.size());
    position = 0;
    filled = count > 0 ? static_cast<std::size_t>(count) : 0;
    if (count < 0)
        readFailed = true;
    if (count <= 0)
        ended = true;
    return filled > 0;
}

bool SumLineReader::TakeUnit(std::uint32_t& unit)
{
    if (!Fill())
        return false;
    const auto first = static_cast<unsigned char>(chunk[position++]);
    if (encoding != SumTextEncoding::Utf16LittleEndian && encoding != SumTextEncoding::Utf16BigEndian) {
        unit = first;
        return true;
    }
    if (!Fill()) {
        unit = 0xFFFFFFFF;  // half a code unit at the end: not text
        return true;
    }
    const auto second = static_cast<unsigned char>(chunk[position++]);
    unit = encoding == SumTextEncoding::Utf16LittleEndian ? (second << 8 | first) : (first << 8 | second);
    return true;
}

void SumLineReader::Append(SumTextLine& line, std::uint32_t codePoint)
{
    if (line.text.size() >= lineLimit) {
        if (line.status == SumTextLineStatus::Text)
            line.status = SumTextLineStatus::TooLong;
        return;
    }
    AppendUtf8(line.text, codePoint);
}

bool SumLineReader::Next(SumTextLine& line)
{
    line.text.clear();
    line.status = SumTextLineStatus::Text;
    if (!started) {
        started = true;
        if (Fill() && filled - position >= 2) {
            const auto b0 = static_cast<unsigned char>(chunk[0]), b1 = static_cast<unsigned char>(chunk[1]);
            if (b0 == 0xFF && b1 == 0xFE)
                encoding = SumTextEncoding::Utf16LittleEndian, position = 2;
            else if (b0 == 0xFE && b1 == 0xFF)
                encoding = SumTextEncoding::Utf16BigEndian, position = 2;
            else if (filled >= 3 && b0 == 0xEF && b1 == 0xBB && static_cast<unsigned char>(chunk[2]) == 0xBF)
                encoding = SumTextEncoding::Utf8WithMark, position = 3;
        }
    }
    if (!Fill())
        return false;

    bool lineEnded = false;
    if (encoding == SumTextEncoding::Utf8 || encoding == SumTextEncoding::Utf8WithMark) {
        // Whole runs up to the line end, checked once the line is complete.
        while (!lineEnded && Fill()) {
            const char* start = chunk.data() + position;
            const void* newline = std::memchr(start, '\n', filled - position);
            const std::size_t run =
                newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - start) : filled - position;
            const std::size_t room = lineLimit > line.text.size() ? lineLimit - line.text.size() : 0;
            line.text.append(start, run < room ? run : room);
            if (run > room)
                line.status = SumTextLineStatus::TooLong;
            position += run + (newline ? 1 : 0);
            lineEnded = newline != nullptr;
        }
        if (line.status == SumTextLineStatus::Text &&
            (line.text.find('\0') != std::string::npos || !IsValidUtf8(line.text)))
            line.status = SumTextLineStatus::NotText;
    } else {
        std::uint32_t unit = 0;
        while (!lineEnded && TakeUnit(unit)) {
            if (unit == '\n') {
                lineEnded = true;
            } else if (IsHighSurrogate(unit)) {
                std::uint32_t low = 0;
                if (TakeUnit(low) && IsLowSurrogate(low)) {
                    Append(line, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                } else {
                    line.status = SumTextLineStatus::NotText;
                    lineEnded = low == '\n';
                }
            } else if (IsLowSurrogate(unit) || unit == 0 || unit > 0xFFFF) {
                line.status = SumTextLineStatus::NotText;
            } else {
                Append(line, unit);
            }
        }
    }
    if (!line.text.empty() && line.text.back() == '\r')
        line.text.pop_back();
    line.number = ++lines;
    return true;
}
