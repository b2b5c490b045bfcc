// Printing and preview of the programming report.
#include "gui/report/report_printer.h"

#include "gui/common/app_settings.h"
#include "gui/common/fixed_font.h"
#include "core/image/document.h"
#include "core/image/strings.h"
#include "core/report/programming_report.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>

namespace rt62 {

static_assert(kFullReportLines == ProgrammingReport::kFirstChannelLine + 16);
static_assert(kReportIndentChars == ProgrammingReport::kLeftIndentChars);

namespace {

QFont BaseFixedFont() {
    QFont font = SystemFixedFont();
    font.setKerning(false);
    return font;
}

struct Metrics {
    qreal charWidth;
    qreal lineHeight;
    qreal ascent;
};

Metrics Measure(const QFont& font, QPaintDevice* device) {
    QFontMetricsF fm(font, device);
    return {fm.horizontalAdvance(QLatin1Char('M')), fm.lineSpacing(), fm.ascent()};
}

// Fits the page with some room to spare; text that is much smaller than this would be hard to read
// anyway, text much larger looks odd on a one-page listing.
constexpr qreal kMaxPointSize = 12.0;
constexpr qreal kMinPointSize = 2.0;

}  // namespace

ReportPageLayout FitReportFont(QPaintDevice* device, const QRectF& area, const std::vector<std::string>& lines) {
    std::size_t widest = 0;
    for (const auto& line : lines)
        widest = std::max(widest, static_cast<std::size_t>(DisplayColumns(line)));
    const qreal columns = static_cast<qreal>(widest + kReportIndentChars);
    const qreal rows = static_cast<qreal>(std::max<std::size_t>(lines.size(), kFullReportLines));

    ReportPageLayout layout;
    layout.font = BaseFixedFont();
    auto fits = [&](qreal points) {
        layout.font.setPointSizeF(points);
        const Metrics m = Measure(layout.font, device);
        layout.charWidth = m.charWidth;
        layout.lineHeight = m.lineHeight;
        layout.ascent = m.ascent;
        return m.charWidth * columns <= area.width() && m.lineHeight * rows <= area.height();
    };

    // Glyph metrics are close to proportional to the size: estimate from one measurement, then step
    // down until the page really holds the text (hinting can round a size up by a device unit).
    const qreal probe = 10.0;
    fits(probe);
    qreal points = kMaxPointSize;
    if (layout.charWidth > 0 && layout.lineHeight > 0)
        points = std::min({kMaxPointSize, probe * area.width() / (layout.charWidth * columns),
                           probe * area.height() / (layout.lineHeight * rows)});
    points = std::max(points, kMinPointSize);
    while (!fits(points) && points > kMinPointSize)
        points = std::max(kMinPointSize, points * 0.97);
    return layout;
}

void DrawReportLines(QPainter& painter, const QRectF& area, const ReportPageLayout& layout,
                     const std::vector<std::string>& lines) {
    painter.save();
    painter.setFont(layout.font);
    painter.setPen(Qt::black);
    const qreal x = area.left() + kReportIndentChars * layout.charWidth;
    qreal y = area.top() + layout.ascent;
    for (const auto& line : lines) {
        // Runs of narrow characters as they are; each wide one (Chinese) on its two columns, whatever
        // the advance of the font that has it, so the columns stay aligned.
        const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
        int column = 0;
        qsizetype runStart = 0;
        const auto flush = [&](qsizetype end) {
            if (end > runStart) {
                const QString run = text.mid(runStart, end - runStart);
                painter.drawText(QPointF(x + column * layout.charWidth, y), run);
                column += DisplayColumns(run.toStdString());
            }
        };
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const QString character = text.mid(i, length);
            if (DisplayColumns(character.toStdString()) == 2) {
                flush(i);
                painter.drawText(QPointF(x + column * layout.charWidth, y), character);
                column += 2;
                runStart = i + length;
            }
            i += length - 1;
        }
        flush(text.size());
        y += layout.lineHeight;
    }
    painter.restore();
}

bool PrintReportLines(QPrinter& printer, const std::vector<std::string>& lines) {
    // The report is always one page, whatever range the print dialog offered.
    printer.setFromTo(1, 1);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The painter's origin is the top-left corner of the printable area.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRectF area(0, 0, page.width(), page.height());
    const ReportPageLayout layout = FitReportFont(&printer, area, lines);
    DrawReportLines(painter, area, layout, lines);
    return painter.end();
}

QString PrinterDisplayName(const QPrinter& printer) {
    if (!printer.printerName().isEmpty())
        return printer.printerName();
    return printer.outputFileName();
}

namespace {

void AfterPrinting(const QPrinter& printer, AppSettings& settings) {
    const QString name = PrinterDisplayName(printer);
    if (!name.isEmpty())
        settings.printerName = name;
}

}  // namespace

bool RunPrint(QWidget* parent, QPrinter& printer, CRT62MDoc& doc, AppSettings& settings) {
    printer.setFromTo(1, 1);
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, 1);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const bool printed = PrintReportLines(printer, ReportLinesFor(doc));
    AfterPrinting(printer, settings);
    return printed;
}

void RunPrintPreview(QWidget* parent, QPrinter& printer, CRT62MDoc& doc, AppSettings& settings) {
    const std::vector<std::string> lines = ReportLinesFor(doc);
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&lines](QPrinter* p) { PrintReportLines(*p, lines); });
    preview.exec();
    AfterPrinting(printer, settings);
}

std::vector<std::string> ReportLinesFor(CRT62MDoc& doc) {
    // The grid's edits live in the channel entries: bring the image up to date before reading it.
    NormalizeImage(doc.Model());
    const ProgrammingReport report(doc);
    std::vector<std::string> lines;
    for (const ReportLine& line : report.Lines())
        lines.push_back(line.drawn ? line.text : std::string());
    return lines;
}

}  // namespace rt62
