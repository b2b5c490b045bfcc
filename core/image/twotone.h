// Two-tone paging: the 240-tone table in four groups, the custom list, and the pair table codec.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/image/radio_image.h"

namespace rt62 {

// Application-wide; not stored in the image or any file.
enum class TwoToneFormat { Standard = 0, Custom = 1 };

inline constexpr int kTwoToneToneCount = 240;
inline constexpr int kTwoToneGroupCount = 4;
inline constexpr int kCustomGroup = 5;          // PairEntry group of a pair in the Custom format
inline constexpr int kCustomListSize = 221;
inline constexpr std::string_view kUnknownTwoToneText = "   ???   ";

struct TwoToneGroup {
    std::string_view name;  // "MOTOROLA  ", "GE/99 GRP ", "PLECTRON  ", "REACH GRP " (blanks kept)
    int base;               // code of index 0
    int count;              // entries in the table, texts or not
    int offered;            // leading entries that have texts (the browser offers these)
};
const TwoToneGroup& TwoToneGroupInfo(int group);  // 1-4; others give group 1

// Group list texts by PairEntry group: 0 "   OFF    ", 1-4 the group names, 5 "  Custom  ". "???" beyond.
std::string_view TwoToneGroupText(int group);

// The group (1-4) a stored code reads as: base(j) <= code < base(j+1), 255 after group 4; 0 for 255 and up.
int TwoToneGroupOfCode(int code);

// Table text of a code (e.g. " 1- 330.5"); "   ???   " for codes with no text (empty entries, 240 and up).
std::string TwoToneCodeText(int code);
// Text of index within group (1-4); "   ???   " when the group has no text there.
std::string TwoToneIndexText(int group, int index);
// True when the code has a text in the table.
bool TwoToneCodeHasText(int code);

// Combined custom list: position 0-220 <-> code. A code outside the list gives -1, and so does a bad position.
int CustomPositionToCode(int position);
int CodeToCustomPosition(int code);

// One decoded pair: group 0 off, 1-4 standard (values are indexes in the group), 5 custom (values are codes).
struct PairEntry {
    int group = 0;
    int first = 0;
    int second = 0;
    bool operator==(const PairEntry&) const = default;
};
using PairEntries = std::array<PairEntry, 6>;

// Reads the six pairs; a pair that mixes groups switches format to Custom (earlier pairs are converted).
PairEntries DecodePairs(const RadioImage& image, TwoToneFormat& format);
// Writes 0xD4-0xDF under the given format (off pairs as 0xFF 0xFF).
void EncodePairs(RadioImage& image, const PairEntries& pairs, TwoToneFormat format);

}  // namespace rt62
