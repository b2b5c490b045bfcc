#include "core/report/image_dump.h"

#include <cstdio>

namespace rt62 {
namespace {

std::string Hex(const char* format, unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

}  // namespace

DumpCells ImageDumpCells(const RadioImage& image, const FileTrailerBytes& trailer) {
    DumpCells cells;
    for (int c = 1; c < kDumpColumns; ++c) cells[0][c] = Hex("%02x", static_cast<unsigned>(c - 1));
    for (int r = 1; r < kDumpRows; ++r) {
        cells[r][0] = Hex("%05xh", static_cast<unsigned>((r - 1) * 16));
        for (int c = 1; c < kDumpColumns; ++c) {
            std::size_t a = static_cast<std::size_t>((r - 1) * 16 + (c - 1));
            if (a < kImageSize)
                cells[r][c] = Hex("%02x", image[a]);
            else if (a < kDataFileSize)
                cells[r][c] = Hex("%02x", trailer[a - kImageSize]);
        }
    }
    return cells;
}

}  // namespace rt62
