#include "gui/dialogs/marketing_dialog.h"

#include "gui/dialogs/filter_kind.h"
#include "gui/dialogs/input_controls.h"
#include "core/image/document.h"

#include <QFormLayout>
#include <QVBoxLayout>

namespace rt62 {

MarketingDialog::MarketingDialog(CRT62MDoc& doc, bool serviceMode, QWidget* parent)
    : ParamDialog(kResourceId, true, parent), doc_(doc) {
    setWindowTitle(QStringLiteral("Marketing Parameters"));
    doc_.Model().marketing.Decode(doc_.Image());
    markAtOpen_ = doc_.IsMarketingChanged();
    market_ = makeFilterEdit(kMarketApplication, kFilterDigits, 4);
    serial_ = makeFilterEdit(kSerialNumber, kFilterSerial, 8);
    market_->setUpperCase(true);
    serial_->setUpperCase(true);
    auto* form = new QFormLayout;
    addRow(form, "&Market Application", market_);
    addRow(form, "&Serial Number", serial_);
    body()->addLayout(form);
    market_->setAvailable(serviceMode);
    serial_->setAvailable(serviceMode);
    showValues();
}

QString MarketingDialog::PadMarketApplication(const QString& text) {
    QString s = text;
    while (s.size() < 4) s += QLatin1Char('0');
    return s;
}

QString MarketingDialog::PadSerialNumber(const QString& text) {
    QString s = text;
    while (s.size() < 8) s += s.size() == 1 ? QLatin1Char('C') : QLatin1Char('0');
    return s;
}

bool MarketingDialog::IsValidSerialNumber(const QString& text) {
    if (text.size() != 8) return false;
    for (int i = 0; i < 8; ++i) {
        if (!FilterAccepts(kFilterSerial, text.at(i).toUpper().unicode(), i)) return false;
    }
    return true;
}

void MarketingDialog::showValues() {
    const MarketingSection& m = doc_.Model().marketing;
    market_->setText(QString::asprintf("%-4s", m.marketApplication.c_str()));
    serial_->setText(QString::asprintf("%-8s", m.serialNumber.c_str()));
}

void MarketingDialog::CommitField(int id, FilterEdit* edit) {
    MarketingSection& m = doc_.Model().marketing;
    if (id == kMarketApplication) {
        m.marketApplication = PadMarketApplication(edit->text()).toStdString();
    } else {
        const QString serial = PadSerialNumber(edit->text().toUpper());
        // Deleting characters can shift a letter away from the second place; the image cannot hold
        // such a number, so the edit is refused quietly and the stored number stays.
        if (!IsValidSerialNumber(serial)) {
            showValues();
            return;
        }
        m.serialNumber = serial.toStdString();
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
