#include <gtest/gtest.h>

#include "core/image/fields.h"
#include "core/image/frequency.h"
#include "core/image/tones.h"
#include "core/image/twotone.h"

namespace rt62 {
namespace {

TEST(FrequencyCodec, EncodeStoresTheCountItCanHold) {
    const struct {
        int code, alt;
        double mhz;
        std::uint16_t stored;
        bool decodesBack;
    } values[] = {
        {0, 0, 150.0, 0x6A60, true},   {1, 1, 146.5125, 0x5B92, true}, {2, 0, 350.0, 0x9170, true},
        {2, 0, 512.0, 0x1000, true},   {2, 1, 462.5625, 0xA11A, true}, {3, 0, 450.0, 0xAFC8, true},
        {0, 1, 146.5125, 46884 - 0x8000, true},
        // Products such as 128.3 x 1e6 land just short in double arithmetic; no step may be lost.
        {0, 0, 128.3, 0x4878, false},  {1, 0, 146.52, 0x7278, false}, {1, 0, 155.555, 0x7987, false},
        {0, 0, 173.9975, 0x8FDF, false},
        // Counts the value cannot hold saturate instead of wrapping.
        {1, 0, 328.8955, 0xFFFF, false}, // 65779 steps would wrap to 0x00F3, which reads as "empty"
        {1, 0, 1.0, 0x0100, false},      {0, 0, 50.0, 0x0100, false}, // below the 0x8000 offset
        {0, 0, 300.0, 0xFFFF, false},    {2, 0, 200.0, 0x3701, false}, // below the lowest count code 2 holds
        {2, 0, 520.0, 0x1640, false},    // above 512 MHz but still storable
        {2, 0, 600.0, 0x3700, false},
        {2, 0, 491.6, 0xFFFF, false},    {2, 0, 492.7, 0x0100, false}, // in the gap: the nearer end
        {0, 0, 0.0, 0, false},
    };
    for (const auto& v : values) {
        SCOPED_TRACE(::testing::Message() << v.code << " " << v.mhz);
        const bool uhf = IsUhfCode(v.code);
        EXPECT_EQ(EncodeFrequency(v.mhz, v.alt, v.code, uhf), v.stored);
        if (!v.decodesBack) continue;
        const DecodedTransmit tx = DecodeTransmit(v.stored, v.alt, v.code, uhf, 1.0);
        EXPECT_DOUBLE_EQ(tx.mhz, v.mhz);
        EXPECT_FALSE(tx.setsInhibit);
    }
    // The receive value is the local oscillator: 150.0 MHz with a 21.7 MHz IF below it.
    EXPECT_EQ(EncodeReceive(150.0, 0, 0, false, 21.7, 0), 0x4878);
    EXPECT_DOUBLE_EQ(DecodeReceive(0x4878, 0, 0, false, 21.7, 0), 150.0);
    EXPECT_DOUBLE_EQ(DecodeReceive(0x4878, 0, 0, false, 21.7, 1), 128.3 - 21.7);
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

    // Code 2 transmit values with the receive frequency 400.0.
    const struct {
        std::uint16_t stored;
        double mhz;
    } uhf[] = {{0x3700, 400.0} /* 561.92 is above 512 */, {0x3701, 400.0} /* 234.245 is below 350 */,
               {0xFFFF, 491.515}, {0x0100, 492.8}};
    for (const auto& u : uhf) EXPECT_DOUBLE_EQ(DecodeTransmit(u.stored, 0, 2, true, 400.0).mhz, u.mhz) << u.stored;
    // The receive side has no band test, so the code-2 wrap shows at its very edge.
    EXPECT_DOUBLE_EQ(DecodeReceive(0x3700, 0, 2, true, 0.0, 0), 561.92);
    EXPECT_DOUBLE_EQ(DecodeReceive(0x3701, 0, 2, true, 0.0, 0), 234.245);

    // 50.0 MHz is the other "no transmit" mark; one step above it is only out of band.
    const DecodedTransmit fifty = DecodeTransmit(10000, 0, 1, false, 151.0);
    EXPECT_TRUE(fifty.setsInhibit);
    EXPECT_DOUBLE_EQ(fifty.mhz, 151.0);
    const DecodedTransmit above = DecodeTransmit(10001, 0, 1, false, 151.0);
    EXPECT_FALSE(above.setsInhibit);
    EXPECT_DOUBLE_EQ(above.mhz, 151.0);
}

TEST(FrequencyCodec, TextsAreTheStepCountTimesTheStepPrintedAsIs) {
    // Code 0 counts 3125 Hz steps, so its values fall on half of the fifth decimal. The text is
    // N' x step x 0.000001 (+ First IF as count x 0.001) printed "%9.5f": the product's rounding decides.
    const struct {
        std::uint16_t stored; // code 0, AltStep: N' = stored + 0x8000
        bool receive;         // receive with First IF 21.7 "Lower"; otherwise transmit / no IF
        const char* text;
    } values[] = {
        {13563, false, "144.78437"}, // 46331 steps; through whole hertz this printed 144.78438
        {10113, false, "134.00312"}, {10115, false, "134.00938"}, {10123, false, "134.03437"},
        {10125, false, "134.04063"}, {13830, false, "145.61875"},
        {0x0105, true, "124.91562"}, // 102.215625 + 21.7
    };
    for (const auto& v : values) {
        const double mhz = v.receive ? DecodeReceive(v.stored, 1, 0, false, 21700 * 0.001, 0)
                                     : DecodeTransmit(v.stored, 1, 0, false, 150.0).mhz;
        EXPECT_EQ(FormatFrequency(mhz), v.text) << v.stored;
        // Whatever the last bit, the value stores back as the same count.
        const std::uint16_t back =
            v.receive ? EncodeReceive(mhz, 1, 0, false, 21.7, 0) : EncodeFrequency(mhz, 1, 0, false);
        EXPECT_EQ(back, v.stored);
    }
    // Out of band the receive value still prints the same way (no limit applies to it).
    EXPECT_EQ(FormatFrequency(DecodeReceive(54669, 1, 0, false, 0.0, 0)), "273.24062");
    // "Upper": the oscillator less a First IF read as 21728 x 0.001 (through whole hertz, 145.61888).
    const double upper = DecodeReceive(20783, 1, 0, false, 21728 * 0.001, 1);
    EXPECT_EQ(FormatFrequency(upper), "145.61887");
    EXPECT_EQ(EncodeReceive(upper, 1, 0, false, 21728 * 0.001, 1), 20783);
}

TEST(FrequencyCodec, SnapClampsAndMovesUpToAStep) {
    const struct {
        int code;
        double entered, snapped;
        int flag;
    } cases[] = {
        {0, 0.0, 134.0, 1},         {2, 600.0, 512.0, 1},      {1, 146.5125, 146.5125, 1},
        {1, 146.52, 146.52, 0},     {1, 146.521, 146.525, 0},  {0, 146.5225, 146.5225, 0},
        {3, 450.00625, 450.01, 0},  {3, 450.011, 450.0125, 1}, {1, 146.506, 146.50625, 1},
    };
    for (const auto& c : cases) {
        double mhz = c.entered;
        EXPECT_EQ(SnapFrequency(mhz, c.code), c.flag) << c.entered;
        EXPECT_DOUBLE_EQ(mhz, c.snapped) << c.entered;
    }
}

TEST(FrequencyCodec, TextsIgnoreTheLocale) {
    EXPECT_EQ(FormatFrequency(50.0), " 50.00000");
    EXPECT_EQ(MHzToHz(1e300), 0);
}

TEST(Tones, ToneBytesDecodeEncodeAndShow) {
    const struct {
        std::uint8_t byte;
        int kind, position;
        const char* cell;
        std::uint8_t reencoded;
    } tones[] = {
        {0x00, kToneNone, 0, "-------", 0x00},   {0x80, kToneNone, 0, "-------", 0x00},
        {0x01, kToneCtcss, 0, "C- 67.0", 0x01},  {0x1B, kToneCtcss, 39, "C-159.8", 0x1B},  // an inserted tone
        {0x1C, kToneCtcss, 26, "C-162.2", 0x1C}, {0x32, kToneCtcss, 49, "C-254.1", 0x32},
        {0x33, kToneCtcss, 50, "C-???", 0x33},  // code 51: no tone in the list, kept as stored
        {0x7F, kToneCtcss, 126, "C-???", 0x7F},  {0x81, kToneDcs, 0, "D-023  ", 0x81},
        {0xEB, kToneDcs, 106, "D-224  ", 0xEB},  {0xEC, kToneDcs, 107, "D-???  ", 0xEC},
        {0xFF, kToneDcs, 126, "D-???  ", 0xFF},
    };
    for (const auto& t : tones) {
        const ToneValue v = DecodeTone(t.byte);
        EXPECT_EQ(v.kind, t.kind) << int(t.byte);
        EXPECT_EQ(t.kind == kToneDcs ? v.dcs : v.ctcss, t.position) << int(t.byte);
        EXPECT_EQ(ToneCellText(v.kind, v.ctcss, v.dcs), t.cell);
        EXPECT_EQ(EncodeTone(v.kind, v.ctcss, v.dcs), t.reencoded);
    }
    for (int p = 0; p < kCtcssCount; ++p) EXPECT_EQ(CtcssPositionOfCode(CtcssCodeOfPosition(p)), p);
}

TEST(Tones, DcsComplement) {
    auto position = [](std::string_view code) {
        for (int i = 0; i < kDcsCount; ++i)
            if (DcsText(i) == code) return i;
        return -1;
    };
    const struct {
        const char *from, *to;
    } pairs[] = {{"023", "047"}, {"047", "023"}, {"250", "250"}, {"435", "243"},
                 {"243", "351"}, {"224", "073"}, {"073", "506"}};
    for (const auto& p : pairs) EXPECT_EQ(DcsText(ComplementDcs(position(p.from))), p.to) << p.from;
    // Every code but the one-way ones returns to itself after two presses.
    int fixedPoints = 0;
    for (int i = 0; i < kDcsCount; ++i) fixedPoints += ComplementDcs(ComplementDcs(i)) == i;
    EXPECT_EQ(fixedPoints, kDcsCount - 2);
    EXPECT_EQ(ComplementDcs(120), 120);
}

TEST(TwoTone, TextsGroupsAndCustomList) {
    const struct {
        int code;
        const char* text;
        int group;
    } codes[] = {{0, " 1- 330.5", 1},   {30, "  NONE   ", 1},  {83, nullptr, 1},  {84, nullptr, 2},
                 {114, "DIA 742.5", 2}, {115, "   ???   ", 2}, {131, nullptr, 3}, {186, "   3062.0", 3},
                 {190, nullptr, 4},  {239, " E- 588.0", 4}, {240, "   ???   ", 4}, {255, nullptr, 0}};
    for (const auto& c : codes) {
        EXPECT_TRUE(!c.text || TwoToneCodeText(c.code) == c.text) << c.code;
        EXPECT_EQ(TwoToneGroupOfCode(c.code), c.group) << c.code;
    }
    EXPECT_EQ(TwoToneIndexText(3, 0), "    282.2");
    EXPECT_EQ(TwoToneIndexText(4, 64), "   ???   ");
    EXPECT_EQ(TwoToneIndexText(9, 0), "   ???   ");

    const struct {
        int position, code;
    } custom[] = {{0, 0}, {84, 84}, {114, 114}, {115, 131}, {170, 186}, {171, 190}, {220, 239}};
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
    for (std::size_t i = 0xD4; i <= 0xDF; ++i) image[i] = 0xFF;
    std::size_t at = 0xD4;
    for (const PairBytes& p : pairs) {
        image[at++] = p.first;
        image[at++] = p.second;
    }
    return image;
}

TEST(TwoTone, PairTableReadsGroupsAndSwitchesToCustom) {
    const auto S = TwoToneFormat::Standard, C = TwoToneFormat::Custom;
    const struct {
        const char* name;
        RadioImage image;
        TwoToneFormat format, formatAfter;
        PairEntries expected;
    } cases[] = {
        {"one group", WithPairs({{0x05, 0x0A}}), S, S, {{{1, 5, 10}}}},
        {"group 2", WithPairs({{84, 85}}), S, S, {{{2, 0, 1}}}},
        {"off before mixed", WithPairs({{0xFF, 0x00}, {190, 191}, {0, 200}, {131, 132}}), S, C,
         {{{0, 0, 0}, {5, 190, 191}, {5, 0, 200}, {5, 131, 132}}}},
        {"custom stays", WithPairs({{0x05, 0x0A}}), C, C, {{{5, 5, 10}}}},
        {"second byte 255", WithPairs({{10, 255}}), S, C, {{{5, 10, 255}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TwoToneFormat format = c.format;
        const PairEntries pairs = DecodePairs(c.image, format);
        EXPECT_EQ(format, c.formatAfter);
        for (std::size_t k = 0; k < 6; ++k) EXPECT_EQ(pairs[k], c.expected[k]) << "pair " << k + 1;
        RadioImage written = c.image;
        EncodePairs(written, pairs, format);
        for (std::size_t i = 0xD4; i <= 0xDF; i += 2) {
            EXPECT_EQ(written[i], c.image[i]);
            EXPECT_EQ(written[i + 1], c.image[i] == 0xFF ? 0xFF : c.image[i + 1]);  // off pairs: 0xFF 0xFF
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
