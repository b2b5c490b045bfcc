// The whole radio as one YAML document ("format: rt62m-1"): export and import.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/text/rebuild.h"

namespace rt62 {

inline constexpr std::string_view kYamlFormat = "rt62m-1";

// The YAML text of a data file: radio, hardware, the dialogs' settings, the default split, the 16
// channels and the raw bits that make an import give back exactly these 262 bytes.
std::string ExportYaml(const DataFileBytes& file, TwoToneFormat format = TwoToneFormat::Standard);

// A field's text as the export writes it: plain, or double-quoted wherever a YAML 1.1 or 1.2 library
// could read the plain text as something else (a number in any base, a time, a boolean, a null).
std::string YamlScalar(const std::string& text);

struct YamlImport {
    bool ok = false;       // false: problems lists why, bytes are not to be used
    DataFileBytes bytes{}; // the rebuilt data file (image and Default Split)
    TwoToneFormat format = TwoToneFormat::Standard;
    std::vector<TextProblem> problems; // each names its line, column, field and what is allowed
};

// Builds a data file from YAML text. Fields present are set as the grid and the dialogs set them; absent
// fields keep base, or, when base is null, the factory image of the band the text names (VHF 2.5,6.25kHz
// when it names none).
YamlImport ImportYaml(std::string_view yaml, const DataFileBytes* base = nullptr,
                      TwoToneFormat baseFormat = TwoToneFormat::Standard);

// The second half of ImportYaml: field texts and raw bits as read from a text, rebuilt on base (or the
// band's factory file) and checked.
YamlImport ImportTexts(const std::vector<FieldText>& fields, const RawBits& raw,
                       const DataFileBytes* base = nullptr, TwoToneFormat baseFormat = TwoToneFormat::Standard);

// A path that names a YAML text (.yaml or .yml, any case) rather than a data file.
bool IsYamlPath(std::string_view path);

// The largest text file an import reads; configuration texts are a few kilobytes.
inline constexpr std::size_t kMaxTextFileSize = 1u << 20;

struct LoadedDataFile {
    bool ok = false;
    DataFileBytes bytes{};
    TwoToneFormat format = TwoToneFormat::Standard;
    std::vector<std::string> problems; // whole messages, a text's with their line and column
};

// A data file, or a YAML text rebuilt on the factory file of its band: the two sides of a comparison.
LoadedDataFile LoadDataFileOrYaml(const std::string& path);

} // namespace rt62
