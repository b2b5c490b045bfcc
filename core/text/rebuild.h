// Rebuilding a data file from field texts and raw bits, and finding the texts and raw bits that rebuild
// a given file exactly. The YAML form is a spelling of these two.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/image/catalogue.h"

namespace rt62 {

// Bits a text form carries besides its field texts. Bits no field owns are always applied. Bits of a
// field are applied only while that field's text still reads the same from them, so an edited text wins
// over the raw value it replaces.
struct RawBits {
    DataFileMask value{};
    DataFileMask mask{};
    // The stored checksum of a file whose checksum was not its sum; kept while the sum is unchanged.
    struct Checksum {
        std::uint16_t stored = 0;
        std::uint16_t sum = 0;
    };
    std::optional<Checksum> checksum;

    void Set(std::size_t offset, std::uint8_t bits, std::uint8_t bitMask);
    bool Empty() const;
};

struct FieldText {
    const CatalogueField* field = nullptr;
    std::string text;
    int line = 0; // 1-based place in the text form; 0 when unknown
    int column = 0;
};

// One problem of an import, with the message already filled in from the string table.
struct TextProblem {
    int line = 0;
    int column = 0;
    std::string message; // e.g. "channels[3].receive: 500.0 is outside 134.00000-174.00000 MHz for VHF"
    // The message with its place: "line 12, column 14: ..." (just the message when the place is unknown).
    std::string Text() const;
};

struct RebuildResult {
    DataFileBytes bytes{};
    TwoToneFormat format = TwoToneFormat::Standard; // the two-tone format the texts left in force
    std::vector<TextProblem> problems;
    std::vector<const CatalogueField*> refused; // fields whose text could not be stored
};

// Sets the fields on base (absent fields keep it), normalizes as a save does, then applies the raw bits
// and stores the checksum.
RebuildResult RebuildDataFile(const std::vector<FieldText>& texts, const RawBits& raw,
                              const DataFileBytes& base, TwoToneFormat baseFormat = TwoToneFormat::Standard);

struct FileTexts {
    std::vector<FieldText> fields; // every field of the catalogue, in its order
    RawBits raw;
};

// The field texts of a file, and the raw bits that make RebuildDataFile give the file back byte for byte
// on the band's factory image or on the file itself.
FileTexts TextsOfDataFile(const DataFileBytes& file, TwoToneFormat format = TwoToneFormat::Standard);

// The factory image of a BandStepCode as a data file (what the default files hold).
DataFileBytes FactoryDataFile(int bandStepCode);

} // namespace rt62
