#include "gui/dialogs/dialog_values.h"

#include "core/image/catalogue.h"
#include "core/image/text_rules.h"

#include <QComboBox>

#include <string>

namespace rt62 {

double ParseLeadingNumber(const QString& text) {
    const std::string latin = text.toLatin1().toStdString();
    return ParseDecimal(latin);
}

void SelectListValue(QComboBox* list, int value) {
    list->setCurrentIndex(value >= 0 && value < list->count() ? value : -1);
}

QStringList DialogListTexts(std::string_view path) {
    QStringList texts;
    for (const std::string& t : DialogChoices(path))
        texts << QString::fromStdString(t);
    return texts;
}

const QStringList& KeyFunctionTexts() {
    static const QStringList texts = DialogListTexts("keys.acc_key_press");
    return texts;
}

}  // namespace rt62
