#pragma once
// The text of checksum files: UTF-8 (with or without a byte-order mark) or
// UTF-16 with a mark, LF or CRLF, read line by line from any byte source with
// memory that does not grow with the file (a line longer than the limit is
// reported, not kept).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

enum class SumTextEncoding { Utf8, Utf8WithMark, Utf16LittleEndian, Utf16BigEndian };

enum class SumTextLineStatus {
    Text,     // UTF-8 without NUL characters
    TooLong,  // longer than the reader's limit; its text is cut
    NotText,  // invalid UTF-8 or UTF-16, or a NUL character
};

struct SumTextLine {
    std::string text;  // UTF-8, without the line end (LF, CRLF)
    std::uint64_t number = 0;  // from 1
    SumTextLineStatus status = SumTextLineStatus::Text;
};

class SumLineReader {
public:
    // Fills the buffer with up to `size` bytes: the count read, 0 at the end,
    // or -1 when reading failed.
    using ReadBytes = std::function<std::int64_t(char* buffer, std::size_t size)>;

    static constexpr std::size_t kDefaultLineLimit = 256 * 1024;

    explicit SumLineReader(ReadBytes read, std::size_t lineLimit = kDefaultLineLimit);

    // The next line; false at the end of the text or after a failed read.
    bool Next(SumTextLine& line);

    SumTextEncoding Encoding() const { return encoding; }
    bool ReadFailed() const { return readFailed; }

private:
    bool Fill();
    bool TakeUnit(std::uint32_t& unit);  // one byte, or one UTF-16 code unit
    void Append(SumTextLine& line, std::uint32_t codePoint);

    ReadBytes read;
    std::size_t lineLimit;
    std::string chunk;
    std::size_t position = 0;
    std::size_t filled = 0;
    bool started = false;
    bool ended = false;
    bool readFailed = false;
    std::uint64_t lines = 0;
    SumTextEncoding encoding = SumTextEncoding::Utf8;
};

// Whether the bytes are UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);

// UTF-8 and UTF-16 (as wchar_t on Windows) both ways; false for invalid input.
bool Utf8ToWide(std::string_view text, std::wstring& wide);
bool WideToUtf8(std::wstring_view wide, std::string& text);
