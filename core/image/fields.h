// Read and write operations for the image fields that are more than one plain bit field (see layout.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/image/layout.h"
#include "core/image/radio_image.h"

namespace rt62 {

// ---- whole image ----
std::uint16_t ComputeImageChecksum(const RadioImage& image);  // sum of 0x02-0xF1, low 16 bits
std::uint16_t ReadImageChecksum(const RadioImage& image);     // as stored at 0xFC-0xFD
void StoreImageChecksum(RadioImage& image);                   // compute and store

int ReadFirmwareVersion(const RadioImage& image);             // BCD 0x00-0x01 -> 0..9999
std::string FormatFirmwareVersion(int version);               // "%-d.%2.2d": 123 -> "1.23"

// ---- strings ----
std::string ReadDtmfCode(const RadioImage& image);            // 0-15 keypad characters
void WriteDtmfCode(RadioImage& image, const std::string& code);  // longer codes are cut to 15

struct PageCode {
    std::string code;  // empty or 3 keypad characters
    int selector = 0;  // 0 "Off", 1 "DEC"
};
PageCode ReadPageCode(const RadioImage& image, int k);        // k = 1-10
void WritePageCode(RadioImage& image, int k, const PageCode& page);

std::string ReadMarketApplication(const RadioImage& image);   // 4 characters
void WriteMarketApplication(RadioImage& image, const std::string& text);
std::string ReadSerialNumber(const RadioImage& image);        // 8 characters
void WriteSerialNumber(RadioImage& image, const std::string& text);
// A shorter entry completed as the Marketing dialog completes it: the market application with "0"s to
// 4 characters; the serial number upper-cased, with "C" in its letter's place and "0"s to 8 characters.
std::string PadMarketApplication(std::string_view text);
std::string PadSerialNumber(std::string_view text);
// Eight characters: a letter C-N second, digits elsewhere.
bool IsValidSerialNumber(std::string_view text);

// ---- option device (0xBE bits 7, 6, 5, 1, 0) ----
inline constexpr int kOptionDeviceCount = 5;  // "None", "ZNE-48", "Encryption Hilevel", "ANI", "KT-Trunk"
int ReadOptionCode(const RadioImage& image);  // bit0 + 2 bit1 + 4 bit5 + 8 bit6 + 16 bit7
void WriteOptionCode(RadioImage& image, int code);  // bits 4-2 untouched
int OptionDevicePosition(int optionCode);     // the 32-entry table; unlisted codes give 0
int OptionCodeOfPosition(int position);       // lowest code with that position; 0 for unknown positions

// ---- paired enable-and-value fields: 0 means off ----
int ReadAutoResetTime(const RadioImage& image);  // 0 "off", 1-16 list positions
void WriteAutoResetTime(RadioImage& image, int position);
int ReadDialScanPosition(const RadioImage& image);  // 0 disabled, 1-16 channel
void WriteDialScanPosition(RadioImage& image, int channel);  // non-zero rewrites the whole byte 0x0F
int ReadPriorityChannel(const RadioImage& image);
void WritePriorityChannel(RadioImage& image, int channel);
int ReadKtTrunkPosition(const RadioImage& image);
void WriteKtTrunkPosition(RadioImage& image, int channel);

// ---- per-channel bitmaps and type nibbles (n = 0-15) ----
int ReadVts(const RadioImage& image, int n);
void WriteVts(RadioImage& image, int n, int on);
int ReadScan(const RadioImage& image, int n);
void WriteScan(RadioImage& image, int n, int value);  // only the low bit is stored
int ReadChannelType(const RadioImage& image, int n);
void WriteChannelType(RadioImage& image, int n, int type);

// ---- hardware counts (kept raw so an unedited image is written back bit for bit) ----
int ReadRefXtalMainCount(const RadioImage& image);  // 14 bits
void WriteRefXtalMainCount(RadioImage& image, int count);
int ReadRefXtalAltCount(const RadioImage& image);   // 15 bits
void WriteRefXtalAltCount(RadioImage& image, int count);
int ReadFirstIfKhz(const RadioImage& image);
void WriteFirstIfKhz(RadioImage& image, int khz);

// ---- two-tone pair bytes (k = 1-6) ----
struct PairBytes {
    std::uint8_t first = 0xFF;
    std::uint8_t second = 0xFF;
};
PairBytes ReadPairBytes(const RadioImage& image, int k);
void WritePairBytes(RadioImage& image, int k, PairBytes bytes);

// ---- channel record fields with gates or two parts ----
// Encryption reads as off unless 0xBE bit 0 or bit 5 is set (gate).
int ReadEncryption(ConstRecordView rec, bool gate);
void WriteEncryption(RecordView rec, int on);
// ANI reads as off while the ANI option bit (0xBE bit 1) is set.
int ReadAni(ConstRecordView rec, bool aniOptionSet);
void WriteAni(RecordView rec, int on);
// Page present / number read as off unless the board paging bit (0xBE bit 6) is set.
int ReadPagePresent(ConstRecordView rec, bool gate);
int ReadPageNumber(ConstRecordView rec, bool gate);  // 0 none, 1-15
// Present = 1 only with the gate on and a non-zero number; gate off stores 0xF and clears present.
void WritePage(RecordView rec, bool gate, int pageNumber);
int ReadTwoToneP(ConstRecordView rec);               // 0 none, 1-16
void WriteTwoToneP(RecordView rec, int pair);
std::uint16_t ReadRxValue(ConstRecordView rec);
void WriteRxValue(RecordView rec, std::uint16_t value);
std::uint16_t ReadTxValue(ConstRecordView rec);
void WriteTxValue(RecordView rec, std::uint16_t value);
std::uint8_t ReadEncToneByte(ConstRecordView rec);
void WriteEncToneByte(RecordView rec, std::uint8_t value);
std::uint8_t ReadDecToneByte(ConstRecordView rec);
void WriteDecToneByte(RecordView rec, std::uint8_t value);

}  // namespace rt62
