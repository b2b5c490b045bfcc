#include "gui/dialogs/hardware_dialog.h"
#include "gui/common/qt_prompter.h"

#include "gui/dialogs/dialog_values.h"
#include "core/app/setting_forms.h"
#include "core/image/text_rules.h"
#include "gui/dialogs/input_controls.h"
#include "core/image/document.h"
#include "core/image/frequency.h"
#include "core/image/model.h"

#include <QFormLayout>
#include <QVBoxLayout>

namespace rt62 {
namespace {

QString Megahertz(double mhz) { return QString::asprintf("%5.2fMHz", mhz); }

// The two step choices of the band, as the band/step table spells them.
QStringList StepItems(bool uhf) {
    QStringList items;
    for (int code = uhf ? 2 : 0; code < (uhf ? 4 : 2); ++code) {
        const std::string_view text = BandStepInfo(code).stepText;
        items << QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }
    return items;
}

}  // namespace

HardwareDialog::HardwareDialog(CRT62MDoc& doc, bool serviceMode, Prompter& prompter, QWidget* parent)
    : ParamDialog(kResourceId, true, parent), doc_(doc), prompter_(prompter) {
    setWindowTitle(TableText(4984));
    for (int id = kBand; id <= kCtcssRelease; ++id) lists_[static_cast<std::size_t>(id - kBand)] = makeCombo(id);
    refXtal_ = makeFilterEdit(kRefXtal, kFilterDecimal, 5);
    firstIf_ = makeFilterEdit(kFirstIf, kFilterDecimal, 5);

    auto* form = new QFormLayout;
    addRow(form, TableText(5050), list(kBand));
    addRow(form, TableText(5051), refXtal_);
    addRow(form, TableText(5052), firstIf_);
    addRow(form, TableText(5053), list(kLocalOffset));
    addRow(form, TableText(5054), list(kChannelStep));
    addRow(form, TableText(5055), list(kDcsRx));
    addRow(form, TableText(5056), list(kDcsTx));
    addRow(form, TableText(5057), list(kSqlRelease));
    addRow(form, TableText(5058), list(kSqlAttack));
    addRow(form, TableText(5059), list(kSqlHysteresis));
    addRow(form, TableText(5060), list(kReceiveSaveOff));
    addRow(form, TableText(5061), list(kCtcssRelease));
    body()->addLayout(form);

    splitCopy_ = doc_.DefaultSplit();
    // Every hardware value is a service setting; the table of settings says when each opens.
    const char* listPaths[] = {"radio.band",
                               "hardware.local_offset",
                               "hardware.channel_step",
                               "hardware.dcs_rx_data",
                               "hardware.dcs_tx_data",
                               "hardware.sql_release_time",
                               "hardware.sql_attack_time",
                               "hardware.sql_hysterisis",
                               "hardware.receive_save_off_time",
                               "hardware.ctcss_release_time"};
    for (std::size_t i = 0; i < lists_.size(); ++i)
        lists_[i]->setEnabled(SettingOpen(listPaths[i], doc_.Model(), serviceMode));
    refXtal_->setAvailable(SettingOpen("hardware.ref_xtal", doc_.Model(), serviceMode));
    firstIf_->setAvailable(SettingOpen("hardware.1st_if", doc_.Model(), serviceMode));
    fillLists();
    selectValues();
    showFrequencies();
}

void HardwareDialog::fillLists() {
    const HardwareSection& hw = doc_.Model().hardware;
    const QStringList items[] = {
        DialogListTexts("radio.band"),
        DialogListTexts("hardware.local_offset"),
        StepItems(hw.uhf != 0),
        DialogListTexts("hardware.dcs_rx_data"),
        DialogListTexts("hardware.dcs_tx_data"),
        DialogListTexts("hardware.sql_release_time"),
        DialogListTexts("hardware.sql_attack_time"),
        DialogListTexts("hardware.sql_hysterisis"),
        DialogListTexts("hardware.receive_save_off_time"),
        DialogListTexts("hardware.ctcss_release_time"),
    };
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        lists_[i]->clear();
        lists_[i]->addItems(items[i]);
    }
}

void HardwareDialog::selectValues() {
    const HardwareSection& hw = doc_.Model().hardware;
    SelectListValue(list(kBand), hw.uhf);
    SelectListValue(list(kLocalOffset), hw.localOffset);
    SelectListValue(list(kChannelStep), hw.bandStepCode - (hw.uhf ? 2 : 0));
    SelectListValue(list(kDcsRx), hw.dcsRxData);
    SelectListValue(list(kDcsTx), hw.dcsTxData);
    SelectListValue(list(kSqlRelease), hw.sqlReleaseTime);
    SelectListValue(list(kSqlAttack), hw.sqlAttackTime);
    SelectListValue(list(kSqlHysteresis), hw.sqlHysteresis);
    SelectListValue(list(kReceiveSaveOff), hw.receiveSaveOffTime);
    SelectListValue(list(kCtcssRelease), hw.ctcssReleaseTime);
}

void HardwareDialog::showFrequencies() {
    const HardwareSection& hw = doc_.Model().hardware;
    refXtal_->setText(Megahertz(hw.refXtalMHz));
    firstIf_->setText(Megahertz(hw.firstIfMHz));
}

void HardwareDialog::changeBand(int index) {
    HardwareSection& hw = doc_.Model().hardware;
    // Choosing the band already set is no change: nothing to confirm or reset.
    if (index == hw.uhf) return;
    if (ShowMessage(prompter_, kBandChangeQuestion, Buttons::YesNo, Icon::Exclamation) != Answer::Yes) {
        SelectListValue(list(kBand), hw.uhf);
        return;
    }
    bandChanged_ = true;
    hw.SetBand(index == 1, splitCopy_);
    fillLists();
    selectValues();
    showFrequencies();
    doc_.Model().channels.ResetForBand(index == 1);
    doc_.SetModifiedFlag();
}

void HardwareDialog::SelectionChanged(int id, int index) {
    if (index < 0) return;
    HardwareSection& hw = doc_.Model().hardware;
    switch (id) {
    case kBand: changeBand(index); return;
    case kLocalOffset:
        hw.localOffset = index;
        hardwareChanged_ = true;
        break;
    case kChannelStep: {
        hw.bandStepCode = index + (hw.uhf ? 2 : 0);
        hardwareChanged_ = true;
        // A smaller step leaves less room in the reference count: keep Ref XTAL within it.
        const double limit = HardwareSection::RefXtalLimitMHz(hw.bandStepCode);
        if (hw.refXtalMHz > limit) {
            hw.refXtalMHz = limit;
            showFrequencies();
        }
        break;
    }
    case kDcsRx: hw.dcsRxData = index; break;
    case kDcsTx: hw.dcsTxData = index; break;
    case kSqlRelease: hw.sqlReleaseTime = index; break;
    case kSqlAttack: hw.sqlAttackTime = index; break;
    case kSqlHysteresis: hw.sqlHysteresis = index; break;
    case kReceiveSaveOff: hw.receiveSaveOffTime = index; break;
    case kCtcssRelease: hw.ctcssReleaseTime = index; break;
    default: return;
    }
    doc_.SetModifiedFlag();
}

void HardwareDialog::CommitField(int id, FilterEdit* edit) {
    HardwareSection& hw = doc_.Model().hardware;
    double value = ParseLeadingNumber(edit->text());
    if (id == kRefXtal) {
        const double limit = HardwareSection::RefXtalLimitMHz(hw.bandStepCode);
        if (value > limit) value = limit;
        hw.refXtalMHz = value;
    } else {
        if (value > HardwareSection::kFirstIfLimitMHz) value = HardwareSection::kFirstIfLimitMHz;
        hw.firstIfMHz = value;
    }
    hardwareChanged_ = true;
    doc_.SetModifiedFlag();
    edit->setText(Megahertz(value));
}

void HardwareDialog::StoreOnOk() {
    doc_.SetDefaultSplit(splitCopy_);
    NormalizeImage(doc_.Model());
}

void HardwareDialog::RestoreOnCancel() {
    // The image still holds what was there when the dialog opened.
    DecodeImage(doc_.Model());
    bandChanged_ = false;
    hardwareChanged_ = false;
}

}  // namespace rt62
