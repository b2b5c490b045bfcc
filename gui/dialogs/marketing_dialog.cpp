#include "gui/dialogs/marketing_dialog.h"
#include "gui/common/qt_prompter.h"

#include "core/app/setting_forms.h"
#include "core/image/text_rules.h"
#include "gui/dialogs/input_controls.h"
#include "core/image/document.h"
#include "core/image/fields.h"

#include <QFormLayout>
#include <QVBoxLayout>

namespace rt62 {

MarketingDialog::MarketingDialog(CRT62MDoc& doc, bool serviceMode, QWidget* parent)
    : ParamDialog(kResourceId, true, parent), doc_(doc) {
    setWindowTitle(TableText(4989));
    doc_.Model().marketing.Decode(doc_.Image());
    markAtOpen_ = doc_.IsMarketingChanged();
    market_ = makeFilterEdit(kMarketApplication, kFilterDigits, 4);
    serial_ = makeFilterEdit(kSerialNumber, kFilterSerial, 8);
    market_->setUpperCase(true);
    serial_->setUpperCase(true);
    auto* form = new QFormLayout;
    addRow(form, TableText(5064), market_);
    addRow(form, TableText(5065), serial_);
    body()->addLayout(form);
    market_->setAvailable(SettingOpen("radio.market_application", doc_.Model(), serviceMode));
    serial_->setAvailable(SettingOpen("radio.serial_number", doc_.Model(), serviceMode));
    showValues();
}

void MarketingDialog::showValues() {
    const MarketingSection& m = doc_.Model().marketing;
    market_->setText(QString::asprintf("%-4s", m.marketApplication.c_str()));
    serial_->setText(QString::asprintf("%-8s", m.serialNumber.c_str()));
}

void MarketingDialog::CommitField(int id, FilterEdit* edit) {
    MarketingSection& m = doc_.Model().marketing;
    const std::string text = edit->text().toLatin1().toStdString();
    if (id == kMarketApplication) {
        m.marketApplication = PadMarketApplication(text);
    } else {
        const std::string serial = PadSerialNumber(text);
        // Deleting characters can shift a letter away from the second place; the image cannot hold
        // such a number, so the edit is refused quietly and the stored number stays.
        if (!IsValidSerialNumber(serial)) {
            showValues();
            return;
        }
        m.serialNumber = serial;
    }
    doc_.SetMarketingChanged();
    doc_.SetModifiedFlag();
    showValues();
}

void MarketingDialog::StoreOnOk() { doc_.Model().marketing.Encode(doc_.Image()); }

void MarketingDialog::RestoreOnCancel() {
    doc_.Model().marketing.Decode(doc_.Image());
    // The dropped edits must not make a Download put the file's numbers into the radio.
    doc_.SetMarketingChanged(markAtOpen_);
}

}  // namespace rt62
