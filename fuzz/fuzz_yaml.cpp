// YAML texts through the importer, and any 262 bytes through export and import.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "core/image/data_file.h"
#include "fuzz/support.h"
#include "core/text/yaml_text.h"

namespace rt62 {
namespace {

// Catches what would otherwise leave the importer, so a thrown exception reads as a broken property.
YamlImport Import(std::string_view text) {
    try {
        return ImportYaml(text);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "exception: %s\n", e.what());
        RT62_FUZZ_CHECK(false, "an exception left ImportYaml");
    } catch (...) {
        RT62_FUZZ_CHECK(false, "an exception left ImportYaml");
    }
    return {};
}

// The export carries raw bits for whatever no field spells, so any file comes back byte for byte. The
// format asked for is a preference: pairs stored in the other format make the export name that one,
// and the import must leave in force the format the text names.
void CheckFileRoundTrip(const DataFileBytes& file, TwoToneFormat format) {
    const std::string text = ExportYaml(file, format);
    const YamlImport back = Import(text);
    RT62_FUZZ_CHECK(back.ok, "the export of a data file imports");
    RT62_FUZZ_CHECK(back.bytes == file, "the export of a data file imports to its bytes");
    // The export names the format the pairs settle to; comparing with that spares a second export.
    RT62_FUZZ_CHECK(back.format == ModelFromDataFile(file, format).twoToneFormat,
                    "the import keeps the format the export names");
}

} // namespace
} // namespace rt62

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rt62;
    if (size == kDataFileSize) {
        DataFileBytes file{};
        std::copy(data, data + size, file.begin());
        CheckFileRoundTrip(file, TwoToneFormat::Standard);
        CheckFileRoundTrip(file, TwoToneFormat::Custom);
    }

    const YamlImport first = Import(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const TextProblem& p : first.problems)
        RT62_FUZZ_CHECK(p.line >= 1 && p.column >= 1, "a problem names its line and column");
    if (!first.ok) {
        RT62_FUZZ_CHECK(!first.problems.empty(), "a refused text says why");
        return 0;
    }
    RT62_FUZZ_CHECK(first.problems.empty(), "an accepted text has no problems");
    // The accepted file's export must import to the same bytes. Its YAML spelling is what every
    // 262-byte input above checks through the whole text; here the round trip is checked on the field
    // texts and raw bits the export spells, which spares parsing an 8 KB text once more per input.
    const FileTexts texts = TextsOfDataFile(first.bytes, first.format);
    const YamlImport second = ImportTexts(texts.fields, texts.raw);
    RT62_FUZZ_CHECK(second.ok, "the export of an accepted text imports");
    RT62_FUZZ_CHECK(second.bytes == first.bytes, "the export of an accepted text imports to the same bytes");
    RT62_FUZZ_CHECK(second.format == first.format, "the export of an accepted text keeps its format");
    return 0;
}
