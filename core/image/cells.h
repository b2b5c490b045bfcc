// Texts of the channel grid: every cell of a channel row, the two header rows, column widths and items.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/image/model.h"
#include "core/image/sections.h"

namespace rt62 {

inline constexpr int kGridColumnCount = 20;
inline constexpr int kGridHeaderRows = 2;
inline constexpr int kColumnItemCount = 15;

// Cell text of column 0-19 for channel n (0-based); the image supplies the paging option bit.
std::string ChannelCellText(const ChannelEntry& entry, int n, int column, const RadioImage& image);
std::string ChannelCellText(const ImageModel& model, int n, int column);

// Header row 0 ("Frequency", "SUB AUDIO", ...; empty where none) and row 1 ("Type", "W/N", ...).
std::string_view HeaderText(int row, int column);
// Width of a visible column in twips (1/1440 inch, 15 per pixel).
int ColumnWidthTwips(int column);
// The switchable item (0-14) that hides a column; -1 for column 0, which is always shown.
int ColumnItemOfColumn(int column);
// The grid columns of an item (one or two).
std::span<const int> ColumnsOfItem(int item);
// Menu text of an item: "W/N", "Frequency", ... "2 Tone".
std::string_view ColumnItemName(int item);

// A list's text for a stored value, "???" when the list has no such entry.
std::string_view ListText(std::span<const std::string_view> list, int value);

}  // namespace rt62
