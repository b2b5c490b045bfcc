#include <gtest/gtest.h>

#include <set>

#include "image/fields.h"
#include "image/frequency.h"
#include "image/tones.h"
#include "image/twotone.h"

namespace rt62 {
namespace {

TEST(FrequencyCodec, WorkedValuesEncodeAndDecodeBack) {
    const struct {
        int code;
        int alt;
        double mhz;
        std::uint16_t stored;
    } values[] = {
        {0, 0, 150.0, 0x6A60},   {1, 1, 146.5125, 0x5B92}, {2, 0, 350.0, 0x9170},
        {2, 0, 512.0, 0x1000},   {2, 1, 462.5625, 0xA11A}, {3, 0, 450.0, 0xAFC8},
        {0, 1, 146.5125, 46884 - 0x8000},
    };
    for (const auto& v : values) {
        const bool uhf = IsUhfCode(v.code);
        EXPECT_EQ(EncodeFrequency(v.mhz, v.alt, v.code, uhf), v.stored) << v.mhz;
        const DecodedTransmit tx = DecodeTransmit(v.stored, v.alt, v.code, uhf, 1.0);
        EXPECT_DOUBLE_EQ(tx.mhz, v.mhz);
        EXPECT_FALSE(tx.setsInhibit);
    }
    // The receive value is the local oscillator: 150.0 MHz with a 21.7 MHz IF below it.
    EXPECT_EQ(EncodeReceive(150.0, 0, 0, false, 21.7, 0), 0x4878);
    EXPECT_DOUBLE_EQ(DecodeReceive(0x4878, 0, 0, false, 21.7, 0), 150.0);
    EXPECT_DOUBLE_EQ(DecodeReceive(0x4878, 0, 0, false, 21.7, 1), 128.3 - 21.7);
    EXPECT_EQ(EncodeFrequency(0.0, 0, 0, false), 0);
    EXPECT_EQ(EncodeReceive(0.0, 0, 0, false, 21.7, 0), 0);
}

TEST(FrequencyCodec, EntriesJustBelowAStepAreRepaired) {
    // Products such as 128.3 x 1e6 land just short in double arithmetic; the count must not drop a step.
    const struct {
        double mhz;
        int code;
        long long hz;
    } entries[] = {{128.3, 0, 128300000}, {146.52, 1, 146520000}, {155.555, 1, 155555000},
                   {173.9975, 0, 173997500}, {462.5625, 2, 462562500}};
    for (const auto& e : entries) {
        const BandStep& b = BandStepInfo(e.code);
        const long long offset = e.code == 0 || e.code == 2 ? 0x8000 : 0;
        EXPECT_EQ(EncodeFrequency(e.mhz, 0, e.code, IsUhfCode(e.code)), (e.hz / b.mainStepHz - offset) & 0xFFFF)
            << e.mhz;
    }
}

TEST(FrequencyCodec, CountsTheValueCannotHoldSaturateInsteadOfWrapping) {
    const struct {
        int code;
        double mhz;
        std::uint16_t stored;
    } cases[] = {
        {1, 328.8955, 0xFFFF},  // 65779 steps would wrap to 0x00F3, which reads as "empty"
        {1, 1.0, 0x0100},
        {0, 50.0, 0x0100},      // below the 0x8000 offset
        {0, 300.0, 0xFFFF},
        {2, 200.0, 0x3701},     // below the lowest count code 2 can hold
        {2, 520.0, 0x1640},     // above 512 MHz but still storable: reads back as 520
        {2, 600.0, 0x3700},
        {2, 491.6, 0xFFFF},     // in the gap between 0xFFFF and 0x0100: the nearer end
        {2, 492.7, 0x0100},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodeFrequency(c.mhz, 0, c.code, IsUhfCode(c.code)), c.stored) << c.code << " " << c.mhz;
    EXPECT_DOUBLE_EQ(DecodeReceive(0x1640, 0, 2, true, 0.0, 0), 520.0);
}

TEST(FrequencyCodec, EmptyInhibitAndOutOfBandValues) {
    EXPECT_DOUBLE_EQ(DecodeReceive(0x00FF, 0, 0, false, 21.7, 0), 150.0);
    EXPECT_DOUBLE_EQ(DecodeReceive(0x0012, 0, 2, true, 43.95, 1), 450.0);
    EXPECT_DOUBLE_EQ(DecodeTransmit(0x0000, 0, 3, true, 400.0).mhz, 450.0);

    // 300.0 MHz on code 3 is 30000 steps of 10 kHz: the radio's "no transmit" mark.
    const DecodedTransmit inhibited = DecodeTransmit(30000, 0, 3, true, 451.0);
    EXPECT_TRUE(inhibited.setsInhibit);
    EXPECT_DOUBLE_EQ(inhibited.mhz, 451.0);

    const struct {
        std::uint16_t stored;
        double mhz;  // code 2, MainStep, as a transmit value with the receive frequency 400.0
    } uhf[] = {
        {0x3700, 400.0},     // 561.92 MHz is above 512: falls back to the receive frequency
        {0x3701, 400.0},     // 234.245 MHz is below 350
        {0xFFFF, 491.515},
        {0x9170, 350.0},
    };
    EXPECT_DOUBLE_EQ(DecodeTransmit(0x0100, 0, 2, true, 400.0).mhz, 492.8);
    for (std::size_t i = 0; i < std::size(uhf); ++i)
        EXPECT_DOUBLE_EQ(DecodeTransmit(uhf[i].stored, 0, 2, true, 400.0).mhz, uhf[i].mhz) << uhf[i].stored;
}

TEST(FrequencyCodec, SnapClampsAndMovesUpToAStep) {
    const struct {
        int code;
        double entered;
        double snapped;
        int flag;
    } cases[] = {
        {0, 0.0, 134.0, 1},         {2, 600.0, 512.0, 1},        {1, 146.5125, 146.5125, 1},
        {1, 146.52, 146.52, 0},     {1, 146.521, 146.525, 0},    {0, 146.5125, 146.5125, 1},
        {0, 146.5225, 146.5225, 0}, {3, 450.00625, 450.01, 0}, {3, 450.011, 450.0125, 1},
        {1, 147.12, 147.12, 0},     {1, 146.5001, 146.505, 0},  {1, 146.506, 146.50625, 1},
    };
    for (const auto& c : cases) {
        double mhz = c.entered;
        EXPECT_EQ(SnapFrequency(mhz, c.code), c.flag) << c.entered;
        EXPECT_DOUBLE_EQ(mhz, c.snapped) << c.entered;
    }
}

TEST(FrequencyCodec, TextsAndNumbersIgnoreTheLocale) {
    EXPECT_EQ(FormatFrequency(146.52), "146.52000");
    EXPECT_EQ(FormatFrequency(50.0), " 50.00000");
    EXPECT_EQ(FormatFixed(21.25, 5, 2), "21.25");
    EXPECT_EQ(FormatFixed(0.0, 5, 1), "  0.0");
    const struct {
        const char* text;
        double value;
    } numbers[] = {{"146.52", 146.52}, {"  12.5MHz", 12.5}, {"-5", -5.0}, {"+3.", 3.0},
                   {"-", 0.0},         {"abc", 0.0},        {"", 0.0},   {"1.2.3", 1.2}};
    for (const auto& n : numbers) EXPECT_DOUBLE_EQ(ParseDecimal(n.text), n.value) << n.text;
    EXPECT_EQ(MHzToHz(1e300), 0);
}

TEST(Tones, CtcssCodesAreAscendingPlaces) {
    std::set<int> codes;
    for (int p = 0; p < kCtcssCount; ++p) {
        const int code = CtcssCodeOfPosition(p);
        codes.insert(code);
        EXPECT_EQ(CtcssPositionOfCode(code), p);
    }
    EXPECT_EQ(codes.size(), 50u);
    EXPECT_EQ(*codes.begin(), 1);
    EXPECT_EQ(*codes.rbegin(), 50);
    EXPECT_EQ(CtcssCodeOfPosition(25), 26);
    EXPECT_EQ(CtcssCodeOfPosition(26), 28);  // 162.2
    EXPECT_EQ(CtcssCodeOfPosition(39), 27);  // 159.8, an inserted tone
    EXPECT_EQ(CtcssCodeOfPosition(49), 50);  // 254.1
}

TEST(Tones, ToneBytesDecodeEncodeAndShow) {
    const struct {
        std::uint8_t byte;
        int kind;
        int position;
        const char* cell;
        std::uint8_t reencoded;
    } tones[] = {
        {0x00, kToneNone, 0, "-------", 0x00},
        {0x80, kToneNone, 0, "-------", 0x00},
        {0x01, kToneCtcss, 0, "C- 67.0", 0x01},
        {0x1B, kToneCtcss, 39, "C-159.8", 0x1B},
        {0x1C, kToneCtcss, 26, "C-162.2", 0x1C},
        {0x33, kToneCtcss, 50, "C-???", 0x33},  // code 51: no tone in the list, kept as stored
        {0x7F, kToneCtcss, 126, "C-???", 0x7F},
        {0x81, kToneDcs, 0, "D-023  ", 0x81},
        {0xEB, kToneDcs, 106, "D-224  ", 0xEB},
        {0xEC, kToneDcs, 107, "D-???  ", 0xEC},
        {0xFF, kToneDcs, 126, "D-???  ", 0xFF},
    };
    for (const auto& t : tones) {
        const ToneValue v = DecodeTone(t.byte);
        EXPECT_EQ(v.kind, t.kind) << int(t.byte);
        const int position = t.kind == kToneDcs ? v.dcs : v.ctcss;
        EXPECT_EQ(position, t.position) << int(t.byte);
        EXPECT_EQ(ToneCellText(v.kind, v.ctcss, v.dcs), t.cell);
        EXPECT_EQ(EncodeTone(v.kind, v.ctcss, v.dcs), t.reencoded);
    }
    EXPECT_EQ(CtcssText(50), "");
    EXPECT_EQ(DcsText(-1), "");
}

TEST(Tones, DcsComplement) {
    auto position = [](std::string_view code) {
        for (int i = 0; i < kDcsCount; ++i)
            if (DcsText(i) == code) return i;
        return -1;
    };
    const struct {
        const char* from;
        const char* to;
    } pairs[] = {{"023", "047"}, {"047", "023"}, {"250", "250"}, {"435", "243"},
                 {"243", "351"}, {"224", "073"}, {"073", "506"}, {"654", "743"}};
    for (const auto& p : pairs) EXPECT_EQ(DcsText(ComplementDcs(position(p.from))), p.to) << p.from;
    // Every code but the three one-way ones returns to itself after two presses.
    int fixedPoints = 0;
    for (int i = 0; i < kDcsCount; ++i) fixedPoints += ComplementDcs(ComplementDcs(i)) == i;
    EXPECT_EQ(fixedPoints, kDcsCount - 2);
    EXPECT_EQ(ComplementDcs(120), 120);
}

TEST(TwoTone, TableGroupsAndCustomList) {
    EXPECT_EQ(TwoToneCodeText(0), " 1- 330.5");
    EXPECT_EQ(TwoToneCodeText(30), "  NONE   ");
    EXPECT_EQ(TwoToneCodeText(114), "DIA 742.5");
    EXPECT_EQ(TwoToneCodeText(115), "   ???   ");
    EXPECT_EQ(TwoToneCodeText(186), "   3062.0");
    EXPECT_EQ(TwoToneCodeText(239), " E- 588.0");
    EXPECT_EQ(TwoToneCodeText(240), "   ???   ");
    EXPECT_EQ(TwoToneIndexText(3, 0), "    282.2");
    EXPECT_EQ(TwoToneIndexText(4, 64), "   ???   ");
    EXPECT_EQ(TwoToneIndexText(9, 0), "   ???   ");
    EXPECT_EQ(TwoToneGroupInfo(2).offered, 31);
    EXPECT_EQ(TwoToneGroupInfo(3).offered, 56);

    const struct {
        int code;
        int group;
    } groups[] = {{0, 1}, {83, 1}, {84, 2}, {130, 2}, {131, 3}, {189, 3}, {190, 4}, {254, 4}, {255, 0}};
    for (const auto& g : groups) EXPECT_EQ(TwoToneGroupOfCode(g.code), g.group) << g.code;

    const struct {
        int position;
        int code;
    } custom[] = {{0, 0}, {83, 83}, {84, 84}, {114, 114}, {115, 131}, {170, 186}, {171, 190}, {220, 239}};
    for (const auto& c : custom) {
        EXPECT_EQ(CustomPositionToCode(c.position), c.code);
        EXPECT_EQ(CodeToCustomPosition(c.code), c.position);
    }
    EXPECT_EQ(CustomPositionToCode(221), -1);
    EXPECT_EQ(CodeToCustomPosition(120), -1);
    EXPECT_EQ(CodeToCustomPosition(245), -1);
}

RadioImage WithPairs(std::initializer_list<PairBytes> pairs) {
    RadioImage image{};
    int k = 1;
    for (int i = 0xD4; i <= 0xDF; ++i) image[static_cast<std::size_t>(i)] = 0xFF;
    for (const PairBytes& p : pairs) {
        image[0xD4 + 2 * static_cast<std::size_t>(k - 1)] = p.first;
        image[0xD5 + 2 * static_cast<std::size_t>(k - 1)] = p.second;
        ++k;
    }
    return image;
}

TEST(TwoTone, PairTableReadsGroupsAndSwitchesToCustom) {
    const struct {
        const char* name;
        RadioImage image;
        TwoToneFormat format;
        TwoToneFormat formatAfter;
        PairEntries expected;
    } cases[] = {
        {"one group", WithPairs({{0x05, 0x0A}}), TwoToneFormat::Standard, TwoToneFormat::Standard, {{{1, 5, 10}}}},
        {"group 2", WithPairs({{84, 85}}), TwoToneFormat::Standard, TwoToneFormat::Standard, {{{2, 0, 1}}}},
        {"mixed", WithPairs({{0x05, 0x0A}, {0x05, 0x54}}), TwoToneFormat::Standard, TwoToneFormat::Custom,
         {{{5, 5, 10}, {5, 5, 84}}}},
        {"off before mixed", WithPairs({{0xFF, 0x00}, {190, 191}, {0, 200}, {131, 132}}), TwoToneFormat::Standard,
         TwoToneFormat::Custom, {{{0, 0, 0}, {5, 190, 191}, {5, 0, 200}, {5, 131, 132}}}},
        {"custom stays", WithPairs({{0x05, 0x0A}}), TwoToneFormat::Custom, TwoToneFormat::Custom, {{{5, 5, 10}}}},
        {"second byte 255", WithPairs({{10, 255}}), TwoToneFormat::Standard, TwoToneFormat::Custom, {{{5, 10, 255}}}},
    };
    for (const auto& c : cases) {
        TwoToneFormat format = c.format;
        const PairEntries pairs = DecodePairs(c.image, format);
        EXPECT_EQ(format, c.formatAfter) << c.name;
        for (std::size_t k = 0; k < 6; ++k) {
            EXPECT_EQ(pairs[k].group, c.expected[k].group) << c.name << " pair " << k + 1;
            EXPECT_EQ(pairs[k].first, c.expected[k].first) << c.name << " pair " << k + 1;
            EXPECT_EQ(pairs[k].second, c.expected[k].second) << c.name << " pair " << k + 1;
        }
        RadioImage written = c.image;
        EncodePairs(written, pairs, format);
        for (std::size_t i = 0xD4; i <= 0xDF; i += 2) {
            if (c.image[i] == 0xFF) {
                EXPECT_EQ(written[i + 1], 0xFF) << c.name << " off pairs are written 0xFF 0xFF";
            } else {
                EXPECT_EQ(written[i], c.image[i]) << c.name;
                EXPECT_EQ(written[i + 1], c.image[i + 1]) << c.name;
            }
        }
    }
    // A changed group with untouched tones stores the new group's first entry twice.
    RadioImage image = WithPairs({});
    EncodePairs(image, {{{4, 0, 0}}}, TwoToneFormat::Standard);
    EXPECT_EQ(image[0xD4], 190);
    EXPECT_EQ(image[0xD5], 190);
}

}  // namespace
}  // namespace rt62
