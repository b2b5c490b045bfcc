// The service dump of the image: an 18 x 17 table of hexadecimal cell texts with offset headings.
#pragma once

#include <array>
#include <string>

#include "core/image/radio_image.h"

namespace rt62 {

inline constexpr int kDumpRows = 18;     // heading row + 17 rows of 16 bytes
inline constexpr int kDumpColumns = 17;  // heading column + 16 bytes

using DumpCells = std::array<std::array<std::string, kDumpColumns>, kDumpRows>;

// Row 0 holds "00".."0f", column 0 holds "00000h".."00100h", cell (0,0) is empty. Offsets 0-253 are
// the image, 254-261 the data file's trailer in file order, and the cells past 261 stay empty.
DumpCells ImageDumpCells(const RadioImage& image, const FileTrailerBytes& trailer);

}  // namespace rt62
