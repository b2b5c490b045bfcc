#include "gui/dialogs/dialog_values.h"

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

QStringList ChannelPositionItems() {
    QStringList items{QStringLiteral("Disabled")};
    for (int n = 1; n <= 16; ++n) items << QStringLiteral("Ch%1").arg(n).leftJustified(8);
    return items;
}

const QStringList& KeyFunctionTexts() {
    static const QStringList texts{
        "None          ", "Monitor       ", "Squelch Off   ", "Low Power     ", "Scan          ",
        "Follow-Me Scan", "Dual Watch    ", "Follow-Me DW  ", "Talkaround    ", "Call/Reset    ",
        "Speed Dial    ", "TX SAVE Off   ", "ACC 1         ", "ACC 2/Encry Off",
    };
    return texts;
}

}  // namespace rt62
