// The radio's 254-byte programming memory and the 262-byte data file that carries it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace rt62 {

inline constexpr std::size_t kImageSize = 254;   // 252 data bytes + the 16-bit checksum
inline constexpr std::size_t kTrailerSize = 8;   // Default Split, little-endian IEEE-754 double
inline constexpr std::size_t kDataFileSize = kImageSize + kTrailerSize;  // 262

using RadioImage = std::array<std::uint8_t, kImageSize>;
using FileTrailerBytes = std::array<std::uint8_t, kTrailerSize>;

}  // namespace rt62
