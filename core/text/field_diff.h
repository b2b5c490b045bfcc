// Field-level differences between two data files, in the words of the field catalogue.
#pragma once

#include <string>
#include <vector>

#include "core/image/catalogue.h"

namespace rt62 {

enum class DiffMode {
    Files,            // every difference counts
    RadioAgainstFile, // a = the radio's image, b = the file: what a Download would take from the radio
                      // (0xE8-0xEF, 0xF2-0xFB, the Default Split) is shown but does not count
};

struct DiffLine {
    std::string text; // "channels[3].receive: 146.52000 -> 146.55000", "raw 0x1e: 88 -> 80", ...
    bool counts = true;
};

struct DiffReport {
    std::vector<DiffLine> lines; // fields in catalogue order, then raw bytes, then the checksum
    bool Differs() const;        // any line that counts
    // The exit code of a diff command: 0 equal, 1 different.
    int ExitCode() const { return Differs() ? 1 : 0; }
};

DiffReport DiffDataFiles(const DataFileBytes& a, const DataFileBytes& b, DiffMode mode = DiffMode::Files,
                         TwoToneFormat format = TwoToneFormat::Standard);

} // namespace rt62
