#include "gui/common/contrast.h"

#include <algorithm>
#include <cmath>

namespace rt62 {

namespace {

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

QColor Blend(const QColor& from, const QColor& to, double t) {
    auto mix = [t](double a, double b) { return a + (b - a) * t; };
    return QColor::fromRgbF(static_cast<float>(mix(from.redF(), to.redF())),
                            static_cast<float>(mix(from.greenF(), to.greenF())),
                            static_cast<float>(mix(from.blueF(), to.blueF())));
}

}  // namespace

double RelativeLuminance(const QColor& c) {
    const QColor rgb = c.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor& text, const QColor& background, double minRatio) {
    if (ContrastRatio(text, background) >= kMinTextContrast) return text.toRgb();
    // Black reaches more than 4.5 on any background whose luminance is above 0.179, white below it.
    const QColor target = ContrastRatio(Qt::black, background) >= ContrastRatio(Qt::white, background)
                              ? QColor(Qt::black)
                              : QColor(Qt::white);
    // The smallest blend that reaches the ratio, so the colour keeps as much of its own look as it can.
    double low = 0.0;
    double high = 1.0;
    for (int i = 0; i < 16; ++i) {
        const double mid = (low + high) / 2;
        if (ContrastRatio(Blend(text, target, mid), background) >= minRatio)
            high = mid;
        else
            low = mid;
    }
    // Eight-bit channels can round just below the ratio; step on until the stored colour reaches it.
    QColor result = Blend(text, target, high);
    for (double t = high; ContrastRatio(result, background) < minRatio && t < 1.0;) {
        t = std::min(1.0, t + 0.01);
        result = Blend(text, target, t);
    }
    return result.toRgb();
}

}  // namespace rt62
