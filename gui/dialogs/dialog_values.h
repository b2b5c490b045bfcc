// Number reading and the list texts shared by the parameter dialogs.
#pragma once

#include <QString>
#include <QStringList>

#include <string_view>

class QComboBox;

namespace rt62 {

// A field's text read as ParseDecimal reads it (the fields hold Latin-1 characters only).
double ParseLeadingNumber(const QString& text);

// Selects value's item, or nothing when the list has no item for it (the value is then kept as read).
void SelectListValue(QComboBox* list, int value);

// A list field's texts as the catalogue keeps them for its dialog ("scanning.dual_watch").
QStringList DialogListTexts(std::string_view path);
// The key function texts by code 0-13.
const QStringList& KeyFunctionTexts();

}  // namespace rt62
