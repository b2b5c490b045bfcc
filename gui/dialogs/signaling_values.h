// Small conversions shared by the Signaling dialogs: DTMF field texts and fixed-pitch list texts.
#pragma once

#include <QFont>
#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

namespace rt62 {

// The keypad characters of a DTMF field's text, upper case, at most maxLength of them. Anything else
// (which the field's filter never admits) is dropped rather than stored as a wrong digit.
std::string DtmfFieldText(const QString& text, std::size_t maxLength);

// A text of the string-like tables (tone texts, group names) as a QString, blanks kept.
QString TableText(std::string_view text);

// The system fixed font: the tone texts line up in columns only in a fixed pitch.
QFont SignalingFixedFont();

}  // namespace rt62
