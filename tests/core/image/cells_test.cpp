#include "core/image/cells.h"

#include <gtest/gtest.h>

#include "core/image/strings.h"
#include "core/image/tones.h"

namespace rt62 {
namespace {

TEST(GridCells, EveryColumnOfACraftedChannel) {
    ImageModel m = MakeFactoryImage(1);
    m.image[0xBE] = 0x40; // board paging, so the Page column shows the number
    ChannelEntry& e = m.channels.at(11);
    e.narrow = e.txInhibit = e.powerSaveRx = e.power = e.lockOut = e.ani = e.pagePresent = e.twoToneS = 1;
    e.rxFrequency = 146.52;
    e.decKind = kToneCtcss;
    e.encKind = kToneDcs;
    e.scan = 3;
    e.tot = 0;
    e.squelch = 7;
    e.pageNumber = 3;
    e.twoToneP = 6;
    const char* expected[kGridColumnCount] = {
        " 12", "N", "146.52000", "---.-----", "C- 67.0", "D-023  ", "v",  "-", "L",  "v",
        "-",   "-", "BC",        " 7",        "v",       "-",       " 3", "-", " 6", "v"};
    for (int c = 0; c < kGridColumnCount; ++c)
        EXPECT_EQ(ChannelCellText(m, 11, c), expected[c]) << "column " << c;

    // Without the paging option the number stays in the entry but the cell shows "-".
    m.image[0xBE] = 0x00;
    EXPECT_EQ(ChannelCellText(m, 11, kColPage), "-");
    EXPECT_EQ(m.channels.at(11).pageNumber, 3);

    // Stored values without a text show question marks instead of reading past a list.
    e.lockOut = 3;
    e.decCtcss = 60;
    e.encDcs = 110;
    EXPECT_EQ(ChannelCellText(m, 11, kColLockOut), "???");
    EXPECT_EQ(ChannelCellText(m, 11, kColDec), "C-???");
    EXPECT_EQ(ChannelCellText(m, 11, kColEnc), "D-???  ");
    EXPECT_EQ(ChannelCellText(m, 99, kColChannel), "");
}

TEST(StringTable, FillsNumberedMarkersAndKeepsUnknownOnes) {
    EXPECT_EQ(FormatString(32, {"C:\\a.R62"}), "Problem opening file\r\nFile Name = C:\\a.R62");
    EXPECT_EQ(FormatText("%1 and %2", {"x"}), "x and %2");
    EXPECT_EQ(FormatText("100%", {"x"}), "100%");
    EXPECT_FALSE(HasString(999999));
    // Counts take the singular for exactly one.
    const struct {
        int id;
        std::vector<std::string> args;
        const char* text;
    } counts[] = {
        {4168, {"1", "1"}, "1 channel imported, 1 row skipped"},
        {4168, {"0", "2"}, "0 channels imported, 2 rows skipped"},
        {4168, {"11", "21"}, "11 channels imported, 21 rows skipped"},
        {4004, {"ttyS0", "4800", "8", "1"}, "Port ttyS0: 4800 baud, 8 data bits, no parity, 1 stop bit"},
        {4004, {"ttyS0", "4800", "8", "2"}, "Port ttyS0: 4800 baud, 8 data bits, no parity, 2 stop bits"},
        {4005, {"1", "3"}, "Frame received: 1 byte in 3 ms"},
        {4006, {"262", "3"}, "Frame sent: 262 bytes in 3 ms"},
    };
    for (const auto& c : counts)
        EXPECT_EQ(FormatString(c.id, c.args), c.text);
    EXPECT_EQ(FormatText("%2 %2{x|xs}", {"1"}), "%2 %2{x|xs}");
}

} // namespace
} // namespace rt62
