#include "gui/dialogs/power_saving_dialog.h"

#include "gui/dialogs/dialog_values.h"
#include "gui/dialogs/input_controls.h"
#include "core/image/document.h"

#include <QFormLayout>
#include <QVBoxLayout>

namespace rt62 {

PowerSavingDialog::PowerSavingDialog(CRT62MDoc& doc, QWidget* parent)
    : ParamDialog(kResourceId, true, parent), doc_(doc) {
    setWindowTitle(QStringLiteral("Power Saving Parameters"));
    common_.Decode(doc_.Image());

    QStringList minutes{"0.5 Mins"};
    for (int m = 1; m <= 7; ++m) minutes << QString::asprintf("%-3d Mins", m);
    QStringList penalty, release;
    for (const char* s : {"0 ", "6 ", "20", "60"}) penalty << QStringLiteral("%1 Secs").arg(QLatin1String(s));
    for (const char* s : {"0", "2", "3", "5"}) release << QStringLiteral("%1 Secs").arg(QLatin1String(s));

    auto* form = new QFormLayout;
    EnterCombo* l = makeCombo(kTransmitTimer, minutes);
    addRow(form, "&Transmit Timer", l);
    SelectListValue(l, common_.transmitTimer);
    l = makeCombo(kPenaltyTimer, penalty);
    addRow(form, "P&enalty Timer", l);
    SelectListValue(l, common_.penaltyTimer);
    l = makeCombo(kReleaseTimer, release);
    addRow(form, "&Release Timer", l);
    SelectListValue(l, common_.releaseTimer);
    l = makeCombo(kReceiveSaveMode, {"ABS", "1:1", "1:1.5", "1:2", "1:2.5", "1:3", "1:3.5", "1:4"});
    addRow(form, "Receive &Save Mode", l);
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
