// What a screen reader hears for each grid cell must say what the cell shows: every column and every
// glyph it can show, over random images, read against the cell's own text.
#include "core/grid/cell_speech.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "core/image/cells.h"
#include "core/image/frequency.h"
#include "core/image/layout.h"
#include "core/image/text_rules.h"

namespace rt62 {
namespace {

// The words a cell's glyph stands for; nullopt where the glyph alone does not say (the Type column).
std::optional<std::string> WordsFor(int column, const std::string& glyph) {
    static const std::map<std::string, std::string> marks{{"-", "off"}, {"v", "on"}};
    static const std::map<std::string, std::string> words{
        {"W", "wide"}, {"N", "narrow"}, {"H", "high"}, {"L", "low"}, {"--", "transmit always allowed"},
        {"BC", "busy channel lock-out"}, {"BT", "busy tone lock-out"}, {"-------", "none"}};
    const std::string t(Trim(glyph));
    switch (column) {
    case kColChannel: return std::nullopt;
    case kColReceive: return t + " MHz";
    case kColTransmit: return glyph == kInhibitedFrequencyText ? "transmit inhibited" : t + " MHz";
    case kColDec:
    case kColEnc:
        if (t.ends_with("???")) return "unknown";
        if (t.starts_with("C-")) return "CTCSS " + std::string(Trim(std::string_view(t).substr(2))) + " Hz";
        if (t.starts_with("D-")) return "DCS " + t.substr(2);
        return words.at(t);
    case kColSquelch: return t;
    case kColPage:
    case kColTwoToneP: return t == "-" ? "none" : t;
    case kColWideNarrow:
    case kColPower:
    case kColLockOut: return t == "???" ? "unknown" : words.at(t);
    default: return marks.at(t);
    }
}

TEST(CellSpeech, EveryColumnSaysWhatItsCellShows) {
    std::mt19937 rng(62);
    std::map<std::pair<int, std::string>, int> seen; // (column, glyph) pairs met, to see the sweep is wide
    for (int round = 0; round < 48; ++round) {
        ImageModel m = MakeFactoryImage(round % 4);
        for (std::uint8_t& b : m.image) b = static_cast<std::uint8_t>(rng());
        m.image[0xBE] = round % 2 ? 0xFF : 0x00; // the paging option on and off
        DecodeImage(m);
        for (int n = 0; n < kChannelCount; ++n) {
            const bool inUse = m.channels.at(n).inUse != 0;
            for (int c = 0; c < kGridColumnCount; ++c) {
                const std::string glyph = ChannelCellText(m, n, c);
                const std::string value = ChannelValueSpeech(m, n, c);
                const std::optional<std::string> want = WordsFor(c, glyph);
                const std::string where = "ch " + std::to_string(n + 1) + " col " + std::to_string(c) + " '" + glyph + "'";
                if (!want)
                    EXPECT_EQ(value, inUse ? "in use" : "not in use") << where;
                else if (*want == "unknown")
                    EXPECT_TRUE(value.starts_with("unknown value ")) << where << ": " << value;
                else
                    EXPECT_EQ(value, *want) << where;
                const std::string prefix = "Channel " + std::to_string(n + 1) + ", " +
                                           (!inUse && c != kColChannel ? "not in use, " : "");
                EXPECT_EQ(ChannelCellSpeech(m, n, c), prefix + ColumnSpeech(c) + ", " + value) << where;
                ++seen[{c, std::string(Trim(glyph))}];
            }
        }
    }
    // Each two- and three-state column met every state it has.
    const std::pair<int, std::string_view> states[] = {{kColScan, "-"},  {kColScan, "v"},       {kColLockOut, "--"},
                                                  {kColLockOut, "BC"}, {kColLockOut, "BT"}, {kColWideNarrow, "W"},
                                                  {kColWideNarrow, "N"}, {kColPower, "H"},   {kColPower, "L"},
                                                  {kColTransmit, kInhibitedFrequencyText}, {kColPage, "-"}};
    for (const auto& [column, glyph] : states)
        EXPECT_GT((seen[{column, std::string(glyph)}]), 0) << column << " " << glyph;
    ImageModel scan = MakeFactoryImage(0);
    scan.channels.at(0).scan = 2; // shown as "-", like 0
    EXPECT_EQ(ChannelValueSpeech(scan, 0, kColScan), "off");
    // Out of range: nothing, rather than another channel's or column's words.
    const ImageModel m = MakeFactoryImage(0);
    const std::pair<int, int> outside[] = {{-1, 0}, {kChannelCount, 0}, {0, -1}, {0, kGridColumnCount}};
    for (const auto& [n, c] : outside)
        EXPECT_EQ(ChannelCellSpeech(m, n, c), "") << n << "," << c;
}

} // namespace
} // namespace rt62
