#include "dialogs/signaling_values.h"

#include <QFontDatabase>

namespace rt62 {

std::string DtmfFieldText(const QString& text, std::size_t maxLength) {
    std::string out;
    for (QChar qc : text) {
        if (out.size() >= maxLength) break;
        const char16_t u = qc.toUpper().unicode();
        const bool keypad = (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'D') || u == u'*' || u == u'#';
        if (keypad) out += static_cast<char>(u);
    }
    return out;
}

QString TableText(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QFont SignalingFixedFont() { return QFontDatabase::systemFont(QFontDatabase::FixedFont); }

}  // namespace rt62
