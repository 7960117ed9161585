#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Two hexadecimal digits per byte, first byte first, no separators.
std::wstring FormatDigestText(const std::uint8_t* digest, std::size_t size, bool lowercase);
