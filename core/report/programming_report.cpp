#include "core/report/programming_report.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <span>
#include <string_view>

#include "core/image/document.h"
#include "core/image/fields.h"
#include "core/image/frequency.h"
#include "core/image/sections.h"
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

using List = std::span<const char* const>;

// A value that the list has no text for prints "???", whatever the image holds.
const char* Pick(List list, int value) {
    if (value < 0 || static_cast<std::size_t>(value) >= list.size()) return "???";
    return list[static_cast<std::size_t>(value)];
}

// Texts by stored value; trailing blanks keep the columns of the page aligned.
constexpr const char* kBand[] = {"VHF", "UHF"};
constexpr const char* kLocalOffset[] = {"Lower", "Upper"};
constexpr const char* kChannelSpacing[] = {"2.5,6.25kHz", "5,6.25kHz  ", "5,6.25kHz  ", "10,12.5kHz "};
constexpr const char* kOptionDevice[] = {"None              ", "ZNE-48            ", "Encryption Hilevel",
                                         "ANI               ", "KT-Trunk          "};
constexpr const char* kAniTransmit[] = {"PTT Pressed ", "PTT Released"};
constexpr const char* kDtmfDelay[] = {"50 msec ", "100 msec", "300 msec", "500 msec"};
constexpr const char* kAniDtmfSpeed[] = {"25 msec", "33 msec", "50 msec", "66 msec"};
constexpr const char* kDtmfSpeed[] = {"50 msec", "100 msec"};
constexpr const char* kAnswerBack[] = {"Off", "On "};
constexpr const char* kTotPenalty[] = {"0 ", "6 ", "20", "60"};
constexpr const char* kPttRelease[] = {"0", "2", "3", "5"};
constexpr const char* kReceiveSave[] = {"ABS", "1:1", "1:1.5", "1:2", "1:2.5", "1:3", "1:3.5", "1:4"};
constexpr const char* kScanResume1[] = {"0.25", "0.5", "1", "2", "3", "4", "5", "10"};
constexpr const char* kScanResume2[] = {"2", "3", "4", "5", "10", "15", "20", "30"};
constexpr const char* kDisabledEnabled[] = {"Disabled", "Enabled "};
constexpr const char* kDualWatchTimer[] = {"0.7", "1.5"};
constexpr const char* kRevertChannel[] = {"PRI Channel      ", "Channel Position  ", "Last Busy Channel"};
constexpr const char* kScanSpeed[] = {"20CH/sec", "15CH/sec"};
constexpr const char* kGroupCall[] = {"Off   ", "1st Tone", "2nd Tone"};
constexpr const char* kToneFormat[] = {"Standard    ", "Custom      "};
constexpr const char* kDuty[] = {"Off-Duty    ", "On-Duty      "};
constexpr const char* kAccessoryKey[] = {"None          ", "Monitor       ", "Squelch Off   ", "Low Power     ",
                                         "Scan          ", "Follow-Me Scan", "Dual Watch    ", "Follow-Me DW  ",
                                         "Talkaround    ", "Call/Reset    ", "Speed Dial    ", "TX SAVE Off   ",
                                         "ACC 1         ", "ACC 2/Encry Off"};
constexpr const char* kCallTimes[] = {"Off    ", "1 time ", "3 times", "5 times"};
constexpr const char* kSquelchTail[] = {"Disabled", "No Tone ", "Rev. Burst ", "Rev. Burst "};
constexpr const char* kExternalJack[] = {"AQ-31      ", "Speaker MIC"};
constexpr const char* kAutoReset[] = {"off    ", "2 secs ", "3 secs ", "4 secs ", "5 secs ", "6 secs ",
                                      "7 secs ", "8 secs ", "9 secs ", "10 secs", "15 secs", "20 secs",
                                      "25 secs", "30 secs", "40 secs", "50 secs", "60 secs"};
constexpr const char* kTwoToneGroup[] = {"   OFF    ", "MOTOROLA  ", "GE/99 GRP ", "PLECTRON  ", "REACH GRP ",
                                         "  Custom  "};
constexpr const char* kMark[] = {"-", "X"};
constexpr const char* kLockout[] = {"----", "BCLO", "BTLO"};
constexpr const char* kPower[] = {"H", "L"};
constexpr const char* kScanMark[] = {"-", "X", "-", "X"};

constexpr const char* kBlank55 = "                                                       ";

constexpr const char* kColumnHeadings[] = {
    "                                                                                   E      2",
    "                                                                   S               n P P  T",
    "                    W                                      Power P c V T         A c a R  o",
    "              Chan  /     FREQUENCY         SUB AUDIO      Save  w a T O Lock  S N r g O  n",
    "              Type  N Receive   Transmit    Dec    Enc     RX TX r n S T Out   Q I y e X P S",
};

// "Dial Scan Position"-style lines: a channel prints "CH nn", 0 prints "Disabled".
std::string PositionLine(const char* label, int channel) {
    if (channel > 0) return F("              %sCH %2d%15s", label, channel, "");
    return F("              %s%-20s", label, "Disabled");
}

// "label: 2   secs" with the value in three places. A longer value ("0.25") is printed whole and
// takes its extra room from the padding, so the right column stays where it is.
std::string SecondsLine(const char* label, const char* value) {
    int extra = static_cast<int>(std::string_view(value).size()) - 3;
    int pad = extra > 0 ? 12 - extra : 12;
    return F("%s%-3s secs%*s", label, value, pad, "");
}

std::string PageCodeLine(int n, const std::string& code) { return F("   Page Code %2d:  %3s", n, code.c_str()); }

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

std::string PairLine(int n, const PairEntry& pair, TwoToneFormat format) {
    if (pair.group == 0) return F("  %2d:  ----------   ---------   --------- ", n);
    if (format == TwoToneFormat::Custom)
        return F("  %2d:  %10s      %3.3d        %3.3d ", n, Pick(kTwoToneGroup, pair.group), pair.first, pair.second);
    return F("  %2d:  %10s   %9s   %9s ", n, Pick(kTwoToneGroup, pair.group),
             PairToneText(pair.group, pair.first).c_str(), PairToneText(pair.group, pair.second).c_str());
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

    std::vector<std::string> left(43), right(43);  // lines 0-42
    left[0] = "                  **********  Orvane KT-905 Portable Transceiver  **********";
    left[2] = F("           File Name:  %-32s", FileNameOfPath(currentPath).c_str());
    right[2] = F("Serial No:  %-32s", model.marketing.serialNumber.c_str());
    left[3] = F("%-55s", "           Hardware Environments");
    right[3] = "ANI/Speed Dial Parameters";
    left[4] = F("              Frequency Band:      %-20s", Pick(kBand, hw.uhf));
    right[4] = F("   ANI Transmit:        %s", Pick(kAniTransmit, signaling.ani.aniTransmit));
    left[5] = F("              Ref Xtal:            %5.2fMHz%12s", hw.refXtalMHz, "");
    right[5] = F("   DTMF Delay:          %s", Pick(kDtmfDelay, signaling.ani.dtmfDelay));
    left[6] = F("              First IF:            %4.2fMHz%12s", hw.firstIfMHz, "");
    right[6] = F("   DTMF Speed:          %s", Pick(kAniDtmfSpeed, signaling.ani.dtmfSpeed));
    left[7] = F("              Local Offset:        %-20s", Pick(kLocalOffset, hw.localOffset));
    right[7] = F("   DTMF Code:           %15s", signaling.ani.dtmfCode.c_str());
    left[8] = F("              Channel Spacing:     %s", Pick(kChannelSpacing, hw.bandStepCode));
    left[9] = F("              Option Device:       %-20s", Pick(kOptionDevice, option.DevicePosition()));
    right[9] = "DTMF Parameters";
    left[10] = F("%55s", "");
    right[10] = F("   DTMF Speed:          %s", Pick(kDtmfSpeed, signaling.pageSettings.pagingDtmfSpeed));
    left[11] = F("%-55s", "           Power Saving Parameters");
    right[11] = F("   Answer Back:         %s", Pick(kAnswerBack, signaling.pageSettings.answerBack));
    left[12] = common.transmitTimer == 0
                   ? F("              Transmit Timer:      0.5 mins%12s", "")
                   : F("              Transmit Timer:      %-d mins%14s", common.transmitTimer, "");
    left[13] = F("              TOT Penalty Timer:   %-3.3s secs%12s", Pick(kTotPenalty, common.penaltyTimer), "");
    right[13] = "Page Codes";
    left[14] = F("              PTT Release Timer:   %-3.3s secs%12s", Pick(kPttRelease, common.releaseTimer), "");
    left[15] = F("              Receive Save Mode:   %-20s", Pick(kReceiveSave, common.receiveSaveMode));
    left[16] = kBlank55;
    left[17] = F("%-55s", "           Scanning Parameters");
    left[18] = PositionLine("Dial Scan Position:  ", scan.dialScanPosition);
    left[19] = PositionLine("Dial Priority CH:    ", scan.priorityChannel);
    left[20] = PositionLine("KT-Trunk Position:   ", scan.ktTrunkPosition);
    for (int k = 1; k <= 10; ++k) right[13 + k] = PageCodeLine(k, pages[static_cast<std::size_t>(k - 1)]);
    left[21] = SecondsLine("              Scan Resume Tinme 1: ", Pick(kScanResume1, scan.scanResumeTime1));
    left[22] = SecondsLine("              Scan Resume Tinme 2: ", Pick(kScanResume2, scan.scanResumeTime2));
    left[23] = F("              Dual Watch:          %-20s", Pick(kDisabledEnabled, scan.dualWatch));
    left[24] = F("              Dual Watch Timer:    %-20s", Pick(kDualWatchTimer, scan.dualWatchTimer));
    left[25] = F("              Talk Back:           %-20s", Pick(kDisabledEnabled, scan.talkBack));
    right[25] = "2-Tone Parameters";
    left[26] = F("              Revert Channel:      %-20s", Pick(kRevertChannel, scan.revertChannel));
    right[26] = F("   Primary GRP Call:    %s", Pick(kGroupCall, tt.primaryGroupCall));
    left[27] = F("              Scan Speed:          %-20s", Pick(kScanSpeed, scan.scanSpeed));
    right[27] = F("   Secondary GRP Call:  %s", Pick(kGroupCall, tt.secondaryGroupCall));
    left[28] = kBlank55;
    right[28] = F("   Secondary Page Pair: Pair# %d", tt.secondaryPagePair + 1);
    left[29] = F("%-55s", "           Key Function Parameters");
    right[29] = F("   Tone Format:         %s", Pick(kToneFormat, static_cast<int>(format)));
    left[30] = F("              ACC Key[Press]       %-20s", Pick(kAccessoryKey, keys.accKeyPress));
    right[30] = F("   CTCSS/DCS Complement:%s", Pick(kDisabledEnabled, tt.ctcssDcsComplement));
    left[31] = F("              ACC Key[Hold]        %-20s", Pick(kAccessoryKey, keys.accKeyHold));
    right[31] = F("   Duty:                %s", Pick(kDuty, tt.duty));
    left[32] = kBlank55;
    left[33] = F("%-55s", "           Miscellaneous Parameters");
    right[33] = "2-Tone Table";
    left[34] = F("              Default Split:       %-5.1f MHz%11s", model.defaultSplit, "");
    right[34] = "   Pair#   System        1st        2nd";
    left[35] = F("              Beep:                %-20s", Pick(kDisabledEnabled, common.beep));
    right[35] = "   --------------------------------------";
    left[36] = F("              Call times:          %-20s", Pick(kCallTimes, common.callTimes));
    left[37] = F("              PTT Delay            %-20s", Pick(kSquelchTail, common.squelchTailElim));
    left[38] = F("              Bell:                %-20s", Pick(kDisabledEnabled, common.bell));
    // The radio's own Lamp Mode, as the Miscellaneous dialog shows it.
    left[39] = F("              Lamp mode            %-20s", Pick(kDisabledEnabled, common.lampMode));
    left[40] = F("              Set-to-Set Clone:    %-20s", Pick(kDisabledEnabled, common.setToSetClone));
    left[41] = F("              External Jack:       %-20s", Pick(kExternalJack, common.externalJack));
    for (int k = 1; k <= 6; ++k) right[35 + k] = PairLine(k, pairs[static_cast<std::size_t>(k - 1)], format);
    // Position 0 is "off"; the times start at position 1.
    left[42] = F("              Auto Reset Time      %-20s", Pick(kAutoReset, common.autoResetTime));

    lines_.clear();
    for (std::size_t i = 0; i < left.size(); ++i) lines_.push_back({left[i] + right[i], true});
    lines_.push_back({std::string(), false});  // line 43
    lines_.push_back({"          *******************************    CHANNEL DATA    ********************************", true});
    for (const char* h : kColumnHeadings) lines_.push_back({h, true});
    lines_.push_back({"           ---------------------------------------------------------------------------------", true});
    for (int n = 0; n < 16; ++n) {
        const ChannelEntry& e = model.channels.at(n);
        if (e.inUse && (e.rxFrequency != 0.0 || e.txFrequency != 0.0)) lines_.push_back({ChannelLine(n, e), true});
    }
}

}  // namespace rt62
