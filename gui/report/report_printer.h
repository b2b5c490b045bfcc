// Printing and print preview of the programming report: one page of fixed-pitch lines.
#pragma once

#include <QFont>
#include <QRectF>

#include <string>
#include <vector>

class QPaintDevice;
class QPainter;
class QPrinter;
class QWidget;

namespace rt62 {

class CRT62MDoc;
struct AppSettings;

// A full report: the 51 lines above the channels and one line for each of the 16 channels. The page
// is sized for this many lines even when fewer channels are printed, so every report looks alike.
inline constexpr int kFullReportLines = 51 + 16;
// Lines start this many character widths from the left edge of the printable area.
inline constexpr int kReportIndentChars = 5;

struct ReportPageLayout {
    QFont font;
    qreal charWidth = 0;    // advance of one character of the fixed-pitch font
    qreal lineHeight = 0;   // character height plus leading
    qreal ascent = 0;
};

// The fixed-pitch font, sized for `device`, in which the widest of `lines` (after the indent) fits the
// width of `area` and max(lines, kFullReportLines) lines fit its height.
ReportPageLayout FitReportFont(QPaintDevice* device, const QRectF& area, const std::vector<std::string>& lines);

// One line under the other from the top of `area`, each at the indent.
void DrawReportLines(QPainter& painter, const QRectF& area, const ReportPageLayout& layout,
                     const std::vector<std::string>& lines);

// Draws the lines on exactly one page of `printer`. Returns false when the printer could not be started.
bool PrintReportLines(QPrinter& printer, const std::vector<std::string>& lines);

// The report of the document's current image, line by line (normalizes the image first).
std::vector<std::string> ReportLinesFor(CRT62MDoc& doc);

// File / Print: the print dialog, then one page. After printing, the printer's name goes to the
// settings (the caller shows it in the info panel). Returns true when a page was printed.
bool RunPrint(QWidget* parent, QPrinter& printer, CRT62MDoc& doc, AppSettings& settings);

// File / Print Preview: a modal preview of the same page; afterwards as after printing.
void RunPrintPreview(QWidget* parent, QPrinter& printer, CRT62MDoc& doc, AppSettings& settings);

// The name shown in the info panel for a printer (its device name, or the file it prints to).
QString PrinterDisplayName(const QPrinter& printer);

}  // namespace rt62
