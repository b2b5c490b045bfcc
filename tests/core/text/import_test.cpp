// YAML import: errors with their line and message, and edited texts winning over the raw bits they replace.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "core/image/fields.h"
#include "core/image/layout.h"
#include "core/image/tones.h"
#include "core/text/rebuild.h"
#include "core/text/yaml_text.h"
#include "tests/support/scratch_dir.h"

namespace rt62 {
namespace {

// The exported text of a file with the value of one key (the first line "  key: ..." after the line
// starting with section) replaced.
std::string WithValue(std::string yaml, const std::string& section, const std::string& key,
                      const std::string& value) {
    const std::size_t from = yaml.find("\n" + section);
    const std::size_t at = yaml.find(key + ": ", from);
    const std::size_t end = yaml.find('\n', at);
    return yaml.replace(at, end - at, key + ": " + value);
}

// The first problem's text, for the failure message of a check on the problems.
std::string FirstProblem(const YamlImport& r) {
    return r.problems.empty() ? std::string("(none)") : r.problems.front().Text();
}

int LineOf(const std::string& yaml, const std::string& section, const std::string& key) {
    const std::size_t at = yaml.find(key + ": ", yaml.find("\n" + section));
    return 1 + static_cast<int>(std::count(yaml.begin(), yaml.begin() + static_cast<long>(at), '\n'));
}

// A name ending in .yaml or .yml, in any case, is a text and anything else a data file, for compare and
// open alike: each file loads under the names of its form and is refused under the others'.
TEST(YamlImport, TextOrDataFileByItsName) {
    test::ScratchFolder dir{"rt62-textname-"};
    const DataFileBytes file = FactoryDataFile(1);
    const std::string yaml = ExportYaml(file);
    const struct {
        const char* name;
        bool text;
    } names[] = {{"a.yaml", true},  {"a.yml", true},    {"A.YAML", true},   {"b.Yml", true},    {".yml", true},
                 {"a.r62", false},  {"c.R62", false},   {"yaml", false},    {"a.yamlx", false}, {"a.ym", false},
                 {"a_yml", false},  {"a.yml.r62", false}, {"a.xyml", false}};
    for (const auto& n : names) {
        EXPECT_EQ(IsYamlPath(n.name), n.text) << n.name;
        for (const bool asText : {true, false}) {
            const std::string path = (dir.path / n.name).string();
            std::ofstream(path, std::ios::binary | std::ios::trunc)
                << (asText ? yaml : std::string(file.begin(), file.end()));
            const LoadedDataFile loaded = LoadDataFileOrYaml(path);
            EXPECT_EQ(loaded.ok, asText == n.text) << n.name << (asText ? " as text" : " as data file");
            if (loaded.ok) {
                EXPECT_EQ(loaded.bytes, file) << n.name;
            }
        }
    }
}

TEST(YamlImport, ErrorsNameLineFieldAndWhatIsAllowed) {
    const std::string base = ExportYaml(FactoryDataFile(0));
    struct Row {
        std::string section, key, value, message;
    };
    const Row rows[] = {
        {"  3:", "receive", "500.0", "channels[3].receive: 500.0 is outside 134.00000-174.00000 MHz for VHF"},
        {"  3:", "transmit", "inhibit 1x", "channels[3].transmit: inhibit 1x is not a frequency in MHz"},
        {"  3:", "decode", "C-150.0", "channels[3].decode: C-150.0 is not a tone (C-67.0, D-023 or none)"},
        {"  1:", "in_use", "false", "channels[1].in_use: channel 1 is always in use"},
        {"  2:", "squelch", "13",
         "channels[2].squelch: 13 is not one of 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12"},
        {"  2:", "wide", "maybe", "channels[2].wide: maybe is not true or false"},
        {"  2:", "page", "3", "channels[2].page: page 3 has no page code (paging.page_3 is empty)"},
        {"  2:", "pair", "2", "channels[2].pair: pair 2 is off (two_tone.pair_2)"},
        {"  2:", "prox", "true", "channels[2].prox: PROX needs DCS for both decode and encode"},
        {"hardware:", "local_offset", "Middle", "hardware.local_offset: Middle is not one of Lower, Upper"},
        {"hardware:", "ref_xtal", "99.9", "hardware.ref_xtal: 99.9 is outside 0-40 MHz"},
        {"hardware:", "channel_step", "10,12.5kHz",
         "hardware.channel_step: 10,12.5kHz is not one of 2.5,6.25kHz, 5,6.25kHz"},
        {"keys:", "acc_key_press_and_hold", "Monitor",
         "keys.acc_key_press_and_hold: Monitor is already the function of keys.acc_key_press"},
        {"keys:", "acc_key_press", "Follow-Me DW",
         "keys.acc_key_press: Follow-Me DW is not one of None, Monitor"},
        {"radio:", "serial_number", "0Z010001", "radio.serial_number: 0Z010001 is not a serial number"},
        {"ani:", "dtmf_code", "12E", "ani.dtmf_code: 12E may hold only the characters 0-9, A-D, * and #"},
        {"paging:", "page_1_decode", "DEC", "paging.page_1_decode: DEC needs a page code"},
        {"two_tone:", "pair_1", "\"MOTOROLA, 1- 433.7, A- 682.5\"",
         "two_tone.pair_1: MOTOROLA, 1- 433.7, A- 682.5 is not a tone of MOTOROLA"},
        {"radio:", "firmware_version", "1.0", "radio.firmware_version: 1.0 is not a firmware version"},
        {"miscellaneous:", "auto_reset_time", "11 secs",
         "miscellaneous.auto_reset_time: 11 secs is not one of off, 2 secs"},
        {"default_split", "default_split", "150", "default_split: 150 is outside -99.9-99.9 MHz"},
    };
    for (const Row& r : rows) {
        const std::string yaml = WithValue(base, r.section, r.key, r.value);
        const YamlImport result = ImportYaml(yaml);
        ASSERT_FALSE(result.ok) << r.key;
        ASSERT_EQ(result.problems.size(), 1u) << r.key << ": " << FirstProblem(result);
        EXPECT_EQ(result.problems[0].line, LineOf(yaml, r.section, r.key)) << r.key;
        // The refusal keeps the words given above, with its own wording around the text.
        EXPECT_EQ(result.problems[0].message.substr(0, r.message.size()), r.message) << r.key;
    }
}

TEST(YamlImport, DocumentProblemsAreReportedWithTheirPlace) {
    const std::map<std::string, std::string> cases = {
        {"format: rt62m-1\nradio: [1, 2\n", "the text is not YAML"},
        {"format: rt62m-2\n", "format: rt62m-2 is not rt62m-1"},
        {"radio:\n  band: VHF\n", "the text has no format: rt62m-1 line"},
        {"format: rt62m-1\nradio:\n  colour: red\n", "radio.colour: unknown key"},
        {"format: rt62m-1\nchannels:\n  17:\n    wide: true\n", "channels: 17 is not a channel (1-16)"},
        {"format: rt62m-1\nraw:\n  0x1e: 1g\n", "raw.0x1e: 1g is not a byte"},
        {"format: rt62m-1\nraw:\n  0x200: 00\n", "raw.0x200 is not a data-file offset"},
        {"format: rt62m-1\nhardware:\n  ref_xtal: [1]\n", "hardware.ref_xtal must be a single value"},
        // No document at all still has a place: the start of the text.
        {"", "the text has no format: rt62m-1 line"},
        {"# only a comment\n", "the text has no format: rt62m-1 line"},
    };
    for (const auto& [yaml, message] : cases) {
        const YamlImport result = ImportYaml(yaml);
        ASSERT_FALSE(result.ok) << yaml;
        ASSERT_FALSE(result.problems.empty()) << yaml;
        EXPECT_NE(result.problems[0].message.find(message), std::string::npos) << result.problems[0].message;
        EXPECT_GE(result.problems[0].line, 1) << yaml;
        EXPECT_GE(result.problems[0].column, 1) << yaml;
    }
}

TEST(YamlImport, OldMarketingKeysStillSetTheRadioFields) {
    // Texts written while the serial number and market application sat under marketing: still read.
    const YamlImport r = ImportYaml("format: rt62m-1\nmarketing:\n  serial_number: 1D000042\n"
                                    "  market_application: 12\n");
    ASSERT_TRUE(r.ok) << FirstProblem(r);
    const ImageModel m = ModelFromDataFile(r.bytes);
    EXPECT_EQ(m.marketing.serialNumber, "1D000042");
    EXPECT_EQ(m.marketing.marketApplication, "1200");
    // The export writes them under radio only, after the band and the firmware.
    const std::string yaml = ExportYaml(r.bytes);
    EXPECT_EQ(yaml.find("\nmarketing:"), std::string::npos);
    std::size_t at = yaml.find("\nradio:\n");
    for (const char* key :
         {"band", "product_type", "firmware_version", "serial_number", "market_application"}) {
        const std::size_t next = yaml.find(std::string("\n  ") + key + ": ", at);
        ASSERT_NE(next, std::string::npos) << key;
        EXPECT_GT(next, at) << key;
        at = next;
    }
    // and their errors point at the place they were given
    const YamlImport bad = ImportYaml("format: rt62m-1\nmarketing:\n  serial_number: 0Z010001\n");
    ASSERT_EQ(bad.problems.size(), 1u);
    EXPECT_EQ(bad.problems[0].line, 3);
}

TEST(YamlImport, FieldsFollowTheGridAndTheDialogs) {
    // Only a few fields, on the factory UHF file: the rest keeps the base, comments are allowed.
    const std::string yaml = "format: rt62m-1  # a partial file\n"
                             "radio:\n  band: UHF\n"
                             "default_split: 5\n"
                             "option:\n  option_device: ZNE-48\n"
                             "paging:\n  page_3: 12\n  page_3_decode: DEC\n"
                             "channels:\n"
                             "  2:\n    receive: 446.00626\n    decode: C- 67.0\n    page: 3\n"
                             "  4:\n    receive: 450.1\n    transmit: inhibit\n";
    const YamlImport r = ImportYaml(yaml);
    ASSERT_TRUE(r.ok) << FirstProblem(r);
    const ImageModel m = ModelFromDataFile(r.bytes);
    EXPECT_EQ(m.hardware.bandStepCode, 2);
    const ChannelEntry& two = m.channels.at(1);
    EXPECT_DOUBLE_EQ(two.rxFrequency, 446.01); // moved up to the nearer next step, as the grid does
    EXPECT_DOUBLE_EQ(two.txFrequency, 451.01); // the split follows a new receive frequency
    EXPECT_EQ(two.decKind, kToneCtcss);
    EXPECT_EQ(two.pageNumber, 3);
    EXPECT_EQ(ReadPageCode(m.image, 3).code, "120");
    EXPECT_EQ(m.channels.at(3).txInhibit, 1);
    EXPECT_DOUBLE_EQ(m.channels.at(3).txFrequency, 450.1);
    // Channel 6 is the base's, as reading the base file gives it.
    ImageModel base = MakeFactoryImage(2);
    DecodeImage(base);
    EXPECT_EQ(m.channels.at(5), base.channels.at(5));
    RadioImage image{};
    std::copy(r.bytes.begin(), r.bytes.begin() + kImageSize, image.begin());
    EXPECT_EQ(ReadImageChecksum(image), ComputeImageChecksum(image));
}

TEST(YamlImport, EditedTextsWinOverTheRawBitsTheyReplace) {
    // A channel whose tone has no text and a frequency between steps travel as raw bits.
    ImageModel m = MakeFactoryImage(0);
    NormalizeImage(m);
    DataFileBytes file = DataFileOfModel(m);
    const std::size_t rec = kFirstRecord + 2 * kRecordSize;
    file[rec + layout::kDecTone] = 60;     // CTCSS code 60: no tone of the list
    file[rec + layout::kRxValue + 1] ^= 1; // one oscillator step off the grid
    file[layout::kChecksum] ^= 0xFF;       // a checksum that is not the sum
    const std::string yaml = ExportYaml(file);
    ASSERT_NE(yaml.find("channels[3].decode"), std::string::npos) << yaml;
    ASSERT_NE(yaml.find("checksum:"), std::string::npos);

    const YamlImport same = ImportYaml(yaml);
    ASSERT_TRUE(same.ok);
    EXPECT_EQ(same.bytes, file);

    std::string edited = WithValue(yaml, "  3:", "decode", "C-67.0");
    edited = WithValue(edited, "  3:", "receive", "146.52");
    const YamlImport changed = ImportYaml(edited);
    ASSERT_TRUE(changed.ok) << FirstProblem(changed);
    const ImageModel back = ModelFromDataFile(changed.bytes);
    EXPECT_EQ(back.channels.at(2).decKind, kToneCtcss);
    EXPECT_EQ(back.channels.at(2).decCtcss, 0);
    EXPECT_DOUBLE_EQ(back.channels.at(2).rxFrequency, 146.52);
    // The file's wrong checksum belonged to the old bytes: the new ones get their sum.
    RadioImage image{};
    std::copy(changed.bytes.begin(), changed.bytes.begin() + kImageSize, image.begin());
    EXPECT_EQ(ReadImageChecksum(image), ComputeImageChecksum(image));
}

} // namespace
} // namespace rt62
