#include "image/cells.h"

#include <gtest/gtest.h>

#include <set>

#include "image/tones.h"

namespace rt62 {
namespace {

TEST(GridCells, EveryColumnOfACraftedChannel) {
    ImageModel m = MakeFactoryImage(1);
    m.image[0xBE] = 0x40;  // board paging, so the Page column shows the number
    ChannelEntry& e = m.channels.at(11);
    e.narrow = 1;
    e.rxFrequency = 146.52;
    e.txInhibit = 1;
    e.decKind = kToneCtcss;
    e.decCtcss = 0;
    e.encKind = kToneDcs;
    e.encDcs = 0;
    e.powerSaveRx = 1;
    e.power = 1;
    e.scan = 3;
    e.tot = 0;
    e.lockOut = 1;
    e.squelch = 7;
    e.ani = 1;
    e.pagePresent = 1;
    e.pageNumber = 3;
    e.twoToneP = 6;
    e.twoToneS = 1;
    const char* expected[kGridColumnCount] = {" 12", "N",   "146.52000", "---.-----", "C- 67.0", "D-023  ", "v",
                                              "-",   "L",   "v",         "-",         "-",       "BC",      " 7",
                                              "v",   "-",   " 3",        "-",         " 6",      "v"};
    for (int c = 0; c < kGridColumnCount; ++c) EXPECT_EQ(ChannelCellText(m, 11, c), expected[c]) << "column " << c;

    // Without the paging option the number stays in the entry but the cell shows "-".
    m.image[0xBE] = 0x00;
    EXPECT_EQ(ChannelCellText(m, 11, kColPage), "-");
    EXPECT_EQ(m.channels.at(11).pageNumber, 3);
}

TEST(GridCells, ValuesWithoutTextsShowQuestionMarks) {
    ImageModel m = MakeFactoryImage(0);
    ChannelEntry& e = m.channels.at(0);
    e.lockOut = 3;
    e.decKind = kToneCtcss;
    e.decCtcss = 60;
    e.encKind = kToneDcs;
    e.encDcs = 110;
    e.scan = 2;
    EXPECT_EQ(ChannelCellText(m, 0, kColLockOut), "???");
    EXPECT_EQ(ChannelCellText(m, 0, kColDec), "C-???");
    EXPECT_EQ(ChannelCellText(m, 0, kColEnc), "D-???  ");
    EXPECT_EQ(ChannelCellText(m, 0, kColScan), "-");
    EXPECT_EQ(ChannelCellText(m, 0, kColChannel), "  1");
    EXPECT_EQ(ChannelCellText(m, 99, kColChannel), "");
}

TEST(GridCells, HeadersWidthsAndColumnItems) {
    const struct {
        int column;
        const char* row0;
        const char* row1;
        int width;
        int item;
    } columns[] = {
        {0, "", "Type", 480, -1},           {2, "Frequency", "Receive", 1080, 1}, {5, "SUB AUDIO", "Enc", 960, 2},
        {7, "Pwr Save", "TX", 480, 3},      {8, "Pwr", "H/L", 480, 4},            {12, "Lock", "out", 480, 8},
        {17, "", "PROX", 480, 13},          {19, "2-Tone", "S", 480, 14},
    };
    for (const auto& c : columns) {
        EXPECT_EQ(HeaderText(0, c.column), c.row0);
        EXPECT_EQ(HeaderText(1, c.column), c.row1);
        EXPECT_EQ(ColumnWidthTwips(c.column), c.width);
        EXPECT_EQ(ColumnItemOfColumn(c.column), c.item);
    }
    // The 15 items cover columns 1-19 exactly once, each column back to its own item.
    std::set<int> seen;
    for (int item = 0; item < kColumnItemCount; ++item) {
        for (int column : ColumnsOfItem(item)) {
            EXPECT_TRUE(seen.insert(column).second) << column;
            EXPECT_EQ(ColumnItemOfColumn(column), item);
        }
    }
    EXPECT_EQ(seen.size(), 19u);
    EXPECT_EQ(ColumnsOfItem(14).size(), 2u);
    EXPECT_EQ(ColumnItemName(13), "Channel PROX");
    EXPECT_TRUE(ColumnsOfItem(15).empty());
}

}  // namespace
}  // namespace rt62
