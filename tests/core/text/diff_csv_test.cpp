// Field-level diff lines and the channel CSV.
#include <gtest/gtest.h>

#include "core/image/fields.h"
#include "core/image/tones.h"
#include "core/text/csv_channels.h"
#include "core/text/field_diff.h"

namespace rt62 {
namespace {

std::vector<std::string> Texts(const DiffReport& r) {
    std::vector<std::string> out;
    for (const DiffLine& l : r.lines)
        out.push_back(l.text + (l.counts ? "" : " [not counted]"));
    return out;
}

TEST(FieldDiff, OneLinePerFieldThenRawBytesThenTheChecksum) {
    const DataFileBytes a = FactoryDataFile(1);
    EXPECT_TRUE(DiffDataFiles(a, a).lines.empty());
    EXPECT_EQ(DiffDataFiles(a, a).ExitCode(), 0);

    ImageModel m = ModelFromDataFile(a);
    SetFrequencyText(m, 2, kColReceive, "146.55");
    m.channels.at(2).decKind = kToneDcs;
    m.marketing.serialNumber = "1C000000";
    NormalizeImage(m);
    DataFileBytes b = DataFileOfModel(m);
    b[0xE1] |= 0x80; // a reserved bit
    b[0xE9] = 0x12;  // a radio-owned byte
    const DiffReport files = DiffDataFiles(a, b);
    const std::vector<std::string> expected{
        "radio.serial_number: 0C010001 -> 1C000000",
        "channels[3].receive: 150.00000 -> 146.55000",
        "channels[3].transmit: 150.00000 -> 146.55000",
        "channels[3].decode: none -> D-023",
        "raw 0xe1: 00 -> 80",
        "raw 0xe9: 00 -> 12",
    };
    std::vector<std::string> lines = Texts(files);
    ASSERT_EQ(lines.size(), expected.size() + 1);
    lines.pop_back();
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(files.lines.back().text.substr(0, 10), "checksum: ");
    EXPECT_EQ(files.ExitCode(), 1);

    // Against the radio, what a Download takes from the radio is shown but does not count.
    DataFileBytes radio = a;
    WriteSerialNumber(*reinterpret_cast<RadioImage*>(radio.data()), "1C000000");
    radio[0xEA] = 0x34;
    StoreImageChecksum(*reinterpret_cast<RadioImage*>(radio.data()));
    const DiffReport verify = DiffDataFiles(radio, a, DiffMode::RadioAgainstFile);
    const std::vector<std::string> verifyLines = Texts(verify);
    ASSERT_EQ(verifyLines.size(), 3u);
    EXPECT_EQ(verifyLines[0], "radio.serial_number: 1C000000 -> 0C010001 (radio-owned: a Download keeps "
                              "the radio's value) [not counted]");
    EXPECT_EQ(verifyLines[1],
              "raw 0xea: 34 -> 00 (radio-owned: a Download keeps the radio's value) [not counted]");
    EXPECT_EQ(verifyLines[2].substr(0, 10), "checksum: ");
    EXPECT_FALSE(verify.lines[2].counts); // the radio's sum covers the radio-owned bytes it keeps
    EXPECT_FALSE(verify.Differs());
}

TEST(ChannelCsv, MixedRowsImportTheGoodOnesAndReportTheRest) {
    const std::string csv =
        "\xEF\xBB\xBFName,Location,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
        "RxDtcsCode,CrossMode,Mode,Skip,Power,URCALL\r\n"
        "\"Club, north\",1,146.520000,+,0.600000,Tone,100.0,88.5,023,NN,023,Tone->Tone,FM,,High,x\r\n"
        "Simplex,2,146.550000,,0,TSQL,88.5,123.0,023,NN,023,Tone->Tone,NFM,S,Low,\r\n"
        "Dcs,3,147.000000,-,0.6,DTCS,88.5,88.5,023,NR,023,Tone->Tone,FM,,High,\r\n"
        "Cross,4,146.000000,off,0,Cross,100.0,88.5,023,NN,754,Tone->DTCS,FM,,High,\r\n"
        "Bad tone,5,146.000000,,0,Tone,150.0,88.5,023,NN,023,Tone->Tone,FM,,High,\r\n"
        "Too far,17,146.000000,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,,High,\r\n"
        "UHF,6,446.000000,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,,High,\r\n"
        "AM,7,146.000000,,0,,88.5,88.5,023,NN,023,Tone->Tone,AM,,High,\r\n"
        "Again,2,146.000000,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,,High,\r\n";
    const DataFileBytes base = FactoryDataFile(1);
    const CsvImport r = ImportCsv(csv, &base);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.imported, 4);
    std::vector<std::string> problems;
    for (const TextProblem& p : r.problems)
        problems.push_back(p.message);
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "row 6: tone 150.0 Hz is not a CTCSS code of this radio",
                            "row 7: location 17 is not a channel of this radio (1-16)",
                            "row 8: frequency 446.000000 is outside 134.00000-174.00000 MHz for VHF",
                            "row 9: mode AM is not FM or NFM",
                            "row 10: location 2 was already given in row 3",
                        }));
    EXPECT_EQ(r.Summary(), "4 channels imported, 5 rows skipped");

    const ImageModel m = ModelFromDataFile(r.bytes);
    const ChannelEntry& one = m.channels.at(0);
    EXPECT_DOUBLE_EQ(one.txFrequency, 147.12);
    EXPECT_EQ(ToneCellText(one.encKind, one.encCtcss, one.encDcs), "C-100.0");
    EXPECT_EQ(one.decKind, kToneNone);
    const ChannelEntry& two = m.channels.at(1);
    EXPECT_EQ(ToneCellText(two.decKind, two.decCtcss, two.decDcs), "C-123.0");
    EXPECT_EQ(two.encKind, kToneCtcss);
    EXPECT_EQ(two.narrow, 1);
    EXPECT_EQ(two.scan, 0);
    EXPECT_EQ(two.power, 1);
    const ChannelEntry& three = m.channels.at(2);
    EXPECT_DOUBLE_EQ(three.txFrequency, 146.4);
    EXPECT_EQ(ToneCellText(three.encKind, three.encCtcss, three.encDcs), "D-023  ");
    EXPECT_EQ(ToneCellText(three.decKind, three.decCtcss, three.decDcs),
              "D-047  "); // reversed: the complement
    const ChannelEntry& four = m.channels.at(3);
    EXPECT_EQ(four.txInhibit, 1);
    EXPECT_EQ(ToneCellText(four.decKind, four.decCtcss, four.decDcs), "D-754  ");
    EXPECT_EQ(m.channels.at(4), ModelFromDataFile(base).channels.at(4)); // skipped row: channel 5 kept

    const CsvImport strict = ImportCsv(csv, &base, true);
    EXPECT_FALSE(strict.ok);
    EXPECT_EQ(strict.problems.size(), 5u);
}

// One row at a time, in the forms other programs write: codes without their leading zeros, every
// polarity pair, tones without their decimal, frequencies at the band's edges and a transmit frequency
// only the offset takes out of the band.
TEST(ChannelCsv, RowFormsOtherProgramsWrite) {
    const struct {
        const char* row; // Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode
        const char* encode;
        const char* decode; // or, with encode empty, the problem
    } rows[] = {
        {"146.52,,,DTCS,,,23,NN,,", "D-023  ", "D-023  "},
        {"146.52,,,DTCS,,,23,NR,,", "D-023  ", "D-047  "},
        {"146.52,,,DTCS,,,23,RN,,", "D-047  ", "D-023  "},
        {"146.52,,,DTCS,,,023,rr,,", "D-047  ", "D-047  "},
        {"146.52,,,Cross,,,23,RN,754,DTCS->DTCS", "D-047  ", "D-754  "},
        {"146.52,,,Cross,,,23,NR,754,DTCS->DTCS", "D-023  ", "D-116  "}, // the receive code reversed
        {"146.52,,,TSQL,,67,,,,", "C- 67.0", "C- 67.0"},
        {"146.52,,,Tone,88.50,,,,,", "C- 88.5", "-------"},
        {"134.0,+,40,,,,,,,", "-------", "-------"},
        {"146.52,,,DTCS,,,23,XN,,", "", "row 2: DCS polarity XN is not NN, NR, RN or RR"},
        {"146.52,,,DTCS,,,24,NN,,", "", "row 2: DCS code 24 is not a DCS code of this radio"},
        {"174.00001,,,,,,,,,", "", "row 2: frequency 174.00001 is outside 134.00000-174.00000 MHz for VHF"},
        {"173.9,+,0.6,,,,,,,", "",
         "row 2: transmit frequency 174.500000 is outside 134.00000-174.00000 MHz for VHF"},
        {"134.5,split,133.99,,,,,,,", "",
         "row 2: transmit frequency 133.990000 is outside 134.00000-174.00000 MHz for VHF"},
    };
    const DataFileBytes base = FactoryDataFile(0);
    for (const auto& r : rows) {
        const std::string csv = "Location,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                                "RxDtcsCode,CrossMode\r\n1," +
                                std::string(r.row) + "\r\n";
        const CsvImport imported = ImportCsv(csv, &base);
        ASSERT_TRUE(imported.ok) << r.row;
        if (!*r.encode) {
            ASSERT_EQ(imported.problems.size(), 1u) << r.row;
            EXPECT_EQ(imported.problems[0].message, r.decode);
            continue;
        }
        ASSERT_TRUE(imported.problems.empty()) << r.row << ": " << imported.problems[0].message;
        const ChannelEntry e = ModelFromDataFile(imported.bytes).channels.at(0);
        EXPECT_EQ(ToneCellText(e.encKind, e.encCtcss, e.encDcs), r.encode) << r.row;
        EXPECT_EQ(ToneCellText(e.decKind, e.decCtcss, e.decDcs), r.decode) << r.row;
    }
}

TEST(ChannelCsv, ExportedRowsImportBackToTheSameChannels) {
    const DataFileBytes base = FactoryDataFile(0);
    const CsvImport first = ImportCsv("Location,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
                                      "DtcsPolarity,RxDtcsCode,CrossMode,Mode\n"
                                      "1,146.52,+,0.6,TSQL,,67.0,,,,,NFM\n2,145.5,off,,DTCS,,,754,NN,,,FM\n3,"
                                      "146.0125,-,1,Cross,71.9,,,,025,Tone->DTCS,FM\n",
                                      &base);
    ASSERT_TRUE(first.ok);
    ASSERT_TRUE(first.problems.empty()) << first.problems[0].message;
    const std::string csv = ExportCsv(first.bytes);
    EXPECT_EQ(csv.substr(0, csv.find('\r')), kCsvHeader);
    const CsvImport again = ImportCsv(csv, &base);
    ASSERT_TRUE(again.problems.empty()) << again.problems[0].message;
    EXPECT_EQ(again.bytes, first.bytes);
    using Refusal = std::pair<const char*, const char*>; // the text, its first problem
    for (const auto& [text, message] :
         {Refusal{"Frequency\n146.52\n", "the header has no Location column"},
          Refusal{"Location,Frequency\n1,\"146.52\n", "row 2: a quoted field is not closed"}}) {
        const CsvImport refused = ImportCsv(text, &base);
        ASSERT_FALSE(refused.problems.empty()) << text;
        EXPECT_EQ(refused.problems[0].message, message);
    }
}

} // namespace
} // namespace rt62
