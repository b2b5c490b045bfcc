#include "core/image/model.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/image/fields.h"
#include "core/image/frequency.h"
#include "core/image/layout.h"
#include "core/image/tones.h"

namespace rt62 {
namespace {

ImageModel Loaded(const RadioImage& image) {
    ImageModel m;
    LoadDefaults(m);
    m.image = image;
    DecodeImage(m);
    return m;
}

TEST(NormalizeImage, IdempotentAndAFixedPointOnRandomImages) {
    std::mt19937 rng(1);
    for (int round = 0; round < 300; ++round) {
        RadioImage random{};
        for (auto& b : random) b = static_cast<std::uint8_t>(rng() & 0xFF);
        ImageModel m = Loaded(random);
        NormalizeImage(m);
        // Bytes no section owns, and the hardware block as read, are never touched.
        for (std::size_t i : {0x00, 0x01, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xEF, 0xF4, 0xF7})
            EXPECT_EQ(m.image[i], random[i]) << round << " byte " << i;
        EXPECT_EQ(ReadImageChecksum(m.image), ComputeImageChecksum(m.image));

        const RadioImage once = m.image;
        DecodeImage(m);
        const auto entries = m.channels.entries;
        NormalizeImage(m);
        ASSERT_EQ(m.image, once) << "round " << round;
        DecodeImage(m);
        EXPECT_EQ(m.channels.entries, entries) << "round " << round;
    }
}

TEST(NormalizeImage, ClearsReservedBitsAndKeepsValuesWithoutTexts) {
    RadioImage image = MakeFactoryImage(2).image;
    image[0xBE] = 0x0A;           // ANI option, reserved bit 3
    image[0xE1] |= 0xFC;          // reserved
    image[0xF0] = 0xC1;           // reserved bits 7-6 and 0
    image[0xF1] |= 0x10;          // reserved
    image[0xBF] |= 0x80;          // reserved
    Record(image, 2)[1] |= 0x10;  // ANI on while the ANI option hides it
    Record(image, 2)[0] |= 0x0C;  // reserved bit 3, encryption without its option
    Record(image, 2)[2] |= 0x30;  // reserved
    Record(image, 0)[1] |= 0x03;  // Lock Out 3
    Record(image, 1)[4] = 60;     // CTCSS code without a tone
    Record(image, 1)[5] = 0xF5;   // DCS position 116
    image[0x0E] = 0xE0 | (image[0x0E] & 0x0F);  // key code 14
    image[0x15] |= 0x03;                        // revert channel 3
    ImageModel m = Loaded(image);
    EXPECT_EQ(m.channels.at(2).ani, 0);
    NormalizeImage(m);
    auto at = [](int n, std::size_t i) { return kFirstRecord + kRecordSize * std::size_t(n) + i; };
    const struct {
        std::size_t at;
        std::uint8_t mask, value;
    } bytes[] = {{0xBE, 0xFF, 0x02},    {0xE1, 0xFF, 0x00},    {0xF0, 0xFF, 0x00},    {at(2, 1), 0x10, 0x00},
                 {at(2, 0), 0x0C, 0x00}, {at(2, 2), 0x30, 0x00}, {at(0, 1), 0x03, 0x03}, {at(1, 4), 0xFF, 60},
                 {at(1, 5), 0xFF, 0xF5}, {0x0E, 0xF0, 0xE0},    {0x15, 0x03, 0x03},    {0xF1, 0x10, 0x00},
                 {0xBF, 0x80, 0x00}};
    for (const auto& b : bytes) EXPECT_EQ(m.image[b.at] & b.mask, b.value) << std::hex << b.at;
}

TEST(NormalizeImage, EmptyChannelBecomesARealFrequency) {
    for (int code : {0, 3}) {
        RadioImage image = MakeFactoryImage(code).image;
        WriteRxValue(Record(image, 5), 0x0042);
        ImageModel m = Loaded(image);
        const double expected = IsUhfCode(code) ? 450.0 : 150.0;
        EXPECT_DOUBLE_EQ(m.channels.at(5).rxFrequency, expected);
        NormalizeImage(m);
        EXPECT_EQ(ReadRxValue(Record(m.image, 5)),
                  EncodeReceive(expected, 0, code, IsUhfCode(code), m.hardware.firstIfMHz, 0));
    }
}

TEST(HardwareSection, CountsSurviveUnlessAHardwareValueChanges) {
    RadioImage image = MakeFactoryImage(0).image;
    // Counts whose MHz value does not truncate back exactly, and an alternate count that disagrees.
    WriteRefXtalMainCount(image, 8499);
    WriteRefXtalAltCount(image, 6797);
    WriteFirstIfKhz(image, 21699);
    ImageModel m = Loaded(image);
    EXPECT_DOUBLE_EQ(m.hardware.refXtalMHz, 21.2475);
    EXPECT_DOUBLE_EQ(m.hardware.firstIfMHz, 21.699);
    NormalizeImage(m);
    EXPECT_EQ(ReadRefXtalMainCount(m.image), 8499);
    EXPECT_EQ(ReadRefXtalAltCount(m.image), 6797);
    EXPECT_EQ(ReadFirstIfKhz(m.image), 21699);

    m.hardware.refXtalMHz = 21.3;  // entered: both counts follow the new value
    NormalizeImage(m);
    EXPECT_EQ(ReadRefXtalMainCount(m.image), 8520);
    EXPECT_EQ(ReadRefXtalAltCount(m.image), 6816);
    EXPECT_EQ(ReadFirstIfKhz(m.image), 21699);

    m.hardware.SetBand(true, m.defaultSplit);  // band change: UHF factory values
    NormalizeImage(m);
    EXPECT_EQ(ReadRefXtalMainCount(m.image), 2900);
    EXPECT_EQ(ReadFirstIfKhz(m.image), 43950);
    EXPECT_EQ(layout::kBandStepCode.Read(m.image), 2);

    for (int position = 0; position <= 30; ++position) {  // SQL Release Time: bits 5-1 of 0xF0
        m.hardware.sqlReleaseTime = position;
        NormalizeImage(m);
        EXPECT_EQ(m.image[0xF0], position << 1);
        DecodeImage(m);
        EXPECT_EQ(m.hardware.sqlReleaseTime, position);
    }
}

// Pick lists answer from a script; an empty script answers Cancel.
struct ScriptedUi {
    explicit ScriptedUi(std::vector<std::optional<int>> script = {}) : answers(std::move(script)) {}
    std::vector<std::optional<int>> answers;
    int beeps = 0;
    std::optional<int> Next() {
        if (answers.empty()) return std::nullopt;
        auto a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    CellUi ui() {
        return {[this](int, int, int) { return Next(); }, [this](bool, int, int) { return Next(); },
                [this] { ++beeps; }};
    }
};

TEST(ChannelTable, EditCellActions) {
    using E = ChannelEntry;
    const struct {
        const char* name;
        std::uint8_t option;
        std::function<void(E&)> setup;
        int n, column;
        std::optional<int> answer;
        bool modified;
        int beeps;
        int E::* field;
        int expected;
    } cases[] = {
        {"channel 1 stays in use", 0, nullptr, 0, 0, {}, true, 0, &E::inUse, 1},
        {"other channel toggles", 0, nullptr, 3, 0, {}, true, 0, &E::inUse, 0},
        {"not in use refuses", 0, [](E& e) { e.inUse = 0; }, 3, 1, {}, false, 0, &E::narrow, 0},
        {"dec DCS -> none clears PROX", 0, [](E& e) { e.decKind = e.encKind = 2; e.prox = 1; }, 2, 4, {}, true, 0,
         &E::prox, 0},
        {"enc CTCSS -> DCS keeps PROX off", 0, [](E& e) { e.decKind = 2; e.encKind = 1; }, 2, 5, {}, true, 0,
         &E::prox, 0},
        {"VTS refused without trunk", 0, nullptr, 2, 10, {}, true, 0, &E::vts, 0},
        {"VTS with trunk", 0x80, nullptr, 2, 10, {}, true, 0, &E::vts, 1},
        {"lock out 3 -> 0", 0, [](E& e) { e.lockOut = 3; }, 2, 12, {}, true, 0, &E::lockOut, 0},
        {"squelch picked", 0, nullptr, 2, 13, 9, true, 0, &E::squelch, 9},
        {"ANI refused with ANI option", 0x02, nullptr, 2, 14, {}, true, 0, &E::ani, 0},
        {"encryption needs an option", 0, nullptr, 2, 15, {}, true, 0, &E::encryption, 0},
        {"encryption with the board", 0x20, nullptr, 2, 15, {}, true, 0, &E::encryption, 1},
        {"encryption with its option", 0x01, nullptr, 2, 15, {}, true, 0, &E::encryption, 1},
        {"page picked", 0x40, nullptr, 2, 16, 3, true, 0, &E::pagePresent, 1},
        {"page off", 0x40, [](E& e) { e.pageNumber = 3; e.pagePresent = 1; }, 2, 16, 0, true, 0, &E::pagePresent, 0},
        {"page without paging option", 0, nullptr, 2, 16, 3, true, 0, &E::pageNumber, 0},
        {"PROX beeps with one DCS", 0, [](E& e) { e.decKind = 2; }, 2, 17, {}, false, 1, &E::prox, 0},
        {"PROX with both DCS", 0, [](E& e) { e.decKind = e.encKind = 2; }, 2, 17, {}, true, 0, &E::prox, 1},
        {"pair picked", 0, nullptr, 2, 18, 4, true, 0, &E::twoToneP, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ImageModel m = MakeFactoryImage(0);
        m.image[0xBE] = c.option;
        if (c.setup) c.setup(m.channels.at(c.n));
        ScriptedUi script{{c.answer}};
        EXPECT_EQ(EditCell(m, c.n, c.column, script.ui()), c.modified);
        EXPECT_EQ(script.beeps, c.beeps);
        EXPECT_EQ(m.channels.at(c.n).*c.field, c.expected);
    }
}

TEST(ChannelTable, FrequencyEntryUsesSplitAndSnap) {
    ImageModel m = MakeFactoryImage(1);
    m.defaultSplit = 0.6;
    m.channels.at(4).inUse = 0;
    const ChannelEntry& e = m.channels.at(4);
    EXPECT_TRUE(SetFrequencyText(m, 4, kColReceive, "146.52"));
    EXPECT_EQ(e.inUse, 1);
    EXPECT_DOUBLE_EQ(e.txFrequency, 147.12);
    EXPECT_EQ(*m.channels.FrequencyText(4, kColReceive), "146.52000");
    SetFrequencyText(m, 4, kColReceive, "junk");
    EXPECT_DOUBLE_EQ(e.rxFrequency, 134.0);
    SetFrequencyText(m, 4, kColTransmit, "146.5125");
    EXPECT_EQ(e.txAltStep, 1);
    m.channels.at(4).txInhibit = 1;
    EXPECT_EQ(*m.channels.FrequencyText(4, kColTransmit), "---.-----");
    EXPECT_FALSE(m.channels.FrequencyText(4, kColDec));

    ImageModel u = MakeFactoryImage(2);
    SetFrequencyText(u, 0, kColTransmit, "600");
    EXPECT_DOUBLE_EQ(u.channels.at(0).txFrequency, 512.0);
}

// Code 2 stores no 5 kHz count between 491.515 and 492.8 MHz (they would read as empty), so an entry
// there takes the nearest frequency the value holds, on either step, and a save keeps what was shown.
TEST(ChannelTable, FrequencyEntryKeepsToStorableValues) {
    const struct {
        const char* column;
        int localOffset;
        const char* entered;
        const char* shown;
        int altStep;
    } cases[] = {
        {"tx", 0, "492.73", "492.73125", 1},
        {"tx", 0, "491.52", "491.51875", 1},
        {"tx", 0, "492.8", "492.80000", 1},  // fits as entered (a 6.25 kHz multiple)
        {"rx", 1, "446.505", "446.50625", 1},  // oscillator 446.505 + 45.1 MHz ("Upper")
        {"rx", 0, "446.505", "446.50500", 0},  // oscillator 401.405 MHz fits
    };
    for (const auto& c : cases) {
        ImageModel m = MakeFactoryImage(2);
        m.hardware.firstIfMHz = 45.1;
        m.hardware.localOffset = c.localOffset;
        const int column = c.column[0] == 't' ? kColTransmit : kColReceive;
        SetFrequencyText(m, 3, column, c.entered);
        EXPECT_EQ(*m.channels.FrequencyText(3, column), c.shown) << c.entered;
        const ChannelEntry& e = m.channels.at(3);
        EXPECT_EQ(column == kColTransmit ? e.txAltStep : e.rxAltStep, c.altStep) << c.entered;
        NormalizeImage(m);
        DecodeImage(m);
        EXPECT_EQ(*m.channels.FrequencyText(3, column), c.shown) << c.entered << " after a save";
    }
}

TEST(ChannelTable, PickToneAndComplement) {
    ChannelTable t;
    t.Defaults();
    ScriptedUi none;
    EXPECT_FALSE(t.PickTone(1, kColDec, none.ui()));
    EXPECT_EQ(none.beeps, 1);
    t.at(1).decKind = kToneCtcss;
    ScriptedUi pick{{12, std::nullopt}};  // the second pick is cancelled
    EXPECT_TRUE(t.PickTone(1, kColDec, pick.ui()));
    EXPECT_FALSE(t.PickTone(1, kColDec, pick.ui()));
    EXPECT_EQ(t.at(1).decCtcss, 12);

    t.at(1).encKind = kToneDcs;
    ScriptedUi dcs{{0}};
    EXPECT_TRUE(t.PickTone(1, kColEnc, dcs.ui()));
    EXPECT_TRUE(t.ComplementDcs(1, kColEnc));
    EXPECT_EQ(DcsText(t.at(1).encDcs), "047");
    EXPECT_FALSE(t.ComplementDcs(1, kColDec)) << "only a DCS column";
}

TEST(ChannelTable, ClearingReferencesTouchesOnlyThoseChannels) {
    ImageModel m = MakeFactoryImage(0);
    m.image[0xBE] = 0x60;
    for (int n : {1, 4, 9}) m.channels.at(n).twoToneP = 2;
    m.channels.at(5).twoToneP = 3;
    for (int n : {2, 6}) m.channels.at(n).pageNumber = 7;
    for (int n : {2, 6}) m.channels.at(n).pagePresent = 1;
    NormalizeImage(m);
    const RadioImage before = m.image;
    EXPECT_EQ(m.channels.ClearPairReferences(2, m.image), 3);
    EXPECT_EQ(m.channels.ClearPageReferences(7, m.image), 2);
    for (int n = 0; n < kChannelCount; ++n) {
        const bool pair = n == 1 || n == 4 || n == 9, page = n == 2 || n == 6;
        EXPECT_EQ(m.channels.at(n).twoToneP, n == 5 ? 3 : 0) << n;
        EXPECT_EQ(m.channels.at(n).pageNumber, 0) << n;
        for (std::size_t i = 0; i < 10; ++i) {
            const std::uint8_t diff = Record(before, n)[i] ^ Record(m.image, n)[i];
            int allowed = i == 0 && pair ? 0x02 : i == 1 && page ? 0x04 : 0;
            if (i == 3) allowed = (pair ? 0xF0 : 0) | (page ? 0x0F : 0);
            EXPECT_EQ(diff & ~allowed, 0) << "channel " << n << " byte " << i;
        }
    }
}

TEST(ChannelTable, OptionChangeBandResetAndDecode) {
    ChannelTable t;
    t.Defaults();
    ChannelEntry& e = t.at(6);
    e.vts = e.pagePresent = e.encryption = 1;
    e.channelType = 16;
    e.pageNumber = 4;
    t.ApplyOptionChange(6, 1, 1, 1);
    EXPECT_EQ(e.vts, 1);
    t.ApplyOptionChange(6, 0, 0, 0);
    EXPECT_EQ(e, [] {
        ChannelEntry cleared;
        cleared.channelType = 6;
        return cleared;
    }());
    t.at(3).inUse = 0;
    t.ResetForBand(true);
    EXPECT_EQ(t.at(3).inUse, 1);
    EXPECT_DOUBLE_EQ(t.at(3).txFrequency, 450.0);

    ImageModel m = MakeFactoryImage(3);
    m.image[0x12] = 0x01;  // scan channel 1
    m.image[0x11] = 0x01;  // VTS channel 16
    m.image[0x1D] = 0x5A;  // types of channels 15 and 16
    m.image[0xBE] = 0x40;  // board paging
    const RecordView r = Record(m.image, 9);
    r[1] = 0x24;             // TOT, page present
    r[3] = 0x52;             // pair nibble 5 (no present bit), page nibble 2
    WriteTxValue(r, 30000);  // 300.0 MHz: no transmit
    DecodeImage(m);
    EXPECT_TRUE(m.channels.IsScanOn(0));
    EXPECT_FALSE(m.channels.IsScanOn(1));
    EXPECT_EQ(m.channels.at(14).channelType, 5);
    EXPECT_EQ(m.channels.at(15).channelType, 10);
    const ChannelEntry& d = m.channels.at(9);
    EXPECT_EQ(d.pageNumber, 3);
    EXPECT_EQ(d.twoToneP, 0);
    EXPECT_EQ(d.txInhibit, 1);
    EXPECT_DOUBLE_EQ(d.txFrequency, d.rxFrequency);
}

}  // namespace
}  // namespace rt62
