// The grid's columns, the cells each edit may change, the in-place editor's seed and the pick lists.
#include "core/grid/cell_input.h"
#include "core/grid/cell_paste.h"
#include "core/grid/cell_speech.h"
#include "core/grid/columns.h"
#include "core/grid/pick_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "core/image/fields.h"
#include "core/image/language.h"
#include "core/image/tones.h"

namespace rt62 {
namespace {

TEST(GridColumns, ColumnItemsCoverEachColumnOnce) {
    std::set<int> seen;
    for (int item = 0; item < kColumnItemCount; ++item) {
        for (int column : ColumnsOfItem(item)) {
            EXPECT_TRUE(seen.insert(column).second) << column;
            EXPECT_EQ(ColumnItemOfColumn(column), item);
        }
    }
    EXPECT_EQ(seen.size(), 19u);
    EXPECT_EQ(ColumnItemOfColumn(0), -1);
    EXPECT_TRUE(ColumnsOfItem(kColumnItemCount).empty());
}

// In every language the headings keep the grid's shape: a group heading spans the same columns as in
// English (so a translation that gave two neighbouring groups one word would merge them), no heading goes
// blank, and the undo steps name the column; what programs read stays English.
TEST(GridColumns, HeadingsKeepTheirShapeInEveryLanguage) {
    for (const Language& language : Languages()) {
        SCOPED_TRACE(std::string(language.code));
        SetLanguage(language);
        for (int c = 0; c < kGridColumnCount; ++c) {
            EXPECT_EQ(HeaderText(0, c).empty(), EnglishHeaderText(0, c).empty()) << c;
            EXPECT_FALSE(HeaderText(1, c).empty()) << c;
            if (c > 0) {
                EXPECT_EQ(HeaderText(0, c) == HeaderText(0, c - 1), EnglishHeaderText(0, c) == EnglishHeaderText(0, c - 1))
                    << c;
            }
            const std::string step = GridStepName(GridStep::Edit, 2, c);
            EXPECT_NE(step.find('3'), std::string::npos) << step;
            EXPECT_EQ(step.find("%2"), std::string::npos) << step;
        }
    }
    SetLanguage(FindLanguage("de") ? *FindLanguage("de") : EnglishLanguage());
    EXPECT_EQ(HeaderText(1, kColReceive), "Empfang");
    EXPECT_EQ(GridStepName(GridStep::Edit, 2, kColReceive), "Kanal 3 Empfang bearbeiten");
    EXPECT_EQ(EnglishHeaderText(0, kColDec), "SUB AUDIO");
    SetLanguage(EnglishLanguage());
    EXPECT_EQ(HeaderText(1, kColReceive), "Receive");
    EXPECT_EQ(GridStepName(GridStep::Paste, 15, kColTwoToneS), "Paste Ch 16 2-Tone S");
}

// Every cell an edit changes, in text or in words, is one the edit announces; other rows never change.
TEST(GridColumns, EditsChangeOnlyTheCellsTheyAnnounce) {
    const auto craft = [](int variant) {
        ImageModel m = MakeFactoryImage(variant & 1);
        m.image[0xBE] = variant & 2 ? 0xFF : 0x00; // every option gate open, or none
        WritePageCode(m.image, 3, {"123", 0});
        m.image[0xD4 + 4] = 0x05; // pair 3 on
        m.image[0xD4 + 5] = 0x0A;
        DecodeImage(m);
        ChannelEntry& e = m.channels.at(4);
        e.decKind = e.encKind = kToneDcs;
        e.prox = 1;
        e.twoToneP = 3;
        e.txInhibit = variant & 4 ? 1 : 0;
        e.inUse = variant & 8 ? 0 : 1;
        return m;
    };
    const auto cells = [](const ImageModel& m) {
        std::vector<std::string> out;
        for (int n = 0; n < kChannelCount; ++n)
            for (int c = 0; c < kGridColumnCount; ++c)
                out.push_back(ChannelCellText(m, n, c) + "|" + ChannelCellSpeech(m, n, c));
        return out;
    };
    CellUi ui;
    ui.pickValue = [](int, int, int) { return 3; };
    ui.pickTone = [](bool, int, int) { return 5; };
    for (int variant = 0; variant < 16; ++variant) {
        for (int column = 0; column < kGridColumnCount; ++column) {
            std::vector<std::function<void(ImageModel&)>> edits = {
                [&](ImageModel& m) { EditCell(m, 4, column, ui); },
                [&](ImageModel& m) { m.channels.PickTone(4, column, ui); },
                [&](ImageModel& m) { m.channels.ComplementDcs(4, column); },
                [&](ImageModel& m) { // the editor's commit, where an editor opens
                    if (CellEditSeed(m, 4, column)) SetFrequencyText(m, 4, column, "146.52");
                },
            };
            // Pasting what a cell of this variant or of its other transmit shows (a copy is a whole row).
            const ImageModel base = craft(variant);
            const ImageModel other = craft(variant ^ 4);
            std::set<std::string> texts;
            for (int from = 0; from < kChannelCount && column != kColChannel; ++from)
                for (const ImageModel* source : {&base, &other})
                    texts.insert(ChannelCellText(*source, from, column));
            for (const std::string& text : texts)
                edits.push_back([&, text](ImageModel& m) { PasteIntoCell(m, 4, column, text, {}); });
            const std::vector<std::string> before = cells(base);
            const std::vector<int> announced = ColumnsChangedBy(column);
            for (const auto& edit : edits) {
                ImageModel m = base;
                edit(m);
                const std::vector<std::string> after = cells(m);
                for (std::size_t i = 0; i < after.size(); ++i) {
                    if (after[i] == before[i]) continue;
                    const int n = static_cast<int>(i) / kGridColumnCount;
                    const int c = static_cast<int>(i) % kGridColumnCount;
                    EXPECT_TRUE(n == 4 && std::count(announced.begin(), announced.end(), c))
                        << "variant " << variant << ", an edit of column " << column << " changed channel "
                        << n + 1 << " column " << c << ": " << before[i] << " -> " << after[i];
                }
            }
        }
    }
}

// The cells an edit of each column redraws in its row: the column, and those its value feeds (a receive
// frequency sets the transmit one, a tone can clear PROX, the primary pair goes with S); an edit of the
// channel column (in use) redraws the whole row.
TEST(GridColumns, EachColumnRedrawsWhatDependsOnIt) {
    const std::map<int, std::set<int>> feeds{{kColReceive, {kColTransmit}},
                                             {kColDec, {kColEnc, kColProx}},
                                             {kColEnc, {kColDec, kColProx}},
                                             {kColTwoToneP, {kColTwoToneS}}};
    for (int column = -1; column <= kGridColumnCount; ++column) {
        const std::vector<int> got = ColumnsChangedBy(column);
        std::set<int> want;
        if (column == kColChannel) {
            for (int c = 0; c < kGridColumnCount; ++c) want.insert(c);
        } else if (column > 0 && column < kGridColumnCount) {
            want.insert(column);
            if (feeds.count(column)) want.insert(feeds.at(column).begin(), feeds.at(column).end());
        }
        EXPECT_EQ(std::set<int>(got.begin(), got.end()), want) << column;
        EXPECT_EQ(got.size(), want.size()) << column;
    }
}

TEST(CellEditor, OpensWithTheFrequencyItEdits) {
    ImageModel m = MakeFactoryImage(1);
    m.channels.at(1).rxFrequency = 146.52;
    m.channels.at(1).txInhibit = 1;
    m.channels.at(1).txFrequency = 147.12;
    m.channels.at(2).inUse = 0;
    const struct {
        int n, column;
        const char* seed; // nullptr: no editor opens
    } rows[] = {{1, kColReceive, "146.52000"}, {1, kColTransmit, "147.12000"}, // inhibited: still its frequency
                {0, kColTransmit, "150.00000"}, {2, kColReceive, nullptr},     {1, kColDec, nullptr},
                {16, kColReceive, nullptr}};
    for (const auto& r : rows) {
        const std::optional<std::string> seed = CellEditSeed(m, r.n, r.column);
        EXPECT_EQ(seed.has_value(), r.seed != nullptr) << r.n << " " << r.column;
        if (seed && r.seed) {
            EXPECT_EQ(*seed, r.seed);
        }
        if (seed) {
            EXPECT_TRUE(IsCellEditText(*seed)) << *seed; // what it opens with, it can hold
        }
    }
}

TEST(PickLists, ValueListItemsSelectionAndValue) {
    // pages 1, 2 and 5 hold codes, pairs 2 and 6 are on.
    PagesInUse pages{};
    PairsOn pairs{};
    for (int k : {1, 2, 5}) pages[static_cast<std::size_t>(k - 1)] = true;
    for (int k : {2, 6}) pairs[static_cast<std::size_t>(k - 1)] = true;
    const std::vector<std::string> pageItems{"Off", "1", "2", "5"}, pairItems{"Off", "Pair #2", "Pair #6"};
    const struct {
        int mode, current, selected, value; // value: what the selected row (or OK on none) returns
    } rows[] = {{13, 4, 4, 4}, {13, 14, -1, 0}, // squelch 14 selects nothing
                {16, 5, 3, 5}, {16, 4, 2, 2},   {16, 9, 3, 5}, {16, 0, 0, 0}, // an empty page selects the one below
                {18, 6, 2, 6}, {18, 1, 0, 0},   {18, 4, 1, 2}};
    for (const auto& r : rows) {
        const PickList list = ValueListItems(r.mode, r.current, pages, pairs);
        if (r.mode == kValueModePage) {
            EXPECT_EQ(list.items, pageItems);
        }
        if (r.mode == kValueModePair) {
            EXPECT_EQ(list.items, pairItems);
        }
        if (r.mode == kValueModeSquelch) {
            EXPECT_EQ(list.items.size(), 13u);
        }
        EXPECT_EQ(list.selected, r.selected) << r.mode << " " << r.current;
        EXPECT_EQ(ValueOfListPosition(r.mode, list.items, list.selected), r.value) << r.mode << " " << r.current;
    }
    EXPECT_EQ(ValueListTitle(kValueModePair), "Primary Pair Position");
}

TEST(PickLists, ToneListsFollowTheFirmware) {
    // Code "224" (index 106) joins the DCS list from firmware 2.08, sorted in; positions map both ways.
    for (const int firmware : {207, 208}) {
        const PickList dcs = ToneListItems(true, firmware, 106);
        EXPECT_EQ(dcs.items.size(), firmware >= kFirmwareWithDcs224 ? 107u : 106u);
        EXPECT_TRUE(std::is_sorted(dcs.items.begin(), dcs.items.end()));
        EXPECT_EQ(dcs.selected, firmware >= kFirmwareWithDcs224 ? kDcs224Position : -1);
        for (int p = 0; p < static_cast<int>(dcs.items.size()); ++p) {
            const int index = ToneIndexOfPosition(true, firmware, p);
            EXPECT_EQ(DcsText(index), dcs.items[static_cast<std::size_t>(p)]);
            EXPECT_EQ(TonePositionOfIndex(true, firmware, index), p);
        }
    }
    const PickList ctcss = ToneListItems(false, 208, 49);
    EXPECT_EQ(ctcss.items.size(), 50u);
    EXPECT_EQ(ctcss.selected, 49);
    EXPECT_EQ(ctcss.items[0], " 67.0");
    EXPECT_EQ(TonePositionOfIndex(false, 208, 50), -1);
}

} // namespace
} // namespace rt62
