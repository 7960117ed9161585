#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Two hexadecimal digits per byte, first byte first, no separators.
std::wstring FormatDigestText(const std::uint8_t* digest, std::size_t size, bool lowercase);

// A CRC's value is written most significant digit first; Crypto++'s CRCs
// give their bytes least significant first: this turns them around.
void CrcBytesMostSignificantFirst(std::uint8_t* digest, std::size_t size);
