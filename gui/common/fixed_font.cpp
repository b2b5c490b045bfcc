#include "gui/common/fixed_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace rt62 {

QFont SystemFixedFont(int pointSize) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!QFontInfo(font).fixedPitch()) {
        font.setStyleHint(QFont::TypeWriter);
        for (const QString& family : QFontDatabase::families()) {
            if (QFontDatabase::isFixedPitch(family) && !QFontDatabase::isPrivateFamily(family)) {
                font.setFamily(family);
                break;
            }
        }
    }
    font.setFixedPitch(true);
    if (pointSize > 0) font.setPointSize(pointSize);
    return font;
}

} // namespace rt62
