#include "gui/dialogs/power_saving_dialog.h"
#include "gui/common/qt_prompter.h"

#include "gui/dialogs/dialog_values.h"
#include "gui/dialogs/input_controls.h"
#include "core/image/document.h"

#include <QFormLayout>
#include <QVBoxLayout>

namespace rt62 {

PowerSavingDialog::PowerSavingDialog(CRT62MDoc& doc, QWidget* parent)
    : ParamDialog(kResourceId, true, parent), doc_(doc) {
    setWindowTitle(TableText(4987));
    common_.Decode(doc_.Image());

    auto* form = new QFormLayout;
    EnterCombo* l = makeCombo(kTransmitTimer, DialogListTexts("power_saving.transmit_timer"));
    addRow(form, TableText(5076), l);
    SelectListValue(l, common_.transmitTimer);
    l = makeCombo(kPenaltyTimer, DialogListTexts("power_saving.penalty_timer"));
    addRow(form, TableText(5077), l);
    SelectListValue(l, common_.penaltyTimer);
    l = makeCombo(kReleaseTimer, DialogListTexts("power_saving.release_timer"));
    addRow(form, TableText(5078), l);
    SelectListValue(l, common_.releaseTimer);
    l = makeCombo(kReceiveSaveMode, DialogListTexts("power_saving.receive_save_mode"));
    addRow(form, TableText(5079), l);
    SelectListValue(l, common_.receiveSaveMode);
    body()->addLayout(form);
}

void PowerSavingDialog::SelectionChanged(int id, int index) {
    if (index < 0) return;
    switch (id) {
    case kTransmitTimer: common_.transmitTimer = index; break;
    case kPenaltyTimer: common_.penaltyTimer = index; break;
    case kReleaseTimer: common_.releaseTimer = index; break;
    case kReceiveSaveMode: common_.receiveSaveMode = index; break;
    default: return;
    }
    doc_.SetModifiedFlag();
}

void PowerSavingDialog::StoreOnOk() { common_.Encode(doc_.Image()); }

}  // namespace rt62
