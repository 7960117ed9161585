#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Two hexadecimal digits per byte, first byte first, no separators.
std::wstring FormatDigestText(const std::uint8_t* digest, std::size_t size, bool lowercase);

// The bytes of a digest text (two hexadecimal digits per byte, either case)
// appended; false, and nothing appended, for any other text.
bool AppendDigestBytes(std::wstring_view text, std::string& bytes);

// A CRC's value is written most significant digit first; Crypto++'s CRCs
// give their bytes least significant first: this turns them around.
void CrcBytesMostSignificantFirst(std::uint8_t* digest, std::size_t size);
