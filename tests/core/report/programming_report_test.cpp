#include "core/report/programming_report.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "core/image/fields.h"
#include "core/image/language.h"
#include "core/image/sections.h"
#include "core/image/strings.h"
#include "core/image/tones.h"
#include "core/report/image_dump.h"

namespace rt62 {
namespace {

const std::string& Line(const ProgrammingReport& r, int line) {
    return r.Lines().at(static_cast<std::size_t>(line)).text;
}
// The right column starts at character 55 on lines 2-42.
std::string Right(const ProgrammingReport& r, int line) { return Line(r, line).substr(55); }

template <class Section, class Change>
std::function<void(ImageModel&)> Edit(Change edit) {
    return [edit](ImageModel& m) {
        Section s;
        s.Decode(m.image);
        edit(s);
        s.Encode(m.image);
    };
}

TEST(ProgrammingReport, SettingsPrintTheirTexts) {
    const struct {
        const char* what;
        std::function<void(ImageModel&)> edit;
        int line, column;
        const char* text;
    } cases[] = {
        {"file name without folder", [](ImageModel&) {}, 2, 0, "           File Name:  My File.R62      "},
        {"transmit timer 0", Edit<CommonSection>([](auto& s) { s.transmitTimer = 0; }), 12, 0,
         "              Transmit Timer:      0.5 mins            "},
        {"lamp mode off", Edit<CommonSection>([](auto& s) { s.lampMode = 0; }), 39, 0,
         "              Lamp mode            Disabled            "},
        {"auto reset off", Edit<CommonSection>([](auto& s) { s.autoResetTime = 0; }), 42, 0,
         "              Auto Reset Time      off                 "},
        {"auto reset first", Edit<CommonSection>([](auto& s) { s.autoResetTime = 1; }), 42, 0,
         "              Auto Reset Time      2 secs              "},
        {"auto reset last", Edit<CommonSection>([](auto& s) { s.autoResetTime = 16; }), 42, 0,
         "              Auto Reset Time      60 secs             "},
        {"key code without text", Edit<KeySection>([](auto& s) { s.accKeyHold = 15; }), 31, 0,
         "              ACC Key[Hold]        ???                 "},
        {"default split", [](ImageModel& m) { m.defaultSplit = -5.25; }, 34, 0,
         "              Default Split:       -5.2  MHz           "},
        {"ani code", [](ImageModel& m) { WriteDtmfCode(m.image, "12A#"); }, 7, 55, "   DTMF Code:                      12A#"},
        {"page code", [](ImageModel& m) { WritePageCode(m.image, 10, {"12#", 1}); }, 23, 55, "   Page Code 10:  12#"},
        // Count x 0.001: 51.035 prints 51.04 (through whole hertz it printed 51.03).
        {"first IF", [](ImageModel& m) { WriteFirstIfKhz(m.image, 51035); DecodeImage(m); }, 6, 0,
         "              First IF:            51.04MHz            "},
        {"dial scan position", Edit<ScanSection>([](auto& s) { s.dialScanPosition = 7; }), 18, 0,
         "              Dial Scan Position:  CH  7               "},
        {"PTT release padding", Edit<CommonSection>([](auto& s) { s.releaseTimer = 0; }), 14, 0,
         "              PTT Release Timer:   0   secs            "},
        {"DTMF delay padding", Edit<AniSettings>([](auto& s) { s.dtmfDelay = 0; }), 5, 55,
         "   DTMF Delay:          50 msec "},
        {"paging DTMF speed", Edit<PageSettings>([](auto& s) { s.pagingDtmfSpeed = 1; }), 10, 55,
         "   DTMF Speed:          100 msec"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ImageModel m = MakeFactoryImage(0);
        c.edit(m);
        ProgrammingReport r(m, "/some/where/My File.R62");
        EXPECT_EQ(Line(r, c.line).substr(static_cast<std::size_t>(c.column), std::strlen(c.text)), c.text);
    }
}

TEST(ProgrammingReport, TwoTonePairsInBothFormats) {
    ImageModel m = MakeFactoryImage(0);
    WritePairBytes(m.image, 1, {0x05, 0x0A});
    WritePairBytes(m.image, 3, {0x54, 0x55});
    WritePairBytes(m.image, 6, {0xF0, 0xFE});
    ProgrammingReport standard(m, "<none>");
    EXPECT_EQ(Right(standard, 29), "   Tone Format:         Standard    ");
    EXPECT_EQ(Right(standard, 36), "   1:  MOTOROLA      1- 433.7    2- 569.1 ");
    EXPECT_EQ(Right(standard, 37), "   2:  ----------   ---------   --------- ");
    EXPECT_EQ(Right(standard, 38), "   3:  GE/99 GRP     A- 682.5    A- 592.5 ");
    // Codes 240 and 254 read as group 4 entries that have no text: blanks, as the empty text pads.
    EXPECT_EQ(Right(standard, 41), "   6:  REACH GRP                          ");
    WritePairBytes(m.image, 5, {0x73, 0x82});  // group 2, indexes 31 and 46: entries without text
    EXPECT_EQ(Right(ProgrammingReport(m, "<none>"), 40), "   5:  GE/99 GRP                          ");

    // A pair mixing groups switches the whole table to the custom format, codes as three digits.
    WritePairBytes(m.image, 2, {0x05, 0x54});
    WritePairBytes(m.image, 4, {0x07, 0xF5});  // 245: a code without text
    ProgrammingReport custom(m, "<none>");
    EXPECT_EQ(Right(custom, 29), "   Tone Format:         Custom      ");
    EXPECT_EQ(Right(custom, 36), "   1:    Custom        005        010 ");
    EXPECT_EQ(Right(custom, 37), "   2:    Custom        005        084 ");
    EXPECT_EQ(Right(custom, 39), "   4:    Custom        007        245 ");
}

TEST(ProgrammingReport, ChannelLines) {
    ImageModel m = MakeFactoryImage(1);
    auto& ch = m.channels;
    // Channel 1: every mark on; channel 2: tones, inhibit, numbers printed as one digit.
    ChannelEntry& a = ch.at(0);
    a.narrow = a.powerSaveRx = a.powerSaveTx = a.power = a.vts = a.ani = a.encryption = a.prox = a.twoToneS = 1;
    a.scan = 3;
    a.tot = 0;
    a.lockOut = 2;
    a.squelch = 15;
    a.pageNumber = a.twoToneP = 10;
    ChannelEntry& b = ch.at(1);
    b.rxFrequency = 146.52;
    b.txInhibit = 1;
    b.decKind = kToneCtcss;
    b.encKind = kToneDcs;
    b.scan = 2;
    b.lockOut = 3;
    b.pageNumber = 3;
    b.twoToneP = 6;
    ChannelEntry& c = ch.at(2);
    c.decKind = kToneDcs;
    c.encKind = kToneCtcss;
    c.encCtcss = 70;  // beyond the list: printed as unknown
    c.powerSaveRx = 1;  // receive save only: RX comes first
    // Channels that are not printed: not in use, or both frequencies 0.
    ch.at(3).inUse = 0;
    for (int n = 4; n < 16; ++n) ch.at(n).rxFrequency = ch.at(n).txFrequency = 0.0;
    ch.at(15).txFrequency = 440.0;

    ProgrammingReport r(m, "<none>");
    ASSERT_EQ(r.Lines().size(), 51u + 4u);
    EXPECT_EQ(Line(r, 51), "                 1  N 150.00000 150.00000  ------- ------- X  X  L X X - BTLO 15 X X 0 X 0 X  ");
    EXPECT_EQ(Line(r, 52), "                 2  W 146.52000 ---.-----  C- 67.0 D-023   -  -  H - - X ???   4 - - 3 - 6 -  ");
    EXPECT_EQ(Line(r, 53), "                 3  W 150.00000 150.00000  D-023   C-??? X  -  H - - X ----  4 - - - - - -  ");
    EXPECT_EQ(Line(r, 54), "                16  W   0.00000 440.00000  ------- ------- -  -  H - - X ----  4 - - - - - -  ");
}

// In every language the page has its lines in their places, the names and the values of each column
// start at one column, and the channel table's heading keeps its columns.
TEST(ProgrammingReport, EveryLanguageKeepsTheColumns) {
    ImageModel m = MakeFactoryImage(2);
    Edit<ScanSection>([](auto& s) { s.revertChannel = 2; s.dialScanPosition = 12; })(m);
    Edit<KeySection>([](auto& s) { s.accKeyPress = 13; })(m);
    const ProgrammingReport english(m, "a.r62");
    const auto column = [](const std::string& line, std::string_view part) {
        const std::size_t at = line.find(part);
        return at == std::string::npos ? -1 : DisplayColumns(line.substr(0, at));
    };
    for (const Language& language : Languages()) {
        if (!language.shipped) continue;
        SCOPED_TRACE(std::string(language.code));
        SetLanguage(language);
        const ProgrammingReport r(m, "a.r62");
        ASSERT_EQ(r.Lines().size(), english.Lines().size());
        std::set<int> names, values;
        for (const auto& [line, id] : std::vector<std::pair<int, int>>{
                 {4, 4644}, {5, 4645}, {6, 4646}, {10, 4646}, {11, 4648}, {26, 4650}, {29, 4653}, {31, 4655}})
            names.insert(column(Line(r, line), StringText(id)));
        values.insert(column(Line(r, 18), "CH 12"));
        values.insert(column(Line(r, 26), StringText(4672))); // Last Busy Channel
        values.insert(column(Line(r, 30), StringText(4684))); // ACC 2/Encry Off
        EXPECT_EQ(names.size(), 1u);
        EXPECT_EQ(values.size(), 1u);
        EXPECT_GT(*names.begin(), *values.begin());
        for (int line = 0; line <= 50; ++line) EXPECT_LE(DisplayColumns(Line(r, line)), 130) << line;
        for (int line = 45; line < 50; ++line)
            EXPECT_EQ(DisplayColumns(Line(r, line)), DisplayColumns(Line(english, line))) << line;
        EXPECT_EQ(Line(r, 51), Line(english, 51)); // the channel lines are codes and numbers
    }
    SetLanguage(EnglishLanguage());
}

TEST(ImageDump, TrailerFollowsTheImageInFileOrder) {
    RadioImage image{};
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i);
    const DumpCells d = ImageDumpCells(image, {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7});
    EXPECT_EQ(d[1][11], "0a");
    EXPECT_EQ(d[16][14], "fd");  // offset 0xFD, the checksum's low byte
    EXPECT_EQ(d[16][15], "a0");  // offsets 254-261: the trailer
    EXPECT_EQ(d[16][16], "a1");
    EXPECT_EQ(d[17][0], "00100h");
    EXPECT_EQ(d[17][6], "a7");
    for (int c = 7; c < kDumpColumns; ++c) EXPECT_EQ(d[17][c], "") << c;
}

}  // namespace
}  // namespace rt62
