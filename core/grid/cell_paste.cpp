// Paste rules of the grid columns and the channel copy.
#include "core/grid/cell_paste.h"

#include "core/grid/cell_input.h"
#include "core/image/cells.h"
#include "core/image/fields.h"
#include "core/image/frequency.h"
#include "core/image/layout.h"
#include "core/image/text_rules.h"
#include "core/image/tones.h"
#include "core/image/twotone.h"

namespace rt62 {

namespace {

// A mark column's text: "-" off, "v" on.
bool ReadMark(std::string_view text, int& value) {
    if (text == "-") {
        value = 0;
        return true;
    }
    if (text == "v") {
        value = 1;
        return true;
    }
    return false;
}

PasteResult Stored() {
    return {PasteOutcome::Stored, -1};
}
PasteResult Refused() {
    return {PasteOutcome::Refused, -1};
}

PasteResult PasteChannelCopy(ImageModel& model, int n, const std::string& text, const PasteContext& context) {
    if (text.find('.') != std::string::npos) return Refused();
    const int source = ReadWholeNumber(text);
    if (source < 1 || source > kChannelCount || source == n + 1) return Refused();
    const std::string destinationCell = ChannelCellText(model, n, kColChannel);
    if (context.confirmCopy && !context.confirmCopy(text, destinationCell))
        return {PasteOutcome::CopyDeclined, source - 1};
    CopyChannel(model, source - 1, n, context.items);
    return {PasteOutcome::CopyConfirmed, source - 1};
}

} // namespace

bool PageCodeInUse(const RadioImage& image, int page) {
    if (page < 1 || page > 10) return false;
    return !ReadPageCode(image, page).code.empty();
}

bool TwoTonePairOn(const RadioImage& image, TwoToneFormat format, int pair) {
    if (pair < 1 || pair > 6) return false;
    return DecodePairs(image, format)[static_cast<std::size_t>(pair - 1)].group != 0;
}

void CopyChannel(ImageModel& model, int source, int destination, const ColumnItemValues& items) {
    if (source < 0 || source >= kChannelCount || destination < 0 || destination >= kChannelCount) return;
    const ChannelEntry s = model.channels.at(source);
    ChannelEntry& d = model.channels.at(destination);
    const auto shown = [&items](int item) { return items[static_cast<std::size_t>(item)] == 1; };

    if (shown(0)) d.narrow = s.narrow;
    if (shown(1)) {
        d.rxFrequency = s.rxFrequency;
        d.txFrequency = s.txFrequency;
        d.txInhibit = s.txInhibit;
        d.rxAltStep = model.hardware.SnapFrequency(d.rxFrequency);
        d.txAltStep = model.hardware.SnapFrequency(d.txFrequency);
    }
    if (shown(2)) {
        d.decKind = s.decKind;
        d.encKind = s.encKind;
        d.decCtcss = s.decCtcss;
        d.encCtcss = s.encCtcss;
        d.decDcs = s.decDcs;
        d.encDcs = s.encDcs;
    }
    if (shown(3)) {
        d.powerSaveRx = s.powerSaveRx;
        d.powerSaveTx = s.powerSaveTx;
    }
    if (shown(4)) d.power = s.power;
    if (shown(5)) d.scan = s.scan;
    if (shown(6)) d.vts = s.vts;
    if (shown(7)) d.tot = s.tot;
    if (shown(8)) d.lockOut = s.lockOut;
    if (shown(9)) d.squelch = s.squelch;
    if (shown(10)) d.ani = s.ani;
    if (shown(11)) d.encryption = s.encryption;
    if (shown(12)) {
        d.pageNumber = s.pageNumber;
        d.pagePresent = s.pagePresent;
    }
    if (shown(13)) d.prox = s.prox;
    if (shown(14)) {
        d.twoToneP = s.twoToneP;
        d.twoToneS = s.twoToneS;
    }
    // Channel 1 is always in use.
    if (destination != 0) d.inUse = s.inUse;
}

PasteResult PasteIntoCell(ImageModel& model, int n, int column, const std::string& text,
                          const PasteContext& context) {
    if (n < 0 || n >= kChannelCount) return Refused();
    ChannelEntry& e = model.channels.at(n);
    if (column == kColChannel) return PasteChannelCopy(model, n, text, context);
    if (!e.inUse) return Refused();

    switch (column) {
    case kColWideNarrow:
        if (text != "W" && text != "N") return Refused();
        e.narrow = text == "N" ? 1 : 0;
        return Stored();
    case kColReceive:
        if (!IsCellEditText(text)) return Refused();
        SetFrequencyText(model, n, kColReceive, text);
        return Stored();
    case kColTransmit:
        if (text == kInhibitedFrequencyText) {
            e.txInhibit = 1;
            return Stored();
        }
        // A refused text must not switch transmission back on behind the user's back.
        if (!IsCellEditText(text)) return Refused();
        e.txInhibit = 0;
        SetFrequencyText(model, n, kColTransmit, text);
        return Stored();
    case kColDec:
    case kColEnc: {
        const std::optional<ToneValue> tone = ParseToneText(text, ToneSpelling::Cell);
        if (!tone) return Refused();
        const bool dec = column == kColDec;
        (dec ? e.decKind : e.encKind) = tone->kind;
        // A tone of one list keeps the other list's position; no tone clears both.
        if (tone->kind != kToneDcs) (dec ? e.decCtcss : e.encCtcss) = tone->ctcss;
        if (tone->kind != kToneCtcss) (dec ? e.decDcs : e.encDcs) = tone->dcs;
        return Stored();
    }
    case kColPower:
        if (text != "H" && text != "L") return Refused();
        e.power = text == "L" ? 1 : 0;
        return Stored();
    case kColScan:
        return ReadMark(text, e.scan) ? Stored() : Refused();
    case kColLockOut:
        if (text == "--")
            e.lockOut = 0;
        else if (text == "BC")
            e.lockOut = 1;
        else if (text == "BT")
            e.lockOut = 2;
        else
            return Refused();
        return Stored();
    case kColSquelch: {
        const int level = ReadWholeNumber(text);
        if (level == 0 && text != "0" && text != " 0") return Refused();
        if (level < 0 || level > 12) return Refused();
        e.squelch = level;
        return Stored();
    }
    case kColPage: {
        const int page = ReadWholeNumber(text);
        if (page == 0) {
            e.pageNumber = 0;
            e.pagePresent = 0;
            return Stored();
        }
        if (!PageCodeInUse(model.image, page)) return Refused();
        e.pageNumber = page;
        e.pagePresent = 1;
        return Stored();
    }
    case kColTwoToneP: {
        const int pair = ReadWholeNumber(text);
        if (pair != 0 && !TwoTonePairOn(model.image, model.twoToneFormat, pair)) return Refused();
        e.twoToneP = pair;
        return Stored();
    }
    case kColPowerSaveRx:
        return ReadMark(text, e.powerSaveRx) ? Stored() : Refused();
    case kColPowerSaveTx:
        return ReadMark(text, e.powerSaveTx) ? Stored() : Refused();
    case kColVts:
        return ReadMark(text, e.vts) ? Stored() : Refused();
    case kColTot:
        return ReadMark(text, e.tot) ? Stored() : Refused();
    case kColAni:
        return ReadMark(text, e.ani) ? Stored() : Refused();
    case kColEncryption:
        return ReadMark(text, e.encryption) ? Stored() : Refused();
    case kColTwoToneS:
        return ReadMark(text, e.twoToneS) ? Stored() : Refused();
    case kColProx:
        if (e.decKind != kToneDcs || e.encKind != kToneDcs) return Refused();
        return ReadMark(text, e.prox) ? Stored() : Refused();
    default:
        return Refused();
    }
}

} // namespace rt62
