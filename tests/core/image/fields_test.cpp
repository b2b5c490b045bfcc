#include "core/image/fields.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "core/image/layout.h"

namespace rt62 {
namespace {

RadioImage RandomImage(std::mt19937& rng) {
    RadioImage image{};
    for (auto& b : image) b = static_cast<std::uint8_t>(rng() & 0xFF);
    return image;
}

// Allowed bits of a write: (offset, mask) pairs.
using Mask = std::vector<std::pair<std::size_t, std::uint8_t>>;

void ExpectOnlyMaskChanged(const RadioImage& before, const RadioImage& after, const Mask& mask,
                           const std::string& what) {
    for (std::size_t i = 0; i < kImageSize; ++i) {
        std::uint8_t allowed = 0;
        for (const auto& [off, m] : mask)
            if (off == i) allowed |= m;
        EXPECT_EQ((before[i] ^ after[i]) & ~allowed, 0) << what << " touched byte " << i;
    }
}

TEST(Fields, CompositeWritesStayInTheirBytes) {
    const struct {
        const char* name;
        std::function<void(RadioImage&, int)> write;
        Mask mask;
    } writes[] = {
        {"OptionCode", [](RadioImage& im, int v) { WriteOptionCode(im, v % 32); }, {{0xBE, 0xE3}}},
        {"AutoReset", [](RadioImage& im, int v) { WriteAutoResetTime(im, v % 17); }, {{0x0D, 0x0F}, {0xBF, 0x04}}},
        {"DialScan", [](RadioImage& im, int v) { WriteDialScanPosition(im, v % 17); }, {{0x0F, 0xFF}, {0x15, 0x40}}},
        {"Priority", [](RadioImage& im, int v) { WritePriorityChannel(im, v % 17); }, {{0x0E, 0x0F}, {0x15, 0x10}}},
        {"KtTrunkPos", [](RadioImage& im, int v) { WriteKtTrunkPosition(im, v % 17); }, {{0x0F, 0xF0}, {0x0D, 0x10}}},
        {"Vts2", [](RadioImage& im, int v) { WriteVts(im, 2, v & 1); }, {{0x10, 0x20}}},
        {"Vts12", [](RadioImage& im, int v) { WriteVts(im, 12, v & 1); }, {{0x11, 0x08}}},
        {"Scan12", [](RadioImage& im, int v) { WriteScan(im, 12, v % 4); }, {{0x13, 0x10}}},
        {"Type7", [](RadioImage& im, int v) { WriteChannelType(im, 7, v % 16); }, {{0x19, 0x0F}}},
        {"RefMain", [](RadioImage& im, int v) { WriteRefXtalMainCount(im, v * 97); }, {{0xE2, 0x3F}, {0xE3, 0xFF}}},
        {"RefAlt", [](RadioImage& im, int v) { WriteRefXtalAltCount(im, v * 131); }, {{0xE4, 0x7F}, {0xE5, 0xFF}}},
        {"FirstIf", [](RadioImage& im, int v) { WriteFirstIfKhz(im, v * 541); }, {{0xE6, 0xFF}, {0xE7, 0xFF}}},
    };
    std::mt19937 rng(11);
    for (const auto& w : writes) {
        for (int v = 0; v < 40; ++v) {
            RadioImage image = RandomImage(rng);
            const RadioImage before = image;
            w.write(image, v);
            ExpectOnlyMaskChanged(before, image, w.mask, w.name);
        }
    }
    // Record fields of one channel stay in that channel's record.
    for (int n : {0, 7, 15}) {
        RadioImage image = RandomImage(rng);
        const RadioImage before = image;
        const RecordView rec = Record(image, n);
        WritePage(rec, n & 1, n);
        WriteTwoToneP(rec, n + 1);
        WriteRxValue(rec, static_cast<std::uint16_t>(n * 2003));
        layout::kSquelch.Write(rec, n);
        const std::size_t first = kFirstRecord + kRecordSize * static_cast<std::size_t>(n);
        ExpectOnlyMaskChanged(before, image, {{first + 1, 0x04}, {first + 3, 0xFF}, {first + 0, 0x02},
                                              {first + 6, 0xFF}, {first + 7, 0xFF}, {first + 2, 0x0F}},
                              "record " + std::to_string(n));
    }
}

TEST(Fields, StringFieldsMatchTheStoredBytes) {
    RadioImage image{};
    WriteSerialNumber(image, "3N456789");  // 0xFB holds characters 5-6, 0xFA characters 7-8
    EXPECT_EQ(image[0xF8], 0x3C);
    EXPECT_EQ(image[0xFB], 0x67);
    EXPECT_EQ(image[0xFA], 0x89);
    EXPECT_EQ(ReadSerialNumber(image), "3N456789");
    WriteMarketApplication(image, "1200");
    EXPECT_EQ(image[0xF2], 0x12);
    EXPECT_EQ(ReadMarketApplication(image), "1200");

    const struct {
        std::string code;
        std::vector<std::uint8_t> bytes;  // from 0x05 on
    } dtmf[] = {
        {"A*#", {0x3A, 0xEF}},
        {"1234", {0x41, 0x23, 0x40}},
        {"123456789ABCD*#", {0xF1, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}},
    };
    for (const auto& d : dtmf) {
        RadioImage im{};
        im.fill(0x55);
        WriteDtmfCode(im, d.code);
        for (std::size_t i = 0; i < d.bytes.size(); ++i) EXPECT_EQ(im[0x05 + i], d.bytes[i]) << d.code << " byte " << i;
        EXPECT_EQ(im[0x05 + d.bytes.size()], 0x55) << "bytes past the code are kept";
        EXPECT_EQ(ReadDtmfCode(im), d.code);
        WriteDtmfCode(im, "");
        EXPECT_EQ(im[0x05], d.bytes[0] & 0x0F) << "an empty code clears only the length";
    }

    const struct {
        PageCode page;
        std::uint8_t b0, b1;
        std::string readBack;
    } pages[] = {
        {{"12#", 1}, 0x21, 0x2F, "12#"}, {{"", 1}, 0x00, 0x00, ""},
        {{"000", 0}, 0x00, 0x00, ""},  // "000" with "Off" reads as empty
        {{"000", 1}, 0x20, 0x00, "000"}, {{"905", 0}, 0x09, 0x05, "905"},
    };
    for (const auto& p : pages) {
        RadioImage pim{};
        pim.fill(0xFF);
        WritePageCode(pim, 10, p.page);
        EXPECT_EQ(pim[0xD2], p.b0) << p.page.code;
        EXPECT_EQ(pim[0xD3], p.b1) << p.page.code;
        EXPECT_EQ(ReadPageCode(pim, 10).code, p.readBack);
    }
}

TEST(Fields, ChecksumAndOptionCodes) {
    RadioImage sum{};
    sum[0x02] = 0xFF;
    sum[0xF1] = 0x01;
    StoreImageChecksum(sum);
    EXPECT_EQ(sum[0xFC], 0x01);
    EXPECT_EQ(sum[0xFD], 0x00);
    for (std::size_t outside : {0x00, 0x01, 0xF2, 0xF8, 0xFB}) {
        RadioImage other = sum;
        other[outside] ^= 0x5A;
        EXPECT_EQ(ComputeImageChecksum(other), 0x0100) << outside;
    }

    const struct {
        int position;
        std::uint8_t bits;
    } options[] = {{0, 0x00}, {1, 0x60}, {2, 0x01}, {3, 0x02}, {4, 0x80}};
    for (const auto& o : options) {
        RadioImage im{};
        im[0xBE] = 0x1C;  // bits 4-2 must survive
        WriteOptionCode(im, OptionCodeOfPosition(o.position));
        EXPECT_EQ(im[0xBE], 0x1C | o.bits) << o.position;
        EXPECT_EQ(OptionDevicePosition(ReadOptionCode(im)), o.position);
    }
    RadioImage both{};
    both[0xBE] = 0x03;
    EXPECT_EQ(OptionDevicePosition(ReadOptionCode(both)), 0) << "bits 0 and 1 together read as None";
}

TEST(Fields, PairedEnableFieldsAndGates) {
    RadioImage image{};
    WriteAutoResetTime(image, 0);
    EXPECT_EQ(image[0xBF] & 0x04, 0);
    EXPECT_EQ(image[0x0D] & 0x0F, 0x0F);
    WriteAutoResetTime(image, 4);
    EXPECT_EQ(image[0x0D] & 0x0F, 3);
    EXPECT_EQ(ReadAutoResetTime(image), 4);
    WriteDialScanPosition(image, 3);
    WriteKtTrunkPosition(image, 5);
    EXPECT_EQ(image[0x0F], 0x42);
    image[0x0E] = 0xA7;
    image[0x15] |= 0x10;
    WritePriorityChannel(image, 0);
    EXPECT_EQ(image[0x0E], 0xA7) << "disabling keeps the channel nibble";
    EXPECT_EQ(ReadPriorityChannel(image), 0);

    const RecordView rec = Record(image, 4);
    rec[3] = 0x20;
    WritePage(rec, true, 3);
    EXPECT_EQ(rec[3], 0x22);
    EXPECT_TRUE(rec[1] & 0x04);
    EXPECT_EQ(ReadPageNumber(rec, false), 0);
    WritePage(rec, false, 3);
    EXPECT_EQ(rec[3], 0x2F);
    EXPECT_EQ(rec[1] & 0x04, 0);
    rec[1] = 0x10;
    rec[0] = 0x04;
    EXPECT_EQ(ReadAni(rec, true), 0);
    EXPECT_EQ(ReadAni(rec, false), 1);
    EXPECT_EQ(ReadEncryption(rec, false), 0);
    EXPECT_EQ(ReadEncryption(rec, true), 1);
    WriteTwoToneP(rec, 6);
    EXPECT_EQ(rec[3] >> 4, 5);
    EXPECT_EQ(ReadTwoToneP(rec), 6);
}

}  // namespace
}  // namespace rt62
