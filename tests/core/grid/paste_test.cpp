// The paste rule of every grid column and the channel copy, against a VHF factory image.
#include "core/grid/cell_paste.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "core/image/cells.h"
#include "core/image/fields.h"
#include "core/image/model.h"
#include "core/image/tones.h"

namespace rt62 {
namespace {

// Channel 3 (index 2) is the target: in use, 150.000 MHz, with Dec and Enc DCS so PROX may be pasted.
// Page codes 1, 5 and 10 hold codes; two-tone pairs 2 and 6 are on; the paging option is on; channel 10
// is unused.
ImageModel Prepared() {
    ImageModel m = MakeFactoryImage(0);
    m.defaultSplit = 0.6;
    m.channels.at(2).decKind = kToneDcs;
    m.channels.at(2).encKind = kToneDcs;
    m.channels.at(9).inUse = 0;
    WritePageCode(m.image, 1, {"123", 0});
    WritePageCode(m.image, 5, {"555", 1});
    m.image[0xD4 + 2] = 0x05; // pair 2: two codes of one group
    m.image[0xD4 + 3] = 0x0A;
    WritePageCode(m.image, 10, {"910", 0}); // the last page code and the last pair, for the edges
    m.image[0xD4 + 10] = 0x05;
    m.image[0xD4 + 11] = 0x0A;
    m.image[0xBE] |= 0x40;
    return m;
}

TEST(Paste, ColumnRules) {
    struct Row {
        int column;
        const char* text;
        const char* cell; // the cell's text after the paste; nullptr: refused, the entry unchanged
    };
    const Row rows[] = {
        {1, "N", "N"},           {1, "w", nullptr},
        {2, "146.52000", "146.52000"}, {2, "", "134.00000"}, {2, " 146.5", "146.50000"},
        {2, "146.520000", nullptr}, {2, "146.5MHz", nullptr}, {2, "\t146.5", nullptr},
        {3, "---.-----", "---.-----"}, {3, "155", "155.00000"},
        {4, "C- 67.0", "C- 67.0"}, {5, "C-254.1  ", "C-254.1"}, {5, "D-047  ", "D-047  "},
        {4, "D-224", "D-224  "}, {4, "-------", "-------"},
        {5, "C-67.0", nullptr},  {5, "C- 67.1", nullptr}, {4, "D-024", nullptr}, {4, "D-47", nullptr},
        {4, "C", nullptr},       {4, "------", nullptr},  {4, "none", nullptr}, {4, "c- 67.0", nullptr},
        {6, "x", nullptr},       {7, "v", "v"},          {8, "L", "L"},       {8, "h", nullptr},
        {9, "V", nullptr},       {10, "v", "v"},         {11, "v\tv", nullptr},
        {12, "BT", "BT"},        {12, "bc", nullptr},
        {13, "12", "12"},        {13, "0", " 0"},        {13, " 0", " 0"},   {13, "\n7", " 7"},
        {13, "13", nullptr},     {13, "abc", nullptr},   {13, "00", nullptr}, {13, "-1", nullptr},
        {14, "v", "v"},          {15, "v", "v"}, // ANI and Encr ignore their option gates
        {16, "5", " 5"},         {16, "-", "-"},         {16, "3", nullptr},  {16, "10", "10"}, {16, "11", nullptr},
        {17, "v", "v"},          {18, " 2", " 2"},       {18, "-", "-"},      {18, "3", nullptr},
        {18, "6", " 6"},         {18, "7", nullptr},      {18, "99999999999", nullptr}, {19, "v", "v"},
    };
    for (const Row& r : rows) {
        ImageModel m = Prepared();
        const ChannelEntry before = m.channels.at(2);
        const PasteResult result = PasteIntoCell(m, 2, r.column, r.text, {});
        EXPECT_EQ(result.outcome, r.cell ? PasteOutcome::Stored : PasteOutcome::Refused)
            << r.column << " \"" << r.text << '"';
        if (r.cell)
            EXPECT_EQ(ChannelCellText(m, 2, r.column), r.cell) << r.column << " \"" << r.text << '"';
        else
            EXPECT_EQ(m.channels.at(2), before) << r.column << " \"" << r.text << '"';
    }

    // No tone clears both list positions; a tone of one list keeps the other list's.
    ImageModel m = Prepared();
    m.channels.at(2).decCtcss = 9;
    ASSERT_TRUE(PasteIntoCell(m, 2, kColDec, "C-100.0", {}).accepted());
    EXPECT_EQ(m.channels.at(2).decDcs, Prepared().channels.at(2).decDcs);
    ASSERT_TRUE(PasteIntoCell(m, 2, kColDec, "-------", {}).accepted());
    EXPECT_EQ(m.channels.at(2).decCtcss, 0);
    EXPECT_EQ(m.channels.at(2).decDcs, 0);
}

TEST(Paste, UnusedChannelAndInhibit) {
    ImageModel m = Prepared();
    for (int column = 1; column < kColumnCount; ++column)
        EXPECT_FALSE(PasteIntoCell(m, 9, column, ChannelCellText(m, 9, column), {}).accepted()) << column;
    EXPECT_EQ(PasteIntoCell(m, 9, kColChannel, "3", {}).outcome, PasteOutcome::CopyConfirmed);

    // A refused transmit paste keeps the inhibit; an accepted one clears it and leaves receive.
    m.channels.at(2).txInhibit = 1;
    EXPECT_FALSE(PasteIntoCell(m, 2, kColTransmit, "abc", {}).accepted());
    EXPECT_EQ(m.channels.at(2).txInhibit, 1);
    EXPECT_TRUE(PasteIntoCell(m, 2, kColTransmit, "151", {}).accepted());
    EXPECT_EQ(m.channels.at(2).txInhibit, 0);
    EXPECT_EQ(m.channels.at(2).rxFrequency, 150.0);
}

TEST(Paste, ChannelCopyRules) {
    const struct {
        const char* text; // pasted on channel 5
        int source;       // the source channel index; -1 refused
    } rows[] = {{"  3", 2},  {"16", 15},  {"  3\tW\tH", 2}, {"  3\tW\t150.00000", -1}, {"17", -1}, {"0", -1},
                {"2.5", -1}, {"  5", -1}, {"", -1},         {"abc", -1},               {"-3", -1}};
    for (const auto& r : rows) {
        for (const bool yes : {true, false}) {
            ImageModel m = Prepared();
            int asked = 0;
            std::string question;
            PasteContext context;
            context.confirmCopy = [&](const std::string& pasted, const std::string& destination) {
                question = pasted + "|" + destination;
                return ++asked, yes;
            };
            const ChannelEntry before = m.channels.at(4);
            const PasteResult p = PasteIntoCell(m, 4, kColChannel, r.text, context);
            EXPECT_EQ(p.accepted(), r.source >= 0) << r.text;
            EXPECT_EQ(asked, r.source >= 0 ? 1 : 0) << r.text;
            EXPECT_EQ(p.sourceChannel, r.source) << r.text;
            if (r.source < 0) continue;
            // The question names the text as pasted and the destination's cell, blanks and all.
            EXPECT_EQ(question, std::string(r.text) + "|  5");
            EXPECT_EQ(p.outcome, yes ? PasteOutcome::CopyConfirmed : PasteOutcome::CopyDeclined);
            if (!yes) {
                EXPECT_EQ(m.channels.at(4), before) << r.text;
            }
        }
    }
}

TEST(Paste, CopyChannelByItems) {
    // Each item alone visible: only its fields move.
    const std::function<bool(const ChannelEntry&)> copied[] = {
        [](const ChannelEntry& e) { return e.narrow == 1; },
        [](const ChannelEntry& e) {
            return std::abs(e.rxFrequency - 146.52) < 1e-9 && std::abs(e.txFrequency - 147.12) < 1e-9 &&
                   e.txInhibit;
        },
        [](const ChannelEntry& e) { return e.decKind == kToneDcs && e.decDcs == 7 && e.encCtcss == 9; },
        [](const ChannelEntry& e) { return e.powerSaveRx && e.powerSaveTx; },
        [](const ChannelEntry& e) { return e.power == 1; },
        [](const ChannelEntry& e) { return e.scan == 3; },
        [](const ChannelEntry& e) { return e.vts == 1; },
        [](const ChannelEntry& e) { return e.tot == 0; },
        [](const ChannelEntry& e) { return e.lockOut == 2; },
        [](const ChannelEntry& e) { return e.squelch == 11; },
        [](const ChannelEntry& e) { return e.ani == 1; },
        [](const ChannelEntry& e) { return e.encryption == 1; },
        [](const ChannelEntry& e) { return e.pageNumber == 5 && e.pagePresent; },
        [](const ChannelEntry& e) { return e.prox == 1; },
        [](const ChannelEntry& e) { return e.twoToneP == 2 && e.twoToneS; },
    };
    for (std::size_t item = 0; item < std::size(copied); ++item) {
        ImageModel m = Prepared();
        m.channels.at(2) = ChannelEntry{146.52, 147.12, 1, 1, 0, 0, 1,  1, 1, 2, 9, 0, 0, 7, 1,
                                        1,      0,      1, 1, 2, 2, 11, 1, 2, 3, 1, 1, 5, 1};
        const ChannelEntry before = m.channels.at(4);
        ColumnItemValues items{};
        items[item] = 1;
        CopyChannel(m, 2, 4, items);
        const ChannelEntry& d = m.channels.at(4);
        EXPECT_TRUE(copied[item](d)) << "item " << item;
        for (std::size_t other = 0; other < std::size(copied); ++other) // nothing else moved
            EXPECT_TRUE(other == item || copied[other](before) == copied[other](d))
                << "item " << item << " also copied item " << other;
    }
}

TEST(Paste, CopyChannelInUseAndType) {
    ImageModel m = Prepared();
    m.channels.at(9).narrow = 1;
    const ColumnItemValues all{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    CopyChannel(m, 9, 0, all); // into channel 1: stays in use
    EXPECT_EQ(m.channels.at(0).inUse, 1);
    EXPECT_EQ(m.channels.at(0).narrow, 1);
    CopyChannel(m, 9, 1, all); // into channel 2: switched off, its type kept
    EXPECT_EQ(m.channels.at(1).inUse, 0);
    EXPECT_EQ(m.channels.at(1).channelType, 1);
    CopyChannel(m, 2, 9, ColumnItemValues{}); // no item visible: only the in-use flag
    EXPECT_EQ(m.channels.at(9).inUse, 1);
    EXPECT_EQ(m.channels.at(9).narrow, 1);

    // An INI value other than 1 counts as hidden; copied frequencies are snapped again.
    m.channels.at(2).rxFrequency = 146.52;
    ColumnItemValues odd = all;
    odd[1] = 2;
    CopyChannel(m, 2, 5, odd);
    EXPECT_EQ(m.channels.at(5).rxFrequency, 150.0);
    m.channels.at(2).rxFrequency = 146.00625;
    m.channels.at(2).rxAltStep = 0;
    CopyChannel(m, 2, 5, all);
    EXPECT_EQ(m.channels.at(5).rxAltStep, 1);
}

} // namespace
} // namespace rt62
