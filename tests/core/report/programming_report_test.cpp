#include "report/programming_report.h"

#include <gtest/gtest.h>

#include "image/fields.h"
#include "image/layout.h"
#include "image/sections.h"
#include "image/tones.h"
#include "report/image_dump.h"

namespace rt62 {
namespace {

// The right column starts at character 55 on lines 2-42.
std::string Right(const ProgrammingReport& r, int line) {
    const std::string& t = r.Lines().at(static_cast<std::size_t>(line)).text;
    return t.size() > 55 ? t.substr(55) : std::string();
}
std::string Left(const ProgrammingReport& r, int line) {
    return r.Lines().at(static_cast<std::size_t>(line)).text.substr(0, 55);
}
const std::string& Line(const ProgrammingReport& r, int line) {
    return r.Lines().at(static_cast<std::size_t>(line)).text;
}

template <class Section, class Edit>
void EditSection(ImageModel& m, Edit edit) {
    Section s;
    s.Decode(m.image);
    edit(s);
    s.Encode(m.image);
}

TEST(ProgrammingReport, FactoryPageLayout) {
    ImageModel m = MakeFactoryImage(0);
    ProgrammingReport r(m, "/some/where/My File.R62");
    ASSERT_EQ(r.Lines().size(), 51u + 16u);
    for (int i = 0; i < static_cast<int>(r.Lines().size()); ++i)
        EXPECT_EQ(r.Lines()[static_cast<std::size_t>(i)].drawn, i != ProgrammingReport::kSkippedLine) << i;
    EXPECT_EQ(Line(r, 1), "");
    EXPECT_EQ(Line(r, 2), "           File Name:  My File.R62                     Serial No:  0C010001                        ");
    // Every left part that carries a value is padded to the right column.
    for (int i : {3, 4, 5, 6, 7, 9, 10, 11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30,
                  31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42})
        EXPECT_GE(Line(r, i).size(), 55u) << i;
    EXPECT_EQ(Line(r, 8), "              Channel Spacing:     2.5,6.25kHz");
    EXPECT_EQ(Line(r, 12), "              Transmit Timer:      3 mins              ");

    ProgrammingReport none(m, "<none>");
    EXPECT_EQ(Line(none, 2).substr(0, 29), "           File Name:  <none>");
}

TEST(ProgrammingReport, CommonSettingsPrintTheirTexts) {
    struct Case {
        const char* what;
        std::function<void(ImageModel&)> edit;
        int line;
        std::string left;   // empty: not checked
        std::string right;  // empty: not checked
    };
    std::vector<Case> cases = {
        {"transmit timer 0", [](ImageModel& m) { EditSection<CommonSection>(m, [](auto& s) { s.transmitTimer = 0; }); },
         12, "              Transmit Timer:      0.5 mins            ", ""},
        {"transmit timer 7", [](ImageModel& m) { EditSection<CommonSection>(m, [](auto& s) { s.transmitTimer = 7; }); },
         12, "              Transmit Timer:      7 mins              ", ""},
        {"penalty 60", [](ImageModel& m) { EditSection<CommonSection>(m, [](auto& s) { s.penaltyTimer = 3; }); }, 13,
         "              TOT Penalty Timer:   60  secs            ", "Page Codes"},
        {"dial scan 7", [](ImageModel& m) { EditSection<ScanSection>(m, [](auto& s) { s.dialScanPosition = 7; }); },
         18, "              Dial Scan Position:  CH  7               ", ""},
        {"priority 16", [](ImageModel& m) { EditSection<ScanSection>(m, [](auto& s) { s.priorityChannel = 16; }); },
         19, "              Dial Priority CH:    CH 16               ", ""},
        {"trunk off", [](ImageModel&) {}, 20, "              KT-Trunk Position:   Disabled            ", ""},
        {"resume 0.25", [](ImageModel& m) { EditSection<ScanSection>(m, [](auto& s) { s.scanResumeTime1 = 0; }); },
         21, "              Scan Resume Tinme 1: 0.25 secs           ", ""},
        {"lamp mode off", [](ImageModel& m) { EditSection<CommonSection>(m, [](auto& s) { s.lampMode = 0; }); }, 39,
         "              Lamp mode            Disabled            ", ""},
        {"auto reset off", [](ImageModel& m) { EditSection<CommonSection>(m, [](auto& s) { s.autoResetTime = 0; }); },
         42, "              Auto Reset Time      off                 ", ""},
        {"auto reset first", [](ImageModel& m) { EditSection<CommonSection>(m, [](auto& s) { s.autoResetTime = 1; }); },
         42, "              Auto Reset Time      2 secs              ", ""},
        {"auto reset last", [](ImageModel& m) { EditSection<CommonSection>(m, [](auto& s) { s.autoResetTime = 16; }); },
         42, "              Auto Reset Time      60 secs             ", ""},
        {"squelch tail no tone", [](ImageModel& m) { EditSection<CommonSection>(m, [](auto& s) { s.squelchTailElim = 1; }); },
         37, "              PTT Delay            No Tone             ", ""},
        {"key code without text", [](ImageModel& m) { EditSection<KeySection>(m, [](auto& s) { s.accKeyHold = 15; }); },
         31, "              ACC Key[Hold]        ???                 ", "   Duty:                Off-Duty    "},
        {"option ZNE-48", [](ImageModel& m) { WriteOptionCode(m.image, 12); }, 9,
         "              Option Device:       ZNE-48              ", "DTMF Parameters"},
        {"default split", [](ImageModel& m) { m.defaultSplit = -5.25; }, 34,
         "              Default Split:       -5.2  MHz           ", "   Pair#   System        1st        2nd"},
        {"ani code", [](ImageModel& m) { WriteDtmfCode(m.image, "12A#"); }, 7, "",
         "   DTMF Code:                      12A#"},
        {"page code", [](ImageModel& m) { WritePageCode(m.image, 10, {"12#", 1}); }, 23, "", "   Page Code 10:  12#"},
        {"secondary pair", [](ImageModel& m) { layout::kSecondaryPagePair.Write(m.image, 5); }, 28, "",
         "   Secondary Page Pair: Pair# 6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ImageModel m = MakeFactoryImage(0);
        c.edit(m);
        ProgrammingReport r(m, "<none>");
        if (!c.left.empty()) {
            EXPECT_EQ(Left(r, c.line), c.left);
        }
        if (!c.right.empty()) {
            EXPECT_EQ(Right(r, c.line), c.right);
        }
    }
}

TEST(ProgrammingReport, TwoTonePairsInBothFormats) {
    ImageModel m = MakeFactoryImage(0);
    WritePairBytes(m.image, 1, {0x05, 0x0A});
    WritePairBytes(m.image, 3, {0x54, 0x55});
    ProgrammingReport standard(m, "<none>");
    EXPECT_EQ(Right(standard, 29), "   Tone Format:         Standard    ");
    EXPECT_EQ(Right(standard, 36), "   1:  MOTOROLA      1- 433.7    2- 569.1 ");
    EXPECT_EQ(Right(standard, 37), "   2:  ----------   ---------   --------- ");
    EXPECT_EQ(Right(standard, 38), "   3:  GE/99 GRP     A- 682.5    A- 592.5 ");

    // A pair mixing groups switches the whole table to the custom format, codes as three digits.
    WritePairBytes(m.image, 2, {0x05, 0x54});
    WritePairBytes(m.image, 4, {0x07, 0xF5});  // 245: a code without text
    ProgrammingReport custom(m, "<none>");
    EXPECT_EQ(Right(custom, 29), "   Tone Format:         Custom      ");
    EXPECT_EQ(Right(custom, 36), "   1:    Custom        005        010 ");
    EXPECT_EQ(Right(custom, 37), "   2:    Custom        005        084 ");
    EXPECT_EQ(Right(custom, 38), "   3:    Custom        084        085 ");
    EXPECT_EQ(Right(custom, 39), "   4:    Custom        007        245 ");

    // In the standard format a code past the table's texts prints the unknown text, never past the table.
    ImageModel s = MakeFactoryImage(0);
    WritePairBytes(s.image, 6, {0xF0, 0xFE});
    ProgrammingReport unknown(s, "<none>");
    EXPECT_EQ(Right(unknown, 41), "   6:  REACH GRP       ???         ???    ");
}

TEST(ProgrammingReport, ChannelLines) {
    ImageModel m = MakeFactoryImage(1);
    auto& ch = m.channels;
    // Channel 1: every mark on; channel 2: tones, inhibit, numbers printed as one digit.
    ChannelEntry& a = ch.at(0);
    a.narrow = 1;
    a.powerSaveRx = a.powerSaveTx = 1;
    a.power = 1;
    a.scan = 3;
    a.vts = 1;
    a.tot = 0;
    a.lockOut = 2;
    a.squelch = 15;
    a.ani = 1;
    a.encryption = 1;
    a.pageNumber = 10;
    a.prox = 1;
    a.twoToneP = 10;
    a.twoToneS = 1;
    ChannelEntry& b = ch.at(1);
    b.rxFrequency = 146.52;
    b.txInhibit = 1;
    b.decKind = kToneCtcss;
    b.decCtcss = 0;
    b.encKind = kToneDcs;
    b.encDcs = 0;
    b.scan = 2;
    b.lockOut = 3;
    b.pageNumber = 3;
    b.twoToneP = 6;
    ChannelEntry& c = ch.at(2);
    c.decKind = kToneDcs;
    c.decDcs = 0;
    c.encKind = kToneCtcss;
    c.encCtcss = 70;  // beyond the list: printed as unknown
    // Channels that are not printed: not in use, or both frequencies 0.
    ch.at(3).inUse = 0;
    for (int n = 4; n < 16; ++n) ch.at(n).rxFrequency = ch.at(n).txFrequency = 0.0;
    ch.at(15).txFrequency = 440.0;

    ProgrammingReport r(m, "<none>");
    ASSERT_EQ(r.Lines().size(), 51u + 4u);
    EXPECT_EQ(Line(r, 51), "                 1  N 150.00000 150.00000  ------- ------- X  X  L X X - BTLO 15 X X 0 X 0 X  ");
    EXPECT_EQ(Line(r, 52), "                 2  W 146.52000 ---.-----  C- 67.0 D-023   -  -  H - - X ???   4 - - 3 - 6 -  ");
    EXPECT_EQ(Line(r, 53), "                 3  W 150.00000 150.00000  D-023   C-??? -  -  H - - X ----  4 - - - - - -  ");
    EXPECT_EQ(Line(r, 54), "                16  W   0.00000 440.00000  ------- ------- -  -  H - - X ----  4 - - - - - -  ");
}

TEST(ImageDump, HeadingsBytesAndTrailer) {
    RadioImage image{};
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i);
    FileTrailerBytes trailer = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7};
    DumpCells d = ImageDumpCells(image, trailer);
    EXPECT_EQ(d[0][0], "");
    EXPECT_EQ(d[0][1], "00");
    EXPECT_EQ(d[0][16], "0f");
    EXPECT_EQ(d[1][0], "00000h");
    EXPECT_EQ(d[2][0], "00010h");
    EXPECT_EQ(d[17][0], "00100h");
    EXPECT_EQ(d[1][11], "0a");
    EXPECT_EQ(d[16][14], "fd");  // offset 0xFD, the checksum's low byte
    EXPECT_EQ(d[16][15], "a0");  // offsets 254-261: the trailer in file order
    EXPECT_EQ(d[16][16], "a1");
    EXPECT_EQ(d[17][1], "a2");
    EXPECT_EQ(d[17][6], "a7");
    for (int c = 7; c < kDumpColumns; ++c) EXPECT_EQ(d[17][c], "") << c;
}

}  // namespace
}  // namespace rt62
