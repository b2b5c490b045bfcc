// Export and import must give back every data file byte for byte, and export(import(Y)) is a fixed point.
#include <gtest/gtest.h>

#include <random>

#include "image/fields.h"
#include "image/layout.h"
#include "image/tones.h"
#include "text/yaml_text.h"

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
}

TEST(RoundTrip, DefaultAndEditedFilesComeBackWithoutRawFields) {
    for (int code = 0; code < 4; ++code)
        ExpectRoundTrip(FactoryDataFile(code), "default file " + std::to_string(code));
    ExpectRoundTrip(EditedFile(), "edited file");
}

TEST(RoundTrip, SeededRandomFilesComeBackByteForByte) {
    std::mt19937 rng(62);
    for (int i = 0; i < 300; ++i)
        ExpectRoundTrip(RandomFile(rng), "random file " + std::to_string(i));
}

} // namespace
} // namespace rt62
