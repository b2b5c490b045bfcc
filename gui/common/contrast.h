// Text colours that stay readable: the WCAG contrast ratio, and a palette colour moved just far enough
// towards black or white to reach it against its background.
#pragma once

#include <QColor>

namespace rt62 {

// The least contrast a text keeps against its background, and what a colour is moved to when it has
// less: a little more, because the antialiased edges of the glyphs come out a little paler.
inline constexpr double kMinTextContrast = 4.5;
inline constexpr double kTargetTextContrast = 5.0;

double RelativeLuminance(const QColor& c);
// (L1 + 0.05) / (L2 + 0.05) with L1 the lighter: 1 for equal colours, 21 for black on white.
double ContrastRatio(const QColor& a, const QColor& b);
// `text` as it is when it already reaches kMinTextContrast against `background`; otherwise the same
// colour blended towards black or white (whichever reads better there) until it reaches `minRatio`.
QColor ReadableOn(const QColor& text, const QColor& background, double minRatio = kTargetTextContrast);

}  // namespace rt62
