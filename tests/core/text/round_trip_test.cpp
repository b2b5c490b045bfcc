// Export and import must give back every data file byte for byte, also after another YAML library has
// loaded the text and written it back its own way, and export(import(Y)) is a fixed point.
#include <gtest/gtest.h>
#include <yaml-cpp/yaml.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>

#include "core/image/document.h"
#include "core/image/fields.h"
#include "core/image/layout.h"
#include "core/image/tones.h"
#include "core/text/yaml_text.h"
#include "core/image/std_compat.h"

namespace rt62 {
namespace {

DataFileBytes RandomFile(std::mt19937& rng) {
    DataFileBytes f{};
    std::uniform_int_distribution<int> byte(0, 255);
    for (auto& b : f)
        b = static_cast<std::uint8_t>(byte(rng));
    return f;
}

// A file as the program itself leaves it after edits in the grid and the dialogs: options, pages,
// pairs, tones, inhibited channels, a split.
DataFileBytes EditedFile() {
    ImageModel m = MakeFactoryImage(1);
    WriteOptionCode(m.image, OptionCodeOfPosition(1)); // ZNE-48: paging and board encryption
    WritePageCode(m.image, 3, {"12#", 1});
    WritePairBytes(m.image, 2, {0x05, 0x0A});
    m.defaultSplit = 0.6;
    SetFrequencyText(m, 2, kColReceive, "146.52");
    SetFrequencyText(m, 3, kColReceive, "146.5125");
    ChannelEntry& e = m.channels.at(3);
    e.txInhibit = 1;
    e.encKind = kToneDcs;
    e.encDcs = 5;
    e.decKind = kToneDcs;
    e.decDcs = 7;
    e.prox = 1;
    e.pageNumber = 3;
    e.pagePresent = 1;
    e.twoToneP = 2;
    m.channels.at(5).inUse = 0;
    m.channels.at(6).decKind = kToneCtcss;
    m.channels.at(6).decCtcss = 39;
    NormalizeImage(m);
    return DataFileOfModel(m);
}

// What a library that types its scalars (YAML 1.2 core schema) writes back for a plain scalar: an
// integer in decimal (0xE8 -> 232, 00 -> 0), a float in its shortest form (21.700 -> 21.7), true/false;
// anything else stays a string.
std::string Retyped(const std::string& s) {
    static const std::regex decimal("[-+]?[0-9]+"), hex("0x[0-9a-fA-F]+"), octal("0o[0-7]+"),
        real("[-+]?(\\.[0-9]+|[0-9]+(\\.[0-9]*)?)([eE][-+]?[0-9]+)?");
    if (std::regex_match(s, decimal)) return std::to_string(std::stoll(s, nullptr, 10));
    if (std::regex_match(s, hex)) return std::to_string(std::stoll(s.substr(2), nullptr, 16));
    if (std::regex_match(s, octal)) return std::to_string(std::stoll(s.substr(2), nullptr, 8));
    if (std::regex_match(s, real)) {
        char buf[64];
        const auto r = ToCharsShortest(buf, buf + sizeof buf, std::stod(s));
        std::string out(buf, r.ptr);
        return out.find_first_of(".e") == std::string::npos ? out + ".0" : out;
    }
    if (s == "true" || s == "True" || s == "TRUE") return "true";
    if (s == "false" || s == "False" || s == "FALSE") return "false";
    return s;
}

// yaml-cpp's emitter writes the loaded text back: keys and plain scalars retyped as above, strings in
// the given quotes, maps in the given style.
void Emit(YAML::Emitter& out, const YAML::Node& node, YAML::EMITTER_MANIP quotes) {
    if (node.IsMap()) {
        out << YAML::BeginMap;
        for (const auto& item : node) {
            out << YAML::Key;
            Emit(out, item.first, quotes);
            out << YAML::Value;
            Emit(out, item.second, quotes);
        }
        out << YAML::EndMap;
    } else if (node.IsNull()) {
        out << YAML::Null;
    } else if (node.Tag() == "?") { // plain
        const std::string typed = Retyped(node.Scalar());
        if (typed != node.Scalar() || typed == "true" || typed == "false")
            out << typed;
        else
            out << quotes << typed;
    } else {
        out << quotes << node.Scalar();
    }
}

std::string RewrittenByYamlCpp(const std::string& yaml, bool flow) {
    YAML::Emitter out;
    if (flow) out << YAML::Flow;
    Emit(out, YAML::Load(yaml), flow ? YAML::DoubleQuoted : YAML::SingleQuoted);
    return out.c_str();
}

void ExpectRoundTrip(const DataFileBytes& file, const std::string& what) {
    const std::string yaml = ExportYaml(file);
    const YamlImport back = ImportYaml(yaml);
    ASSERT_TRUE(back.ok) << what << ": " << (back.problems.empty() ? "" : back.problems[0].Text()) << "\n"
                         << yaml;
    for (std::size_t i = 0; i < file.size(); ++i)
        ASSERT_EQ(back.bytes[i], file[i]) << what << " byte 0x" << std::hex << i << "\n" << yaml;
    // The file itself as the base gives the same bytes.
    const YamlImport onItself = ImportYaml(yaml, &file);
    ASSERT_TRUE(onItself.ok) << what;
    EXPECT_EQ(onItself.bytes, file) << what;
    EXPECT_EQ(ExportYaml(back.bytes), yaml) << what;
    for (const bool flow : {false, true}) {
        const std::string rewritten = RewrittenByYamlCpp(yaml, flow);
        const YamlImport again = ImportYaml(rewritten);
        ASSERT_TRUE(again.ok) << what << ": " << (again.problems.empty() ? "" : again.problems[0].Text()) << "\n"
                              << rewritten;
        EXPECT_EQ(again.bytes, file) << what << "\n" << rewritten;
    }
}

TEST(RoundTrip, DefaultEditedCorpusAndRandomFilesComeBack) {
    for (int code = 0; code < 4; ++code)
        ExpectRoundTrip(FactoryDataFile(code), "default file " + std::to_string(code));
    ExpectRoundTrip(EditedFile(), "edited file");
    int found = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(RT62_FUZZ_CORPUS)) {
        if (!entry.is_regular_file() || entry.file_size() != kDataFileSize) continue;
        DataFileBytes file{};
        std::ifstream(entry.path(), std::ios::binary).read(reinterpret_cast<char*>(file.data()), file.size());
        ExpectRoundTrip(file, entry.path().string());
        ++found;
    }
    EXPECT_GE(found, 5);
    std::mt19937 rng(62);
    for (int i = 0; i < 100; ++i)
        ExpectRoundTrip(RandomFile(rng), "random file " + std::to_string(i));
}

TEST(RoundTrip, DefaultSplitsNoFieldCanHoldTravelExactlyAndShowClamped) {
    struct Row {
        double split;
        const char* shown;
    };
    const Row rows[] = {{1.66e144, "99.9"}, {-100.0, "-99.9"}, {99.95, "99.9"}, {99.9, "99.9"},
                        {std::numeric_limits<double>::quiet_NaN(), "0.0"},
                        {-std::numeric_limits<double>::infinity(), "0.0"}, {1e-5, "1e-05"}};
    for (const Row& r : rows) {
        ImageModel m = MakeFactoryImage(0);
        NormalizeImage(m);
        m.defaultSplit = r.split;
        const DataFileBytes file = DataFileOfModel(m);
        ExpectRoundTrip(file, r.shown);
        EXPECT_NE(ExportYaml(file).find(std::string("\ndefault_split: \"") + r.shown + "\"\n"), std::string::npos)
            << r.split;
    }
}

TEST(RoundTrip, TextsAToolCouldRetypeAreQuoted) {
    struct Row {
        std::string text;
        bool quoted;
    };
    const Row rows[] = {
        // numbers in every base and notation either YAML version knows
        {"0000", true}, {"0012", true}, {"0C010001", true}, {"0E010001", true}, {"12", true},
        {"0.00", true}, {"145.50000", true}, {"-0.5", true}, {"+1", true}, {".5", true},
        {"1e5", true}, {"0x1F", true}, {"0o17", true}, {"0b101", true}, {"1_000", true},
        {".inf", true}, {"-.Inf", true}, {".NaN", true},
        // times and dates
        {"1:30", true}, {"1:1.5", true}, {"2026-12-08", true}, {"2026-12-08 10:00:00", true},
        // booleans and nulls of YAML 1.1 and 1.2, any case
        {"no", true}, {"No", true}, {"on", true}, {"OFF", true}, {"y", true}, {"N", true}, {"yes", true},
        {"true", true}, {"False", true}, {"null", true}, {"~", true}, {"", true},
        // YAML's own characters, blanks at the ends, control characters
        {"*12", true}, {"#1", true}, {"a: b", true}, {"a #b", true}, {"x:", true}, {" x", true},
        {"say \"hi\"", true}, {"back\\slash", true}, {"tab\there", true}, {"-", true}, {"[1]", true},
        // texts no resolver retypes stay plain, as people write them
        {"Off-Duty", false}, {"Disabled", false}, {"1.5 secs", false}, {"20CH/sec", false},
        {"2.5,6.25kHz", false}, {"12#", false}, {"C-67.0", false}, {"D-023", false}, {"Ch9", false},
        {"inhibit 146.5", false}, {"e8", false}, {"e8/ff", false}, {"A12", false}, {"MOTOROLA, 1- 433.7", false},
        {"nothing", false}, {"onward", false}, {"-12a b", false},
    };
    for (const Row& r : rows) {
        const std::string spelled = YamlScalar(r.text);
        EXPECT_EQ(spelled.front() == '"', r.quoted) << r.text << " -> " << spelled;
        // and whatever the spelling, YAML reads back the text itself
        EXPECT_EQ(YAML::Load("k: " + spelled)["k"].Scalar(), r.text) << spelled;
    }
}

} // namespace
} // namespace rt62
