// The in-place editor of the Receive and Transmit cells: what it may hold and the text it opens with.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/image/model.h"

namespace rt62 {

// At most 9 characters, each a digit, "." or a blank: what a "%9.5f" frequency needs. The commit reads
// the text as SetFrequencyText does, so it always stores a number.
inline constexpr int kCellEditMaxChars = 9;
bool CellEditAccepts(char32_t c);
// A text the editor could hold (an empty one too): the grid's paste takes no other frequency.
bool IsCellEditText(std::string_view text);

// The text the editor opens with on Enter or a double-click: the cell's, except that an inhibited
// transmitter still has a frequency and that is what the user edits; nullopt where no editor opens
// (another column, a channel not in use).
std::optional<std::string> CellEditSeed(const ImageModel& model, int n, int column);

} // namespace rt62
