// The field catalogue: each bit has at most one owner, and every allowed text is stored as itself.
#include <gtest/gtest.h>

#include <set>

#include "core/image/catalogue.h"
#include "core/image/layout.h"

namespace rt62 {
namespace {

TEST(Catalogue, BitsHaveOneOwnerAndOnlyReservedBitsHaveNone) {
    DataFileMask owned{};
    std::set<std::string> paths;
    for (const CatalogueField& f : FieldCatalogue()) {
        EXPECT_TRUE(paths.insert(f.Path()).second) << f.Path();
        EXPECT_EQ(FindField(f.Path()), &f);
        for (const OwnedBits& b : f.owned) {
            EXPECT_EQ(owned[b.offset] & b.mask, 0) << f.Path() << " shares bits of byte " << b.offset;
            owned[b.offset] |= b.mask;
        }
    }
    // 21 fields for each of the 16 channels; the grid's 20 columns and the channel type.
    EXPECT_EQ(std::count_if(FieldCatalogue().begin(), FieldCatalogue().end(),
                            [](const CatalogueField& f) { return f.channel >= 0; }),
              16 * 21);
    for (int n = 0; n < kChannelCount; ++n) {
        const std::size_t r = kFirstRecord + kRecordSize * static_cast<std::size_t>(n);
        EXPECT_EQ(owned[r], 0xF7) << n;     // bit 3 reserved
        EXPECT_EQ(owned[r + 2], 0xCF) << n; // bits 5-4 reserved
    }
    const std::size_t wholly[] = {0x00, 0x05, 0x0E, 0x0F, 0x10, 0x13, 0x16, 0x1D, 0xC1,
                                  0xD4, 0xDF, 0xE2, 0xE7, 0xF2, 0xF8, 0xFB, 0x105};
    for (std::size_t at : wholly)
        EXPECT_EQ(owned[at], 0xFF) << at;
    const std::size_t none[] = {0xE8, 0xEF, 0xF4, 0xF7, 0xFC, 0xFD};
    for (std::size_t at : none)
        EXPECT_EQ(owned[at], 0) << at;
    EXPECT_EQ(owned[0xBE], 0xF7); // bit 3 reserved
    EXPECT_EQ(owned[0xF0], 0x3E);
    EXPECT_EQ(UnownedBits()[0xE1], 0xFC);
}

TEST(Catalogue, EveryListTextIsStoredAsItself) {
    for (int code = 0; code < 4; ++code) {
        // ZNE-48 opens the gates of the Encryption and Page columns (and leaves ANI open).
        ImageModel factory = MakeFactoryImage(code);
        ASSERT_FALSE(FindField("option.option_device")->write(factory, "ZNE-48"));
        ASSERT_FALSE(FindField("paging.page_2")->write(factory, "123"));
        ASSERT_FALSE(FindField("two_tone.pair_2")->write(factory, "MOTOROLA, 1- 433.7, 2- 569.1"));
        for (const CatalogueField& f : FieldCatalogue()) {
            for (const std::string& choice : f.choices) {
                ImageModel m = factory;
                if (f.write(m, choice)) continue; // refused here (a key taken, a step of the other band)
                NormalizeImage(m);
                const ImageModel back = ModelFromDataFile(DataFileOfModel(m), m.twoToneFormat);
                EXPECT_EQ(f.read(back), choice) << f.Path() << " on code " << code;
            }
        }
    }
}

// Text fields at their longest and one past it, and values in the forms people and other programs
// write them (codes without their leading zeros, numbers and booleans retyped by a YAML library).
TEST(Catalogue, TextFieldsAtTheirLimitsAndInOtherSpellings) {
    const struct {
        const char* path;
        const char* text;
        const char* read; // the text read back, or nullptr when the write is refused
    } rows[] = {
        {"ani.dtmf_code", "0123456789ABCD*", "0123456789ABCD*"},
        {"ani.dtmf_code", "0123456789ABCD*#", nullptr},
        {"paging.page_1", "#9D", "#9D"},
        {"paging.page_1", "12", "120"},
        {"paging.page_1", "1234", nullptr},
        {"radio.serial_number", "9N999999", "9N999999"},
        {"radio.serial_number", "1", "1C000000"},
        {"radio.serial_number", "9N9999990", nullptr},
        {"radio.serial_number", "9O999999", nullptr},
        {"radio.market_application", "0099", "0099"},
        {"radio.market_application", "12", "1200"},
        {"radio.market_application", "12345", nullptr},
        {"radio.firmware_version", "99.99", "99.99"},
        {"radio.firmware_version", "100.00", nullptr},
        {"hardware.1st_if", "65.53", "65.530"},
        {"hardware.1st_if", "21.700", "21.700"},
        {"hardware.1st_if", "21.7", "21.700"},
        {"hardware.1st_if", "65.54", nullptr},
        {"default_split", "-99.9", "-99.9"},
        {"default_split", "99.91", nullptr},
        {"channels[2].decode", "D-23", "D-023"},
        {"channels[2].decode", "d-754", "D-754"},
        {"channels[2].decode", "D-0023", nullptr},
        {"channels[2].encode", "C-67", "C-67.0"},
        {"channels[2].encode", "C-254.10", "C-254.1"},
        {"channels[2].encode", "C-0", nullptr},
        {"channels[2].scan", "no", "false"},
        {"channels[2].scan", "Y", "true"},
        {"channels[2].squelch", "05", "5"},
        {"channels[2].squelch", "12.0", "12"},
        {"channels[2].squelch", "13", nullptr},
        {"channels[2].page", "false", "off"},
        {"two_tone.pair_1", "false", "OFF"},
        {"paging.answer_back", "true", "On"},
        {"miscellaneous.call_times", "off", "Off"},
    };
    for (const auto& r : rows) {
        ImageModel m = MakeFactoryImage(0);
        const CatalogueField* f = FindField(r.path);
        ASSERT_NE(f, nullptr) << r.path;
        const FieldWriteResult refused = f->write(m, r.text);
        EXPECT_EQ(refused.has_value(), r.read == nullptr) << r.path << " " << r.text;
        if (refused || !r.read) continue;
        NormalizeImage(m);
        EXPECT_EQ(f->read(ModelFromDataFile(DataFileOfModel(m), m.twoToneFormat)), r.read) << r.path << " " << r.text;
    }
}

} // namespace
} // namespace rt62
