// The field catalogue: every value the grid shows and the parameter dialogs store, by path, with its
// reader, its writer (the grid's and the dialogs' rules), its allowed texts and the data-file bits it owns.
// Text export, import and the field-level diff all walk this one list.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/image/data_file.h"
#include "core/image/model.h"

namespace rt62 {

// Bits of one byte of a data file (offsets 0-253 the image, 254-261 the Default Split trailer).
struct OwnedBits {
    std::uint16_t offset;
    std::uint8_t mask;
};

// Why a text was not stored: a string-table entry whose %1 is the field's path and %2 the text given;
// args fill %3 onwards.
struct FieldRefusal {
    int stringId;
    std::vector<std::string> args;
};
using FieldWriteResult = std::optional<FieldRefusal>; // nullopt: stored

struct CatalogueField {
    std::string group;   // "radio", "hardware", ..., "channels"; empty for the top-level default_split
    std::string key;     // snake_case key within the group (or within the channel)
    int channel = -1;    // 0-15 for the fields of a channel
    int gridColumn = -1; // the grid column that shows a channel field (ChannelGridColumn)
    std::vector<OwnedBits> owned;
    std::vector<std::string> choices; // the allowed texts of a list field; empty for free-form fields
    std::vector<std::string> shown;   // the same as the field's dialog lists them, padding and all
    // The field's text, from a model prepared by DecodeForCatalogue.
    std::function<std::string(const ImageModel&)> read;
    // Sets the field from text as the grid's paste or the field's dialog would.
    std::function<FieldWriteResult(ImageModel&, std::string_view)> write;

    // "channels[3].receive" (channels counted from 1), "scanning.dual_watch", "default_split".
    std::string Path() const;
};

// All fields in the order an import applies them: the radio and hardware first (the channel
// frequencies depend on them), then the option board (it gates channel fields), the other settings,
// and the channels last.
const std::vector<CatalogueField>& FieldCatalogue();
// The field with that path, or null.
const CatalogueField* FindField(std::string_view path);
// A list field's texts as its parameter dialog lists them; empty when path names no list field.
const std::vector<std::string>& DialogChoices(std::string_view path);

// Bits of the data file that no field owns (reserved bits, radio-owned bytes). The checksum bytes
// 0xFC-0xFD are not listed: they are recomputed, not owned.
using DataFileMask = std::array<std::uint8_t, kDataFileSize>;
const DataFileMask& UnownedBits();

// A model decoded from a whole data file. Two-tone pairs are read under startFormat, which switches to
// Custom when a pair mixes groups, as the table dialog reads them.
ImageModel ModelFromDataFile(const DataFileBytes& bytes, TwoToneFormat startFormat = TwoToneFormat::Standard);
// The model's image and Default Split as they stand (no normalizing).
DataFileBytes DataFileOfModel(const ImageModel& model);

// How list texts are compared: blanks trimmed and runs of blanks taken as one, letters in any case.
std::string ComparableText(std::string_view text);

// Band and step texts to a BandStepCode (band "VHF"/"UHF", step one of that band's two texts); -1 when
// either is not recognised. Lets an import pick the default data file before any field is set.
int BandStepCodeOfTexts(std::string_view band, std::string_view step);

} // namespace rt62
