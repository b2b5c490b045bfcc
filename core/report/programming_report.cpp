#include "core/report/programming_report.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <span>
#include <string_view>

#include "core/image/document.h"
#include "core/image/fields.h"
#include "core/image/frequency.h"
#include "core/image/sections.h"
#include "core/image/strings.h"
#include "core/image/tones.h"
#include "core/image/twotone.h"

namespace rt62 {
namespace {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string F(const char* format, ...) {
    char buf[512];
    va_list ap;
    va_start(ap, format);
    int n = std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    if (n < 0) return {};
    return std::string(buf, static_cast<std::size_t>(n) < sizeof buf ? static_cast<std::size_t>(n) : sizeof buf - 1);
}

// A value's text: a string-table entry, or a name that is the same in every language (0 as the id).
struct Choice {
    int id;
    const char* name;
};
using Choices = std::span<const Choice>;

std::string Text(int id) { return std::string(StringText(id)); }

// A value that the list has no text for prints "???", whatever the image holds.
std::string Pick(Choices list, int value) {
    if (value < 0 || static_cast<std::size_t>(value) >= list.size()) return "???";
    const Choice& c = list[static_cast<std::size_t>(value)];
    return c.id ? Text(c.id) : std::string(c.name);
}

// Texts by stored value; the blanks of some keep the columns of the page aligned.
constexpr const char* kBand[] = {"VHF", "UHF"};
constexpr const char* kChannelSpacing[] = {"2.5,6.25kHz", "5,6.25kHz  ", "5,6.25kHz  ", "10,12.5kHz "};
constexpr const char* kTotPenalty[] = {"0 ", "6 ", "20", "60"};
constexpr const char* kPttRelease[] = {"0", "2", "3", "5"};
constexpr const char* kReceiveSave[] = {"ABS", "1:1", "1:1.5", "1:2", "1:2.5", "1:3", "1:3.5", "1:4"};
constexpr const char* kScanResume1[] = {"0.25", "0.5", "1", "2", "3", "4", "5", "10"};
constexpr const char* kScanResume2[] = {"2", "3", "4", "5", "10", "15", "20", "30"};
constexpr const char* kDualWatchTimer[] = {"0.7", "1.5"};
constexpr const char* kScanSpeed[] = {"20CH/sec", "15CH/sec"};
constexpr const char* kAutoResetSeconds[] = {"", "2", "3", "4", "5", "6", "7", "8", "9", "10", "15", "20", "25", "30",
                                             "40", "50", "60"};
constexpr int kDtmfDelay[] = {50, 100, 300, 500};
constexpr int kAniDtmfSpeed[] = {25, 33, 50, 66};
constexpr int kDtmfSpeed[] = {50, 100};
constexpr int kCallTimes[] = {0, 1, 3, 5};
constexpr Choice kLocalOffset[] = {{4664, ""}, {4665, ""}};
constexpr Choice kOptionDevice[] = {{4666, ""}, {0, "ZNE-48"}, {4667, ""}, {0, "ANI"}, {0, "KT-Trunk"}};
constexpr Choice kAniTransmit[] = {{4690, ""}, {4691, ""}};
constexpr Choice kOffOn[] = {{4685, ""}, {4692, ""}};
constexpr Choice kDisabledEnabled[] = {{4668, ""}, {4669, ""}};
constexpr Choice kRevertChannel[] = {{4670, ""}, {4671, ""}, {4672, ""}};
constexpr Choice kGroupCall[] = {{4685, ""}, {4693, ""}, {4694, ""}};
constexpr Choice kToneFormat[] = {{4695, ""}, {4696, ""}};
constexpr Choice kDuty[] = {{4697, ""}, {4698, ""}};
constexpr Choice kAccessoryKey[] = {{4666, ""}, {4673, ""}, {4674, ""}, {4675, ""}, {4676, ""},
                                    {4677, ""}, {4678, ""}, {4679, ""}, {4680, ""}, {4681, ""},
                                    {4682, ""}, {4683, ""}, {0, "ACC 1"}, {4684, ""}};
constexpr Choice kSquelchTail[] = {{4668, ""}, {4686, ""}, {4687, ""}, {4687, ""}};
constexpr Choice kExternalJack[] = {{0, "AQ-31"}, {4688, ""}};
constexpr const char* kTwoToneGroup[] = {"   OFF    ", "MOTOROLA  ", "GE/99 GRP ", "PLECTRON  ", "REACH GRP "};
constexpr const char* kMark[] = {"-", "X"};
constexpr const char* kLockout[] = {"----", "BCLO", "BTLO"};
constexpr const char* kPower[] = {"H", "L"};
constexpr const char* kScanMark[] = {"-", "X", "-", "X"};

const char* Pick(std::span<const char* const> list, int value) {
    if (value < 0 || static_cast<std::size_t>(value) >= list.size()) return "???";
    return list[static_cast<std::size_t>(value)];
}
template <std::size_t N>
std::string PickNumber(const int (&list)[N], int value, int unitId) {
    if (value < 0 || static_cast<std::size_t>(value) >= N) return "???";
    return FormatString(unitId, {std::to_string(list[value])});
}

std::string PadTo(std::string text, int columns) {
    const int have = DisplayColumns(text);
    if (have < columns) text.append(static_cast<std::size_t>(columns - have), ' ');
    return text;
}

// Columns a setting's name needs before its value: a colon that closes a word may touch the value
// ("CTCSS/DCS Complement:Disabled"), one after a blank may not.
int NameColumns(std::string_view name) {
    if (name.size() > 1 && name.back() == ':' && name[name.size() - 2] != ' ') name.remove_suffix(1);
    return DisplayColumns(name) + 1;
}

// Settings groups' titles and the two-tone table stand this far in.
constexpr const char* kTitleIndent = "           ";

enum ReportString {
    kStrTitle = 4600, kStrFileName, kStrSerialNo, kStrHardware, kStrPowerSaving, kStrScanning, kStrKeys,
    kStrMiscellaneous, kStrAni, kStrDtmf, kStrPageCodes, kStrTwoTone, kStrTwoToneTable,
    kStrFirstLeftName = 4613, kStrLastLeftName = 4643, kStrFirstRightName = 4644, kStrLastRightName = 4655,
    kStrPageCode = 4649, kStrPair = 4656, kStrPairHeading = 4657, kStrChannelData = 4658,
    kStrChannelHeading = 4659, kStrMsec = 4660, kStrSecs = 4661, kStrMins = 4662, kStrTimes = 4663,
    kStrDisabled = 4668, kStrOff = 4685, kStrResetOff = 4689, kStrCustom = 4696,
};

// A channel position's value: a channel prints "CH nn", 0 prints "Disabled".
std::string PositionValue(int channel) {
    return channel > 0 ? F("CH %2d", channel) : Text(kStrDisabled);
}

// "2   secs": the number in three places; a longer one ("0.25") is printed whole.
std::string SecondsValue(const char* value) { return FormatString(kStrSecs, {PadTo(value, 3)}); }

// A tone of a standard group: its table text. An entry of the group that has no text (group 2 indexes
// 31-46, group 3 indexes 56-58, the codes 240-254 that read as group 4) prints as blanks; only an index
// outside the group is unknown.
std::string PairToneText(int group, int index) {
    if (group < 1 || group > kTwoToneGroupCount || index < 0) return std::string(kUnknownTwoToneText);
    const int code = TwoToneGroupInfo(group).base + index;
    const int end = group == kTwoToneGroupCount ? 255 : TwoToneGroupInfo(group + 1).base;
    if (code >= end) return std::string(kUnknownTwoToneText);
    return TwoToneCodeHasText(code) ? TwoToneCodeText(code) : std::string();
}

// A group's name in the table's ten places: the standard groups by their names, Custom in words.
std::string GroupText(int group) {
    if (group == kTwoToneGroupCount + 1) {
        const std::string custom = Text(kStrCustom);
        const int room = 10 - DisplayColumns(custom);
        return room > 0 ? std::string(static_cast<std::size_t>(room / 2), ' ') + PadTo(custom, 10 - room / 2) : custom;
    }
    return F("%10s", Pick(kTwoToneGroup, group));
}

std::string PairLine(int n, const PairEntry& pair, TwoToneFormat format) {
    if (pair.group == 0) return F("  %2d:  ----------   ---------   --------- ", n);
    if (format == TwoToneFormat::Custom)
        return F("  %2d:  %s      %3.3d        %3.3d ", n, GroupText(pair.group).c_str(), pair.first, pair.second);
    return F("  %2d:  %s   %9s   %9s ", n, GroupText(pair.group).c_str(), PairToneText(pair.group, pair.first).c_str(),
             PairToneText(pair.group, pair.second).c_str());
}

std::string ToneText(std::string_view text) { return text.empty() ? std::string("???") : std::string(text); }

std::string DecodeToneText(const ChannelEntry& e) {
    switch (e.decKind) {
        case kToneNone: return " ------- ";
        case kToneCtcss: return F(" C-%s ", ToneText(CtcssText(e.decCtcss)).c_str());
        case kToneDcs: return F(" D-%s   ", ToneText(DcsText(e.decDcs)).c_str());
    }
    return " ??? ";
}

std::string EncodeToneText(const ChannelEntry& e) {
    switch (e.encKind) {
        case kToneNone: return "------- ";
        case kToneCtcss: return F("C-%s ", ToneText(CtcssText(e.encCtcss)).c_str());
        case kToneDcs: return F("D-%s   ", ToneText(DcsText(e.encDcs)).c_str());
    }
    return "??? ";
}

// A numbered choice printed in one place: none is "-", 10 prints as 0.
std::string OneDigit(int number) {
    if (number == 0) return "- ";
    return F("%d ", number == 10 ? 0 : number);
}

std::string ChannelLine(int n, const ChannelEntry& e) {
    std::string s = F("                %2d ", n + 1);
    s += e.narrow == 0 ? " W " : " N ";
    // The same frequency text as the grid and every other view.
    s += FormatFrequency(e.rxFrequency) + " ";
    s += (e.txInhibit ? std::string(kInhibitedFrequencyText) : FormatFrequency(e.txFrequency)) + " ";
    s += DecodeToneText(e);
    s += EncodeToneText(e);
    s += F("%s  %s  ", Pick(kMark, e.powerSaveRx), Pick(kMark, e.powerSaveTx));
    s += F("%s ", Pick(kPower, e.power));
    s += F("%s ", Pick(kScanMark, e.scan));
    s += F("%s ", Pick(kMark, e.vts));
    // An unknown lockout keeps the four places of the known texts.
    s += F("%s %-4s %2d %s ", Pick(kMark, e.tot), Pick(kLockout, e.lockOut), e.squelch, Pick(kMark, e.ani));
    s += F("%s ", Pick(kMark, e.encryption));
    s += OneDigit(e.pageNumber);
    s += F("%s ", Pick(kMark, e.prox));
    s += OneDigit(e.twoToneP);
    s += F("%s ", Pick(kMark, e.twoToneS));
    s += " ";
    return s;
}

}  // namespace

ProgrammingReport::ProgrammingReport(const ImageModel& model, const std::string& currentPath) {
    Build(model, currentPath);
}

ProgrammingReport::ProgrammingReport(const CRT62MDoc& doc) { Build(doc.Model(), doc.CurrentPath()); }

void ProgrammingReport::Build(const ImageModel& model, const std::string& currentPath) {
    const RadioImage& image = model.image;
    // The report's own copies of the settings that only dialogs hold.
    CommonSection common;
    ScanSection scan;
    KeySection keys;
    OptionSection option;
    SignalingSection signaling;
    common.Defaults();
    scan.Decode(image);
    keys.Decode(image);
    option.Decode(image);
    common.Decode(image);
    // Reading the pair table may find mixed groups and switch to Custom, as the document would.
    TwoToneFormat format = model.twoToneFormat;
    signaling.Decode(image, format);

    const HardwareSection& hw = model.hardware;
    const auto& pages = signaling.pageCodes.codes;
    const auto& pairs = signaling.pairTable.pairs;
    const TwoToneSettings& tt = signaling.twoTone;

    // The left column's values first: its names and values take the room the longest of them needs in
    // the language (21 and 20 places in English), and the right column starts after it.
    std::vector<std::pair<int, std::string>> rows(43); // line -> the setting's name and value
    rows[4] = {4613, Pick(kBand, hw.uhf)};
    rows[5] = {4614, F("%5.2fMHz", hw.refXtalMHz)};
    rows[6] = {4615, F("%4.2fMHz", hw.firstIfMHz)};
    rows[7] = {4616, Pick(kLocalOffset, hw.localOffset)};
    rows[9] = {4618, Pick(kOptionDevice, option.DevicePosition())};
    rows[12] = {4619, FormatString(kStrMins, {common.transmitTimer == 0 ? "0.5" : std::to_string(common.transmitTimer)})};
    rows[13] = {4620, SecondsValue(F("%.3s", Pick(kTotPenalty, common.penaltyTimer)).c_str())};
    rows[14] = {4621, SecondsValue(F("%.3s", Pick(kPttRelease, common.releaseTimer)).c_str())};
    rows[15] = {4622, Pick(kReceiveSave, common.receiveSaveMode)};
    rows[18] = {4623, PositionValue(scan.dialScanPosition)};
    rows[19] = {4624, PositionValue(scan.priorityChannel)};
    rows[20] = {4625, PositionValue(scan.ktTrunkPosition)};
    rows[21] = {4626, SecondsValue(Pick(kScanResume1, scan.scanResumeTime1))};
    rows[22] = {4627, SecondsValue(Pick(kScanResume2, scan.scanResumeTime2))};
    rows[23] = {4628, Pick(kDisabledEnabled, scan.dualWatch)};
    rows[24] = {4629, Pick(kDualWatchTimer, scan.dualWatchTimer)};
    rows[25] = {4630, Pick(kDisabledEnabled, scan.talkBack)};
    rows[26] = {4631, Pick(kRevertChannel, scan.revertChannel)};
    rows[27] = {4632, Pick(kScanSpeed, scan.scanSpeed)};
    rows[30] = {4633, Pick(kAccessoryKey, keys.accKeyPress)};
    rows[31] = {4634, Pick(kAccessoryKey, keys.accKeyHold)};
    rows[34] = {4635, F("%-5.1f MHz", model.defaultSplit)};
    rows[35] = {4636, Pick(kDisabledEnabled, common.beep)};
    rows[36] = {4637, common.callTimes == 0 ? Text(kStrOff) : PickNumber(kCallTimes, common.callTimes, kStrTimes)};
    rows[37] = {4638, Pick(kSquelchTail, common.squelchTailElim)};
    rows[38] = {4639, Pick(kDisabledEnabled, common.bell)};
    // The radio's own Lamp Mode, as the Miscellaneous dialog shows it.
    rows[39] = {4640, Pick(kDisabledEnabled, common.lampMode)};
    rows[40] = {4641, Pick(kDisabledEnabled, common.setToSetClone)};
    rows[41] = {4642, Pick(kExternalJack, common.externalJack)};
    // Position 0 is "off"; the times start at position 1.
    rows[42] = {4643, common.autoResetTime == 0 ? Text(kStrResetOff)
                                                : FormatString(kStrSecs, {Pick(kAutoResetSeconds, common.autoResetTime)})};
    int nameWidth = 21, valueWidth = 20, rightNameWidth = 21;
    for (int id = kStrFirstLeftName; id <= kStrLastLeftName; ++id) nameWidth = std::max(nameWidth, NameColumns(Text(id)));
    for (int id = kStrFirstRightName; id <= kStrLastRightName; ++id)
        if (id != kStrPageCode) rightNameWidth = std::max(rightNameWidth, NameColumns(Text(id)));
    for (const auto& [name, value] : rows) valueWidth = std::max(valueWidth, DisplayColumns(value) + 1);
    const int leftWidth = 14 + nameWidth + valueWidth;
    const std::string blank(static_cast<std::size_t>(leftWidth), ' ');
    const auto title = [&](int id) { return PadTo(kTitleIndent + Text(id), leftWidth); };
    const auto setting = [&](int id, const std::string& value) {
        return "   " + PadTo(Text(id), rightNameWidth) + value;
    };

    std::vector<std::string> left(43), right(43);  // lines 0-42
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].first) left[i] = "              " + PadTo(Text(rows[i].first), nameWidth) + PadTo(rows[i].second, valueWidth);
    left[0] = "                  **********  " + Text(kStrTitle) + "  **********";
    left[2] = PadTo(kTitleIndent + Text(kStrFileName) + "  " + PadTo(FileNameOfPath(currentPath), 32), leftWidth);
    right[2] = Text(kStrSerialNo) + "  " + PadTo(model.marketing.serialNumber, 32);
    left[3] = title(kStrHardware);
    right[3] = Text(kStrAni);
    right[4] = setting(4644, PadTo(Pick(kAniTransmit, signaling.ani.aniTransmit), 12));
    right[5] = setting(4645, PadTo(PickNumber(kDtmfDelay, signaling.ani.dtmfDelay, kStrMsec), 8));
    right[6] = setting(4646, PickNumber(kAniDtmfSpeed, signaling.ani.dtmfSpeed, kStrMsec));
    right[7] = setting(4647, F("%15s", signaling.ani.dtmfCode.c_str()));
    // The spacing's line ends with its value.
    left[8] = "              " + PadTo(Text(4617), nameWidth) + Pick(kChannelSpacing, hw.bandStepCode);
    right[9] = Text(kStrDtmf);
    left[10] = blank;
    right[10] = setting(4646, PickNumber(kDtmfSpeed, signaling.pageSettings.pagingDtmfSpeed, kStrMsec));
    left[11] = title(kStrPowerSaving);
    right[11] = setting(4648, PadTo(Pick(kOffOn, signaling.pageSettings.answerBack), 3));
    right[13] = Text(kStrPageCodes);
    for (int k = 1; k <= 10; ++k)
        right[13 + k] = "   " + FormatString(kStrPageCode, {F("%2d", k)}) + "  " +
                        F("%3s", pages[static_cast<std::size_t>(k - 1)].c_str());
    left[16] = blank;
    left[17] = title(kStrScanning);
    right[25] = Text(kStrTwoTone);
    right[26] = setting(4650, PadTo(Pick(kGroupCall, tt.primaryGroupCall), 6));
    right[27] = setting(4651, PadTo(Pick(kGroupCall, tt.secondaryGroupCall), 6));
    left[28] = blank;
    right[28] = setting(4652, FormatString(kStrPair, {std::to_string(tt.secondaryPagePair + 1)}));
    left[29] = title(kStrKeys);
    right[29] = setting(4653, PadTo(Pick(kToneFormat, static_cast<int>(format)), 12));
    right[30] = setting(4654, PadTo(Pick(kDisabledEnabled, tt.ctcssDcsComplement), 8));
    right[31] = setting(4655, Pick(kDuty, tt.duty));
    left[32] = blank;
    left[33] = title(kStrMiscellaneous);
    right[33] = Text(kStrTwoToneTable);
    right[34] = Text(kStrPairHeading);
    right[35] = "   --------------------------------------";
    for (int k = 1; k <= 6; ++k) right[35 + k] = PairLine(k, pairs[static_cast<std::size_t>(k - 1)], format);

    lines_.clear();
    for (std::size_t i = 0; i < left.size(); ++i) lines_.push_back({left[i] + right[i], true});
    lines_.push_back({std::string(), false});  // line 43
    // The title keeps the line's length: a longer one takes its room from the stars.
    const std::string channelData = Text(kStrChannelData);
    const int stars = std::max(2, 63 + 12 - DisplayColumns(channelData));
    lines_.push_back({"          " + std::string(static_cast<std::size_t>(stars / 2), '*') + "    " + channelData + "    " +
                          std::string(static_cast<std::size_t>(stars - stars / 2), '*'),
                      true});
    const std::string heading = Text(kStrChannelHeading);
    for (std::size_t at = 0; at <= heading.size();) {
        const std::size_t end = std::min(heading.find('\n', at), heading.size());
        lines_.push_back({heading.substr(at, end - at), true});
        at = end + 1;
    }
    lines_.push_back({"           ---------------------------------------------------------------------------------", true});
    for (int n = 0; n < 16; ++n) {
        const ChannelEntry& e = model.channels.at(n);
        if (e.inUse && (e.rxFrequency != 0.0 || e.txFrequency != 0.0)) lines_.push_back({ChannelLine(n, e), true});
    }
}

}  // namespace rt62
