// Channel frequency codec and the band/step table.
#include "core/image/frequency.h"
#include "core/image/std_compat.h"

#include <array>
#include <cmath>
#include <charconv>
#include <system_error>

namespace rt62 {

namespace {

constexpr std::array<BandStep, kBandStepCodeCount> kBandSteps{{
    {2500, 3125, 6250, 134.0, 174.0, "VHF", "2.5,6.25kHz"},
    {5000, 6250, 6250, 134.0, 174.0, "VHF", "5,6.25kHz  "},
    {5000, 6250, 6250, 350.0, 512.0, "UHF", "5,6.25kHz  "},
    {10000, 12500, 12500, 350.0, 512.0, "UHF", "10,12.5kHz "},
}};

long long StepHz(int altFlag, int code) {
    const BandStep& b = BandStepInfo(code);
    return altFlag ? b.altStepHz : b.mainStepHz;
}

// The step count a stored value stands for, undoing the radio's offset for codes 0 and 2.
long long StepCount(std::uint16_t value, int code, bool uhf) {
    long long n = value;
    if (!uhf && code == 0) {
        n += 0x8000;
    } else if (uhf && code == 2) {
        n += 0x8000;
        if (n <= 0xB700) n += 0x10000;
    }
    return n;
}

long long ValueHz(std::uint16_t value, int altFlag, int code, bool uhf) {
    return StepCount(value, code, uhf) * StepHz(altFlag, code);
}

// Stored value for a step count. A count the 16 bits cannot hold (stored values 0x0100-0xFFFF are the
// ones that read back as frequencies) is saturated to the nearest one that can, rather than wrapped round
// into an unrelated frequency.
std::uint16_t StoredValue(long long count, int code, bool uhf) {
    constexpr long long kLowest = 0x0100;
    constexpr long long kHighest = 0xFFFF;
    if (uhf && code == 2) {
        // Values 0x3701-0xFFFF hold counts 0xB701-0x17FFF, values 0x0100-0x3700 hold 0x18100-0x1B700.
        if (count < 0xB701) return 0x3701;
        if (count <= 0x17FFF) return static_cast<std::uint16_t>(count - 0x8000);
        if (count < 0x18100) return count - 0x17FFF <= 0x18100 - count ? 0xFFFF : 0x0100;
        if (count <= 0x1B700) return static_cast<std::uint16_t>(count - 0x18000);
        return 0x3700;
    }
    const long long offset = !uhf && code == 0 ? 0x8000 : 0;
    long long n = count - offset;
    if (n < kLowest) n = kLowest;
    if (n > kHighest) n = kHighest;
    return static_cast<std::uint16_t>(n);
}

double EmptyValueMHz(bool uhf) { return uhf ? 450.0 : 150.0; }

// truncate(MHz x 1000000); one hertz is added back when the product fell just short of a multiple of 5.
long long EntryHz(double mhz) {
    long long hz = MHzToHz(mhz);
    if (hz % 5 == 4) hz += 1;
    return hz;
}

}  // namespace

const BandStep& BandStepInfo(int bandStepCode) { return kBandSteps[static_cast<std::size_t>(bandStepCode & 3)]; }

// Steps times the step times 0.000001, as the radio's values have always been read: the product's own
// rounding decides the fifth decimal of a value such as 144.784375 (printed 144.78437).
double HzToMHz(long long hz) { return static_cast<double>(hz) * 0.000001; }

long long MHzToHz(double mhz) {
    const double hz = std::floor(mhz * 1000000.0 + 1e-3);
    if (!std::isfinite(hz) || std::fabs(hz) > 1e15) return 0;  // nothing a radio can hold; avoid overflow
    return static_cast<long long>(hz);
}

double DecodeReceive(std::uint16_t value, int altFlag, int bandStepCode, bool uhf, double firstIfMHz,
                     int localOffset) {
    if ((value >> 8) == 0) return EmptyValueMHz(uhf);
    const double oscillator = HzToMHz(ValueHz(value, altFlag, bandStepCode, uhf));
    return localOffset == 0 ? oscillator + firstIfMHz : oscillator - firstIfMHz;
}

DecodedTransmit DecodeTransmit(std::uint16_t value, int altFlag, int bandStepCode, bool uhf, double receiveMHz) {
    DecodedTransmit out;
    if ((value >> 8) == 0) {
        out.mhz = EmptyValueMHz(uhf);
        return out;
    }
    const long long hz = ValueHz(value, altFlag, bandStepCode, uhf);
    out.mhz = HzToMHz(hz);
    if (hz == 300000000 || hz == 50000000) {
        out.setsInhibit = true;
        out.mhz = receiveMHz;
    }
    const BandStep& b = BandStepInfo(bandStepCode);
    if (out.mhz < b.lowerMHz || out.mhz > b.upperMHz) out.mhz = receiveMHz;
    return out;
}

std::uint16_t EncodeFrequency(double mhz, int altFlag, int bandStepCode, bool uhf) {
    if (mhz == 0.0) return 0;
    return StoredValue(EntryHz(mhz) / StepHz(altFlag, bandStepCode), bandStepCode, uhf);
}

std::uint16_t EncodeReceive(double receiveMHz, int altFlag, int bandStepCode, bool uhf, double firstIfMHz,
                            int localOffset) {
    if (receiveMHz == 0.0) return 0;
    const double oscillator = localOffset == 0 ? receiveMHz - firstIfMHz : receiveMHz + firstIfMHz;
    return EncodeFrequency(oscillator, altFlag, bandStepCode, uhf);
}

int SnapFrequency(double& mhz, int bandStepCode) {
    const BandStep& b = BandStepInfo(bandStepCode);
    if (mhz < b.lowerMHz || std::isnan(mhz)) mhz = b.lowerMHz;
    if (mhz > b.upperMHz) mhz = b.upperMHz;
    if (mhz == 0.0) return 0;
    const long long hz = MHzToHz(mhz);
    const long long alt = b.snapAltHz;
    const long long main = b.mainStepHz;
    if (hz % alt == 0) {
        mhz = HzToMHz(hz);
        return 1;
    }
    if (hz % main == 0) {
        mhz = HzToMHz(hz);
        return 0;
    }
    const long long a = alt * (hz / alt + 1);
    const long long m = main * (hz / main + 1);
    if (m - hz > a - hz) {
        mhz = HzToMHz(a);
        return 1;
    }
    mhz = HzToMHz(m);
    return 0;
}

int SnapStorable(double& mhz, int bandStepCode, bool uhf, double oscillatorOffsetMHz) {
    const int flag = SnapFrequency(mhz, bandStepCode);
    if (mhz == 0.0) return flag;
    const BandStep& b = BandStepInfo(bandStepCode);
    const auto fits = [&](long long hz, int altFlag) {
        const long long stored = EntryHz(HzToMHz(hz) + oscillatorOffsetMHz);
        const long long count = stored / StepHz(altFlag, bandStepCode);
        return StepCount(StoredValue(count, bandStepCode, uhf), bandStepCode, uhf) == count;
    };
    const long long hz = MHzToHz(mhz);
    if (fits(hz, flag)) return flag;

    // The counts that do not fit lie in runs of at most 0x100 (or beyond the band's edge), so the
    // nearest fitting one on each grid is within that distance when there is one.
    const long long lowest = MHzToHz(b.lowerMHz);
    const long long highest = MHzToHz(b.upperMHz);
    long long best = -1;
    int bestFlag = flag;
    for (int altFlag : {0, 1}) {
        const long long grid = altFlag ? b.snapAltHz : b.mainStepHz;
        const long long k = hz / grid;
        for (long long d = 0; d <= 0x180; ++d) {
            for (const long long c : {k - d, k + 1 + d}) {
                const long long at = c * grid;
                if (at < lowest || at > highest || !fits(at, altFlag)) continue;
                const long long distance = at > hz ? at - hz : hz - at;
                if (best < 0 || distance < (best > hz ? best - hz : hz - best)) {
                    best = at;
                    bestFlag = altFlag;
                }
            }
        }
    }
    if (best < 0) return flag;  // nothing in the band fits: the value is stored saturated, as before
    mhz = HzToMHz(best);
    return bestFlag;
}

std::string FormatFixed(double value, int width, int precision) {
    char buf[400];
    std::string s;
    const auto r = ToCharsFixed(buf, buf + sizeof buf, value, precision);
    if (r.ec == std::errc()) s.assign(buf, r.ptr);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
    return s;
}

std::string FormatFrequency(double mhz) { return FormatFixed(mhz, 9, 5); }

}  // namespace rt62
