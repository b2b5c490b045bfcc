// The grid's columns: header rows, widths, column items, edit kinds, changed cells and undo step names.
#include "core/grid/columns.h"

#include <array>

#include "core/image/strings.h"

namespace rt62 {

namespace {

struct ColumnInfo {
    std::string_view header0;
    std::string_view header1;
    int widthTwips;
    int item;
};

constexpr std::array<ColumnInfo, kGridColumnCount> kColumns{{
    {"", "Type", 480, -1},
    {"", "W/N", 480, 0},
    {"Frequency", "Receive", 1080, 1},
    {"Frequency", "Transmit", 1080, 1},
    {"SUB AUDIO", "Dec", 960, 2},
    {"SUB AUDIO", "Enc", 960, 2},
    {"Pwr Save", "RX", 480, 3},
    {"Pwr Save", "TX", 480, 3},
    {"Pwr", "H/L", 480, 4},
    {"", "Scan", 480, 5},
    {"", "VTS", 480, 6},
    {"", "TOT", 480, 7},
    {"Lock", "out", 480, 8},
    {"", "SQ", 480, 9},
    {"", "ANI", 480, 10},
    {"", "Encr", 480, 11},
    {"", "Page", 480, 12},
    {"", "PROX", 480, 13},
    {"2-Tone", "P", 480, 14},
    {"2-Tone", "S", 480, 14},
}};

constexpr std::array<std::string_view, kColumnItemCount> kItemNames{
    "W/N", "Frequency", "Sub Audio", "Power Save", "Power", "Scan", "VTS", "TOT",
    "Lock Out", "Squelch", "ANI", "Encryption", "Page", "Channel PROX", "2 Tone"};

constexpr std::array<int, 19> kItemColumns{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
// First column of each item in kItemColumns, and one past the last item.
constexpr std::array<int, kColumnItemCount + 1> kItemStart{0, 1, 3, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 19};

// Names of the columns in the Edit menu's undo and redo entries ("Undo Edit Ch 3 Receive").
constexpr std::array<std::string_view, kGridColumnCount> kStepColumnNames{
    "Type",        "W/N",        "Receive", "Transmit", "Dec",      "Enc",      "Pwr Save RX",
    "Pwr Save TX", "Power",      "Scan",    "VTS",      "TOT",      "Lock Out", "Squelch",
    "ANI",         "Encryption", "Page",    "PROX",     "2-Tone P", "2-Tone S"};

enum StepString : int {
    kStrStepEdit = 4202,       // "Edit Ch %1 %2"
    kStrStepPaste = 4203,      // "Paste Ch %1 %2"
    kStrStepCopy = 4204,       // "Copy Ch %1 to Ch %2"
    kStrStepComplement = 4205, // "Complement Ch %1 %2"
};

}  // namespace

std::string_view HeaderText(int row, int column) {
    if (column < 0 || column >= kGridColumnCount) return {};
    const ColumnInfo& c = kColumns[static_cast<std::size_t>(column)];
    return row == 0 ? c.header0 : row == 1 ? c.header1 : std::string_view{};
}

int ColumnWidthTwips(int column) {
    if (column < 0 || column >= kGridColumnCount) return 0;
    return kColumns[static_cast<std::size_t>(column)].widthTwips;
}

int ColumnItemOfColumn(int column) {
    if (column < 0 || column >= kGridColumnCount) return -1;
    return kColumns[static_cast<std::size_t>(column)].item;
}

std::span<const int> ColumnsOfItem(int item) {
    if (item < 0 || item >= kColumnItemCount) return {};
    const auto first = static_cast<std::size_t>(kItemStart[static_cast<std::size_t>(item)]);
    const auto last = static_cast<std::size_t>(kItemStart[static_cast<std::size_t>(item) + 1]);
    return std::span<const int>(kItemColumns).subspan(first, last - first);
}

std::string_view ColumnItemName(int item) {
    if (item < 0 || item >= kColumnItemCount) return {};
    return kItemNames[static_cast<std::size_t>(item)];
}

bool IsFrequencyColumn(int column) {
    return column == kColReceive || column == kColTransmit;
}

bool IsToneColumn(int column) {
    return column == kColDec || column == kColEnc;
}

std::vector<int> ColumnsChangedBy(int column) {
    switch (column) {
    case kColChannel: {
        std::vector<int> all;
        for (int c = 0; c < kGridColumnCount; ++c)
            all.push_back(c);
        return all;
    }
    case kColReceive: return {kColReceive, kColTransmit};
    case kColDec:
    case kColEnc: return {kColDec, kColEnc, kColProx};
    case kColTwoToneP: return {kColTwoToneP, kColTwoToneS};
    default:
        if (column > 0 && column < kGridColumnCount) return {column};
        return {};
    }
}

std::string GridStepName(GridStep step, int n, int column) {
    const int id = step == GridStep::Edit    ? kStrStepEdit
                   : step == GridStep::Paste ? kStrStepPaste
                                             : kStrStepComplement;
    const std::string_view name =
        column >= 0 && column < kGridColumnCount ? kStepColumnNames[static_cast<std::size_t>(column)] : "";
    return FormatString(id, {std::to_string(n + 1), std::string(name)});
}

std::string CopyStepName(int source, int destination) {
    return FormatString(kStrStepCopy, {std::to_string(source + 1), std::to_string(destination + 1)});
}

}  // namespace rt62
