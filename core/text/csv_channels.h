// The channel CSV that open-source programmers and repeater directories exchange: export and import.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/text/rebuild.h"

namespace rt62 {

// The header the export writes; an import takes these columns in any order and ignores others.
inline constexpr std::string_view kCsvHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,"
    "CrossMode,Mode,TStep,Skip,Power,Comment";

// One row per channel in use, Location 1-16.
std::string ExportCsv(const DataFileBytes& file);

struct CsvImport {
    bool ok = false;       // false in strict mode when any row has a problem, or when the header is unusable
    DataFileBytes bytes{}; // base with the imported channels, normalized as a save does
    int imported = 0;      // rows stored
    std::vector<TextProblem> problems; // one per skipped row ("row 7: tone 150.0 Hz is not ..."), line set
    std::string Summary() const;       // "5 channels imported, 1 row skipped"
};

// Sets the channels the rows name (receive and transmit frequency, tones, wide/narrow, scan, power;
// the channel is switched on); channels no row names keep base. A row the radio cannot hold is
// reported and skipped; strict refuses the whole file instead. base null: the factory image of the band
// of the first row's frequency.
CsvImport ImportCsv(std::string_view csv, const DataFileBytes* base = nullptr, bool strict = false);

} // namespace rt62
