// Section objects: decode areas of the image into plain values, encode them back, and edit channels.
#include "core/image/sections.h"

#include "core/image/fields.h"
#include "core/image/frequency.h"
#include "core/image/layout.h"
#include "core/image/text_rules.h"
#include "core/image/tones.h"

namespace rt62 {

using namespace layout;

// ---------------- MarketingSection ----------------

void MarketingSection::Defaults() { *this = MarketingSection(); }

void MarketingSection::Decode(const RadioImage& image) {
    serialNumber = ReadSerialNumber(image);
    marketApplication = ReadMarketApplication(image);
    firmwareVersion = ReadFirmwareVersion(image);
}

void MarketingSection::Encode(RadioImage& image) const {
    WriteMarketApplication(image, marketApplication);
    WriteSerialNumber(image, serialNumber);
}

// ---------------- HardwareSection ----------------

namespace {
struct BandDefaults {
    double refXtalMHz;
    double firstIfMHz;
    int bandStepCode;
    int sqlReleaseTime;
};
constexpr BandDefaults kVhfDefaults{21.25, 21.7, 0, 12};
constexpr BandDefaults kUhfDefaults{14.5, 43.95, 2, 8};

int RefXtalCount(double mhz, int stepHz) { return static_cast<int>(MHzToHz(mhz) / stepHz); }
int FirstIfKhz(double mhz) { return static_cast<int>(MHzToHz(mhz) / 1000); }
}  // namespace

void HardwareSection::Defaults() { *this = HardwareSection(); }

void HardwareSection::Decode(const RadioImage& image) {
    bandStepCode = kBandStepCode.Read(image);
    uhf = IsUhfCode(bandStepCode) ? 1 : 0;
    localOffset = kLocalOffset.Read(image);
    const int mainCount = ReadRefXtalMainCount(image);
    const int ifKhz = ReadFirstIfKhz(image);
    // Truncating either value back to a count gives the count read.
    refXtalMHz = HzToMHz(static_cast<long long>(mainCount) * BandStepInfo(bandStepCode).mainStepHz);
    // The IF reads as kHz x 0.001, so a count of 51035 shows 51.04 (not 51.03 as via whole hertz).
    firstIfMHz = ifKhz * 0.001;
    decoded_ = Decoded{bandStepCode, refXtalMHz, firstIfMHz, mainCount, ReadRefXtalAltCount(image), ifKhz};
    sqlReleaseTime = kSqlReleaseTime.Read(image);
    sqlAttackTime = kSqlAttackTime.Read(image);
    sqlHysteresis = kSqlHysteresis.Read(image);
    ctcssReleaseTime = kCtcssReleaseTime.Read(image);
    dcsRxData = kDcsRxData.Read(image);
    dcsTxData = kDcsTxData.Read(image);
    receiveSaveOffTime = kReceiveSaveOffTime.Read(image);
}

void HardwareSection::Encode(RadioImage& image) const {
    const BandStep& step = BandStepInfo(bandStepCode);
    const bool sameBand = decoded_ && decoded_->bandStepCode == bandStepCode;
    if (sameBand && decoded_->refXtalMHz == refXtalMHz) {
        WriteRefXtalMainCount(image, decoded_->mainCount);
        WriteRefXtalAltCount(image, decoded_->altCount);
    } else {
        WriteRefXtalMainCount(image, RefXtalCount(refXtalMHz, step.mainStepHz));
        WriteRefXtalAltCount(image, RefXtalCount(refXtalMHz, step.altStepHz));
    }
    WriteFirstIfKhz(image, decoded_ && decoded_->firstIfMHz == firstIfMHz ? decoded_->firstIfKhz
                                                                           : FirstIfKhz(firstIfMHz));
    kBandStepCode.Write(image, bandStepCode);
    kLocalOffset.Write(image, localOffset);
    kSqlReleaseTime.Write(image, sqlReleaseTime);
    kSqlAttackTime.Write(image, sqlAttackTime);
    kSqlHysteresis.Write(image, sqlHysteresis);
    kCtcssReleaseTime.Write(image, ctcssReleaseTime);
    kDcsRxData.Write(image, dcsRxData);
    kDcsTxData.Write(image, dcsTxData);
    kReceiveSaveOffTime.Write(image, receiveSaveOffTime);
}

void HardwareSection::SetBand(bool uhfBand, double& defaultSplit) {
    const BandDefaults& d = uhfBand ? kUhfDefaults : kVhfDefaults;
    uhf = uhfBand ? 1 : 0;
    bandStepCode = d.bandStepCode;
    localOffset = 0;
    refXtalMHz = d.refXtalMHz;
    firstIfMHz = d.firstIfMHz;
    sqlReleaseTime = d.sqlReleaseTime;
    defaultSplit = 0.0;
}

int HardwareSection::SnapFrequency(double& mhz) const { return rt62::SnapFrequency(mhz, bandStepCode); }

int HardwareSection::SnapReceive(double& mhz) const {
    return SnapStorable(mhz, bandStepCode, uhf != 0, localOffset == 0 ? -firstIfMHz : firstIfMHz);
}

int HardwareSection::SnapTransmit(double& mhz) const { return SnapStorable(mhz, bandStepCode, uhf != 0, 0.0); }

int HardwareSection::RefXtalLimitMHz(int bandStepCode) {
    return BandStepInfo(bandStepCode).mainStepHz * 16383 / 1000000;
}

// ---------------- ChannelTable ----------------

void ChannelTable::Defaults() {
    rowCountBase = 16;
    currentChannelNumber = 1;
    currentChannel = 0;
    highestChannel = 16;
    for (int n = 0; n < kChannelCount; ++n) {
        entries[static_cast<std::size_t>(n)] = ChannelEntry{};
        entries[static_cast<std::size_t>(n)].inUse = 1;
        entries[static_cast<std::size_t>(n)].channelType = n;
    }
}

void ChannelTable::Decode(const RadioImage& image, const HardwareSection& hardware) {
    currentChannelNumber = 1;
    currentChannel = 0;
    for (int n = 0; n < kChannelCount; ++n) DecodeChannel(n, image, hardware);
    for (int n = 0; n < kChannelCount; ++n) {
        at(n).scan = ReadScan(image, n);
        at(n).vts = ReadVts(image, n);
    }
    for (int n = 0; n < kChannelCount; ++n) at(n).channelType = ReadChannelType(image, n);
}

void ChannelTable::Encode(RadioImage& image, const HardwareSection& hardware) const {
    for (int n = 0; n < kChannelCount; ++n) EncodeChannel(n, image, hardware);
    for (int n = 0; n < kChannelCount; ++n) {
        WriteScan(image, n, at(n).scan);
        WriteVts(image, n, at(n).vts);
    }
    for (int n = 0; n < kChannelCount; ++n) WriteChannelType(image, n, at(n).channelType);
}

void ChannelTable::DecodeChannel(int n, const RadioImage& image, const HardwareSection& hw) {
    const ConstRecordView rec = Record(image, n);
    ChannelEntry& e = at(n);
    e.inUse = kInUse.Read(rec);
    e.narrow = kNarrow.Read(rec);
    e.rxAltStep = kRxAltStep.Read(rec);
    e.txAltStep = kTxAltStep.Read(rec);
    e.twoToneS = kTwoToneS.Read(rec);
    e.txInhibit = kTxInhibit.Read(rec);
    e.power = kPower.Read(rec);
    e.tot = kTot.Read(rec);
    e.prox = kProx.Read(rec);
    e.lockOut = kLockOut.Read(rec);
    e.powerSaveTx = kPowerSaveTx.Read(rec);
    e.powerSaveRx = kPowerSaveRx.Read(rec);
    e.squelch = kSquelch.Read(rec);

    const bool encryptionGate = kOptionEncryption.Read(image) || kOptionBoardEncryption.Read(image);
    const bool pagingGate = kOptionBoardPaging.Read(image) != 0;
    e.encryption = ReadEncryption(rec, encryptionGate);
    e.twoToneP = ReadTwoToneP(rec);
    e.ani = ReadAni(rec, kOptionAni.Read(image) != 0);
    e.pagePresent = ReadPagePresent(rec, pagingGate);
    e.pageNumber = ReadPageNumber(rec, pagingGate);

    const bool uhf = hw.uhf != 0;
    e.rxFrequency = DecodeReceive(ReadRxValue(rec), e.rxAltStep, hw.bandStepCode, uhf, hw.firstIfMHz, hw.localOffset);
    const DecodedTransmit tx = DecodeTransmit(ReadTxValue(rec), e.txAltStep, hw.bandStepCode, uhf, e.rxFrequency);
    e.txFrequency = tx.mhz;
    if (tx.setsInhibit) e.txInhibit = 1;

    const ToneValue enc = DecodeTone(ReadEncToneByte(rec));
    const ToneValue dec = DecodeTone(ReadDecToneByte(rec));
    e.encKind = enc.kind;
    e.encCtcss = enc.ctcss;
    e.encDcs = enc.dcs;
    e.decKind = dec.kind;
    e.decCtcss = dec.ctcss;
    e.decDcs = dec.dcs;
}

void ChannelTable::EncodeChannel(int n, RadioImage& image, const HardwareSection& hw) const {
    const bool pagingGate = kOptionBoardPaging.Read(image) != 0;
    const RecordView rec = Record(image, n);
    const ChannelEntry& e = at(n);
    const bool uhf = hw.uhf != 0;
    WriteRxValue(rec, EncodeReceive(e.rxFrequency, e.rxAltStep, hw.bandStepCode, uhf, hw.firstIfMHz, hw.localOffset));
    WriteTxValue(rec, EncodeFrequency(e.txFrequency, e.txAltStep, hw.bandStepCode, uhf));
    kInUse.Write(rec, e.inUse);
    kNarrow.Write(rec, e.narrow);
    kRxAltStep.Write(rec, e.rxAltStep);
    kTxAltStep.Write(rec, e.txAltStep);
    WriteEncryption(rec, e.encryption);
    WriteTwoToneP(rec, e.twoToneP);
    kTwoToneS.Write(rec, e.twoToneS);
    WritePage(rec, pagingGate, e.pageNumber);
    kTxInhibit.Write(rec, e.txInhibit);
    kPower.Write(rec, e.power);
    kTot.Write(rec, e.tot);
    WriteAni(rec, e.ani);
    kProx.Write(rec, e.prox);
    kLockOut.Write(rec, e.lockOut);
    kPowerSaveTx.Write(rec, e.powerSaveTx);
    kPowerSaveRx.Write(rec, e.powerSaveRx);
    kSquelch.Write(rec, e.squelch);
    WriteEncToneByte(rec, EncodeTone(e.encKind, e.encCtcss, e.encDcs));
    WriteDecToneByte(rec, EncodeTone(e.decKind, e.decCtcss, e.decDcs));
}

namespace {
void Toggle(int& v) { v = v ? 0 : 1; }
}  // namespace

bool ChannelTable::EditCell(int n, int column, const RadioImage& image, const CellUi& ui) {
    if (n < 0 || n >= kChannelCount) return false;
    ChannelEntry& e = at(n);
    if (column != kColChannel && !e.inUse) return false;
    switch (column) {
    case kColChannel:
        // Channel 1 always stays in use.
        if (n != 0)
            Toggle(e.inUse);
        else
            e.inUse = 1;
        break;
    case kColWideNarrow: Toggle(e.narrow); break;
    case kColReceive: break;  // edited as text
    case kColTransmit: Toggle(e.txInhibit); break;
    case kColDec:
    case kColEnc: {
        int& kind = column == kColDec ? e.decKind : e.encKind;
        kind = kind >= kToneDcs || kind < 0 ? kToneNone : kind + 1;
        if (!(e.decKind == kToneDcs && e.encKind == kToneDcs)) e.prox = 0;
        break;
    }
    case kColPowerSaveRx: Toggle(e.powerSaveRx); break;
    case kColPowerSaveTx: Toggle(e.powerSaveTx); break;
    case kColPower: Toggle(e.power); break;
    case kColScan: e.scan = ((e.scan & 3) + 1) % 4; break;
    case kColVts:
        if (kOptionKtTrunk.Read(image)) Toggle(e.vts);
        break;
    case kColTot: Toggle(e.tot); break;
    case kColLockOut: e.lockOut = e.lockOut >= 2 || e.lockOut < 0 ? 0 : e.lockOut + 1; break;
    case kColSquelch:
        if (ui.pickValue)
            if (const auto v = ui.pickValue(kColSquelch, e.squelch, n)) e.squelch = *v & 0x0F;
        break;
    case kColAni:
        if (!kOptionAni.Read(image)) Toggle(e.ani);
        break;
    case kColEncryption:
        if (kOptionBoardEncryption.Read(image) || kOptionEncryption.Read(image)) Toggle(e.encryption);
        break;
    case kColPage:
        if (kOptionBoardPaging.Read(image)) {
            if (!e.pagePresent) e.pageNumber = 0;
            if (ui.pickValue) {
                if (const auto v = ui.pickValue(kColPage, e.pageNumber, n)) {
                    e.pageNumber = *v > 0 ? *v : 0;
                    e.pagePresent = *v > 0 ? 1 : 0;
                }
            }
        }
        break;
    case kColProx:
        if (e.decKind == kToneDcs && e.encKind == kToneDcs) {
            Toggle(e.prox);
        } else {
            if (ui.beep) ui.beep();
            return false;
        }
        break;
    case kColTwoToneP:
        if (ui.pickValue)
            if (const auto v = ui.pickValue(kColTwoToneP, e.twoToneP, n)) e.twoToneP = *v > 0 ? *v : 0;
        break;
    case kColTwoToneS: Toggle(e.twoToneS); break;
    default: return false;
    }
    return true;
}

std::optional<std::string> ChannelTable::FrequencyText(int n, int column) const {
    if (n < 0 || n >= kChannelCount) return std::nullopt;
    const ChannelEntry& e = at(n);
    if (!e.inUse) return std::nullopt;
    if (column == kColReceive) return FormatFrequency(e.rxFrequency);
    if (column == kColTransmit)
        return e.txInhibit ? std::string(kInhibitedFrequencyText) : FormatFrequency(e.txFrequency);
    return std::nullopt;
}

bool ChannelTable::SetFrequencyText(int n, int column, const std::string& text, const HardwareSection& hardware,
                                    double defaultSplit) {
    if (n < 0 || n >= kChannelCount) return false;
    ChannelEntry& e = at(n);
    if (column == kColReceive) {
        e.rxFrequency = ParseDecimal(text);
        e.inUse = 1;
        e.rxAltStep = hardware.SnapReceive(e.rxFrequency);
        if (e.rxFrequency != 0.0) {
            e.txFrequency = e.rxFrequency + defaultSplit;
            e.txAltStep = hardware.SnapTransmit(e.txFrequency);
        }
    } else if (column == kColTransmit) {
        if (text != kInhibitedFrequencyText) e.txFrequency = ParseDecimal(text);
        e.txAltStep = hardware.SnapTransmit(e.txFrequency);
    } else {
        return false;
    }
    return true;
}

bool ChannelTable::PickTone(int n, int column, const CellUi& ui) {
    if (n < 0 || n >= kChannelCount || (column != kColDec && column != kColEnc)) return false;
    ChannelEntry& e = at(n);
    if (!e.inUse) return false;
    const bool dec = column == kColDec;
    const int kind = dec ? e.decKind : e.encKind;
    if (kind != kToneCtcss && kind != kToneDcs) {
        if (ui.beep) ui.beep();
        return false;
    }
    const bool dcs = kind == kToneDcs;
    int& index = dcs ? (dec ? e.decDcs : e.encDcs) : (dec ? e.decCtcss : e.encCtcss);
    if (!ui.pickTone) return false;
    const auto chosen = ui.pickTone(dcs, index, n);
    if (!chosen) return false;
    index = *chosen;
    return true;
}

bool ChannelTable::ComplementDcs(int n, int column) {
    if (n < 0 || n >= kChannelCount || (column != kColDec && column != kColEnc)) return false;
    ChannelEntry& e = at(n);
    if (!e.inUse) return false;
    const bool dec = column == kColDec;
    if ((dec ? e.decKind : e.encKind) != kToneDcs) return false;
    int& index = dec ? e.decDcs : e.encDcs;
    index = rt62::ComplementDcs(index);
    return true;
}

void ChannelTable::ResetForBand(bool uhfBand) {
    const double mhz = uhfBand ? 450.0 : 150.0;
    for (ChannelEntry& e : entries) {
        e.inUse = 1;
        e.rxFrequency = mhz;
        e.txFrequency = mhz;
    }
}

void ChannelTable::ApplyOptionChange(int n, int trunk, int paging, int boardEncryption) {
    if (n < 0 || n >= kChannelCount) return;
    ChannelEntry& e = at(n);
    if (!trunk) {
        e.vts = 0;
        if (e.channelType >= 16) e.channelType = n;
    }
    if (!paging) {
        e.pagePresent = 0;
        e.pageNumber = 0;
    }
    if (!boardEncryption) e.encryption = 0;
}

int ChannelTable::ClearPairReferences(int pair, RadioImage& image) {
    int changed = 0;
    for (int n = 0; n < kChannelCount; ++n) {
        if (at(n).twoToneP != pair) continue;
        at(n).twoToneP = 0;
        WriteTwoToneP(Record(image, n), 0);
        ++changed;
    }
    return changed;
}

int ChannelTable::ClearPageReferences(int page, RadioImage& image) {
    const bool gate = kOptionBoardPaging.Read(image) != 0;
    int changed = 0;
    for (int n = 0; n < kChannelCount; ++n) {
        if (at(n).pageNumber != page) continue;
        at(n).pageNumber = 0;
        at(n).pagePresent = 0;
        WritePage(Record(image, n), gate, 0);
        ++changed;
    }
    return changed;
}

// ---------------- OptionSection ----------------

void OptionSection::Decode(const RadioImage& image) {
    boardEncryption = kOptionBoardEncryption.Read(image);
    boardPaging = kOptionBoardPaging.Read(image);
    ktTrunk = kOptionKtTrunk.Read(image);
    ani = kOptionAni.Read(image);
    encryption = kOptionEncryption.Read(image);
}

void OptionSection::Encode(RadioImage& image) const { WriteOptionCode(image, Code()); }

int OptionSection::Code() const {
    return (encryption & 1) | (ani & 1) << 1 | (boardEncryption & 1) << 2 | (boardPaging & 1) << 3 | (ktTrunk & 1) << 4;
}

int OptionSection::DevicePosition() const { return OptionDevicePosition(Code()); }

void OptionSection::SetDevicePosition(int position) {
    const int code = OptionCodeOfPosition(position);
    encryption = code & 1;
    ani = (code >> 1) & 1;
    boardEncryption = (code >> 2) & 1;
    boardPaging = (code >> 3) & 1;
    ktTrunk = (code >> 4) & 1;
}

// ---------------- ScanSection ----------------

void ScanSection::Decode(const RadioImage& image) {
    dualWatch = kDualWatch.Read(image);
    dualWatchTimer = kDualWatchTimer.Read(image);
    scanResumeTime1 = kScanResumeTime1.Read(image);
    scanResumeTime2 = kScanResumeTime2.Read(image);
    talkBack = kTalkBack.Read(image);
    revertChannel = kRevertChannel.Read(image);
    dialScanPosition = ReadDialScanPosition(image);
    priorityChannel = ReadPriorityChannel(image);
    ktTrunkPosition = ReadKtTrunkPosition(image);
    scanSpeed = kScanSpeed.Read(image);
}

void ScanSection::Encode(RadioImage& image) const {
    WriteDialScanPosition(image, dialScanPosition);
    WritePriorityChannel(image, priorityChannel);
    WriteKtTrunkPosition(image, ktTrunkPosition);
    kScanResumeTime1.Write(image, scanResumeTime1);
    kScanResumeTime2.Write(image, scanResumeTime2);
    kDualWatch.Write(image, dualWatch);
    kDualWatchTimer.Write(image, dualWatchTimer);
    kTalkBack.Write(image, talkBack);
    kRevertChannel.Write(image, revertChannel);
    kScanSpeed.Write(image, scanSpeed);
}

// ---------------- KeySection ----------------

void KeySection::Defaults() {
    accKeyPress = 1;
    accKeyHold = 2;
    inUse.fill(false);
    inUse[0] = true;
    inUse[1] = true;
}

void KeySection::Decode(const RadioImage& image) {
    accKeyPress = kAccKeyPress.Read(image);
    accKeyHold = kAccKeyHold.Read(image);
    inUse.fill(false);
    for (int code : {accKeyPress, accKeyHold})
        if (code >= 1 && code <= static_cast<int>(inUse.size())) inUse[static_cast<std::size_t>(code - 1)] = true;
}

void KeySection::Encode(RadioImage& image) const {
    kAccKeyPress.Write(image, accKeyPress);
    kAccKeyHold.Write(image, accKeyHold);
}

// ---------------- CommonSection ----------------

void CommonSection::Decode(const RadioImage& image) {
    transmitTimer = kTransmitTimer.Read(image);
    penaltyTimer = kPenaltyTimer.Read(image);
    releaseTimer = kReleaseTimer.Read(image);
    receiveSaveMode = kReceiveSaveMode.Read(image);
    beep = kBeep.Read(image);
    squelchTailElim = kSquelchTailElim.Read(image);
    bell = kBell.Read(image);
    setToSetClone = kSetToSetClone.Read(image);
    externalJack = kExternalJack.Read(image);
    lampMode = kLampMode.Read(image);
    autoResetTime = ReadAutoResetTime(image);
    callTimes = kCallTimes.Read(image);
}

void CommonSection::Encode(RadioImage& image) const {
    kTransmitTimer.Write(image, transmitTimer);
    kPenaltyTimer.Write(image, penaltyTimer);
    kReleaseTimer.Write(image, releaseTimer);
    kReceiveSaveMode.Write(image, receiveSaveMode);
    kBeep.Write(image, beep);
    kSquelchTailElim.Write(image, squelchTailElim);
    kBell.Write(image, bell);
    kSetToSetClone.Write(image, setToSetClone);
    kExternalJack.Write(image, externalJack);
    kLampMode.Write(image, lampMode);
    WriteAutoResetTime(image, autoResetTime);
    kCallTimes.Write(image, callTimes);
}

// ---------------- signalling records ----------------

void AniSettings::Decode(const RadioImage& image) {
    aniTransmit = kAniTransmit.Read(image);
    dtmfDelay = kDtmfDelay.Read(image);
    dtmfSpeed = kDtmfSpeed.Read(image);
    dtmfCode = ReadDtmfCode(image);
}

void AniSettings::Encode(RadioImage& image) const {
    WriteDtmfCode(image, dtmfCode);
    kAniTransmit.Write(image, aniTransmit);
    kDtmfDelay.Write(image, dtmfDelay);
    kDtmfSpeed.Write(image, dtmfSpeed);
}

std::string DtmfKeypadText(std::string_view text, std::size_t maxLength) {
    std::string out;
    for (char c : text) {
        if (out.size() >= maxLength) break;
        if (!FilterAccepts(kFilterDtmf, static_cast<unsigned char>(c), 0)) continue;
        out += c >= 'a' && c <= 'd' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

void StoreAniCode(RadioImage& image, std::string_view code) {
    AniSettings ani;
    ani.Decode(image);
    ani.dtmfCode = DtmfKeypadText(code, kAniCodeLength);
    ani.Encode(image);
}

void PageSettings::Decode(const RadioImage& image) {
    pagingDtmfSpeed = kPagingDtmfSpeed.Read(image);
    answerBack = kAnswerBack.Read(image);
    boardPaging = kOptionBoardPaging.Read(image);
}

void PageSettings::Encode(RadioImage& image) const {
    kPagingDtmfSpeed.Write(image, pagingDtmfSpeed);
    kAnswerBack.Write(image, answerBack);
}

void PageCodeList::Decode(const RadioImage& image) {
    for (int k = 1; k <= kPageCodeCount; ++k) {
        const PageCode p = ReadPageCode(image, k);
        codes[static_cast<std::size_t>(k - 1)] = p.code;
        selectors[static_cast<std::size_t>(k - 1)] = p.selector;
    }
    boardPaging = kOptionBoardPaging.Read(image);
}

void PageCodeList::Encode(RadioImage& image) const {
    for (int k = 1; k <= kPageCodeCount; ++k)
        WritePageCode(image, k, {codes[static_cast<std::size_t>(k - 1)], selectors[static_cast<std::size_t>(k - 1)]});
}

void TwoToneSettings::Decode(const RadioImage& image, TwoToneFormat format) {
    primaryGroupCall = kPrimaryGroupCall.Read(image);
    secondaryGroupCall = kSecondaryGroupCall.Read(image);
    secondaryPagePair = kSecondaryPagePair.Read(image);
    toneFormat = format;
    ctcssDcsComplement = kCtcssDcsComplement.Read(image);
    duty = kDuty.Read(image);
}

void TwoToneSettings::Encode(RadioImage& image) const {
    kPrimaryGroupCall.Write(image, primaryGroupCall);
    kSecondaryGroupCall.Write(image, secondaryGroupCall);
    kSecondaryPagePair.Write(image, secondaryPagePair);
    kCtcssDcsComplement.Write(image, ctcssDcsComplement);
    kDuty.Write(image, duty);
}

void PairTable::Decode(const RadioImage& image, TwoToneFormat& format) { pairs = DecodePairs(image, format); }

void PairTable::Encode(RadioImage& image, TwoToneFormat format) const { EncodePairs(image, pairs, format); }

void SignalingSection::Defaults() {
    ani.Defaults();
    pageSettings.Defaults();
    pageCodes.Defaults();
    twoTone.Defaults();
    pairTable.Defaults();
}

void SignalingSection::Decode(const RadioImage& image, TwoToneFormat& format) {
    ani.Decode(image);
    pageSettings.Decode(image);
    pageCodes.Decode(image);
    twoTone.Decode(image, format);
    pairTable.Decode(image, format);
}

void SignalingSection::Encode(RadioImage& image, TwoToneFormat format) const {
    ani.Encode(image);
    pageSettings.Encode(image);
    pageCodes.Encode(image);
    twoTone.Encode(image);
    pairTable.Encode(image, format);
}

}  // namespace rt62
