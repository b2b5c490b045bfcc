// The field catalogue: readers and writers of every field over the existing accessors and sections.
#include "core/image/catalogue.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

#include "core/image/cells.h"
#include "core/image/document.h"
#include "core/image/fields.h"
#include "core/image/frequency.h"
#include "core/image/layout.h"
#include "core/image/text_rules.h"
#include "core/image/text_strings.h"
#include "core/image/tones.h"
#include "core/image/twotone.h"
#include "core/image/std_compat.h"

namespace rt62 {

using namespace layout;

namespace {

using Texts = std::vector<std::string>;
using Reader = std::function<std::string(const ImageModel&)>;
using Writer = std::function<FieldWriteResult(ImageModel&, std::string_view)>;

constexpr std::uint16_t kTrailerOffset = static_cast<std::uint16_t>(kImageSize);

// ---- texts ----

// A list text as it appears in the YAML: the list's padding blanks dropped, inner runs made single.
std::string Tidy(std::string_view s) {
    std::string out;
    for (char c : Trim(s)) {
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out += c;
    }
    return out;
}

std::string Join(const Texts& texts) {
    std::string out;
    for (const std::string& t : texts) {
        if (!out.empty()) out += ", ";
        out += t;
    }
    return out;
}

// Whether ComparableText(text) == wanted, without building it (the lists are compared often).
bool ReadsAs(std::string_view text, std::string_view wanted) {
    text = Trim(text);
    std::size_t w = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ' && i > 0 && text[i - 1] == ' ') continue;
        if (w >= wanted.size() ||
            static_cast<char>(std::tolower(static_cast<unsigned char>(text[i]))) != wanted[w])
            return false;
        ++w;
    }
    return w == wanted.size();
}

std::optional<int> ReadBoolean(std::string_view text);

// The list entry a text names. A tool that loaded a YAML text may hand a value back retyped: a number
// spelled its way ("05" or "5.0" for "5") or an unquoted Off/On as false/true.
int FindText(const Texts& texts, std::string_view text) {
    const std::string wanted = ComparableText(text);
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (ReadsAs(texts[i], wanted)) return static_cast<int>(i);
    if (const auto number = StrictDecimal(text)) {
        for (std::size_t i = 0; i < texts.size(); ++i)
            if (StrictDecimal(texts[i]) == number) return static_cast<int>(i);
    } else if (const auto on = ReadBoolean(text)) {
        for (std::size_t i = 0; i < texts.size(); ++i)
            if (ReadsAs(texts[i], *on ? "on" : "off")) return static_cast<int>(i);
    }
    return -1;
}

Texts Numbered(int first, int last, const char* format) {
    Texts out;
    char buf[32];
    for (int v = first; v <= last; ++v) {
        std::snprintf(buf, sizeof buf, format, v);
        out.push_back(buf);
    }
    return out;
}

// "0   msecs", "20  msecs", ...: the number left-aligned in three places.
Texts Steps(int count, int step, const char* unit) {
    Texts out;
    char buf[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(buf, sizeof buf, "%-3d%s", i * step, unit);
        out.push_back(buf);
    }
    return out;
}

Texts WithUnit(std::initializer_list<const char*> numbers, const char* unit) {
    Texts out;
    for (const char* n : numbers)
        out.push_back(std::string(n) + unit);
    return out;
}

// Left-aligned in a field of width characters, as the dialogs pad their list texts.
Texts Padded(Texts texts, std::size_t width) {
    for (std::string& t : texts)
        if (t.size() < width) t.resize(width, ' ');
    return texts;
}

// The dialogs' list texts as the dialogs show them; the text forms write them tidied.
const Texts kDisabledEnabled{"Disabled", "Enabled "};
const Texts kBands{"VHF", "UHF"};
const Texts kProductTypes{"KT-905"};
const Texts kLocalOffsets{"Lower", "Upper"};
const Texts kPolarities{"Normal", "Inverted"};
const Texts kReceiveSaveOff{"100 msecs", "200 msecs", "300 msecs", "400 msecs"};
const Texts kCtcssRelease{"500 msecs", "1.5 secs"};
const Texts kOptionDevices = Padded({"None", "ZNE-48", "Encryption Hilevel", "ANI", "KT-Trunk"}, 18);
const Texts kResume1 = WithUnit({"0.25", "0.5", "1", "2", "3", "4", "5", "10"}, " Secs");
const Texts kResume2 = WithUnit({"2", "3", "4", "5", "10", "15", "20", "30"}, " Secs");
const Texts kDualWatchTimerTexts = WithUnit({"0.7", "1.5"}, " Secs");
const Texts kRevertChannelTexts{"PRI Channel      ", "Channel Position  ", "Last Busy Channel"};
const Texts kScanSpeedTexts{"20CH/sec", "15CH/sec"};
const Texts kPenaltyTimerTexts = WithUnit({"0 ", "6 ", "20", "60"}, " Secs");
const Texts kReleaseTimerTexts = WithUnit({"0", "2", "3", "5"}, " Secs");
const Texts kReceiveSaveModeTexts{"ABS", "1:1", "1:1.5", "1:2", "1:2.5", "1:3", "1:3.5", "1:4"};
const Texts kKeyFunctions = Padded({"None", "Monitor", "Squelch Off", "Low Power", "Scan", "Follow-Me Scan",
                                    "Dual Watch", "Follow-Me DW", "Talkaround", "Call/Reset", "Speed Dial",
                                    "TX SAVE Off", "ACC 1", "ACC 2/Encry Off"},
                                   14);
constexpr int kFollowMeDw = 7; // never offered by the Key Function dialog
const Texts kCallTimesTexts = Padded({"Off", "1 time", "3 times", "5 times"}, 7);
const Texts kSquelchTail{"Disabled", "No Tone ", "Rev. Burst "};
const Texts kExternalJackTexts = Padded({"AQ-31", "Speaker MIC"}, 11);
const Texts kAutoReset = Padded({"off", "2 secs", "3 secs", "4 secs", "5 secs", "6 secs", "7 secs", "8 secs",
                                 "9 secs", "10 secs", "15 secs", "20 secs", "25 secs", "30 secs", "40 secs",
                                 "50 secs", "60 secs"},
                                7);
const Texts kAniTransmitTexts{"PTT Pressed", "PTT Released"};
const Texts kDtmfDelayTexts{"50   msec", "100 msec", "300 msec", "500 msec"};
const Texts kDtmfSpeedTexts{"25 msec", "33 msec", "50 msec", "66 msec"};
const Texts kPagingDtmfSpeedTexts{"50  msec", "100 msec"};
const Texts kOffOn{"Off", "On"};
const Texts kPageDecode{"Off", "DEC"};
const Texts kGroupCall{"Off", "1st Tone", "2nd Tone"};
const Texts kPagePairs = Numbered(1, 6, "Pair#%d");
const Texts kToneFormats{"Standard", "Custom"};
const Texts kComplement{"Disable", "Enable"};
const Texts kDutyTexts{"Off-Duty", "On-Duty"};
const Texts kTransmitTimerTexts = [] {
    Texts t{"0.5 Mins"};
    for (const std::string& m : Numbered(1, 7, "%-3d Mins"))
        t.push_back(m);
    return t;
}();
const Texts kChannelPositions = [] {
    Texts t{"Disabled"};
    for (const std::string& n : Padded(Numbered(1, kChannelCount, "Ch%d"), 8))
        t.push_back(n);
    return t;
}();
const Texts kChannelTypes = Numbered(1, 16, "Type-%d");
const Texts kSqlRelease = Steps(31, 20, " msecs");
const Texts kSqlAttack = Steps(8, 10, " msecs");
const Texts kHysteresis = Numbered(0, 15, "%-2d");
const Texts kBooleans{"false", "true"};

Texts StepTexts(bool uhf) {
    Texts t;
    for (int code = uhf ? 2 : 0; code < (uhf ? 4 : 2); ++code)
        t.emplace_back(Trim(BandStepInfo(code).stepText));
    return t;
}

std::string ListRead(const Texts& texts, int value) {
    return value >= 0 && static_cast<std::size_t>(value) < texts.size()
               ? texts[static_cast<std::size_t>(value)]
               : std::string("???");
}

FieldRefusal NotInList(const Texts& texts) {
    return {kStrNotInList, {Join(texts)}};
}

// ---- numbers ----

// Whole hertz as MHz with as many decimals as it needs (at least minDecimals).
std::string ExactMHz(long long hz, int minDecimals) {
    const bool negative = hz < 0;
    const long long a = negative ? -hz : hz;
    char frac[8];
    std::snprintf(frac, sizeof frac, "%06lld", a % 1000000);
    std::string f = frac;
    while (static_cast<int>(f.size()) > minDecimals && f.back() == '0')
        f.pop_back();
    char whole[32];
    std::snprintf(whole, sizeof whole, "%s%lld", negative ? "-" : "", a / 1000000);
    std::string out = whole;
    if (!f.empty()) out.append(".").append(f);
    return out;
}

std::string FrequencyText(double mhz) {
    const std::string text = FormatFrequency(mhz);
    return std::string(Trim(text));
}

// A frequency the grid would take for this band: a number within the band's limits.
FieldWriteResult CheckFrequency(const ImageModel& m, std::string_view text) {
    const auto mhz = StrictDecimal(text);
    if (!mhz) return FieldRefusal{kStrNotFrequency, {}};
    const BandStep& b = BandStepInfo(m.hardware.bandStepCode);
    if (*mhz < b.lowerMHz || *mhz > b.upperMHz)
        return FieldRefusal{kStrOutsideBand,
                            {FrequencyText(b.lowerMHz), FrequencyText(b.upperMHz), std::string(b.bandText)}};
    return std::nullopt;
}

std::string SplitText(double split) {
    char buf[64];
    const auto r = ToCharsShortest(buf, buf + sizeof buf, split);
    std::string s(buf, r.ptr);
    if (s.find_first_of(".en") == std::string::npos) s += ".0";
    return s;
}

// ---- owned bits ----

std::uint8_t MaskOf(int hi, int lo) {
    return static_cast<std::uint8_t>(((1u << (hi - lo + 1)) - 1u) << lo);
}
OwnedBits Bits(const ImageField& f) {
    return {f.offset, MaskOf(f.hi, f.lo)};
}
OwnedBits Byte(std::size_t offset) {
    return {static_cast<std::uint16_t>(offset), 0xFF};
}
std::size_t RecordStart(int n) {
    return kFirstRecord + kRecordSize * static_cast<std::size_t>(n);
}
OwnedBits RecBits(int n, const RecordField& f) {
    return {static_cast<std::uint16_t>(RecordStart(n) + f.offset), MaskOf(f.hi, f.lo)};
}

// The bits a per-channel image writer changes, found by letting it write into a blank image.
std::vector<OwnedBits> ProbeBits(const std::function<void(RadioImage&)>& write) {
    RadioImage image{};
    write(image);
    std::vector<OwnedBits> out;
    for (std::size_t i = 0; i < image.size(); ++i)
        if (image[i] != 0) out.push_back({static_cast<std::uint16_t>(i), image[i]});
    return out;
}

// ---- field builders ----

CatalogueField Field(std::string group, std::string key, std::vector<OwnedBits> owned, Reader read,
                     Writer write, Texts choices = {}) {
    CatalogueField f;
    f.group = std::move(group);
    f.key = std::move(key);
    f.owned = std::move(owned);
    f.read = std::move(read);
    f.write = std::move(write);
    f.shown = choices;
    f.choices = std::move(choices);
    return f;
}

// A list field over an integer read and store of the model.
CatalogueField ListField(std::string group, std::string key, std::vector<OwnedBits> owned, Texts texts,
                         std::function<int(const ImageModel&)> get,
                         std::function<void(ImageModel&, int)> set) {
    const Texts shown = texts;
    for (std::string& t : texts)
        t = Tidy(t);
    Reader read = [texts, get](const ImageModel& m) { return ListRead(texts, get(m)); };
    Writer write = [texts, set](ImageModel& m, std::string_view text) -> FieldWriteResult {
        const int i = FindText(texts, text);
        if (i < 0) return NotInList(texts);
        set(m, i);
        return std::nullopt;
    };
    CatalogueField f = Field(std::move(group), std::move(key), std::move(owned), read, write, texts);
    f.shown = shown;
    return f;
}

// A list field stored straight in the image (the transient sections decode it from there).
CatalogueField ImageList(std::string group, std::string key, const ImageField& bits, Texts texts) {
    return ListField(
        std::move(group), std::move(key), {Bits(bits)}, std::move(texts),
        [bits](const ImageModel& m) { return bits.Read(m.image); },
        [bits](ImageModel& m, int v) { bits.Write(m.image, v); });
}

// A list field of the long-lived hardware section.
CatalogueField HardwareList(std::string key, std::vector<OwnedBits> owned, Texts texts,
                            int HardwareSection::*member) {
    return ListField(
        "hardware", std::move(key), std::move(owned), std::move(texts),
        [member](const ImageModel& m) { return m.hardware.*member; },
        [member](ImageModel& m, int v) { m.hardware.*member = v; });
}

// A transient section's field: decoded from the image, changed, encoded back, as its dialog does.
template <class Section>
CatalogueField SectionList(std::string group, std::string key, std::vector<OwnedBits> owned, Texts texts,
                           int Section::*member) {
    return ListField(
        std::move(group), std::move(key), std::move(owned), std::move(texts),
        [member](const ImageModel& m) {
            Section s;
            s.Decode(m.image);
            return s.*member;
        },
        [member](ImageModel& m, int v) {
            Section s;
            s.Decode(m.image);
            s.*member = v;
            s.Encode(m.image);
        });
}

// Every spelling of a boolean that YAML 1.1 or 1.2 knows, in any case.
std::optional<int> ReadBoolean(std::string_view text) {
    const std::string t = ComparableText(text);
    if (t == "true" || t == "yes" || t == "on" || t == "y") return 1;
    if (t == "false" || t == "no" || t == "off" || t == "n") return 0;
    return std::nullopt;
}

// Forgets which reference counts the hardware section decoded, so its counts follow the MHz value.
void RecomputeHardwareCounts(HardwareSection& hw) {
    HardwareSection fresh;
    fresh.refXtalMHz = hw.refXtalMHz;
    fresh.firstIfMHz = hw.firstIfMHz;
    fresh.productType = hw.productType;
    fresh.uhf = hw.uhf;
    fresh.bandStepCode = hw.bandStepCode;
    fresh.localOffset = hw.localOffset;
    fresh.sqlReleaseTime = hw.sqlReleaseTime;
    fresh.sqlAttackTime = hw.sqlAttackTime;
    fresh.sqlHysteresis = hw.sqlHysteresis;
    fresh.ctcssReleaseTime = hw.ctcssReleaseTime;
    fresh.dcsRxData = hw.dcsRxData;
    fresh.dcsTxData = hw.dcsTxData;
    fresh.receiveSaveOffTime = hw.receiveSaveOffTime;
    hw = fresh;
}

// Text that may hold only keypad characters (0-9, A-D, *, #), upper-cased.
std::optional<std::string> KeypadText(std::string_view text) {
    const std::string_view t = Trim(text);
    if (!FilterAcceptsAll(kFilterDtmf, t)) return std::nullopt;
    std::string out;
    for (char c : t)
        out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// ---- the groups ----

void AddRadio(std::vector<CatalogueField>& out) {
    out.push_back(ListField(
        "radio", "band", {Bits(ImageField{0xE2, 7, 7})}, kBands,
        [](const ImageModel& m) { return m.hardware.uhf; },
        [](ImageModel& m, int uhf) {
            // A band change resets the hardware values and the channels, as the Hardware dialog does.
            if (uhf == m.hardware.uhf) return;
            m.hardware.SetBand(uhf != 0, m.defaultSplit);
            m.channels.ResetForBand(uhf != 0);
        }));
    out.push_back(ListField(
        "radio", "product_type", {}, kProductTypes, [](const ImageModel&) { return 0; },
        [](ImageModel&, int) {}));
    out.push_back(Field(
        "radio", "firmware_version", {Byte(kFirmwareHigh), Byte(kFirmwareLow)},
        [](const ImageModel& m) { return FormatFirmwareVersion(ReadFirmwareVersion(m.image)); },
        [](ImageModel& m, std::string_view text) -> FieldWriteResult {
            // The radio reports its version; a text form must carry it to rebuild the same file.
            const std::string_view t = Trim(text);
            const std::size_t dot = t.find('.');
            int v = 0;
            bool ok = dot != std::string::npos && dot >= 1 && dot <= 2 && t.size() == dot + 3;
            for (std::size_t i = 0; ok && i < t.size(); ++i) {
                if (i == dot) continue;
                ok = t[i] >= '0' && t[i] <= '9';
                v = v * 10 + (t[i] - '0');
            }
            if (!ok) return FieldRefusal{kStrNotFirmware, {}};
            m.image[kFirmwareHigh] = static_cast<std::uint8_t>((v / 1000) << 4 | (v / 100 % 10));
            m.image[kFirmwareLow] = static_cast<std::uint8_t>((v / 10 % 10) << 4 | (v % 10));
            return std::nullopt;
        }));
}

// The serial number and market application are set in the Marketing dialog but name the radio, so the
// text form lists them with band and firmware.
void AddRadioIdentity(std::vector<CatalogueField>& out) {
    out.push_back(Field(
        "radio", "serial_number",
        {Byte(kSerialNumber), Byte(kSerialNumber + 1), Byte(kSerialNumber + 2), Byte(kSerialNumber + 3)},
        [](const ImageModel& m) { return m.marketing.serialNumber; },
        [](ImageModel& m, std::string_view text) -> FieldWriteResult {
            const std::string_view t = Trim(text);
            if (t.size() > 8) return FieldRefusal{kStrTooLong, {"8"}};
            const std::string serial = PadSerialNumber(t);
            if (!IsValidSerialNumber(serial)) return FieldRefusal{kStrNotSerial, {}};
            m.marketing.serialNumber = serial;
            return std::nullopt;
        }));
    out.push_back(Field(
        "radio", "market_application", {Byte(kMarketApplication), Byte(kMarketApplication + 1)},
        [](const ImageModel& m) { return m.marketing.marketApplication; },
        [](ImageModel& m, std::string_view text) -> FieldWriteResult {
            const std::string_view t = Trim(text);
            if (t.size() > 4) return FieldRefusal{kStrTooLong, {"4"}};
            if (!FilterAcceptsAll(kFilterDigits, t)) return FieldRefusal{kStrBadCharacters, {"0-9"}};
            m.marketing.marketApplication = PadMarketApplication(t); // as the Marketing dialog pads it
            return std::nullopt;
        }));
}

void AddHardware(std::vector<CatalogueField>& out) {
    {
        CatalogueField f = Field(
            "hardware", "channel_step", {Bits(ImageField{0xE2, 6, 6})},
            [](const ImageModel& m) {
                return std::string(Trim(BandStepInfo(m.hardware.bandStepCode).stepText));
            },
            [](ImageModel& m, std::string_view text) -> FieldWriteResult {
                HardwareSection& hw = m.hardware;
                const Texts steps = StepTexts(hw.uhf != 0);
                const int i = FindText(steps, text);
                if (i < 0) return NotInList(steps);
                hw.bandStepCode = i + (hw.uhf ? 2 : 0);
                // A smaller step leaves less room in the reference count, as in the dialog.
                const double limit = HardwareSection::RefXtalLimitMHz(hw.bandStepCode);
                if (hw.refXtalMHz > limit) hw.refXtalMHz = limit;
                return std::nullopt;
            });
        f.choices = {"2.5,6.25kHz", "5,6.25kHz", "10,12.5kHz"};
        out.push_back(std::move(f));
    }
    out.push_back(Field(
        "hardware", "ref_xtal", {{0xE2, 0x3F}, Byte(0xE3), {0xE4, 0x7F}, Byte(0xE5)},
        [](const ImageModel& m) { return ExactMHz(MHzToHz(m.hardware.refXtalMHz), 2); },
        [](ImageModel& m, std::string_view text) -> FieldWriteResult {
            const auto mhz = StrictDecimal(text);
            if (!mhz) return FieldRefusal{kStrNotNumber, {}};
            const int limit = HardwareSection::RefXtalLimitMHz(m.hardware.bandStepCode);
            if (*mhz < 0 || *mhz > limit)
                return FieldRefusal{kStrOutsideRange, {"0", std::to_string(limit) + " MHz"}};
            m.hardware.refXtalMHz = *mhz;
            RecomputeHardwareCounts(m.hardware);
            return std::nullopt;
        }));
    out.push_back(Field(
        "hardware", "1st_if", {Byte(kFirstIfKhz), Byte(kFirstIfKhz + 1)},
        [](const ImageModel& m) { return ExactMHz(MHzToHz(m.hardware.firstIfMHz) / 1000 * 1000, 3); },
        [](ImageModel& m, std::string_view text) -> FieldWriteResult {
            const auto mhz = StrictDecimal(text);
            if (!mhz) return FieldRefusal{kStrNotNumber, {}};
            if (*mhz < 0 || *mhz > HardwareSection::kFirstIfLimitMHz)
                return FieldRefusal{kStrOutsideRange, {"0", "65.53 MHz"}};
            m.hardware.firstIfMHz = *mhz;
            return std::nullopt;
        }));
    out.push_back(
        HardwareList("local_offset", {Bits(kLocalOffset)}, kLocalOffsets, &HardwareSection::localOffset));
    out.push_back(HardwareList("dcs_rx_data", {Bits(kDcsRxData)}, kPolarities, &HardwareSection::dcsRxData));
    out.push_back(HardwareList("dcs_tx_data", {Bits(kDcsTxData)}, kPolarities, &HardwareSection::dcsTxData));
    out.push_back(HardwareList("sql_release_time", {Bits(kSqlReleaseTime)}, kSqlRelease,
                               &HardwareSection::sqlReleaseTime));
    out.push_back(
        HardwareList("sql_attack_time", {Bits(kSqlAttackTime)}, kSqlAttack, &HardwareSection::sqlAttackTime));
    out.push_back(
        HardwareList("sql_hysterisis", {Bits(kSqlHysteresis)}, kHysteresis, &HardwareSection::sqlHysteresis));
    out.push_back(HardwareList("receive_save_off_time", {Bits(kReceiveSaveOffTime)}, kReceiveSaveOff,
                               &HardwareSection::receiveSaveOffTime));
    out.push_back(HardwareList("ctcss_release_time", {Bits(kCtcssReleaseTime)}, kCtcssRelease,
                               &HardwareSection::ctcssReleaseTime));
}

void AddDefaultSplit(std::vector<CatalogueField>& out) {
    std::vector<OwnedBits> owned;
    for (std::size_t i = 0; i < kTrailerSize; ++i)
        owned.push_back(Byte(kTrailerOffset + i));
    out.push_back(Field(
        // A file's split outside -99.9..99.9, or no number, shows clamped as on opening; its bytes travel
        // as raw bits.
        "", "default_split", owned,
        [](const ImageModel& m) { return SplitText(SanitizeDefaultSplit(m.defaultSplit)); },
        [](ImageModel& m, std::string_view text) -> FieldWriteResult {
            const auto mhz = StrictDecimal(text);
            if (!mhz) return FieldRefusal{kStrNotNumber, {}};
            if (*mhz < -99.9 || *mhz > 99.9) return FieldRefusal{kStrOutsideRange, {"-99.9", "99.9 MHz"}};
            m.defaultSplit = *mhz;
            return std::nullopt;
        }));
}

void AddOption(std::vector<CatalogueField>& out) {
    out.push_back(ListField(
        "option", "option_device", {{kOptionByte, 0xE3}}, kOptionDevices,
        [](const ImageModel& m) { return OptionDevicePosition(ReadOptionCode(m.image)); },
        [](ImageModel& m, int position) {
            OptionSection option;
            option.Decode(m.image);
            if (position != option.DevicePosition()) {
                // What the Option Parameter dialog does to the channels when the board changes.
                option.SetDevicePosition(position);
                for (int n = 0; n < kChannelCount; ++n) {
                    m.channels.ApplyOptionChange(n, option.ktTrunk, option.boardPaging,
                                                 option.boardEncryption);
                    if (option.ani) m.channels.at(n).ani = 0;
                }
                if (!option.ktTrunk) kKtTrunkPositionEnable.Write(m.image, 0);
            }
            // The bits always follow the list position, so the result does not depend on what was there.
            option.SetDevicePosition(position);
            option.Encode(m.image);
        }));
}

void AddScanning(std::vector<CatalogueField>& out) {
    const auto nibble = [](std::size_t at, bool high) {
        return OwnedBits{static_cast<std::uint16_t>(at), std::uint8_t(high ? 0xF0 : 0x0F)};
    };
    out.push_back(SectionList<ScanSection>("scanning", "dial_scan_position",
                                           {Bits(kDialScanPositionEnable), nibble(0x0F, false)},
                                           kChannelPositions, &ScanSection::dialScanPosition));
    out.push_back(SectionList<ScanSection>("scanning", "priority_channel",
                                           {Bits(kPriorityChannelEnable), Bits(kPriorityChannelNibble)},
                                           kChannelPositions, &ScanSection::priorityChannel));
    out.push_back(SectionList<ScanSection>("scanning", "kt_trunk_position",
                                           {Bits(kKtTrunkPositionEnable), Bits(kKtTrunkPositionNibble)},
                                           kChannelPositions, &ScanSection::ktTrunkPosition));
    out.push_back(ImageList("scanning", "scan_resume_time_1", kScanResumeTime1, kResume1));
    out.push_back(ImageList("scanning", "scan_resume_time_2", kScanResumeTime2, kResume2));
    out.push_back(ImageList("scanning", "dual_watch", kDualWatch, kDisabledEnabled));
    out.push_back(ImageList("scanning", "dual_watch_timer", kDualWatchTimer, kDualWatchTimerTexts));
    out.push_back(ImageList("scanning", "talk_back", kTalkBack, kDisabledEnabled));
    out.push_back(ImageList("scanning", "revert_channel", kRevertChannel, kRevertChannelTexts));
    out.push_back(ImageList("scanning", "scan_speed", kScanSpeed, kScanSpeedTexts));
}

void AddPowerSavingAndKeys(std::vector<CatalogueField>& out) {
    out.push_back(ImageList("power_saving", "transmit_timer", kTransmitTimer, kTransmitTimerTexts));
    out.push_back(ImageList("power_saving", "penalty_timer", kPenaltyTimer, kPenaltyTimerTexts));
    out.push_back(ImageList("power_saving", "release_timer", kReleaseTimer, kReleaseTimerTexts));
    out.push_back(ImageList("power_saving", "receive_save_mode", kReceiveSaveMode, kReceiveSaveModeTexts));

    // The Key Function dialog never offers "Follow-Me DW" and keeps one function off both keys.
    Texts functions = kKeyFunctions;
    for (std::string& t : functions)
        t = Tidy(t);
    const auto keyField = [functions](std::string key, const ImageField& bits, const ImageField* other,
                                      std::string otherPath) {
        CatalogueField f = Field(
            "keys", std::move(key), {Bits(bits)},
            [functions, bits](const ImageModel& m) { return ListRead(functions, bits.Read(m.image)); },
            [functions, bits, other, otherPath](ImageModel& m, std::string_view text) -> FieldWriteResult {
                Texts offered = functions;
                offered.erase(offered.begin() + kFollowMeDw);
                const int code = FindText(functions, text);
                if (code < 0 || code == kFollowMeDw) return NotInList(offered);
                if (other && code != 0 && other->Read(m.image) == code)
                    return FieldRefusal{kStrKeyTaken, {otherPath}};
                bits.Write(m.image, code);
                return std::nullopt;
            },
            functions);
        f.shown = kKeyFunctions;
        return f;
    };
    out.push_back(keyField("acc_key_press", kAccKeyPress, nullptr, {}));
    out.push_back(keyField("acc_key_press_and_hold", kAccKeyHold, &kAccKeyPress, "keys.acc_key_press"));
}

void AddMiscellaneous(std::vector<CatalogueField>& out) {
    out.push_back(ImageList("miscellaneous", "beep", kBeep, kDisabledEnabled));
    out.push_back(ImageList("miscellaneous", "call_times", kCallTimes, kCallTimesTexts));
    // Values 2 and 3 both read "Rev. Burst"; choosing it stores 3, as the dialog does.
    out.push_back(ListField(
        "miscellaneous", "squelch_tail_elim", {Bits(kSquelchTailElim)}, kSquelchTail,
        [](const ImageModel& m) { return std::min(kSquelchTailElim.Read(m.image), 2); },
        [](ImageModel& m, int i) { kSquelchTailElim.Write(m.image, i == 2 ? 3 : i); }));
    out.push_back(ImageList("miscellaneous", "bell", kBell, kDisabledEnabled));
    out.push_back(ImageList("miscellaneous", "lamp_mode", kLampMode, kDisabledEnabled));
    out.push_back(ImageList("miscellaneous", "set_to_set_clone", kSetToSetClone, kDisabledEnabled));
    out.push_back(ImageList("miscellaneous", "external_jack", kExternalJack, kExternalJackTexts));
    out.push_back(SectionList<CommonSection>("miscellaneous", "auto_reset_time",
                                             {Bits(kAutoResetNibble), Bits(kAutoResetEnable)}, kAutoReset,
                                             &CommonSection::autoResetTime));
}

void AddAni(std::vector<CatalogueField>& out) {
    out.push_back(ImageList("ani", "ani_transmit", kAniTransmit, kAniTransmitTexts));
    out.push_back(ImageList("ani", "dtmf_delay", kDtmfDelay, kDtmfDelayTexts));
    out.push_back(ImageList("ani", "dtmf_speed", kDtmfSpeed, kDtmfSpeedTexts));
    std::vector<OwnedBits> owned;
    for (std::size_t i = kDtmfCodeFirst; i < kDtmfCodeMore + 7; ++i)
        owned.push_back(Byte(i));
    out.push_back(Field(
        "ani", "dtmf_code", owned, [](const ImageModel& m) { return ReadDtmfCode(m.image); },
        [](ImageModel& m, std::string_view text) -> FieldWriteResult {
            const auto code = KeypadText(text);
            if (!code) return FieldRefusal{kStrBadCharacters, {"0-9, A-D, * and #"}};
            if (code->size() > static_cast<std::size_t>(kDtmfCodeMaxLength))
                return FieldRefusal{kStrTooLong, {"15"}};
            WriteDtmfCode(m.image, *code);
            return std::nullopt;
        }));
}

void AddPaging(std::vector<CatalogueField>& out) {
    out.push_back(ImageList("paging", "dtmf_speed", kPagingDtmfSpeed, kPagingDtmfSpeedTexts));
    out.push_back(ImageList("paging", "answer_back", kAnswerBack, kOffOn));
    for (int k = 1; k <= kPageCodeCount; ++k) {
        const std::size_t at = kPageCodes + 2 * static_cast<std::size_t>(k - 1);
        const std::string key = "page_" + std::to_string(k);
        out.push_back(Field(
            "paging", key, {{static_cast<std::uint16_t>(at), 0x0F}, Byte(at + 1)},
            [k](const ImageModel& m) { return ReadPageCode(m.image, k).code; },
            [k](ImageModel& m, std::string_view text) -> FieldWriteResult {
                auto code = KeypadText(text);
                if (!code) return FieldRefusal{kStrBadCharacters, {"0-9, A-D, * and #"}};
                if (code->size() > 3) return FieldRefusal{kStrTooLong, {"3"}};
                PageCode page = ReadPageCode(m.image, k);
                // The Paging Code dialog: "12" is the code "120"; an emptied code leaves every channel.
                if (!code->empty()) code->resize(3, '0');
                if (code->empty() && !page.code.empty()) m.channels.ClearPageReferences(k, m.image);
                page.code = *code;
                WritePageCode(m.image, k, page);
                return std::nullopt;
            }));
        out.push_back(Field(
            "paging", key + "_decode", {{static_cast<std::uint16_t>(at), 0x20}},
            [k](const ImageModel& m) {
                return kPageDecode[static_cast<std::size_t>(ReadPageCode(m.image, k).selector)];
            },
            [k](ImageModel& m, std::string_view text) -> FieldWriteResult {
                const int i = FindText(kPageDecode, text);
                if (i < 0) return NotInList(kPageDecode);
                PageCode page = ReadPageCode(m.image, k);
                if (page.code.empty() && i == 1) return FieldRefusal{kStrDecNeedsCode, {}};
                page.selector = i;
                WritePageCode(m.image, k, page);
                return std::nullopt;
            },
            kPageDecode));
    }
}

// ---- two-tone pairs ----

// A tone's text in a list, made unique with "#index" where the list holds it more than once.
std::string ToneInList(const std::vector<std::string>& list, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= list.size() ||
        list[static_cast<std::size_t>(index)].empty())
        return "???";
    const std::string& t = list[static_cast<std::size_t>(index)];
    if (std::count(list.begin(), list.end(), t) > 1) return t + " #" + std::to_string(index);
    return t;
}

int FindTone(const std::vector<std::string>& list, std::string_view text) {
    std::string t = Tidy(text);
    const std::size_t hash = t.find(" #");
    if (hash != std::string::npos) {
        int index = -1;
        const char* p = t.c_str() + hash + 2;
        const auto r = std::from_chars(p, t.c_str() + t.size(), index);
        if (r.ec != std::errc() || *r.ptr != '\0') return -1;
        if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return -1;
        return list[static_cast<std::size_t>(index)] == t.substr(0, hash) ? index : -1;
    }
    for (std::size_t i = 0; i < list.size(); ++i)
        if (!list[i].empty() && list[i] == t) return static_cast<int>(i);
    return -1;
}

// The tones a pair may take: by index within a standard group, or by code in the Custom format.
std::vector<std::string> MakeGroupTones(int group) {
    std::vector<std::string> out;
    if (group == kCustomGroup) {
        for (int code = 0; code < kTwoToneToneCount; ++code)
            out.push_back(TwoToneCodeHasText(code) ? Tidy(TwoToneCodeText(code)) : std::string());
        return out;
    }
    const TwoToneGroup& g = TwoToneGroupInfo(group);
    for (int i = 0; i < g.offered; ++i)
        out.push_back(Tidy(TwoToneIndexText(group, i)));
    return out;
}

// The lists are fixed; every pair read and write asks for one, so they are made once.
const std::vector<std::string>& GroupTones(int group) {
    static const std::array<std::vector<std::string>, kCustomGroup + 1> lists = [] {
        std::array<std::vector<std::string>, kCustomGroup + 1> out;
        for (int g = 1; g <= kTwoToneGroupCount; ++g)
            out[static_cast<std::size_t>(g)] = MakeGroupTones(g);
        out[kCustomGroup] = MakeGroupTones(kCustomGroup);
        return out;
    }();
    static const std::vector<std::string> none;
    return group >= 1 && group <= kCustomGroup ? lists[static_cast<std::size_t>(group)] : none;
}

void AddTwoTone(std::vector<CatalogueField>& out) {
    out.push_back(ImageList("two_tone", "primary_group_call", kPrimaryGroupCall, kGroupCall));
    out.push_back(ImageList("two_tone", "secondary_group_call", kSecondaryGroupCall, kGroupCall));
    out.push_back(ImageList("two_tone", "sencondary_page_pair", kSecondaryPagePair, kPagePairs));
    out.push_back(ListField(
        "two_tone", "tone_format", {}, kToneFormats,
        [](const ImageModel& m) { return static_cast<int>(m.twoToneFormat); },
        [](ImageModel& m, int i) {
            const auto format = static_cast<TwoToneFormat>(i);
            if (format == m.twoToneFormat) return;
            // Pairs of one format mean nothing in the other: the 2-Tone dialog switches all six off.
            m.twoToneFormat = format;
            EncodePairs(m.image, PairEntries{}, format);
        }));
    out.push_back(ImageList("two_tone", "ctcss_dcs_complement", kCtcssDcsComplement, kComplement));
    out.push_back(ImageList("two_tone", "duty", kDuty, kDutyTexts));
    for (int k = 1; k <= kTwoTonePairCount; ++k) {
        const std::size_t at = kTwoTonePairs + 2 * static_cast<std::size_t>(k - 1);
        out.push_back(Field(
            "two_tone", "pair_" + std::to_string(k), {Byte(at), Byte(at + 1)},
            [k](const ImageModel& m) -> std::string {
                TwoToneFormat format = m.twoToneFormat;
                const PairEntry p = DecodePairs(m.image, format)[static_cast<std::size_t>(k - 1)];
                if (p.group == 0) return "OFF";
                const std::vector<std::string>& tones = GroupTones(p.group);
                return Tidy(TwoToneGroupText(p.group)) + ", " + ToneInList(tones, p.first) + ", " +
                       ToneInList(tones, p.second);
            },
            [k](ImageModel& m, std::string_view text) -> FieldWriteResult {
                // "OFF", or "GROUP, 1st, 2nd" with the group's tone texts.
                std::vector<std::string> parts;
                std::string rest(text);
                for (std::size_t cut; (cut = rest.find(',')) != std::string::npos; rest.erase(0, cut + 1))
                    parts.push_back(Tidy(rest.substr(0, cut)));
                parts.push_back(Tidy(rest));
                const bool custom = m.twoToneFormat == TwoToneFormat::Custom;
                PairBytes bytes;
                if (parts.size() == 1 && ReadBoolean(parts[0]) == 0) {
                    // No channel may keep calling a pair that is off.
                    TwoToneFormat format = m.twoToneFormat;
                    if (DecodePairs(m.image, format)[static_cast<std::size_t>(k - 1)].group != 0)
                        m.channels.ClearPairReferences(k, m.image);
                } else {
                    if (parts.size() != 3) return FieldRefusal{kStrNotPair, {}};
                    Texts groups;
                    if (custom) {
                        groups.push_back(Tidy(TwoToneGroupText(kCustomGroup)));
                    } else {
                        for (int g = 1; g <= kTwoToneGroupCount; ++g)
                            groups.push_back(Tidy(TwoToneGroupText(g)));
                    }
                    const int gi = FindText(groups, parts[0]);
                    if (gi < 0) return NotInList(groups);
                    const int group = custom ? kCustomGroup : gi + 1;
                    const std::vector<std::string>& tones = GroupTones(group);
                    const int first = FindTone(tones, parts[1]);
                    const int second = FindTone(tones, parts[2]);
                    if (first < 0 || second < 0)
                        return FieldRefusal{kStrNotGroupTone, {groups[static_cast<std::size_t>(gi)]}};
                    const int base = custom ? 0 : TwoToneGroupInfo(group).base;
                    bytes = {static_cast<std::uint8_t>(base + first),
                             static_cast<std::uint8_t>(base + second)};
                }
                WritePairBytes(m.image, k, bytes);
                return std::nullopt;
            }));
    }
}

// ---- channels ----

std::string Cell(const ImageModel& m, int n, int column) {
    const std::string text = ChannelCellText(m, n, column);
    return std::string(Trim(text));
}

// A "-"/"v" grid mark as false/true.
std::string MarkRead(const ImageModel& m, int n, int column) {
    const std::string c = Cell(m, n, column);
    return c == "v" ? "true" : c == "-" ? "false" : "???";
}

CatalogueField MarkField(int n, std::string key, std::vector<OwnedBits> owned, int column,
                         int ChannelEntry::*member) {
    CatalogueField f = Field(
        "channels", std::move(key), std::move(owned),
        [n, column](const ImageModel& m) { return MarkRead(m, n, column); },
        [n, member](ImageModel& m, std::string_view text) -> FieldWriteResult {
            const auto v = ReadBoolean(text);
            if (!v) return FieldRefusal{kStrNotBoolean, {}};
            m.channels.at(n).*member = *v;
            return std::nullopt;
        },
        kBooleans);
    f.gridColumn = column;
    return f;
}

std::string ToneText(const ImageModel& m, int n, int column) {
    std::string c = ChannelCellText(m, n, column);
    if (c == "-------") return "none";
    c.erase(std::remove(c.begin(), c.end(), ' '), c.end());
    return c;
}

FieldWriteResult WriteTone(ChannelEntry& e, bool dec, std::string_view text) {
    const std::optional<ToneValue> tone = ParseToneText(text, ToneSpelling::Loose);
    if (!tone) return FieldRefusal{kStrNotTone, {}};
    // "none" keeps the positions the Space key would offer again.
    (dec ? e.decKind : e.encKind) = tone->kind;
    if (tone->kind == kToneCtcss) (dec ? e.decCtcss : e.encCtcss) = tone->ctcss;
    if (tone->kind == kToneDcs) (dec ? e.decDcs : e.encDcs) = tone->dcs;
    return std::nullopt;
}

void AddChannel(std::vector<CatalogueField>& out, int n) {
    std::vector<CatalogueField> fields;
    fields.push_back(Field(
        "channels", "receive",
        {RecBits(n, kRxAltStep),
         {static_cast<std::uint16_t>(RecordStart(n) + kRxValue), 0xFF},
         {static_cast<std::uint16_t>(RecordStart(n) + kRxValue + 1), 0xFF}},
        [n](const ImageModel& m) { return Cell(m, n, kColReceive); },
        [n](ImageModel& m, std::string_view text) -> FieldWriteResult {
            if (auto refused = CheckFrequency(m, text)) return refused;
            ChannelEntry& e = m.channels.at(n);
            // A frequency given as it stands keeps its bytes, as a cell nobody edits does: a value that
            // is a multiple of both steps may be kept in either unit.
            if (FrequencyText(ParseDecimal(Trim(text))) == FrequencyText(e.rxFrequency)) {
                e.inUse = 1;
                return std::nullopt;
            }
            // The grid's commit: snapped to a step, and the transmit frequency follows with the split.
            SetFrequencyText(m, n, kColReceive, std::string(Trim(text)));
            return std::nullopt;
        }));
    fields.back().gridColumn = kColReceive;
    fields.push_back(Field(
        "channels", "transmit",
        {RecBits(n, kTxAltStep),
         RecBits(n, kTxInhibit),
         {static_cast<std::uint16_t>(RecordStart(n) + kTxValue), 0xFF},
         {static_cast<std::uint16_t>(RecordStart(n) + kTxValue + 1), 0xFF}},
        [n](const ImageModel& m) -> std::string {
            const ChannelEntry& e = m.channels.at(n);
            if (!e.txInhibit) return FrequencyText(e.txFrequency);
            // An inhibited channel keeps its transmit frequency; it is named when it is not the receive one.
            const std::string hidden = FrequencyText(e.txFrequency);
            return hidden == FrequencyText(e.rxFrequency) ? "inhibit" : "inhibit " + hidden;
        },
        [n](ImageModel& m, std::string_view text) -> FieldWriteResult {
            ChannelEntry& e = m.channels.at(n);
            std::string t(Trim(text));
            const bool inhibit = ComparableText(t.substr(0, std::min<std::size_t>(t.size(), 7))) == "inhibit";
            if (inhibit) t = std::string(Trim(std::string_view(t).substr(7)));
            if (inhibit && t.empty()) {
                e.txInhibit = 1;
                e.txFrequency = e.rxFrequency;
                e.txAltStep = m.hardware.SnapFrequency(e.txFrequency);
                return std::nullopt;
            }
            if (auto refused = CheckFrequency(m, t)) return refused;
            const bool same = FrequencyText(ParseDecimal(t)) == FrequencyText(e.txFrequency);
            e.txInhibit = inhibit ? 1 : 0;
            if (same) return std::nullopt;
            SetFrequencyText(m, n, kColTransmit, t);
            return std::nullopt;
        }));
    fields.back().gridColumn = kColTransmit;
    fields.push_back(Field(
        "channels", "in_use", {RecBits(n, kInUse)},
        [n](const ImageModel& m) { return m.channels.at(n).inUse ? "true" : "false"; },
        [n](ImageModel& m, std::string_view text) -> FieldWriteResult {
            const auto v = ReadBoolean(text);
            if (!v) return FieldRefusal{kStrNotBoolean, {}};
            if (n == 0 && !*v) return FieldRefusal{kStrChannelOneInUse, {}};
            m.channels.at(n).inUse = *v;
            return std::nullopt;
        },
        kBooleans));
    fields.back().gridColumn = kColChannel;
    fields.push_back(Field(
        "channels", "wide", {RecBits(n, kNarrow)},
        [n](const ImageModel& m) { return Cell(m, n, kColWideNarrow) == "W" ? "true" : "false"; },
        [n](ImageModel& m, std::string_view text) -> FieldWriteResult {
            const auto v = ReadBoolean(text);
            if (!v) return FieldRefusal{kStrNotBoolean, {}};
            m.channels.at(n).narrow = *v ? 0 : 1;
            return std::nullopt;
        },
        kBooleans));
    fields.back().gridColumn = kColWideNarrow;
    for (const bool dec : {true, false}) {
        const int column = dec ? kColDec : kColEnc;
        fields.push_back(Field(
            "channels", dec ? "decode" : "encode",
            {{static_cast<std::uint16_t>(RecordStart(n) + (dec ? kDecTone : kEncTone)), 0xFF}},
            [n, column](const ImageModel& m) { return ToneText(m, n, column); },
            [n, dec](ImageModel& m, std::string_view text) {
                return WriteTone(m.channels.at(n), dec, text);
            }));
        fields.back().gridColumn = column;
    }
    fields.push_back(MarkField(n, "power_save_rx", {RecBits(n, kPowerSaveRx)}, kColPowerSaveRx,
                               &ChannelEntry::powerSaveRx));
    fields.push_back(MarkField(n, "power_save_tx", {RecBits(n, kPowerSaveTx)}, kColPowerSaveTx,
                               &ChannelEntry::powerSaveTx));
    fields.push_back(ListField(
        "channels", "power", {RecBits(n, kPower)}, {"high", "low"},
        [n](const ImageModel& m) { return m.channels.at(n).power; },
        [n](ImageModel& m, int v) { m.channels.at(n).power = v; }));
    fields.back().gridColumn = kColPower;
    fields.push_back(MarkField(n, "scan", ProbeBits([n](RadioImage& i) { WriteScan(i, n, 1); }), kColScan,
                               &ChannelEntry::scan));
    fields.push_back(MarkField(n, "vts", ProbeBits([n](RadioImage& i) { WriteVts(i, n, 1); }), kColVts,
                               &ChannelEntry::vts));
    fields.push_back(MarkField(n, "tot", {RecBits(n, kTot)}, kColTot, &ChannelEntry::tot));
    fields.push_back(ListField(
        "channels", "lock_out", {RecBits(n, kLockOut)}, {"--", "BC", "BT"},
        [n](const ImageModel& m) { return m.channels.at(n).lockOut; },
        [n](ImageModel& m, int v) { m.channels.at(n).lockOut = v; }));
    fields.back().gridColumn = kColLockOut;
    fields.push_back(ListField(
        "channels", "squelch", {RecBits(n, kSquelch)}, Numbered(0, 12, "%d"), // the pick list offers 0-12
        [n](const ImageModel& m) { return m.channels.at(n).squelch; },
        [n](ImageModel& m, int v) { m.channels.at(n).squelch = v; }));
    fields.back().gridColumn = kColSquelch;
    fields.push_back(MarkField(n, "ani", {RecBits(n, kAni)}, kColAni, &ChannelEntry::ani));
    fields.push_back(
        MarkField(n, "encryption", {RecBits(n, kEncryption)}, kColEncryption, &ChannelEntry::encryption));
    fields.push_back(Field(
        "channels", "page", {RecBits(n, kPagePresent), RecBits(n, kPageCodeNumber)},
        [n](const ImageModel& m) {
            const std::string c = Cell(m, n, kColPage);
            return c == "-" ? std::string("off") : c;
        },
        [n](ImageModel& m, std::string_view text) -> FieldWriteResult {
            ChannelEntry& e = m.channels.at(n);
            if (ReadBoolean(text) == 0 || Trim(text) == "0") {
                e.pageNumber = 0;
                e.pagePresent = 0;
                return std::nullopt;
            }
            const auto v = StrictDecimal(text);
            const int page = v && *v == std::floor(*v) ? static_cast<int>(*v) : -1;
            if (page < 1 || page > kPageCodeCount) return FieldRefusal{kStrOutsideRange, {"off, 1", "10"}};
            if (ReadPageCode(m.image, page).code.empty()) return FieldRefusal{kStrNoPageCode, {}};
            e.pageNumber = page;
            e.pagePresent = 1;
            return std::nullopt;
        }));
    fields.back().gridColumn = kColPage;
    fields.push_back(Field(
        "channels", "prox", {RecBits(n, kProx)},
        [n](const ImageModel& m) { return MarkRead(m, n, kColProx); },
        [n](ImageModel& m, std::string_view text) -> FieldWriteResult {
            ChannelEntry& e = m.channels.at(n);
            const auto v = ReadBoolean(text);
            if (!v) return FieldRefusal{kStrNotBoolean, {}};
            if (*v && (e.decKind != kToneDcs || e.encKind != kToneDcs))
                return FieldRefusal{kStrProxNeedsDcs, {}};
            e.prox = *v;
            return std::nullopt;
        },
        kBooleans));
    fields.back().gridColumn = kColProx;
    fields.push_back(Field(
        "channels", "pair", {RecBits(n, kTwoTonePPresent), RecBits(n, kTwoTonePPair)},
        [n](const ImageModel& m) {
            const std::string c = Cell(m, n, kColTwoToneP);
            return c == "-" ? std::string("off") : c;
        },
        [n](ImageModel& m, std::string_view text) -> FieldWriteResult {
            ChannelEntry& e = m.channels.at(n);
            if (ReadBoolean(text) == 0 || Trim(text) == "0") {
                e.twoToneP = 0;
                return std::nullopt;
            }
            const auto v = StrictDecimal(text);
            const int pair = v && *v == std::floor(*v) ? static_cast<int>(*v) : -1;
            if (pair < 1 || pair > kTwoTonePairCount) return FieldRefusal{kStrOutsideRange, {"off, 1", "6"}};
            TwoToneFormat format = m.twoToneFormat;
            if (DecodePairs(m.image, format)[static_cast<std::size_t>(pair - 1)].group == 0)
                return FieldRefusal{kStrPairOff, {}};
            e.twoToneP = pair;
            return std::nullopt;
        }));
    fields.back().gridColumn = kColTwoToneP;
    fields.push_back(
        MarkField(n, "two_tone_s", {RecBits(n, kTwoToneS)}, kColTwoToneS, &ChannelEntry::twoToneS));
    fields.push_back(ListField(
        "channels", "channel_type", ProbeBits([n](RadioImage& i) { WriteChannelType(i, n, 0xF); }),
        kChannelTypes, [n](const ImageModel& m) { return m.channels.at(n).channelType; },
        [n](ImageModel& m, int v) { m.channels.at(n).channelType = v; }));
    fields.back().gridColumn = kColChannel;
    for (CatalogueField& f : fields) {
        f.channel = n;
        out.push_back(std::move(f));
    }
}

std::vector<CatalogueField> BuildCatalogue() {
    std::vector<CatalogueField> out;
    AddRadio(out);
    AddRadioIdentity(out);
    AddHardware(out);
    AddDefaultSplit(out);
    AddOption(out);
    AddScanning(out);
    AddPowerSavingAndKeys(out);
    AddMiscellaneous(out);
    AddAni(out);
    AddPaging(out);
    AddTwoTone(out);
    for (int n = 0; n < kChannelCount; ++n)
        AddChannel(out, n);
    return out;
}

} // namespace

std::string CatalogueField::Path() const {
    if (channel >= 0) return "channels[" + std::to_string(channel + 1) + "]." + key;
    return group.empty() ? key : group + "." + key;
}

const std::vector<CatalogueField>& FieldCatalogue() {
    static const std::vector<CatalogueField> catalogue = BuildCatalogue();
    return catalogue;
}

const std::vector<std::string>& DialogChoices(std::string_view path) {
    static const std::vector<std::string> none;
    const CatalogueField* f = FindField(path);
    return f ? f->shown : none;
}

const CatalogueField* FindField(std::string_view path) {
    static const std::map<std::string, const CatalogueField*, std::less<>> index = [] {
        std::map<std::string, const CatalogueField*, std::less<>> m;
        for (const CatalogueField& f : FieldCatalogue())
            m[f.Path()] = &f;
        return m;
    }();
    const auto it = index.find(path);
    return it == index.end() ? nullptr : it->second;
}

const DataFileMask& UnownedBits() {
    static const DataFileMask mask = [] {
        DataFileMask m;
        m.fill(0xFF);
        for (const CatalogueField& f : FieldCatalogue())
            for (const OwnedBits& b : f.owned)
                m[b.offset] &= static_cast<std::uint8_t>(~b.mask);
        m[kChecksum] = 0;
        m[kChecksum + 1] = 0;
        return m;
    }();
    return mask;
}

ImageModel ModelFromDataFile(const DataFileBytes& bytes, TwoToneFormat startFormat) {
    ImageModel model;
    LoadDefaults(model);
    std::copy(bytes.begin(), bytes.begin() + kImageSize, model.image.begin());
    FileTrailerBytes trailer{};
    std::copy(bytes.begin() + kImageSize, bytes.end(), trailer.begin());
    model.defaultSplit = DefaultSplitFromBytes(trailer);
    DecodeImage(model);
    model.twoToneFormat = startFormat;
    DecodePairs(model.image, model.twoToneFormat); // settles the format the pairs imply
    return model;
}

DataFileBytes DataFileOfModel(const ImageModel& model) {
    return MakeDataFileBytes(model.image, DefaultSplitBytes(model.defaultSplit));
}

std::string ComparableText(std::string_view text) {
    std::string out = Tidy(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

int BandStepCodeOfTexts(std::string_view band, std::string_view step) {
    const int uhf = FindText(kBands, band);
    if (uhf < 0) return -1;
    const int i = FindText(StepTexts(uhf != 0), step);
    return i < 0 ? -1 : i + 2 * uhf;
}

} // namespace rt62
