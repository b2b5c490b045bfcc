// Cell names in words: the grid's glyphs ("v", "BC", "-------") become what they mean.
#include "core/grid/cell_speech.h"

#include "core/image/cells.h"
#include "core/image/frequency.h"
#include "core/image/layout.h"
#include "core/image/strings.h"
#include "core/image/text_rules.h"
#include "core/image/tones.h"

#include <initializer_list>

namespace rt62 {

namespace {

std::string Text(int id) { return std::string(StringText(id)); }

std::string OnOff(int value) { return Text(value != 0 ? kStrSpeechOn : kStrSpeechOff); }

// A stored value no list has a word for is still named, never shown as a bare glyph.
std::string Unknown(int value) { return FormatString(kStrSpeechUnknown, {std::to_string(value)}); }

std::string Choice(int value, std::initializer_list<int> ids) {
    if (value < 0 || static_cast<std::size_t>(value) >= ids.size()) return Unknown(value);
    return Text(ids.begin()[value]);
}

std::string Frequency(double mhz) {
    const std::string text = FormatFrequency(mhz);
    return FormatString(kStrSpeechMHz, {std::string(Trim(text))});
}

std::string Tone(int kind, int ctcss, int dcs) {
    switch (kind) {
    case kToneNone: return Text(kStrSpeechNone);
    case kToneCtcss: {
        const std::string tone(Trim(CtcssText(ctcss)));
        return tone.empty() ? Unknown(ctcss) : FormatString(kStrSpeechCtcss, {tone});
    }
    case kToneDcs: {
        const std::string code(Trim(DcsText(dcs)));
        return code.empty() ? Unknown(dcs) : FormatString(kStrSpeechDcs, {code});
    }
    default: return Unknown(kind);
    }
}

// A number the cell shows, or "none" where the cell shows "-".
std::string NumberOrNone(const std::string& cellText) {
    const std::string_view t = Trim(cellText);
    return t == "-" || t.empty() ? Text(kStrSpeechNone) : std::string(t);
}

}  // namespace

std::string ChannelValueSpeech(const ImageModel& model, int n, int column) {
    if (n < 0 || n >= kChannelCount || column < 0 || column >= kGridColumnCount) return {};
    const ChannelEntry& e = model.channels.at(n);
    switch (column) {
    case kColChannel: return Text(e.inUse != 0 ? kStrSpeechInUse : kStrSpeechNotInUse);
    case kColWideNarrow: return Choice(e.narrow, {kStrSpeechWide, kStrSpeechNarrow});
    case kColReceive: return Frequency(e.rxFrequency);
    case kColTransmit: return e.txInhibit ? Text(kStrSpeechTxInhibit) : Frequency(e.txFrequency);
    case kColDec: return Tone(e.decKind, e.decCtcss, e.decDcs);
    case kColEnc: return Tone(e.encKind, e.encCtcss, e.encDcs);
    case kColPowerSaveRx: return OnOff(e.powerSaveRx);
    case kColPowerSaveTx: return OnOff(e.powerSaveTx);
    case kColPower: return Choice(e.power, {kStrSpeechHigh, kStrSpeechLow});
    case kColScan: return OnOff(e.scan & 1); // 2 and 3 show as 0 and 1
    case kColVts: return OnOff(e.vts);
    case kColTot: return OnOff(e.tot);
    case kColLockOut:
        return Choice(e.lockOut, {kStrSpeechLockOff, kStrSpeechLockBusyChannel, kStrSpeechLockBusyTone});
    case kColSquelch: return std::to_string(e.squelch);
    case kColAni: return OnOff(e.ani);
    case kColEncryption: return OnOff(e.encryption);
    // What the cell shows: without the paging option a page code is not in effect.
    case kColPage: return NumberOrNone(ChannelCellText(model, n, column));
    case kColProx: return OnOff(e.prox);
    case kColTwoToneP: return NumberOrNone(ChannelCellText(model, n, column));
    case kColTwoToneS: return OnOff(e.twoToneS);
    default: return {};
    }
}

std::string ChannelCellSpeech(const ImageModel& model, int n, int column) {
    if (n < 0 || n >= kChannelCount || column < 0 || column >= kGridColumnCount) return {};
    // The Type cell's own value already says whether the channel is in use.
    const bool unused = model.channels.at(n).inUse == 0 && column != kColChannel;
    return FormatString(unused ? kStrSpeechCellUnused : kStrSpeechCell,
                        {std::to_string(n + 1), ColumnSpeech(column), ChannelValueSpeech(model, n, column)});
}

std::string ColumnSpeech(int column) {
    if (column < 0 || column >= kGridColumnCount) return {};
    return Text(kStrSpeechColumnFirst + column);
}

std::string ColumnHeaderSpeech(int column) {
    if (column < 0 || column >= kGridColumnCount) return {};
    return Text(kStrSpeechHeaderFirst + column);
}

std::string ChannelColumnSubject(int n, int column) {
    return FormatString(kStrSpeechSubject, {std::to_string(n + 1), ColumnSpeech(column)});
}

}  // namespace rt62
