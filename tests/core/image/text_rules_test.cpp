// White space, the number readers, the edit fields' character kinds and the tone texts.
#include "core/image/text_rules.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/image/tones.h"

namespace rt62 {
namespace {

TEST(TextRules, NumbersIgnoreTheLocale) {
    EXPECT_EQ(Trim(" \t\r\n 12 a\v\f "), "12 a");
    EXPECT_EQ(Trim(" \t "), "");
    const std::string huge(400, '9');
    const struct {
        std::string text;
        double decimal;            // ParseDecimal: the number the text starts with
        int whole;                 // ReadWholeNumber
        std::optional<double> all; // StrictDecimal: the whole text as a number
    } rows[] = {
        {"146.52", 146.52, 146, 146.52},   {"  12.5MHz", 12.5, 12, std::nullopt},
        {"-5", -5.0, -5, -5.0},            {"+3.", 3.0, 3, 3.0},
        {".5", 0.5, 0, 0.5},               {"-", 0.0, 0, std::nullopt},
        {"abc", 0.0, 0, std::nullopt},     {"", 0.0, 0, std::nullopt},
        {"1.2.3", 1.2, 1, std::nullopt},   {"\n\t 7 ", 7.0, 7, 7.0},
        {"- 5", 0.0, 0, std::nullopt},     {"1e5", 1.0, 1, std::nullopt},
        {"inf", 0.0, 0, std::nullopt},     {"99999999999", 99999999999.0, 2147483647, 99999999999.0},
        {"-99999999999", -99999999999.0, -2147483647, -99999999999.0},
        {huge, 0.0, 2147483647, std::nullopt}, // more than a double holds: no number
    };
    for (const auto& r : rows) {
        EXPECT_DOUBLE_EQ(ParseDecimal(r.text), r.decimal) << r.text;
        EXPECT_EQ(ReadWholeNumber(r.text), r.whole) << r.text;
        EXPECT_EQ(StrictDecimal(r.text), r.all) << r.text;
    }
}

TEST(TextRules, FilterKindsAcceptTheirCharacters) {
    // Every kind against one line of characters at position 0. Kind 9 takes its
    // letter only at position 1; tags count only the low seven bits (0xA1 is "!" with the high bit).
    const std::u32string line = U" +-.#*09aAdDeEfFgcCnNz!\"\t\u00A1\u00C1\u0100";
    const struct {
        unsigned kind;
        const char* expected; // per character of line: 'y' accepted
    } rows[] = {
        {0, "yyyyyyyyyyyyyyyyyyyyyyyyyyyy"},
        {1, "y--y--yy--------------------"},
        {2, "yyy---yy--------------------"},
        {3, "----yyyyyyyy-----yy---------"},
        {4, "yyy--yyyyyyyyyyyyyyyyy----y-"},
        {5, "yyyy--yy--------------------"},
        {6, "y-----yy--------------------"},
        {7, "------yyyyyyyyyy-yy---------"},
        {8, "------yy--------------------"},
        {10, "yyyyyyyyyyyyyyyyyyyyyyyyyyyy"},
    };
    for (const auto& r : rows)
        for (std::size_t i = 0; i < line.size(); ++i)
            EXPECT_EQ(FilterAccepts(r.kind, line[i], 0), r.expected[i] == 'y')
                << "kind " << r.kind << " character " << static_cast<unsigned>(line[i]);
    for (int position = 0; position < 8; ++position) {
        EXPECT_EQ(FilterAccepts(kFilterSerial, U'5', position), position != 1);
        EXPECT_EQ(FilterAccepts(kFilterSerial, U'c', position), position == 1);
        EXPECT_FALSE(FilterAccepts(kFilterSerial, U'B', position));
    }
    EXPECT_TRUE(FilterAcceptsAll(kFilterSerial, "0C010001"));
    EXPECT_FALSE(FilterAcceptsAll(kFilterSerial, "C0010001"));
}

TEST(TextRules, ToneTexts) {
    const struct {
        const char* text;
        ToneSpelling spelling;
        int kind, position; // kind -1: not a tone
    } rows[] = {
        {"C- 67.0", ToneSpelling::Cell, kToneCtcss, 0},     {"C-254.1  ", ToneSpelling::Cell, kToneCtcss, 49},
        {"C-67.0", ToneSpelling::Cell, -1, 0},              {"c- 67.0", ToneSpelling::Cell, -1, 0},
        {"D-023  ", ToneSpelling::Cell, kToneDcs, 0},       {"D-23", ToneSpelling::Cell, -1, 0},
        {"-------", ToneSpelling::Cell, kToneNone, 0},      {"none", ToneSpelling::Cell, -1, 0},
        {"C-", ToneSpelling::Cell, -1, 0},                  {" C- 67.0", ToneSpelling::Cell, -1, 0},
        {"c-67", ToneSpelling::Loose, kToneCtcss, 0},       {" C - 254.10 ", ToneSpelling::Loose, kToneCtcss, 49},
        {"C-67.04", ToneSpelling::Loose, kToneCtcss, 0},    {"C-67.1", ToneSpelling::Loose, -1, 0},
        {"d-23", ToneSpelling::Loose, kToneDcs, 0},         {"D-0023", ToneSpelling::Loose, -1, 0},
        {"D-224", ToneSpelling::Loose, kToneDcs, 106},      {"D-", ToneSpelling::Loose, -1, 0},
        {"None", ToneSpelling::Loose, kToneNone, 0},        {"- - - - - - -", ToneSpelling::Loose, kToneNone, 0},
        {"C-1e400", ToneSpelling::Loose, -1, 0},            {"X-100", ToneSpelling::Loose, -1, 0},
    };
    for (const auto& r : rows) {
        const std::optional<ToneValue> tone = ParseToneText(r.text, r.spelling);
        EXPECT_EQ(tone ? tone->kind : -1, r.kind) << r.text;
        if (tone) {
            EXPECT_EQ(tone->kind == kToneDcs ? tone->dcs : tone->ctcss, r.position) << r.text;
        }
    }
    EXPECT_EQ(CtcssPositionOfHz(NAN), -1);
    EXPECT_EQ(CtcssPositionOfHz(88.46), 8);
    EXPECT_EQ(DcsPositionOfCode("7"), -1);
}

} // namespace
} // namespace rt62
