#include "image/fields.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "image/bits.h"
#include "image/layout.h"

namespace rt62 {
namespace {

RadioImage RandomImage(std::mt19937& rng) {
    RadioImage image{};
    for (auto& b : image) b = static_cast<std::uint8_t>(rng() & 0xFF);
    return image;
}

TEST(Primitives, BitsNibblesWordsAndDigits) {
    std::uint8_t b = 0b1010'0101;
    EXPECT_EQ(GetBits(b, 7, 5), 0b101);
    EXPECT_EQ(GetBits(b, 2, 0), 0b101);
    SetBits(b, 4, 3, 0b11);
    EXPECT_EQ(b, 0b1011'1101);
    SetBits(b, 4, 3, 0b111);  // wider values are cut to the field
    EXPECT_EQ(b, 0b1011'1101);
    SetBit(b, 7, false);
    EXPECT_EQ(b, 0b0011'1101);

    std::uint8_t w[2] = {};
    WriteBigEndian16(w, 0xA11A);
    EXPECT_EQ(w[0], 0xA1);
    EXPECT_EQ(w[1], 0x1A);
    EXPECT_EQ(ReadBigEndian16(w), 0xA11A);

    const struct {
        char c;
        int nibble;
    } digits[] = {{'0', 0}, {'9', 9}, {'A', 10}, {'d', 13}, {'*', 14}, {'#', 15}, {'E', 0}, {'z', 0}};
    for (const auto& d : digits) EXPECT_EQ(DigitNibble(d.c), d.nibble) << d.c;
    for (int v = 0; v < 16; ++v) EXPECT_EQ(DigitNibble(NibbleChar(v)), v);
    EXPECT_EQ(NibbleChar(16), '-');
    EXPECT_EQ(NibbleChar(-1), '-');
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

TEST(Fields, EveryPlainFieldWritesOnlyItsBitsAndReadsBack) {
    using namespace layout;
    const struct {
        const char* name;
        ImageField f;
    } fields[] = {
        {"LampMode", kLampMode}, {"TransmitTimer", kTransmitTimer}, {"PenaltyTimer", kPenaltyTimer},
        {"ReleaseTimer", kReleaseTimer}, {"Beep", kBeep}, {"ReceiveSaveOffTime", kReceiveSaveOffTime},
        {"SetToSetClone", kSetToSetClone}, {"ExternalJack", kExternalJack}, {"ReceiveSaveMode", kReceiveSaveMode},
        {"Bell", kBell}, {"DcsRx", kDcsRxData}, {"DcsTx", kDcsTxData}, {"AniTransmit", kAniTransmit},
        {"DtmfDelay", kDtmfDelay}, {"DtmfSpeed", kDtmfSpeed}, {"CtcssRelease", kCtcssReleaseTime},
        {"SquelchTail", kSquelchTailElim}, {"AccKeyPress", kAccKeyPress}, {"Resume1", kScanResumeTime1},
        {"Resume2", kScanResumeTime2}, {"ScanSpeed", kScanSpeed}, {"DualWatch", kDualWatch},
        {"DualWatchTimer", kDualWatchTimer}, {"TalkBack", kTalkBack}, {"Revert", kRevertChannel},
        {"AnswerBack", kAnswerBack}, {"PagingSpeed", kPagingDtmfSpeed}, {"PrimaryGroup", kPrimaryGroupCall},
        {"SecondaryGroup", kSecondaryGroupCall}, {"CallTimes", kCallTimes}, {"SecPagePair", kSecondaryPagePair},
        {"AccKeyHold", kAccKeyHold}, {"Duty", kDuty}, {"Complement", kCtcssDcsComplement},
        {"BandStepCode", kBandStepCode}, {"LocalOffset", kLocalOffset}, {"SqlRelease", kSqlReleaseTime},
        {"SqlAttack", kSqlAttackTime}, {"SqlHysteresis", kSqlHysteresis},
    };
    std::mt19937 rng(7);
    for (const auto& fd : fields) {
        const int width = fd.f.hi - fd.f.lo + 1;
        const std::uint8_t mask = static_cast<std::uint8_t>(((1u << width) - 1u) << fd.f.lo);
        for (int value = 0; value < (1 << width); ++value) {
            RadioImage image = RandomImage(rng);
            const RadioImage before = image;
            fd.f.Write(image, value);
            EXPECT_EQ(fd.f.Read(image), value) << fd.name;
            ExpectOnlyMaskChanged(before, image, {{fd.f.offset, mask}}, fd.name);
        }
    }
}

TEST(Fields, CompositeWritesStayInTheirBytes) {
    using namespace layout;
    const struct {
        const char* name;
        std::function<void(RadioImage&, int)> write;
        Mask mask;
    } writes[] = {
        {"DtmfCode", [](RadioImage& im, int v) { WriteDtmfCode(im, std::string(static_cast<std::size_t>(v % 16), '7')); },
         {{0x05, 0xFF}, {0x06, 0xFF}, {0x07, 0xFF}, {0x08, 0xFF}, {0x09, 0xFF}, {0x0A, 0xFF}, {0x0B, 0xFF}, {0x0C, 0xFF}}},
        {"PageCode3", [](RadioImage& im, int v) { WritePageCode(im, 3, {v % 2 ? "12#" : "", v % 3 == 0 ? 1 : 0}); },
         {{0xC4, 0xFF}, {0xC5, 0xFF}}},
        {"MarketApplication", [](RadioImage& im, int) { WriteMarketApplication(im, "12AB"); }, {{0xF2, 0xFF}, {0xF3, 0xFF}}},
        {"SerialNumber", [](RadioImage& im, int) { WriteSerialNumber(im, "9N123456"); },
         {{0xF8, 0xFF}, {0xF9, 0xFF}, {0xFA, 0xFF}, {0xFB, 0xFF}}},
        {"OptionCode", [](RadioImage& im, int v) { WriteOptionCode(im, v % 32); }, {{0xBE, 0xE3}}},
        {"AutoReset", [](RadioImage& im, int v) { WriteAutoResetTime(im, v % 17); }, {{0x0D, 0x0F}, {0xBF, 0x04}}},
        {"DialScan", [](RadioImage& im, int v) { WriteDialScanPosition(im, v % 17); }, {{0x0F, 0xFF}, {0x15, 0x40}}},
        {"Priority", [](RadioImage& im, int v) { WritePriorityChannel(im, v % 17); }, {{0x0E, 0x0F}, {0x15, 0x10}}},
        {"KtTrunkPos", [](RadioImage& im, int v) { WriteKtTrunkPosition(im, v % 17); }, {{0x0F, 0xF0}, {0x0D, 0x10}}},
        {"Vts5", [](RadioImage& im, int v) { WriteVts(im, 5, v & 1); }, {{0x10, 0x04}}},
        {"Vts12", [](RadioImage& im, int v) { WriteVts(im, 12, v & 1); }, {{0x11, 0x08}}},
        {"Scan5", [](RadioImage& im, int v) { WriteScan(im, 5, v % 4); }, {{0x12, 0x20}}},
        {"Scan12", [](RadioImage& im, int v) { WriteScan(im, 12, v % 4); }, {{0x13, 0x10}}},
        {"Type6", [](RadioImage& im, int v) { WriteChannelType(im, 6, v % 16); }, {{0x19, 0xF0}}},
        {"Type7", [](RadioImage& im, int v) { WriteChannelType(im, 7, v % 16); }, {{0x19, 0x0F}}},
        {"RefMain", [](RadioImage& im, int v) { WriteRefXtalMainCount(im, v * 97); }, {{0xE2, 0x3F}, {0xE3, 0xFF}}},
        {"RefAlt", [](RadioImage& im, int v) { WriteRefXtalAltCount(im, v * 131); }, {{0xE4, 0x7F}, {0xE5, 0xFF}}},
        {"FirstIf", [](RadioImage& im, int v) { WriteFirstIfKhz(im, v * 541); }, {{0xE6, 0xFF}, {0xE7, 0xFF}}},
        {"Pair4", [](RadioImage& im, int v) { WritePairBytes(im, 4, {static_cast<std::uint8_t>(v), 9}); },
         {{0xDA, 0xFF}, {0xDB, 0xFF}}},
        {"Checksum", [](RadioImage& im, int) { StoreImageChecksum(im); }, {{0xFC, 0xFF}, {0xFD, 0xFF}}},
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
}

TEST(Fields, RecordFieldsAndGatedWritesStayInTheirRecord) {
    std::mt19937 rng(3);
    for (int n : {0, 7, 15}) {
        for (int v = 0; v < 32; ++v) {
            RadioImage image = RandomImage(rng);
            const RadioImage before = image;
            const RecordView rec = Record(image, n);
            WritePage(rec, v & 1, v % 16);
            WriteTwoToneP(rec, v % 17);
            WriteRxValue(rec, static_cast<std::uint16_t>(v * 2003));
            layout::kSquelch.Write(rec, v);
            const std::size_t first = kFirstRecord + kRecordSize * static_cast<std::size_t>(n);
            ExpectOnlyMaskChanged(before, image, {{first + 1, 0x04}, {first + 3, 0xFF}, {first + 0, 0x02},
                                                  {first + 6, 0xFF}, {first + 7, 0xFF}, {first + 2, 0x0F}},
                                  "record " + std::to_string(n));
        }
    }
}

TEST(Fields, BitmapAndTypeNibblePlaces) {
    const struct {
        int n;
        std::size_t vtsByte;
        std::uint8_t vtsBit;
        std::size_t scanByte;
        std::uint8_t scanBit;
        std::size_t typeByte;
        std::uint8_t typeMask;
    } places[] = {
        {0, 0x10, 0x80, 0x12, 0x01, 0x16, 0xF0},
        {7, 0x10, 0x01, 0x12, 0x80, 0x19, 0x0F},
        {8, 0x11, 0x80, 0x13, 0x01, 0x1A, 0xF0},
        {15, 0x11, 0x01, 0x13, 0x80, 0x1D, 0x0F},
    };
    for (const auto& p : places) {
        RadioImage image{};
        WriteVts(image, p.n, 1);
        WriteScan(image, p.n, 3);  // 3 stores its low bit only
        WriteChannelType(image, p.n, 0xF);
        EXPECT_EQ(image[p.vtsByte], p.vtsBit) << p.n;
        EXPECT_EQ(image[p.scanByte], p.scanBit) << p.n;
        EXPECT_EQ(image[p.typeByte], p.typeMask) << p.n;
        EXPECT_EQ(ReadVts(image, p.n), 1);
        EXPECT_EQ(ReadScan(image, p.n), 1);
        WriteScan(image, p.n, 2);
        EXPECT_EQ(ReadScan(image, p.n), 0);
    }
}

TEST(Fields, StringFieldsMatchTheStoredBytes) {
    RadioImage image{};
    WriteSerialNumber(image, "0C010001");
    EXPECT_EQ(image[0xF8], 0x01);
    EXPECT_EQ(image[0xF9], 0x01);
    EXPECT_EQ(image[0xFA], 0x01);
    EXPECT_EQ(image[0xFB], 0x00);
    EXPECT_EQ(ReadSerialNumber(image), "0C010001");
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
        {"123", {0x31, 0x23}},
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
    }
    RadioImage im{};
    WriteDtmfCode(im, "123");
    WriteDtmfCode(im, "");
    EXPECT_EQ(im[0x05], 0x01) << "an empty code clears only the length";
    EXPECT_EQ(ReadDtmfCode(im), "");

    const struct {
        PageCode page;
        std::uint8_t b0, b1;
        std::string readBack;
    } pages[] = {
        {{"12#", 1}, 0x21, 0x2F, "12#"},
        {{"", 1}, 0x00, 0x00, ""},
        {{"000", 0}, 0x00, 0x00, ""},  // "000" with "Off" reads as empty
        {{"000", 1}, 0x20, 0x00, "000"},
        {{"905", 0}, 0x09, 0x05, "905"},
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

TEST(Fields, FirmwareChecksumAndOptionCodes) {
    RadioImage image{};
    image[0] = 0x01;
    image[1] = 0x23;
    EXPECT_EQ(ReadFirmwareVersion(image), 123);
    EXPECT_EQ(FormatFirmwareVersion(123), "1.23");
    EXPECT_EQ(FormatFirmwareVersion(208), "2.08");
    EXPECT_EQ(FormatFirmwareVersion(100), "1.00");

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
    RadioImage full{};
    full.fill(0xFF);
    EXPECT_EQ(ComputeImageChecksum(full), (240 * 0xFF) & 0xFFFF);

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
    EXPECT_EQ(ReadAutoResetTime(image), 0);
    WriteAutoResetTime(image, 4);
    EXPECT_EQ(image[0x0D] & 0x0F, 3);
    EXPECT_EQ(ReadAutoResetTime(image), 4);

    RadioImage scan{};
    WriteDialScanPosition(scan, 16);
    WriteKtTrunkPosition(scan, 0);
    EXPECT_EQ(scan[0x0F], 0x0F);
    EXPECT_TRUE(scan[0x15] & 0x40);
    EXPECT_FALSE(scan[0x0D] & 0x10);
    WriteDialScanPosition(scan, 3);
    WriteKtTrunkPosition(scan, 5);
    EXPECT_EQ(scan[0x0F], 0x42);
    EXPECT_EQ(ReadDialScanPosition(scan), 3);
    EXPECT_EQ(ReadKtTrunkPosition(scan), 5);
    scan[0x0E] = 0xA7;
    scan[0x15] |= 0x10;
    WritePriorityChannel(scan, 0);
    EXPECT_EQ(scan[0x0E], 0xA7) << "disabling keeps the channel nibble";
    EXPECT_EQ(ReadPriorityChannel(scan), 0);

    RadioImage rim{};
    const RecordView rec = Record(rim, 4);
    rec[3] = 0x20;
    WritePage(rec, false, 3);
    EXPECT_EQ(rec[3], 0x2F);
    EXPECT_EQ(rec[1] & 0x04, 0);
    WritePage(rec, true, 3);
    EXPECT_EQ(rec[3], 0x22);
    EXPECT_TRUE(rec[1] & 0x04);
    EXPECT_EQ(ReadPageNumber(rec, true), 3);
    EXPECT_EQ(ReadPageNumber(rec, false), 0);
    WritePage(rec, true, 0);
    EXPECT_EQ(rec[3] & 0x0F, 0x0F);
    EXPECT_EQ(rec[1] & 0x04, 0);

    rec[1] = 0x10;
    EXPECT_EQ(ReadAni(rec, true), 0);
    EXPECT_EQ(ReadAni(rec, false), 1);
    rec[0] = 0x04;
    EXPECT_EQ(ReadEncryption(rec, false), 0);
    EXPECT_EQ(ReadEncryption(rec, true), 1);
    WriteTwoToneP(rec, 6);
    EXPECT_EQ(rec[3] >> 4, 5);
    EXPECT_EQ(ReadTwoToneP(rec), 6);
    WriteTwoToneP(rec, 0);
    EXPECT_EQ(rec[3] >> 4, 0);
    EXPECT_EQ(ReadTwoToneP(rec), 0);
}

}  // namespace
}  // namespace rt62
