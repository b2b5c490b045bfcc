// Cell texts of a channel: the glyphs and numbers the grid, the text forms and rt62m show.
#include "core/image/cells.h"

#include <array>
#include <cstdio>

#include "core/image/frequency.h"
#include "core/image/layout.h"
#include "core/image/tones.h"

namespace rt62 {

namespace {

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

}  // namespace rt62
