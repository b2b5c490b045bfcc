// CTCSS tone and DCS code lists, the tone byte codec and the tone texts of the channel grid.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rt62 {

inline constexpr int kCtcssCount = 50;
inline constexpr int kDcsCount = 107;

enum ToneKind : int { kToneNone = 0, kToneCtcss = 1, kToneDcs = 2 };

// List texts; an empty view for a position without an entry (never indexes past the list).
std::string_view CtcssText(int position);   // " 67.0", ... "254.1"
std::string_view DcsText(int position);     // "023", ... "224"

// The radio's CTCSS code is the tone's place 1-50 in ascending frequency. Codes 51-127 have no tone;
// they map to positions 50-126 (position = code - 1) so that such a value is written back unchanged.
int CtcssCodeOfPosition(int position);
int CtcssPositionOfCode(int code);

// DCS complement (the F3 key); a position without an entry is returned unchanged.
int ComplementDcs(int position);

struct ToneValue {
    int kind = kToneNone;
    int ctcss = 0;  // list position, meaningful when kind is CTCSS
    int dcs = 0;    // list position, meaningful when kind is DCS
};
ToneValue DecodeTone(std::uint8_t byte);
std::uint8_t EncodeTone(int kind, int ctcssPosition, int dcsPosition);

// Grid texts: "-------", "C-%s", "D-%s  "; positions without a list entry show "C-???" / "D-???  ".
std::string ToneCellText(int kind, int ctcssPosition, int dcsPosition);

// The CTCSS position of a tone in hertz, matched to a tenth ("67" is 67.0); -1 when the list has none.
int CtcssPositionOfHz(double hz);
// The DCS position of a code, also when written without its leading zeros ("23" is 023); -1 for none.
int DcsPositionOfCode(std::string_view code);

// How a tone text may be spelled: exactly as a grid cell shows it, blanks after the value allowed
// ("C- 67.0", "D-047  ", "-------"), or loosely, as the text forms take it: any case, blanks anywhere,
// "none" for no tone, CTCSS by its number ("C-67"), DCS without leading zeros ("D-23").
enum class ToneSpelling { Cell, Loose };
// The tone a text names; no tone has both positions 0, a tone of a list has the other position 0.
std::optional<ToneValue> ParseToneText(std::string_view text, ToneSpelling spelling);

}  // namespace rt62
