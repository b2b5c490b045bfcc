#include "gui/common/fixed_font.h"

#include "core/image/strings.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>

namespace rt62 {
namespace {

constexpr int kStrChannels = 4400; // "Channels": a word every language writes in its own letters

// Whether the font draws every character of text itself, without a fallback face of another width.
bool HasGlyphs(const QFont& font, const QString& text) {
    const QFontMetrics fm(font);
    for (char32_t c : text.toUcs4())
        if (!QChar::isSpace(c) && !fm.inFontUcs4(c)) return false;
    return true;
}

} // namespace

QFont SystemFixedFont(int pointSize) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // The language in use must show in it too: Chinese needs a fixed face with Han characters.
    const std::string_view word = StringText(kStrChannels);
    const QString sample = QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size()));
    const bool fixed = QFontInfo(font).fixedPitch();
    if (!fixed || !HasGlyphs(font, sample)) {
        QString firstFixed, withGlyphs;
        for (const QString& family : QFontDatabase::families()) {
            if (!QFontDatabase::isFixedPitch(family) || QFontDatabase::isPrivateFamily(family)) continue;
            if (firstFixed.isEmpty()) firstFixed = family;
            if (HasGlyphs(QFont(family), sample)) {
                withGlyphs = family;
                break;
            }
        }
        if (!fixed) font.setStyleHint(QFont::TypeWriter);
        if (!withGlyphs.isEmpty())
            font.setFamily(withGlyphs);
        else if (!fixed && !firstFixed.isEmpty())
            font.setFamily(firstFixed);
    }
    font.setFixedPitch(true);
    if (pointSize > 0) font.setPointSize(pointSize);
    return font;
}

} // namespace rt62
