// Where every field lives in the 254-byte image: offsets and bit ranges, in the order of the memory map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/image/bits.h"
#include "core/image/radio_image.h"

namespace rt62 {

inline constexpr int kChannelCount = 16;
inline constexpr std::size_t kRecordSize = 10;
inline constexpr std::size_t kFirstRecord = 0x1E;

// One channel's 10-byte record inside the image.
using RecordView = std::span<std::uint8_t, kRecordSize>;
using ConstRecordView = std::span<const std::uint8_t, kRecordSize>;

inline RecordView Record(RadioImage& image, int n) {
    return RecordView(image.data() + kFirstRecord + kRecordSize * static_cast<std::size_t>(n), kRecordSize);
}
inline ConstRecordView Record(const RadioImage& image, int n) {
    return ConstRecordView(image.data() + kFirstRecord + kRecordSize * static_cast<std::size_t>(n),
                           kRecordSize);
}

// A plain bit field of the image: read gives the bits shifted down, write replaces only those bits.
struct ImageField {
    std::uint8_t offset;
    std::uint8_t hi;
    std::uint8_t lo;
    int Read(const RadioImage& image) const { return GetBits(image[offset], hi, lo); }
    void Write(RadioImage& image, int value) const { SetBits(image[offset], hi, lo, value); }
};

// A plain bit field of a channel record (offset within the record).
struct RecordField {
    std::uint8_t offset;
    std::uint8_t hi;
    std::uint8_t lo;
    int Read(ConstRecordView rec) const { return GetBits(rec[offset], hi, lo); }
    void Write(RecordView rec, int value) const { SetBits(rec[offset], hi, lo, value); }
};

namespace layout {

// ---- 0x00-0x01 firmware version (BCD, never written) ----
inline constexpr std::size_t kFirmwareHigh = 0x00;
inline constexpr std::size_t kFirmwareLow = 0x01;

// ---- common fields ----                                 byte  bits
inline constexpr ImageField kLampMode{0x02, 7, 7};
inline constexpr ImageField kTransmitTimer{0x02, 6, 4};
inline constexpr ImageField kPenaltyTimer{0x02, 3, 2};
inline constexpr ImageField kReleaseTimer{0x02, 1, 0};
inline constexpr ImageField kBeep{0x03, 7, 7};
inline constexpr ImageField kReceiveSaveOffTime{0x03, 6, 5};
inline constexpr ImageField kSetToSetClone{0x03, 4, 4};
inline constexpr ImageField kExternalJack{0x03, 3, 3};
inline constexpr ImageField kReceiveSaveMode{0x03, 2, 0};
inline constexpr ImageField kBell{0x04, 7, 7};
inline constexpr ImageField kDcsRxData{0x04, 6, 6};
inline constexpr ImageField kDcsTxData{0x04, 5, 5};
inline constexpr ImageField kAniTransmit{0x04, 4, 4};
inline constexpr ImageField kDtmfDelay{0x04, 3, 2};
inline constexpr ImageField kDtmfSpeed{0x04, 1, 0};
inline constexpr ImageField kDtmfCodeLength{0x05, 7, 4};
inline constexpr std::size_t kDtmfCodeFirst = 0x05;        // digit 1 in bits 3-0
inline constexpr std::size_t kDtmfCodeMore = 0x06;         // digits 2-15, two per byte, high first
inline constexpr int kDtmfCodeMaxLength = 15;
inline constexpr ImageField kCtcssReleaseTime{0x0D, 7, 7};
inline constexpr ImageField kSquelchTailElim{0x0D, 6, 5};
inline constexpr ImageField kKtTrunkPositionEnable{0x0D, 4, 4};
inline constexpr ImageField kAutoResetNibble{0x0D, 3, 0};
inline constexpr ImageField kAccKeyPress{0x0E, 7, 4};
inline constexpr ImageField kPriorityChannelNibble{0x0E, 3, 0};
inline constexpr ImageField kKtTrunkPositionNibble{0x0F, 7, 4};
inline constexpr std::size_t kDialScanPositionByte = 0x0F;  // written whole, see WriteDialScanPosition
inline constexpr ImageField kDialScanPositionNibble{0x0F, 3, 0};
inline constexpr std::size_t kVtsBitmap = 0x10;             // ch n: 0x10 bit 7-n, 0x11 bit 15-n
inline constexpr std::size_t kScanBitmap = 0x12;            // ch n: 0x12 bit n,   0x13 bit n-8
inline constexpr ImageField kScanResumeTime1{0x14, 7, 4};
inline constexpr ImageField kScanResumeTime2{0x14, 3, 0};
inline constexpr ImageField kScanSpeed{0x15, 7, 7};
inline constexpr ImageField kDialScanPositionEnable{0x15, 6, 6};
inline constexpr ImageField kDualWatch{0x15, 5, 5};
inline constexpr ImageField kPriorityChannelEnable{0x15, 4, 4};
inline constexpr ImageField kDualWatchTimer{0x15, 3, 3};
inline constexpr ImageField kTalkBack{0x15, 2, 2};
inline constexpr ImageField kRevertChannel{0x15, 1, 0};
inline constexpr std::size_t kChannelTypes = 0x16;          // ch n: 0x16 + n/2, even n high nibble

// ---- 0xBE option bits and paging, 0xBF two-tone and misc ----
inline constexpr std::size_t kOptionByte = 0xBE;
inline constexpr ImageField kOptionKtTrunk{0xBE, 7, 7};
inline constexpr ImageField kOptionBoardPaging{0xBE, 6, 6};
inline constexpr ImageField kOptionBoardEncryption{0xBE, 5, 5};
inline constexpr ImageField kAnswerBack{0xBE, 4, 4};
inline constexpr ImageField kPagingDtmfSpeed{0xBE, 2, 2};
inline constexpr ImageField kOptionAni{0xBE, 1, 1};
inline constexpr ImageField kOptionEncryption{0xBE, 0, 0};
inline constexpr ImageField kPrimaryGroupCall{0xBF, 6, 5};
inline constexpr ImageField kSecondaryGroupCall{0xBF, 4, 3};
inline constexpr ImageField kAutoResetEnable{0xBF, 2, 2};
inline constexpr ImageField kCallTimes{0xBF, 1, 0};

// ---- 0xC0-0xDF page codes and two-tone pairs ----
inline constexpr std::size_t kPageCodes = 0xC0;             // code k (1-10) at 0xC0 + 2(k-1)
inline constexpr int kPageCodeCount = 10;
inline constexpr std::size_t kTwoTonePairs = 0xD4;          // pair k (1-6) at 0xD4 + 2(k-1)
inline constexpr int kTwoTonePairCount = 6;

// ---- 0xE0-0xE1 two-tone and key settings ----
inline constexpr ImageField kSecondaryPagePair{0xE0, 7, 4};
inline constexpr ImageField kAccKeyHold{0xE0, 3, 0};
inline constexpr ImageField kDuty{0xE1, 1, 1};
inline constexpr ImageField kCtcssDcsComplement{0xE1, 0, 0};

// ---- 0xE2-0xE7 hardware configuration ----
inline constexpr std::size_t kHardwareFirst = 0xE2;
inline constexpr std::size_t kHardwareLast = 0xE7;
inline constexpr ImageField kBandStepCode{0xE2, 7, 6};
inline constexpr std::size_t kRefXtalMainCount = 0xE2;      // 14 bits: 0xE2 bits 5-0, 0xE3
inline constexpr ImageField kLocalOffset{0xE4, 7, 7};
inline constexpr std::size_t kRefXtalAltCount = 0xE4;       // 15 bits: 0xE4 bits 6-0, 0xE5
inline constexpr std::size_t kFirstIfKhz = 0xE6;            // 16 bits big-endian

// ---- 0xE8-0xEF radio-owned, 0xF0-0xF1 squelch timing ----
inline constexpr std::size_t kRadioOwnedFirst = 0xE8;
inline constexpr std::size_t kRadioOwnedLast = 0xEF;
inline constexpr ImageField kSqlReleaseTime{0xF0, 5, 1};    // 31 list positions
inline constexpr ImageField kSqlAttackTime{0xF1, 7, 5};
inline constexpr ImageField kSqlHysteresis{0xF1, 3, 0};

// ---- 0xF2-0xFB marketing, 0xFC-0xFD checksum ----
inline constexpr std::size_t kMarketApplication = 0xF2;     // 4 digit nibbles, 0xF2-0xF3
inline constexpr std::size_t kRadioOwnedSecondFirst = 0xF4;
inline constexpr std::size_t kRadioOwnedSecondLast = 0xF7;
inline constexpr std::size_t kSerialNumber = 0xF8;          // 0xF8-0xFB, see ReadSerialNumber
inline constexpr std::size_t kChecksumFirst = 0x02;         // summed range 0x02-0xF1
inline constexpr std::size_t kChecksumLast = 0xF1;
inline constexpr std::size_t kChecksum = 0xFC;              // big-endian at 0xFC-0xFD

// ---- channel record (offsets within the 10-byte record) ----
inline constexpr RecordField kInUse{0, 7, 7};
inline constexpr RecordField kNarrow{0, 6, 6};
inline constexpr RecordField kRxAltStep{0, 5, 5};
inline constexpr RecordField kTxAltStep{0, 4, 4};
inline constexpr RecordField kEncryption{0, 2, 2};
inline constexpr RecordField kTwoTonePPresent{0, 1, 1};
inline constexpr RecordField kTwoToneS{0, 0, 0};
inline constexpr RecordField kTxInhibit{1, 7, 7};
inline constexpr RecordField kPower{1, 6, 6};
inline constexpr RecordField kTot{1, 5, 5};
inline constexpr RecordField kAni{1, 4, 4};
inline constexpr RecordField kProx{1, 3, 3};
inline constexpr RecordField kPagePresent{1, 2, 2};
inline constexpr RecordField kLockOut{1, 1, 0};
inline constexpr RecordField kPowerSaveTx{2, 7, 7};
inline constexpr RecordField kPowerSaveRx{2, 6, 6};
inline constexpr RecordField kSquelch{2, 3, 0};
inline constexpr RecordField kTwoTonePPair{3, 7, 4};
inline constexpr RecordField kPageCodeNumber{3, 3, 0};
inline constexpr std::size_t kEncTone = 4;
inline constexpr std::size_t kDecTone = 5;
inline constexpr std::size_t kRxValue = 6;                  // 16 bits big-endian
inline constexpr std::size_t kTxValue = 8;                  // 16 bits big-endian

}  // namespace layout
}  // namespace rt62
