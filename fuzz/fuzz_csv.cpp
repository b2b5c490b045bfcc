// Channel CSV texts through the importer, on the factory file and on a file with every option.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "core/image/data_file.h"
#include "fuzz/support.h"
#include "core/text/csv_channels.h"

namespace rt62 {
namespace {

CsvImport Import(std::string_view text, const DataFileBytes* base, bool strict) {
    try {
        return ImportCsv(text, base, strict);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "exception: %s\n", e.what());
        RT62_FUZZ_CHECK(false, "an exception left ImportCsv");
    } catch (...) {
        RT62_FUZZ_CHECK(false, "an exception left ImportCsv");
    }
    return {};
}

// A problem is about a row, so it names the row's line; the cell is not pinned down (column 0).
void CheckProblems(const CsvImport& r) {
    for (const TextProblem& p : r.problems)
        RT62_FUZZ_CHECK(p.line >= 1 && p.column >= 0, "a problem names its line");
    RT62_FUZZ_CHECK(r.ok || !r.problems.empty(), "a refused text says why");
}

// Exporting what was imported and importing that on the result changes nothing: every channel the
// export writes is read back as it was stored.
void CheckRoundTrip(const CsvImport& first) {
    if (!first.ok) return;
    const CsvImport second = Import(ExportCsv(first.bytes), &first.bytes, true);
    CheckProblems(second);
    RT62_FUZZ_CHECK(second.ok, "the export of an accepted text imports");
    RT62_FUZZ_CHECK(second.bytes == first.bytes, "the export of an accepted text imports to the same bytes");
}

} // namespace
} // namespace rt62

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rt62;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const CsvImport loose = Import(text, nullptr, false);
    CheckProblems(loose);
    CheckRoundTrip(loose);

    const CsvImport strict = Import(text, nullptr, true);
    CheckProblems(strict);
    RT62_FUZZ_CHECK(!strict.ok || strict.problems.empty(), "a strict import with problems is refused");
    CheckRoundTrip(strict);
    return 0;
}
