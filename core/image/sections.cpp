// Section objects: decode areas of the image into plain values, encode them back, and edit channels.
#include "core/image/sections.h"

#include "core/image/fields.h"
#include "core/image/frequency.h"
#include "core/image/layout.h"
#include "core/image/text_rules.h"
#include "core/image/tones.h"

namespace rt62 {

using namespace layout;

namespace {

// A plain bit field (of the image or of a channel record) and the member that holds it. Each section's
// Decode and Encode walk one table of these, so no field is read without being written back or the
// other way round; what is more than a bit field is decoded and encoded beside the table.
template <class Field, class Owner>
struct Bound {
    Field field;
    int Owner::*member;
};
template <class Owner>
using ImageBound = Bound<ImageField, Owner>;
using RecordBound = Bound<RecordField, ChannelEntry>;

template <class Field, class Owner, std::size_t N, class Place>
void DecodeFields(const Bound<Field, Owner> (&table)[N], const Place& place, Owner& owner) {
    for (const Bound<Field, Owner>& b : table)
        owner.*b.member = b.field.Read(place);
}

template <class Field, class Owner, std::size_t N, class Place>
void EncodeFields(const Bound<Field, Owner> (&table)[N], const Owner& owner, Place&& place) {
    for (const Bound<Field, Owner>& b : table)
        b.field.Write(place, owner.*b.member);
}

}  // namespace

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
// The Ref XTAL and First IF counts are written apart: an unedited image keeps the counts it had.
constexpr ImageBound<HardwareSection> kHardwareFields[] = {
    {kBandStepCode, &HardwareSection::bandStepCode},
    {kLocalOffset, &HardwareSection::localOffset},
    {kSqlReleaseTime, &HardwareSection::sqlReleaseTime},
    {kSqlAttackTime, &HardwareSection::sqlAttackTime},
    {kSqlHysteresis, &HardwareSection::sqlHysteresis},
    {kCtcssReleaseTime, &HardwareSection::ctcssReleaseTime},
    {kDcsRxData, &HardwareSection::dcsRxData},
    {kDcsTxData, &HardwareSection::dcsTxData},
    {kReceiveSaveOffTime, &HardwareSection::receiveSaveOffTime},
};

int RefXtalCount(double mhz, int stepHz) { return static_cast<int>(MHzToHz(mhz) / stepHz); }
int FirstIfKhz(double mhz) { return static_cast<int>(MHzToHz(mhz) / 1000); }
}  // namespace

void HardwareSection::Defaults() { *this = HardwareSection(); }

void HardwareSection::Decode(const RadioImage& image) {
    DecodeFields(kHardwareFields, image, *this);
    uhf = IsUhfCode(bandStepCode) ? 1 : 0;
    const int mainCount = ReadRefXtalMainCount(image);
    const int ifKhz = ReadFirstIfKhz(image);
    // Truncating either value back to a count gives the count read.
    refXtalMHz = HzToMHz(static_cast<long long>(mainCount) * BandStepInfo(bandStepCode).mainStepHz);
    // The IF reads as kHz x 0.001, so a count of 51035 shows 51.04 (not 51.03 as via whole hertz).
    firstIfMHz = ifKhz * 0.001;
    decoded_ = Decoded{bandStepCode, refXtalMHz, firstIfMHz, mainCount, ReadRefXtalAltCount(image), ifKhz};
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
    EncodeFields(kHardwareFields, *this, image);
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

namespace {
// The gated fields (encryption, ANI, page, two-tone pair), the frequencies and the tones are coded apart.
constexpr RecordBound kChannelFields[] = {
    {kInUse, &ChannelEntry::inUse},
    {kNarrow, &ChannelEntry::narrow},
    {kRxAltStep, &ChannelEntry::rxAltStep},
    {kTxAltStep, &ChannelEntry::txAltStep},
    {kTwoToneS, &ChannelEntry::twoToneS},
    {kTxInhibit, &ChannelEntry::txInhibit},
    {kPower, &ChannelEntry::power},
    {kTot, &ChannelEntry::tot},
    {kProx, &ChannelEntry::prox},
    {kLockOut, &ChannelEntry::lockOut},
    {kPowerSaveTx, &ChannelEntry::powerSaveTx},
    {kPowerSaveRx, &ChannelEntry::powerSaveRx},
    {kSquelch, &ChannelEntry::squelch},
};
}  // namespace

void ChannelTable::DecodeChannel(int n, const RadioImage& image, const HardwareSection& hw) {
    const ConstRecordView rec = Record(image, n);
    ChannelEntry& e = at(n);
    DecodeFields(kChannelFields, rec, e);

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
    EncodeFields(kChannelFields, e, rec);
    WriteEncryption(rec, e.encryption);
    WriteTwoToneP(rec, e.twoToneP);
    WritePage(rec, pagingGate, e.pageNumber);
    WriteAni(rec, e.ani);
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

namespace {
constexpr ImageBound<OptionSection> kOptionFields[] = {
    {kOptionBoardEncryption, &OptionSection::boardEncryption},
    {kOptionBoardPaging, &OptionSection::boardPaging},
    {kOptionKtTrunk, &OptionSection::ktTrunk},
    {kOptionAni, &OptionSection::ani},
    {kOptionEncryption, &OptionSection::encryption},
};
}  // namespace

void OptionSection::Decode(const RadioImage& image) { DecodeFields(kOptionFields, image, *this); }

void OptionSection::Encode(RadioImage& image) const { EncodeFields(kOptionFields, *this, image); }

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

namespace {
// The three channel positions (an enable bit and a nibble each) are coded apart.
constexpr ImageBound<ScanSection> kScanFields[] = {
    {kScanResumeTime1, &ScanSection::scanResumeTime1}, {kScanResumeTime2, &ScanSection::scanResumeTime2},
    {kDualWatch, &ScanSection::dualWatch},             {kDualWatchTimer, &ScanSection::dualWatchTimer},
    {kTalkBack, &ScanSection::talkBack},               {kRevertChannel, &ScanSection::revertChannel},
    {kScanSpeed, &ScanSection::scanSpeed},
};
}  // namespace

void ScanSection::Decode(const RadioImage& image) {
    DecodeFields(kScanFields, image, *this);
    dialScanPosition = ReadDialScanPosition(image);
    priorityChannel = ReadPriorityChannel(image);
    ktTrunkPosition = ReadKtTrunkPosition(image);
}

void ScanSection::Encode(RadioImage& image) const {
    WriteDialScanPosition(image, dialScanPosition);
    WritePriorityChannel(image, priorityChannel);
    WriteKtTrunkPosition(image, ktTrunkPosition);
    EncodeFields(kScanFields, *this, image);
}

// ---------------- KeySection ----------------

void KeySection::Defaults() {
    accKeyPress = 1;
    accKeyHold = 2;
    inUse.fill(false);
    inUse[0] = true;
    inUse[1] = true;
}

namespace {
constexpr ImageBound<KeySection> kKeyFields[] = {
    {kAccKeyPress, &KeySection::accKeyPress},
    {kAccKeyHold, &KeySection::accKeyHold},
};
}  // namespace

void KeySection::Decode(const RadioImage& image) {
    DecodeFields(kKeyFields, image, *this);
    inUse.fill(false);
    for (int code : {accKeyPress, accKeyHold})
        if (code >= 1 && code <= static_cast<int>(inUse.size())) inUse[static_cast<std::size_t>(code - 1)] = true;
}

void KeySection::Encode(RadioImage& image) const { EncodeFields(kKeyFields, *this, image); }

// ---------------- CommonSection ----------------

namespace {
// The auto reset time (an enable bit and a nibble) is coded apart.
constexpr ImageBound<CommonSection> kCommonFields[] = {
    {kTransmitTimer, &CommonSection::transmitTimer},     {kPenaltyTimer, &CommonSection::penaltyTimer},
    {kReleaseTimer, &CommonSection::releaseTimer},       {kReceiveSaveMode, &CommonSection::receiveSaveMode},
    {kBeep, &CommonSection::beep},                       {kSquelchTailElim, &CommonSection::squelchTailElim},
    {kBell, &CommonSection::bell},                       {kSetToSetClone, &CommonSection::setToSetClone},
    {kExternalJack, &CommonSection::externalJack},       {kLampMode, &CommonSection::lampMode},
    {kCallTimes, &CommonSection::callTimes},
};
}  // namespace

void CommonSection::Decode(const RadioImage& image) {
    DecodeFields(kCommonFields, image, *this);
    autoResetTime = ReadAutoResetTime(image);
}

void CommonSection::Encode(RadioImage& image) const {
    EncodeFields(kCommonFields, *this, image);
    WriteAutoResetTime(image, autoResetTime);
}

// ---------------- signalling records ----------------

namespace {
constexpr ImageBound<AniSettings> kAniFields[] = {
    {kAniTransmit, &AniSettings::aniTransmit},
    {kDtmfDelay, &AniSettings::dtmfDelay},
    {kDtmfSpeed, &AniSettings::dtmfSpeed},
};
}  // namespace

void AniSettings::Decode(const RadioImage& image) {
    DecodeFields(kAniFields, image, *this);
    dtmfCode = ReadDtmfCode(image);
}

void AniSettings::Encode(RadioImage& image) const {
    WriteDtmfCode(image, dtmfCode);
    EncodeFields(kAniFields, *this, image);
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

namespace {
constexpr ImageBound<PageSettings> kPageFields[] = {
    {kPagingDtmfSpeed, &PageSettings::pagingDtmfSpeed},
    {kAnswerBack, &PageSettings::answerBack},
};
}  // namespace

void PageSettings::Decode(const RadioImage& image) {
    DecodeFields(kPageFields, image, *this);
    boardPaging = kOptionBoardPaging.Read(image); // read only: the Option dialog sets it
}

void PageSettings::Encode(RadioImage& image) const { EncodeFields(kPageFields, *this, image); }

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

namespace {
// The tone format is not in these bits: the document keeps it.
constexpr ImageBound<TwoToneSettings> kTwoToneFields[] = {
    {kPrimaryGroupCall, &TwoToneSettings::primaryGroupCall},
    {kSecondaryGroupCall, &TwoToneSettings::secondaryGroupCall},
    {kSecondaryPagePair, &TwoToneSettings::secondaryPagePair},
    {kCtcssDcsComplement, &TwoToneSettings::ctcssDcsComplement},
    {kDuty, &TwoToneSettings::duty},
};
}  // namespace

void TwoToneSettings::Decode(const RadioImage& image, TwoToneFormat format) {
    DecodeFields(kTwoToneFields, image, *this);
    toneFormat = format;
}

void TwoToneSettings::Encode(RadioImage& image) const { EncodeFields(kTwoToneFields, *this, image); }

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
