// Draws the program's icon, a handheld radio sending, as an SVG and as PNGs of the sizes asked for.
// Both come from the one list of shapes below, so the scalable and the bitmap icons never drift apart.
// Usage: make_icons OUTDIR SIZE... (writes OUTDIR/rt62mwin.svg and OUTDIR/SIZExSIZE/rt62mwin.png)
#include <QColor>
#include <QDir>
#include <QFile>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr double kCanvas = 256; // the drawing's own units

struct Shape {
    enum Kind { Box, Arc } kind;
    // Box: the rectangle and its corner radius. Arc: centre (x, y), radius r, from startDeg
    // counter-clockwise over spanDeg.
    double x, y, w, h, r;
    double startDeg, spanDeg;
    const char* fill;   // nullptr: none
    const char* stroke; // nullptr: none
    double strokeWidth;
};

Shape Box(double x, double y, double w, double h, double r, const char* fill, const char* stroke = nullptr,
          double strokeWidth = 0) {
    return {Shape::Box, x, y, w, h, r, 0, 0, fill, stroke, strokeWidth};
}

Shape Wave(double cx, double cy, double r, double startDeg, double spanDeg) {
    return {Shape::Arc, cx, cy, 0, 0, r, startDeg, spanDeg, nullptr, "#2f6fd6", 12};
}

std::vector<Shape> IconShapes() {
    std::vector<Shape> s = {
        Box(86, 24, 24, 74, 10, "#2b2f36"),                 // antenna
        Box(62, 86, 132, 162, 22, "#4b5360", "#1f2329", 6), // body
        Box(80, 104, 96, 54, 8, "#86d694", "#1f5a30", 4),   // display
        Box(92, 116, 40, 10, 2, "#1f5a30"),                 // display text
        Box(92, 134, 66, 10, 2, "#1f5a30"),
        Wave(98, 40, 30, -25, 50), // the signal leaving the antenna
        Wave(98, 40, 52, -25, 50),
        Wave(98, 40, 74, -25, 50),
    };
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            s.push_back(Box(84 + 32.0 * col, 176 + 28.0 * row, 24, 18, 5, "#d5d9df"));
    return s;
}

QPointF ArcPoint(const Shape& a, double deg) {
    const double rad = deg * M_PI / 180.0;
    return {a.x + a.r * std::cos(rad), a.y - a.r * std::sin(rad)};
}

QString Num(double v) {
    return QString::number(v, 'g', 6);
}

QString Svg(const std::vector<Shape>& shapes) {
    QString out;
    QTextStream svg(&out);
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 "
           "256\">\n";
    for (const Shape& s : shapes) {
        const QString paint = QStringLiteral(" fill=\"%1\"").arg(s.fill ? s.fill : "none") +
                              (s.stroke ? QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\"")
                                              .arg(QLatin1String(s.stroke), Num(s.strokeWidth))
                                        : QString());
        if (s.kind == Shape::Box) {
            svg << "  <rect x=\"" << Num(s.x) << "\" y=\"" << Num(s.y) << "\" width=\"" << Num(s.w)
                << "\" height=\"" << Num(s.h) << "\" rx=\"" << Num(s.r) << "\"" << paint << "/>\n";
        } else {
            const QPointF from = ArcPoint(s, s.startDeg), to = ArcPoint(s, s.startDeg + s.spanDeg);
            // Counter-clockwise on the screen is SVG's negative sweep.
            svg << "  <path d=\"M " << Num(from.x()) << ' ' << Num(from.y()) << " A " << Num(s.r) << ' '
                << Num(s.r) << " 0 " << (std::abs(s.spanDeg) > 180 ? 1 : 0) << ' ' << (s.spanDeg > 0 ? 0 : 1)
                << ' ' << Num(to.x()) << ' ' << Num(to.y()) << "\"" << paint
                << " stroke-linecap=\"round\"/>\n";
        }
    }
    svg << "</svg>\n";
    return out;
}

QImage Png(const std::vector<Shape>& shapes, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kCanvas, size / kCanvas);
    for (const Shape& s : shapes) {
        QPen pen = s.stroke ? QPen(QColor(QLatin1String(s.stroke)), s.strokeWidth) : QPen(Qt::NoPen);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.setBrush(s.fill ? QBrush(QColor(QLatin1String(s.fill))) : QBrush(Qt::NoBrush));
        if (s.kind == Shape::Box) {
            p.drawRoundedRect(QRectF(s.x, s.y, s.w, s.h), s.r, s.r);
        } else {
            QPainterPath path(ArcPoint(s, s.startDeg));
            path.arcTo(QRectF(s.x - s.r, s.y - s.r, 2 * s.r, 2 * s.r), s.startDeg, s.spanDeg);
            p.drawPath(path);
        }
    }
    p.end();
    return image;
}

// A Windows icon file holding the PNG images (Windows reads PNG-coded entries since Vista): a 6-byte
// header, a 16-byte entry per image, then the images.
QByteArray Ico(const std::vector<std::pair<int, QByteArray>>& pngs) {
    QByteArray out;
    auto put16 = [&](int v) { out.append(char(v & 0xff)).append(char((v >> 8) & 0xff)); };
    auto put32 = [&](qint64 v) { put16(int(v & 0xffff)); put16(int((v >> 16) & 0xffff)); };
    put16(0);
    put16(1);
    put16(int(pngs.size()));
    qint64 offset = 6 + 16 * qint64(pngs.size());
    for (const auto& [size, png] : pngs) {
        out.append(char(size >= 256 ? 0 : size)).append(char(size >= 256 ? 0 : size));
        out.append(char(0)).append(char(0)); // no palette, reserved
        put16(1);                            // colour planes
        put16(32);                           // bits per pixel
        put32(png.size());
        put32(offset);
        offset += png.size();
    }
    for (const auto& entry : pngs)
        out.append(entry.second);
    return out;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_icons OUTDIR SIZE...\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const std::vector<Shape> shapes = IconShapes();

    QFile svg(out.filePath(QStringLiteral("rt62mwin.svg")));
    if (!out.mkpath(QStringLiteral(".")) || !svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        svg.write(Svg(shapes).toUtf8()) < 0) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    std::vector<std::pair<int, QByteArray>> icoImages;
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString dir = QStringLiteral("%1x%1").arg(size);
        QFile file(out.filePath(dir + QStringLiteral("/rt62mwin.png")));
        QByteArray png;
        QBuffer buffer(&png);
        if (size < 8 || size > 1024 || !out.mkpath(dir) || !buffer.open(QIODevice::WriteOnly) ||
            !Png(shapes, size).save(&buffer, "PNG") || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(png) != png.size()) {
            std::fprintf(stderr, "make_icons: cannot write the %s icon\n", argv[i]);
            return 1;
        }
        if (size <= 256) icoImages.emplace_back(size, png);
    }
    // The same images as the Windows program's and file type's icon.
    QFile ico(out.filePath(QStringLiteral("rt62mwin.ico")));
    const QByteArray icoBytes = Ico(icoImages);
    if (!ico.open(QIODevice::WriteOnly | QIODevice::Truncate) || ico.write(icoBytes) != icoBytes.size()) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(ico.fileName()));
        return 1;
    }
    return 0;
}
