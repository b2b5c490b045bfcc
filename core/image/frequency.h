// Channel frequency codec: synthesizer step counts <-> MHz, band limits and the step snap of entered values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rt62 {

inline constexpr int kBandStepCodeCount = 4;

// One row of the band/step table, selected by the BandStepCode (image byte 0xE2 bits 7-6).
struct BandStep {
    int mainStepHz;             // MainStep
    int altStepHz;              // AltStep, the unit of values whose AltStepFlag is 1
    int snapAltHz;              // the second step as the user sees it (6.25 kHz also for code 0)
    double lowerMHz;
    double upperMHz;
    std::string_view bandText;  // "VHF" / "UHF"
    std::string_view stepText;  // padded to 11 characters, e.g. "2.5,6.25kHz"
};

// The table row of a code; codes outside 0-3 use their low two bits.
const BandStep& BandStepInfo(int bandStepCode);
inline bool IsUhfCode(int bandStepCode) { return (bandStepCode & 3) >= 2; }

// Stored receive value (the local oscillator) -> receive frequency in MHz. localOffset 0 "Lower", 1 "Upper".
double DecodeReceive(std::uint16_t value, int altFlag, int bandStepCode, bool uhf, double firstIfMHz,
                     int localOffset);

struct DecodedTransmit {
    double mhz = 0.0;
    bool setsInhibit = false;  // the value is the radio's "no transmit" mark (50.0 or 300.0 MHz)
};
// Stored transmit value -> transmit frequency; out-of-band values fall back to the receive frequency.
DecodedTransmit DecodeTransmit(std::uint16_t value, int altFlag, int bandStepCode, bool uhf, double receiveMHz);

// MHz -> stored value (0 MHz stores 0x0000). The transmit value is encoded directly.
std::uint16_t EncodeFrequency(double mhz, int altFlag, int bandStepCode, bool uhf);
// Receive frequency -> stored local-oscillator value.
std::uint16_t EncodeReceive(double receiveMHz, int altFlag, int bandStepCode, bool uhf, double firstIfMHz,
                            int localOffset);

// Clamps an entered frequency to the band and moves it up to the next step; returns the AltStepFlag.
int SnapFrequency(double& mhz, int bandStepCode);
// SnapFrequency, then, where the step count of the stored value (the frequency plus oscillatorOffsetMHz:
// 0 for a transmit value, -/+ First IF for a receive one) would not fit in its 16 bits, the nearest
// in-band frequency on either step that does; what is entered is then what the radio is given.
int SnapStorable(double& mhz, int bandStepCode, bool uhf, double oscillatorOffsetMHz);

// "%9.5f", with a decimal point whatever the process locale.
std::string FormatFrequency(double mhz);
// printf "%W.Pf" with a decimal point whatever the process locale (width pads on the left).
std::string FormatFixed(double value, int width, int precision);
inline constexpr std::string_view kInhibitedFrequencyText = "---.-----";

// Whole hertz -> MHz as hz x 0.000001 (not hz / 1000000: the two differ in the last bit, and so in the
// printed text of values on a half of the fifth decimal). MHz -> whole hertz truncates, forgiving a
// representation error below 1 mHz, so either product converts back to the same count.
double HzToMHz(long long hz);
long long MHzToHz(double mhz);

}  // namespace rt62
