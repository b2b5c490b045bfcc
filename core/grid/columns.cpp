// The grid's columns: header rows, widths, column items, edit kinds, changed cells and undo step names.
#include "core/grid/columns.h"

#include <array>

#include "core/image/strings.h"

namespace rt62 {

namespace {

// Headings are string ids: the lower one is kStrHeadingFirst + column; the upper one is 0 where there is
// none. Adjacent columns with the same upper id share one upper cell.
enum : int {
    kStrHeadingFirst = 5123,   // 5123-5142: "Type", "W/N", "Receive", ...
    kStrGroupFrequency = 5143, // "Frequency"
    kStrGroupSubAudio = 5144,  // "SUB AUDIO"
    kStrGroupPowerSave = 5145, // "Pwr Save"
    kStrGroupPower = 5146,     // "Pwr"
    kStrGroupLock = 5147,      // "Lock"
    kStrGroupTwoTone = 5148,   // "2-Tone"
    kStrStepColumnFirst = 5149, // 5149-5168: the columns as undo steps name them
};

struct ColumnInfo {
    int group;
    int widthTwips;
    int item;
};

constexpr std::array<ColumnInfo, kGridColumnCount> kColumns{{
    {0, 480, -1},
    {0, 480, 0},
    {kStrGroupFrequency, 1080, 1},
    {kStrGroupFrequency, 1080, 1},
    {kStrGroupSubAudio, 960, 2},
    {kStrGroupSubAudio, 960, 2},
    {kStrGroupPowerSave, 480, 3},
    {kStrGroupPowerSave, 480, 3},
    {kStrGroupPower, 480, 4},
    {0, 480, 5},
    {0, 480, 6},
    {0, 480, 7},
    {kStrGroupLock, 480, 8},
    {0, 480, 9},
    {0, 480, 10},
    {0, 480, 11},
    {0, 480, 12},
    {0, 480, 13},
    {kStrGroupTwoTone, 480, 14},
    {kStrGroupTwoTone, 480, 14},
}};

constexpr std::array<std::string_view, kColumnItemCount> kItemNames{
    "W/N", "Frequency", "Sub Audio", "Power Save", "Power", "Scan", "VTS", "TOT",
    "Lock Out", "Squelch", "ANI", "Encryption", "Page", "Channel PROX", "2 Tone"};

constexpr std::array<int, 19> kItemColumns{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
// First column of each item in kItemColumns, and one past the last item.
constexpr std::array<int, kColumnItemCount + 1> kItemStart{0, 1, 3, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 19};


enum StepString : int {
    kStrStepEdit = 4202,       // "Edit Ch %1 %2"
    kStrStepPaste = 4203,      // "Paste Ch %1 %2"
    kStrStepCopy = 4204,       // "Copy Ch %1 to Ch %2"
    kStrStepComplement = 4205, // "Complement Ch %1 %2"
};

}  // namespace

namespace {

int HeadingId(int row, int column) {
    if (column < 0 || column >= kGridColumnCount) return 0;
    return row == 0 ? kColumns[static_cast<std::size_t>(column)].group : row == 1 ? kStrHeadingFirst + column : 0;
}

}  // namespace

std::string_view HeaderText(int row, int column) {
    const int id = HeadingId(row, column);
    return id ? StringText(id) : std::string_view{};
}

std::string_view EnglishHeaderText(int row, int column) {
    const int id = HeadingId(row, column);
    return id ? EnglishText(id) : std::string_view{};
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
        column >= 0 && column < kGridColumnCount ? StringText(kStrStepColumnFirst + column) : std::string_view{};
    return FormatString(id, {std::to_string(n + 1), std::string(name)});
}

std::string CopyStepName(int source, int destination) {
    return FormatString(kStrStepCopy, {std::to_string(source + 1), std::to_string(destination + 1)});
}

}  // namespace rt62
