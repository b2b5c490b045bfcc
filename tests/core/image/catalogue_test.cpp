// The field catalogue: each bit has at most one owner, and every allowed text is stored as itself.
#include <gtest/gtest.h>

#include <set>

#include "image/catalogue.h"
#include "image/layout.h"

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

} // namespace
} // namespace rt62
