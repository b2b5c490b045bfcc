// Texts of the channel grid: cell texts, header rows, column widths and the column items.
#include "core/image/cells.h"

#include <array>
#include <cstdio>

#include "core/image/frequency.h"
#include "core/image/layout.h"
#include "core/image/tones.h"

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

constexpr std::array<std::string_view, 2> kMarks{"-", "v"};
constexpr std::array<std::string_view, 2> kWideNarrow{"W", "N"};
constexpr std::array<std::string_view, 2> kPower{"H", "L"};
constexpr std::array<std::string_view, 4> kScan{"-", "v", "-", "v"};
constexpr std::array<std::string_view, 3> kLockOut{"--", "BC", "BT"};

std::string Number2(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%2d", v);
    return buf;
}

}  // namespace

std::string_view ListText(std::span<const std::string_view> list, int value) {
    if (value < 0 || static_cast<std::size_t>(value) >= list.size()) return "???";
    return list[static_cast<std::size_t>(value)];
}

std::string ChannelCellText(const ChannelEntry& e, int n, int column, const RadioImage& image) {
    switch (column) {
    case kColChannel: {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%3d", n + 1);
        return buf;
    }
    case kColWideNarrow: return std::string(ListText(kWideNarrow, e.narrow));
    case kColReceive: return FormatFrequency(e.rxFrequency);
    case kColTransmit: return e.txInhibit ? std::string(kInhibitedFrequencyText) : FormatFrequency(e.txFrequency);
    case kColDec: return ToneCellText(e.decKind, e.decCtcss, e.decDcs);
    case kColEnc: return ToneCellText(e.encKind, e.encCtcss, e.encDcs);
    case kColPowerSaveRx: return std::string(ListText(kMarks, e.powerSaveRx));
    case kColPowerSaveTx: return std::string(ListText(kMarks, e.powerSaveTx));
    case kColPower: return std::string(ListText(kPower, e.power));
    case kColScan: return std::string(ListText(kScan, e.scan));
    case kColVts: return std::string(ListText(kMarks, e.vts));
    case kColTot: return std::string(ListText(kMarks, e.tot));
    case kColLockOut: return std::string(ListText(kLockOut, e.lockOut));
    case kColSquelch: return Number2(e.squelch);
    case kColAni: return std::string(ListText(kMarks, e.ani));
    case kColEncryption: return std::string(ListText(kMarks, e.encryption));
    case kColPage:
        return e.pagePresent && layout::kOptionBoardPaging.Read(image) ? Number2(e.pageNumber) : std::string("-");
    case kColProx: return std::string(ListText(kMarks, e.prox));
    case kColTwoToneP: return e.twoToneP != 0 ? Number2(e.twoToneP) : std::string("-");
    case kColTwoToneS: return std::string(ListText(kMarks, e.twoToneS));
    default: return {};
    }
}

std::string ChannelCellText(const ImageModel& model, int n, int column) {
    if (n < 0 || n >= kChannelCount) return {};
    return ChannelCellText(model.channels.at(n), n, column, model.image);
}

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

}  // namespace rt62
