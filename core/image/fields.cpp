// Composite image fields: strings, paired enable bits, bitmaps, counts and gated record fields.
#include "core/image/fields.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "core/image/text_rules.h"

namespace rt62 {

using namespace layout;

std::uint16_t ComputeImageChecksum(const RadioImage& image) {
    unsigned sum = 0;
    for (std::size_t i = kChecksumFirst; i <= kChecksumLast; ++i) sum += image[i];
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

std::uint16_t ReadImageChecksum(const RadioImage& image) { return ReadBigEndian16(&image[kChecksum]); }

void StoreImageChecksum(RadioImage& image) { WriteBigEndian16(&image[kChecksum], ComputeImageChecksum(image)); }

int ReadFirmwareVersion(const RadioImage& image) {
    const std::uint8_t hi = image[kFirmwareHigh];
    const std::uint8_t lo = image[kFirmwareLow];
    return 1000 * HighNibble(hi) + 100 * LowNibble(hi) + 10 * HighNibble(lo) + LowNibble(lo);
}

std::string FormatFirmwareVersion(int version) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%-d.%2.2d", version / 100, version % 100);
    return buf;
}

// ---- DTMF code ----

std::string ReadDtmfCode(const RadioImage& image) {
    const int length = kDtmfCodeLength.Read(image);
    std::string code;
    if (length == 0) return code;
    code += NibbleChar(LowNibble(image[kDtmfCodeFirst]));
    for (int j = 2; j <= length; ++j) {
        const std::uint8_t byte = image[kDtmfCodeMore + static_cast<std::size_t>((j - 2) / 2)];
        code += NibbleChar(j % 2 == 0 ? HighNibble(byte) : LowNibble(byte));
    }
    return code;
}

void WriteDtmfCode(RadioImage& image, const std::string& code) {
    const int length = static_cast<int>(std::min<std::size_t>(code.size(), kDtmfCodeMaxLength));
    if (length == 0) {
        kDtmfCodeLength.Write(image, 0);
        return;
    }
    image[kDtmfCodeFirst] = static_cast<std::uint8_t>(length << 4 | DigitNibble(code[0]));
    for (int j = 2; j <= length; ++j) {
        std::uint8_t& byte = image[kDtmfCodeMore + static_cast<std::size_t>((j - 2) / 2)];
        const int nibble = DigitNibble(code[static_cast<std::size_t>(j - 1)]);
        if (j % 2 == 0)
            byte = static_cast<std::uint8_t>(nibble << 4);  // a started byte begins from 0
        else
            SetLowNibble(byte, nibble);
    }
}

// ---- page codes ----

PageCode ReadPageCode(const RadioImage& image, int k) {
    const std::size_t at = kPageCodes + 2 * static_cast<std::size_t>(k - 1);
    const std::uint8_t first = image[at];
    const std::uint8_t second = image[at + 1];
    PageCode page;
    page.selector = GetBit(first, 5) ? 1 : 0;
    const int d1 = LowNibble(first);
    if (d1 == 0 && second == 0 && page.selector == 0) return page;  // "000" with "Off" is the empty code
    page.code = {NibbleChar(d1), NibbleChar(HighNibble(second)), NibbleChar(LowNibble(second))};
    return page;
}

void WritePageCode(RadioImage& image, int k, const PageCode& page) {
    const std::size_t at = kPageCodes + 2 * static_cast<std::size_t>(k - 1);
    image[at] = 0;
    image[at + 1] = 0;
    if (page.code.empty()) return;
    auto digit = [&](std::size_t i) { return i < page.code.size() ? DigitNibble(page.code[i]) : 0; };
    image[at] = static_cast<std::uint8_t>((page.selector ? 0x20 : 0) | digit(0));
    image[at + 1] = static_cast<std::uint8_t>(digit(1) << 4 | digit(2));
}

// ---- marketing ----

std::string ReadMarketApplication(const RadioImage& image) {
    std::string s;
    for (std::size_t i = 0; i < 2; ++i) {
        s += NibbleChar(HighNibble(image[kMarketApplication + i]));
        s += NibbleChar(LowNibble(image[kMarketApplication + i]));
    }
    return s;
}

void WriteMarketApplication(RadioImage& image, const std::string& text) {
    auto digit = [&](std::size_t i) { return i < text.size() ? DigitNibble(text[i]) : 0; };
    for (std::size_t i = 0; i < 2; ++i)
        image[kMarketApplication + i] = static_cast<std::uint8_t>(digit(2 * i) << 4 | digit(2 * i + 1));
}

namespace {
// Characters 3-8 in the order the radio keeps them: 0xF9 holds 3-4, 0xFB holds 5-6, 0xFA holds 7-8.
constexpr std::array<std::size_t, 3> kSerialPairBytes{kSerialNumber + 1, kSerialNumber + 3, kSerialNumber + 2};
}  // namespace

std::string ReadSerialNumber(const RadioImage& image) {
    std::string s;
    const std::uint8_t b0 = image[kSerialNumber];
    s += NibbleChar(HighNibble(b0));
    s += static_cast<char>('B' + LowNibble(b0));
    for (std::size_t at : kSerialPairBytes) {
        s += NibbleChar(HighNibble(image[at]));
        s += NibbleChar(LowNibble(image[at]));
    }
    return s;
}

std::string PadMarketApplication(std::string_view text) {
    std::string s(text);
    if (s.size() < 4) s.resize(4, '0');
    return s;
}

std::string PadSerialNumber(std::string_view text) {
    std::string s;
    for (char c : text)
        s += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    while (s.size() < 8)
        s += s.size() == 1 ? 'C' : '0';
    return s;
}

bool IsValidSerialNumber(std::string_view text) {
    return text.size() == 8 && FilterAcceptsAll(kFilterSerial, text);
}

void WriteSerialNumber(RadioImage& image, const std::string& text) {
    auto ch = [&](std::size_t i) { return i < text.size() ? text[i] : (i == 1 ? 'C' : '0'); };
    auto digit = [&](std::size_t i) { return DigitNibble(ch(i)); };
    char second = ch(1);
    if (second >= 'a' && second <= 'z') second = static_cast<char>(second - 'a' + 'A');
    const int letter = (second - 'B') & 0x0F;
    image[kSerialNumber] = static_cast<std::uint8_t>(digit(0) << 4 | letter);
    for (std::size_t p = 0; p < kSerialPairBytes.size(); ++p)
        image[kSerialPairBytes[p]] = static_cast<std::uint8_t>(digit(2 + 2 * p) << 4 | digit(3 + 2 * p));
}

// ---- option device ----

int ReadOptionCode(const RadioImage& image) {
    return kOptionEncryption.Read(image) | kOptionAni.Read(image) << 1 | kOptionBoardEncryption.Read(image) << 2 |
           kOptionBoardPaging.Read(image) << 3 | kOptionKtTrunk.Read(image) << 4;
}

void WriteOptionCode(RadioImage& image, int code) {
    kOptionEncryption.Write(image, code & 1);
    kOptionAni.Write(image, (code >> 1) & 1);
    kOptionBoardEncryption.Write(image, (code >> 2) & 1);
    kOptionBoardPaging.Write(image, (code >> 3) & 1);
    kOptionKtTrunk.Write(image, (code >> 4) & 1);
}

int OptionDevicePosition(int optionCode) {
    switch (optionCode) {
    case 1: return 2;   // Encryption Hilevel
    case 2: return 3;   // ANI
    case 12: return 1;  // ZNE-48
    case 16: return 4;  // KT-Trunk
    default: return 0;
    }
}

int OptionCodeOfPosition(int position) {
    for (int code = 0; code < 32; ++code)
        if (OptionDevicePosition(code) == position) return code;
    return 0;
}

// ---- paired enable-and-value fields ----

int ReadAutoResetTime(const RadioImage& image) {
    return kAutoResetEnable.Read(image) ? kAutoResetNibble.Read(image) + 1 : 0;
}

void WriteAutoResetTime(RadioImage& image, int position) {
    kAutoResetEnable.Write(image, position > 0 ? 1 : 0);
    kAutoResetNibble.Write(image, position > 0 ? position - 1 : 0xF);
}

int ReadDialScanPosition(const RadioImage& image) {
    return kDialScanPositionEnable.Read(image) ? kDialScanPositionNibble.Read(image) + 1 : 0;
}

void WriteDialScanPosition(RadioImage& image, int channel) {
    kDialScanPositionEnable.Write(image, channel > 0 ? 1 : 0);
    if (channel > 0) image[kDialScanPositionByte] = static_cast<std::uint8_t>((channel - 1) & 0x0F);
}

int ReadPriorityChannel(const RadioImage& image) {
    return kPriorityChannelEnable.Read(image) ? kPriorityChannelNibble.Read(image) + 1 : 0;
}

void WritePriorityChannel(RadioImage& image, int channel) {
    kPriorityChannelEnable.Write(image, channel > 0 ? 1 : 0);
    if (channel > 0) kPriorityChannelNibble.Write(image, channel - 1);
}

int ReadKtTrunkPosition(const RadioImage& image) {
    return kKtTrunkPositionEnable.Read(image) ? kKtTrunkPositionNibble.Read(image) + 1 : 0;
}

void WriteKtTrunkPosition(RadioImage& image, int channel) {
    kKtTrunkPositionEnable.Write(image, channel > 0 ? 1 : 0);
    if (channel > 0) kKtTrunkPositionNibble.Write(image, channel - 1);
}

// ---- bitmaps and type nibbles ----

namespace {
struct BitPlace {
    std::size_t byte;
    int bit;
};
BitPlace VtsPlace(int n) { return n <= 7 ? BitPlace{kVtsBitmap, 7 - n} : BitPlace{kVtsBitmap + 1, 15 - n}; }
BitPlace ScanPlace(int n) { return n <= 7 ? BitPlace{kScanBitmap, n} : BitPlace{kScanBitmap + 1, n - 8}; }
}  // namespace

int ReadVts(const RadioImage& image, int n) {
    const BitPlace p = VtsPlace(n);
    return GetBit(image[p.byte], p.bit) ? 1 : 0;
}

void WriteVts(RadioImage& image, int n, int on) {
    const BitPlace p = VtsPlace(n);
    SetBit(image[p.byte], p.bit, (on & 1) != 0);
}

int ReadScan(const RadioImage& image, int n) {
    const BitPlace p = ScanPlace(n);
    return GetBit(image[p.byte], p.bit) ? 1 : 0;
}

void WriteScan(RadioImage& image, int n, int value) {
    const BitPlace p = ScanPlace(n);
    SetBit(image[p.byte], p.bit, (value & 1) != 0);
}

int ReadChannelType(const RadioImage& image, int n) {
    const std::uint8_t byte = image[kChannelTypes + static_cast<std::size_t>(n / 2)];
    return n % 2 == 0 ? HighNibble(byte) : LowNibble(byte);
}

void WriteChannelType(RadioImage& image, int n, int type) {
    std::uint8_t& byte = image[kChannelTypes + static_cast<std::size_t>(n / 2)];
    if (n % 2 == 0)
        SetHighNibble(byte, type);
    else
        SetLowNibble(byte, type);
}

// ---- hardware counts ----

int ReadRefXtalMainCount(const RadioImage& image) {
    return GetBits(image[kRefXtalMainCount], 5, 0) << 8 | image[kRefXtalMainCount + 1];
}

void WriteRefXtalMainCount(RadioImage& image, int count) {
    SetBits(image[kRefXtalMainCount], 5, 0, (count >> 8) & 0x3F);
    image[kRefXtalMainCount + 1] = static_cast<std::uint8_t>(count & 0xFF);
}

int ReadRefXtalAltCount(const RadioImage& image) {
    return GetBits(image[kRefXtalAltCount], 6, 0) << 8 | image[kRefXtalAltCount + 1];
}

void WriteRefXtalAltCount(RadioImage& image, int count) {
    SetBits(image[kRefXtalAltCount], 6, 0, (count >> 8) & 0x7F);
    image[kRefXtalAltCount + 1] = static_cast<std::uint8_t>(count & 0xFF);
}

int ReadFirstIfKhz(const RadioImage& image) { return ReadBigEndian16(&image[kFirstIfKhz]); }

void WriteFirstIfKhz(RadioImage& image, int khz) {
    WriteBigEndian16(&image[kFirstIfKhz], static_cast<std::uint16_t>(khz & 0xFFFF));
}

// ---- two-tone pairs ----

PairBytes ReadPairBytes(const RadioImage& image, int k) {
    const std::size_t at = kTwoTonePairs + 2 * static_cast<std::size_t>(k - 1);
    return {image[at], image[at + 1]};
}

void WritePairBytes(RadioImage& image, int k, PairBytes bytes) {
    const std::size_t at = kTwoTonePairs + 2 * static_cast<std::size_t>(k - 1);
    image[at] = bytes.first;
    image[at + 1] = bytes.second;
}

// ---- record fields ----

int ReadEncryption(ConstRecordView rec, bool gate) { return gate ? kEncryption.Read(rec) : 0; }
void WriteEncryption(RecordView rec, int on) { kEncryption.Write(rec, on & 1); }

int ReadAni(ConstRecordView rec, bool aniOptionSet) { return aniOptionSet ? 0 : kAni.Read(rec); }
void WriteAni(RecordView rec, int on) { kAni.Write(rec, on & 1); }

int ReadPagePresent(ConstRecordView rec, bool gate) { return gate ? kPagePresent.Read(rec) : 0; }

int ReadPageNumber(ConstRecordView rec, bool gate) {
    if (!gate || !kPagePresent.Read(rec)) return 0;
    const int nibble = kPageCodeNumber.Read(rec);
    return nibble == 0xF ? 0 : nibble + 1;
}

void WritePage(RecordView rec, bool gate, int pageNumber) {
    const bool present = gate && pageNumber > 0;
    kPagePresent.Write(rec, present ? 1 : 0);
    kPageCodeNumber.Write(rec, present ? pageNumber - 1 : 0xF);
}

int ReadTwoToneP(ConstRecordView rec) { return kTwoTonePPresent.Read(rec) ? kTwoTonePPair.Read(rec) + 1 : 0; }

void WriteTwoToneP(RecordView rec, int pair) {
    kTwoTonePPresent.Write(rec, pair > 0 ? 1 : 0);
    kTwoTonePPair.Write(rec, pair > 0 ? pair - 1 : 0);
}

std::uint16_t ReadRxValue(ConstRecordView rec) { return ReadBigEndian16(&rec[kRxValue]); }
void WriteRxValue(RecordView rec, std::uint16_t value) { WriteBigEndian16(&rec[kRxValue], value); }
std::uint16_t ReadTxValue(ConstRecordView rec) { return ReadBigEndian16(&rec[kTxValue]); }
void WriteTxValue(RecordView rec, std::uint16_t value) { WriteBigEndian16(&rec[kTxValue], value); }
std::uint8_t ReadEncToneByte(ConstRecordView rec) { return rec[kEncTone]; }
void WriteEncToneByte(RecordView rec, std::uint8_t value) { rec[kEncTone] = value; }
std::uint8_t ReadDecToneByte(ConstRecordView rec) { return rec[kDecTone]; }
void WriteDecToneByte(RecordView rec, std::uint8_t value) { rec[kDecTone] = value; }

}  // namespace rt62
