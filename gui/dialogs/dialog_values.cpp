#include "gui/dialogs/dialog_values.h"

#include <QComboBox>

#include <charconv>
#include <cmath>
#include <string>

namespace rt62 {

double ParseLeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Only digits and one point form the number; an exponent or "inf" never comes from the fields.
    std::size_t end = i;
    bool point = false;
    while (end < text.size() && ((text[end] >= '0' && text[end] <= '9') || (text[end] == '.' && !point))) {
        point = point || text[end] == '.';
        ++end;
    }
    double value = 0.0;
    const auto res = std::from_chars(text.data() + i, text.data() + end, value, std::chars_format::fixed);
    if (res.ec != std::errc() || !std::isfinite(value)) return 0.0;
    return negative ? -value : value;
}

double ParseLeadingNumber(const QString& text) {
    const std::string latin = text.toLatin1().toStdString();
    return ParseLeadingNumber(std::string_view(latin));
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
