// The channel grid's columns: header rows, widths, the column items that hide them, what edits them and
// which cells an edit changes, and the names of the grid's undo steps.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/image/cells.h"

namespace rt62 {

inline constexpr int kGridHeaderRows = 2;
inline constexpr int kColumnItemCount = 15;

// Header row 0 ("Frequency", "SUB AUDIO", ...; empty where none) and row 1 ("Type", "W/N", ...), in the
// language in use; EnglishHeaderText for what programs read.
std::string_view HeaderText(int row, int column);
std::string_view EnglishHeaderText(int row, int column);
// Width of a visible column in twips (1/1440 inch, 15 per pixel).
int ColumnWidthTwips(int column);
// The switchable item (0-14) that hides a column; -1 for column 0, which is always shown.
int ColumnItemOfColumn(int column);
// The grid columns of an item (one or two).
std::span<const int> ColumnsOfItem(int item);
// Menu text of an item: "W/N", "Frequency", ... "2 Tone".
std::string_view ColumnItemName(int item);

// Receive and Transmit are edited as text in place; Enter on Dec or Enc opens the tone list, elsewhere
// it does nothing, and Space (or a double-click) does the column's toggle, cycle or pick.
bool IsFrequencyColumn(int column);
bool IsToneColumn(int column);

// The columns whose cells an edit of column may change: a receive frequency sets the transmit one, a
// tone can clear PROX, the primary pair decides the secondary's meaning; the Type cell's in-use flag
// changes how every cell of the row is shown.
std::vector<int> ColumnsChangedBy(int column);

// Undo step names of the grid's edits, "Edit Ch 3 Receive"; channels 0-based.
enum class GridStep { Edit, Paste, Complement };
std::string GridStepName(GridStep step, int n, int column);
// "Copy Ch 1 to Ch 3".
std::string CopyStepName(int source, int destination);

}  // namespace rt62
