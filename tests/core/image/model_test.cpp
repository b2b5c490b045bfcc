#include "image/model.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "image/fields.h"
#include "image/frequency.h"
#include "image/layout.h"
#include "image/tones.h"

namespace rt62 {
namespace {

RadioImage RandomImage(unsigned seed) {
    std::mt19937 rng(seed);
    RadioImage image{};
    for (auto& b : image) b = static_cast<std::uint8_t>(rng() & 0xFF);
    return image;
}

ImageModel Loaded(const RadioImage& image) {
    ImageModel m;
    LoadDefaults(m);
    m.image = image;
    DecodeImage(m);
    return m;
}

TEST(LoadDefaults, FactoryBytes) {
    ImageModel m;
    LoadDefaults(m);
    const RadioImage& im = m.image;
    const struct {
        std::size_t at;
        std::uint8_t value;
    } bytes[] = {
        {0x00, 0x00}, {0x02, 0xB1}, {0x03, 0x80}, {0x04, 0x16}, {0x05, 0x00}, {0x0D, 0x63}, {0x0E, 0x10},
        {0x0F, 0x00}, {0x14, 0x33}, {0x15, 0x00}, {0x16, 0x01}, {0x1D, 0xEF}, {0xBE, 0x00}, {0xBF, 0x06},
        {0xC0, 0x00}, {0xD4, 0xFF}, {0xDF, 0xFF}, {0xE0, 0x02}, {0xE1, 0x00}, {0xE2, 0x21}, {0xE3, 0x34},
        {0xE4, 0x1A}, {0xE5, 0x90}, {0xE6, 0x54}, {0xE7, 0xC4}, {0xF0, 0x18}, {0xF1, 0x4C}, {0xF2, 0x00},
        {0xF8, 0x01}, {0xF9, 0x01}, {0xFA, 0x01}, {0xFB, 0x00}, {0xFC, 0x00}, {0xFD, 0x00},
    };
    for (const auto& b : bytes) EXPECT_EQ(im[b.at], b.value) << std::hex << b.at;
    const std::uint8_t record[10] = {0x80, 0x20, 0x04, 0x0F, 0x00, 0x00, 0x48, 0x78, 0x6A, 0x60};
    for (int n = 0; n < kChannelCount; ++n)
        for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(Record(im, n)[i], record[i]) << "channel " << n << " byte " << i;
    EXPECT_EQ(m.twoToneFormat, TwoToneFormat::Standard);

    NormalizeImage(m);
    EXPECT_EQ(ReadImageChecksum(m.image), ComputeImageChecksum(m.image));
    EXPECT_NE(ReadImageChecksum(m.image), 0);
}

TEST(MakeFactoryImage, EachBandStepCode) {
    const struct {
        int code;
        int mainCount;
        int altCount;
        int ifKhz;
        int sqlRelease;
        double channelMHz;
    } bands[] = {
        {0, 8500, 6800, 21700, 12, 150.0},
        {1, 4250, 3400, 21700, 12, 150.0},
        {2, 2900, 2320, 43950, 8, 450.0},
        {3, 1450, 1160, 43950, 8, 450.0},
    };
    for (const auto& b : bands) {
        const ImageModel m = MakeFactoryImage(b.code);
        EXPECT_EQ(layout::kBandStepCode.Read(m.image), b.code);
        EXPECT_EQ(ReadRefXtalMainCount(m.image), b.mainCount) << b.code;
        EXPECT_EQ(ReadRefXtalAltCount(m.image), b.altCount) << b.code;
        EXPECT_EQ(ReadFirstIfKhz(m.image), b.ifKhz) << b.code;
        EXPECT_EQ(m.image[0xF0], b.sqlRelease << 1);
        EXPECT_EQ(ReadImageChecksum(m.image), ComputeImageChecksum(m.image));
        ImageModel reread = Loaded(m.image);
        for (const ChannelEntry& e : reread.channels.entries) {
            EXPECT_EQ(e.inUse, 1);
            EXPECT_DOUBLE_EQ(e.rxFrequency, b.channelMHz) << b.code;
            EXPECT_DOUBLE_EQ(e.txFrequency, b.channelMHz) << b.code;
        }
    }
}

TEST(NormalizeImage, IdempotentAndAFixedPointOnRandomImages) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        ImageModel m = Loaded(RandomImage(seed));
        const RadioImage original = m.image;
        NormalizeImage(m);
        // Bytes no section owns are never touched.
        for (std::size_t i : {0x00, 0x01, 0xE8, 0xEF, 0xF4, 0xF7}) EXPECT_EQ(m.image[i], original[i]) << seed;
        // The hardware block comes back exactly as read.
        for (std::size_t i = 0xE2; i <= 0xE7; ++i) EXPECT_EQ(m.image[i], original[i]) << seed << " byte " << i;
        EXPECT_EQ(ReadImageChecksum(m.image), ComputeImageChecksum(m.image));

        const RadioImage once = m.image;
        DecodeImage(m);
        const std::array<ChannelEntry, 16> entries = m.channels.entries;
        const HardwareSection hardware = m.hardware;
        NormalizeImage(m);
        ASSERT_EQ(m.image, once) << "seed " << seed;
        DecodeImage(m);
        EXPECT_EQ(m.channels.entries, entries) << "seed " << seed;
        EXPECT_EQ(m.hardware.refXtalMHz, hardware.refXtalMHz);
        EXPECT_EQ(m.hardware.firstIfMHz, hardware.firstIfMHz);
    }
}

TEST(NormalizeImage, ClearsUnownedBitsAndGatedFields) {
    RadioImage image = MakeFactoryImage(0).image;
    image[0xBE] = 0x0A;                 // ANI option, reserved bit 3
    image[0xE1] |= 0xFC;                // reserved
    image[0xF0] = 0xC1;                 // reserved bits 7-6 and 0
    Record(image, 2)[1] |= 0x10;        // ANI on while the ANI option hides it
    Record(image, 2)[0] |= 0x0C;        // reserved bit 3, encryption without its option
    Record(image, 2)[2] |= 0x30;        // reserved
    ImageModel m = Loaded(image);
    EXPECT_EQ(m.channels.at(2).ani, 0);
    EXPECT_EQ(m.channels.at(2).encryption, 0);
    NormalizeImage(m);
    EXPECT_EQ(m.image[0xBE], 0x02);
    EXPECT_EQ(m.image[0xE1], 0x00);
    EXPECT_EQ(m.image[0xF0], 0x00);
    EXPECT_EQ(Record(m.image, 2)[1] & 0x10, 0);
    EXPECT_EQ(Record(m.image, 2)[0] & 0x0C, 0);
    EXPECT_EQ(Record(m.image, 2)[2] & 0x30, 0);
}

TEST(NormalizeImage, ValuesWithoutListTextsAreWrittenBackUnchanged) {
    RadioImage image = MakeFactoryImage(2).image;
    Record(image, 0)[1] = (Record(image, 0)[1] & 0xFC) | 0x03;  // Lock Out 3
    Record(image, 1)[4] = 60;                                   // CTCSS code without a tone
    Record(image, 1)[5] = 0xF5;                                 // DCS position 116
    image[0x0E] = 0xE0 | (image[0x0E] & 0x0F);                  // key code 14
    image[0x15] = (image[0x15] & 0xFC) | 0x03;                  // revert channel 3
    ImageModel m = Loaded(image);
    NormalizeImage(m);
    EXPECT_EQ(Record(m.image, 0)[1] & 0x03, 0x03);
    EXPECT_EQ(Record(m.image, 1)[4], 60);
    EXPECT_EQ(Record(m.image, 1)[5], 0xF5);
    EXPECT_EQ(m.image[0x0E] >> 4, 14);
    EXPECT_EQ(m.image[0x15] & 0x03, 3);
}

TEST(NormalizeImage, EmptyChannelBecomesARealFrequency) {
    for (int code : {0, 3}) {
        RadioImage image = MakeFactoryImage(code).image;
        Record(image, 5)[6] = 0x00;
        Record(image, 5)[7] = 0x42;
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

    EXPECT_EQ(HardwareSection::RefXtalLimitMHz(0), 40);
    EXPECT_EQ(HardwareSection::RefXtalLimitMHz(1), 81);
    EXPECT_EQ(HardwareSection::RefXtalLimitMHz(3), 163);
}

TEST(HardwareSection, EverySqlReleasePositionRoundTrips) {
    for (int position = 0; position <= 30; ++position) {
        ImageModel m = MakeFactoryImage(1);
        m.hardware.sqlReleaseTime = position;
        NormalizeImage(m);
        EXPECT_EQ(m.image[0xF0], position << 1);
        DecodeImage(m);
        EXPECT_EQ(m.hardware.sqlReleaseTime, position);
    }
}

TEST(Sections, TransientSectionsRoundTripTheirFields) {
    RadioImage image = MakeFactoryImage(0).image;
    ScanSection scan;
    scan.dialScanPosition = 3;
    scan.ktTrunkPosition = 5;
    scan.priorityChannel = 16;
    scan.scanResumeTime1 = 7;
    scan.revertChannel = 2;
    scan.Encode(image);
    EXPECT_EQ(image[0x0F], 0x42);
    ScanSection back;
    back.Decode(image);
    EXPECT_EQ(back.dialScanPosition, 3);
    EXPECT_EQ(back.ktTrunkPosition, 5);
    EXPECT_EQ(back.priorityChannel, 16);
    EXPECT_EQ(back.scanResumeTime1, 7);
    EXPECT_EQ(back.revertChannel, 2);

    KeySection keys;
    keys.accKeyPress = 0;
    keys.accKeyHold = 13;
    keys.Encode(image);
    keys.Decode(image);
    EXPECT_FALSE(keys.inUse[0]);
    EXPECT_TRUE(keys.inUse[12]);

    CommonSection common;
    common.autoResetTime = 0;
    common.lampByte = 0;
    common.Encode(image);
    common.Decode(image);
    EXPECT_EQ(common.autoResetTime, 0);
    EXPECT_EQ(common.lampByte, 0) << "decode leaves the report's lamp byte alone";
    EXPECT_EQ(image[0xBF] & 0x04, 0);

    OptionSection option;
    option.SetDevicePosition(1);
    option.Encode(image);
    EXPECT_EQ(image[0xBE] & 0xE3, 0x60);
    EXPECT_EQ(option.DevicePosition(), 1);

    SignalingSection sig;
    sig.ani.dtmfCode = "A*#";
    sig.pageCodes.codes[2] = "12#";
    sig.pageCodes.selectors[2] = 1;
    sig.twoTone.duty = 1;
    sig.twoTone.toneFormat = TwoToneFormat::Custom;  // never written
    sig.pairTable.pairs[0] = {1, 5, 10};
    sig.Encode(image, TwoToneFormat::Standard);
    EXPECT_EQ(image[0x05], 0x3A);
    EXPECT_EQ(image[0xC4], 0x21);
    EXPECT_EQ(image[0xC5], 0x2F);
    EXPECT_EQ(image[0xD4], 0x05);
    EXPECT_EQ(image[0xD5], 0x0A);
    SignalingSection read;
    TwoToneFormat format = TwoToneFormat::Standard;
    read.Decode(image, format);
    EXPECT_EQ(read.ani.dtmfCode, "A*#");
    EXPECT_EQ(read.pageCodes.codes[2], "12#");
    EXPECT_EQ(read.pageCodes.boardPaging, 1);
    EXPECT_EQ(read.twoTone.toneFormat, TwoToneFormat::Standard);
    EXPECT_EQ(read.twoTone.duty, 1);
    EXPECT_EQ(read.pairTable.pairs[0], (PairEntry{1, 5, 10}));
}

// ---- channel editing ----

struct ScriptedUi {
    std::vector<std::optional<int>> answers;
    std::vector<int> modes;
    int beeps = 0;
    CellUi ui() {
        CellUi u;
        u.pickValue = [this](int mode, int, int) {
            modes.push_back(mode);
            auto a = answers.empty() ? std::nullopt : answers.front();
            if (!answers.empty()) answers.erase(answers.begin());
            return a;
        };
        u.pickTone = [this](bool dcs, int, int) {
            modes.push_back(dcs ? 2 : 1);
            auto a = answers.empty() ? std::nullopt : answers.front();
            if (!answers.empty()) answers.erase(answers.begin());
            return a;
        };
        u.beep = [this] { ++beeps; };
        return u;
    }
};

TEST(ChannelTable, EditCellActions) {
    const struct {
        const char* name;
        std::uint8_t optionByte;
        std::function<void(ChannelEntry&)> setup;
        int n;
        int column;
        std::vector<std::optional<int>> answers;
        bool modified;
        int beeps;
        std::function<bool(const ChannelEntry&)> check;
    } cases[] = {
        {"channel 1 stays in use", 0, [](ChannelEntry& e) { e.inUse = 1; }, 0, 0, {}, true, 0,
         [](const ChannelEntry& e) { return e.inUse == 1; }},
        {"other channel toggles", 0, [](ChannelEntry&) {}, 3, 0, {}, true, 0,
         [](const ChannelEntry& e) { return e.inUse == 0; }},
        {"not in use refuses", 0, [](ChannelEntry& e) { e.inUse = 0; }, 3, 1, {}, false, 0,
         [](const ChannelEntry& e) { return e.narrow == 0; }},
        {"W/N", 0, [](ChannelEntry&) {}, 2, 1, {}, true, 0, [](const ChannelEntry& e) { return e.narrow == 1; }},
        {"TX inhibit", 0, [](ChannelEntry&) {}, 2, 3, {}, true, 0,
         [](const ChannelEntry& e) { return e.txInhibit == 1; }},
        {"receive column is text", 0, [](ChannelEntry&) {}, 2, 2, {}, true, 0,
         [](const ChannelEntry& e) { return e.rxFrequency == 150.0; }},
        {"dec none -> CTCSS", 0, [](ChannelEntry&) {}, 2, 4, {}, true, 0,
         [](const ChannelEntry& e) { return e.decKind == 1; }},
        {"dec DCS -> none clears PROX", 0,
         [](ChannelEntry& e) { e.decKind = 2; e.encKind = 2; e.prox = 1; }, 2, 4, {}, true, 0,
         [](const ChannelEntry& e) { return e.decKind == 0 && e.encKind == 2 && e.prox == 0; }},
        {"enc CTCSS -> DCS keeps PROX off", 0, [](ChannelEntry& e) { e.decKind = 2; e.encKind = 1; }, 2, 5, {},
         true, 0, [](const ChannelEntry& e) { return e.encKind == 2 && e.prox == 0; }},
        {"scan 3 -> 0", 0, [](ChannelEntry& e) { e.scan = 3; }, 2, 9, {}, true, 0,
         [](const ChannelEntry& e) { return e.scan == 0; }},
        {"VTS refused without trunk", 0, [](ChannelEntry&) {}, 2, 10, {}, true, 0,
         [](const ChannelEntry& e) { return e.vts == 0; }},
        {"VTS with trunk", 0x80, [](ChannelEntry&) {}, 2, 10, {}, true, 0,
         [](const ChannelEntry& e) { return e.vts == 1; }},
        {"lock out 2 -> 0", 0, [](ChannelEntry& e) { e.lockOut = 2; }, 2, 12, {}, true, 0,
         [](const ChannelEntry& e) { return e.lockOut == 0; }},
        {"lock out 3 -> 0", 0, [](ChannelEntry& e) { e.lockOut = 3; }, 2, 12, {}, true, 0,
         [](const ChannelEntry& e) { return e.lockOut == 0; }},
        {"squelch picked", 0, [](ChannelEntry&) {}, 2, 13, {9}, true, 0,
         [](const ChannelEntry& e) { return e.squelch == 9; }},
        {"squelch cancelled", 0, [](ChannelEntry&) {}, 2, 13, {std::nullopt}, true, 0,
         [](const ChannelEntry& e) { return e.squelch == 4; }},
        {"ANI refused with ANI option", 0x02, [](ChannelEntry&) {}, 2, 14, {}, true, 0,
         [](const ChannelEntry& e) { return e.ani == 0; }},
        {"ANI", 0, [](ChannelEntry&) {}, 2, 14, {}, true, 0, [](const ChannelEntry& e) { return e.ani == 1; }},
        {"encryption needs an option", 0, [](ChannelEntry&) {}, 2, 15, {}, true, 0,
         [](const ChannelEntry& e) { return e.encryption == 0; }},
        {"encryption with board", 0x20, [](ChannelEntry&) {}, 2, 15, {}, true, 0,
         [](const ChannelEntry& e) { return e.encryption == 1; }},
        {"page picked", 0x40, [](ChannelEntry&) {}, 2, 16, {3}, true, 0,
         [](const ChannelEntry& e) { return e.pageNumber == 3 && e.pagePresent == 1; }},
        {"page off", 0x40, [](ChannelEntry& e) { e.pageNumber = 3; e.pagePresent = 1; }, 2, 16, {0}, true, 0,
         [](const ChannelEntry& e) { return e.pageNumber == 0 && e.pagePresent == 0; }},
        {"page without paging option", 0, [](ChannelEntry&) {}, 2, 16, {3}, true, 0,
         [](const ChannelEntry& e) { return e.pageNumber == 0; }},
        {"PROX beeps with one DCS", 0, [](ChannelEntry& e) { e.decKind = 2; }, 2, 17, {}, false, 1,
         [](const ChannelEntry& e) { return e.prox == 0; }},
        {"PROX with both DCS", 0, [](ChannelEntry& e) { e.decKind = 2; e.encKind = 2; }, 2, 17, {}, true, 0,
         [](const ChannelEntry& e) { return e.prox == 1; }},
        {"pair picked", 0, [](ChannelEntry&) {}, 2, 18, {4}, true, 0,
         [](const ChannelEntry& e) { return e.twoToneP == 4; }},
        {"2-tone S", 0, [](ChannelEntry&) {}, 2, 19, {}, true, 0, [](const ChannelEntry& e) { return e.twoToneS == 1; }},
    };
    for (const auto& c : cases) {
        ImageModel m = MakeFactoryImage(0);
        m.image[0xBE] = c.optionByte;
        c.setup(m.channels.at(c.n));
        ScriptedUi script{c.answers, {}, 0};
        EXPECT_EQ(EditCell(m, c.n, c.column, script.ui()), c.modified) << c.name;
        EXPECT_EQ(script.beeps, c.beeps) << c.name;
        EXPECT_TRUE(c.check(m.channels.at(c.n))) << c.name;
    }
}

TEST(ChannelTable, FrequencyEntryUsesSplitAndSnap) {
    ImageModel m = MakeFactoryImage(1);
    m.defaultSplit = 0.6;
    m.channels.at(4).inUse = 0;
    EXPECT_TRUE(SetFrequencyText(m, 4, kColReceive, "146.52"));
    const ChannelEntry& e = m.channels.at(4);
    EXPECT_EQ(e.inUse, 1);
    EXPECT_DOUBLE_EQ(e.rxFrequency, 146.52);
    EXPECT_DOUBLE_EQ(e.txFrequency, 147.12);
    EXPECT_EQ(e.rxAltStep, 0);
    EXPECT_EQ(e.txAltStep, 0);
    EXPECT_EQ(*m.channels.FrequencyText(4, kColReceive), "146.52000");

    SetFrequencyText(m, 4, kColReceive, "junk");
    EXPECT_DOUBLE_EQ(e.rxFrequency, 134.0);
    SetFrequencyText(m, 4, kColTransmit, "---.-----");
    EXPECT_DOUBLE_EQ(e.txFrequency, 134.6);
    SetFrequencyText(m, 4, kColTransmit, "146.5125");
    EXPECT_EQ(e.txAltStep, 1);
    m.channels.at(4).txInhibit = 1;
    EXPECT_EQ(*m.channels.FrequencyText(4, kColTransmit), "---.-----");
    EXPECT_FALSE(m.channels.FrequencyText(4, kColDec));
    m.channels.at(4).inUse = 0;
    EXPECT_FALSE(m.channels.FrequencyText(4, kColReceive));

    ImageModel u = MakeFactoryImage(2);
    SetFrequencyText(u, 0, kColTransmit, "600");
    EXPECT_DOUBLE_EQ(u.channels.at(0).txFrequency, 512.0);
}

TEST(ChannelTable, PickToneAndComplement) {
    ImageModel m = MakeFactoryImage(0);
    ChannelTable& t = m.channels;
    ScriptedUi none{{}, {}, 0};
    EXPECT_FALSE(t.PickTone(1, kColDec, none.ui()));
    EXPECT_EQ(none.beeps, 1);

    t.at(1).decKind = kToneCtcss;
    ScriptedUi pick{{12}, {}, 0};
    EXPECT_TRUE(t.PickTone(1, kColDec, pick.ui()));
    EXPECT_EQ(t.at(1).decCtcss, 12);
    ScriptedUi cancel{{std::nullopt}, {}, 0};
    EXPECT_FALSE(t.PickTone(1, kColDec, cancel.ui()));
    EXPECT_EQ(t.at(1).decCtcss, 12);

    t.at(1).encKind = kToneDcs;
    ScriptedUi dcs{{0}, {}, 0};
    EXPECT_TRUE(t.PickTone(1, kColEnc, dcs.ui()));
    EXPECT_EQ(dcs.modes, std::vector<int>{2});
    EXPECT_TRUE(t.ComplementDcs(1, kColEnc));
    EXPECT_EQ(DcsText(t.at(1).encDcs), "047");
    EXPECT_FALSE(t.ComplementDcs(1, kColDec)) << "only a DCS column";
    // Switching the kind back and forth keeps both choices.
    EXPECT_EQ(t.at(1).decCtcss, 12);
}

TEST(ChannelTable, ClearingReferencesTouchesOnlyThoseChannels) {
    ImageModel m = MakeFactoryImage(0);
    m.image[0xBE] = 0x60;
    for (int n : {1, 4, 9}) m.channels.at(n).twoToneP = 2;
    m.channels.at(5).twoToneP = 3;
    for (int n : {2, 6}) {
        m.channels.at(n).pageNumber = 7;
        m.channels.at(n).pagePresent = 1;
    }
    NormalizeImage(m);
    RadioImage before = m.image;
    EXPECT_EQ(m.channels.ClearPairReferences(2, m.image), 3);
    for (int n = 0; n < kChannelCount; ++n) {
        const bool cleared = n == 1 || n == 4 || n == 9;
        EXPECT_EQ(m.channels.at(n).twoToneP, n == 5 ? 3 : 0) << n;
        for (std::size_t i = 0; i < 10; ++i) {
            const std::uint8_t diff = Record(before, n)[i] ^ Record(m.image, n)[i];
            const std::uint8_t allowed = cleared ? (i == 0 ? 0x02 : i == 3 ? 0xF0 : 0) : 0;
            EXPECT_EQ(diff & ~allowed, 0) << "channel " << n << " byte " << i;
        }
        if (cleared) {
            EXPECT_EQ(ReadTwoToneP(Record(m.image, n)), 0);
        }
    }
    before = m.image;
    EXPECT_EQ(m.channels.ClearPageReferences(7, m.image), 2);
    EXPECT_EQ(ReadPageNumber(Record(m.image, 2), true), 0);
    EXPECT_EQ(Record(m.image, 6)[3] & 0x0F, 0x0F);
    EXPECT_EQ(Record(before, 3)[3], Record(m.image, 3)[3]);
}

TEST(ChannelTable, OptionChangeAndBandReset) {
    ChannelTable t;
    t.Defaults();
    ChannelEntry& e = t.at(6);
    e.vts = 1;
    e.channelType = 16;
    e.pageNumber = 4;
    e.pagePresent = 1;
    e.encryption = 1;
    t.ApplyOptionChange(6, 1, 1, 1);
    EXPECT_EQ(e.vts, 1);
    t.ApplyOptionChange(6, 0, 0, 0);
    EXPECT_EQ(e.vts, 0);
    EXPECT_EQ(e.channelType, 6);
    EXPECT_EQ(e.pageNumber, 0);
    EXPECT_EQ(e.pagePresent, 0);
    EXPECT_EQ(e.encryption, 0);

    t.at(3).inUse = 0;
    t.at(3).rxFrequency = 0.0;
    t.ResetForBand(true);
    for (const ChannelEntry& c : t.entries) {
        EXPECT_EQ(c.inUse, 1);
        EXPECT_DOUBLE_EQ(c.rxFrequency, 450.0);
        EXPECT_DOUBLE_EQ(c.txFrequency, 450.0);
    }
}

TEST(ChannelTable, DecodeReadsBitmapsGatesAndInhibit) {
    ImageModel m = MakeFactoryImage(3);
    m.image[0x12] = 0x01;  // scan channel 1
    m.image[0x11] = 0x01;  // VTS channel 16
    m.image[0x1D] = 0x5A;  // types of channels 15 and 16
    m.image[0xBE] = 0x40;  // board paging
    const RecordView r = Record(m.image, 9);
    r[1] = 0x24;           // TOT, page present
    r[3] = 0x52;           // pair nibble 5 (no present bit), page nibble 2
    WriteTxValue(r, 30000);  // 300.0 MHz
    DecodeImage(m);
    EXPECT_EQ(m.channels.at(0).scan, 1);
    EXPECT_EQ(m.channels.at(1).scan, 0);
    EXPECT_EQ(m.channels.at(15).vts, 1);
    EXPECT_EQ(m.channels.at(14).channelType, 5);
    EXPECT_EQ(m.channels.at(15).channelType, 10);
    const ChannelEntry& e = m.channels.at(9);
    EXPECT_EQ(e.pagePresent, 1);
    EXPECT_EQ(e.pageNumber, 3);
    EXPECT_EQ(e.twoToneP, 0);
    EXPECT_EQ(e.txInhibit, 1);
    EXPECT_DOUBLE_EQ(e.txFrequency, e.rxFrequency);
    EXPECT_EQ(m.channels.currentChannel, 0);
    EXPECT_TRUE(m.channels.IsScanOn(0));
}

}  // namespace
}  // namespace rt62
