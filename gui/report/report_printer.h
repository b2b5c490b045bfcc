// Printing and print preview of the programming report: one page of fixed-pitch lines.
#pragma once

#include <string>
#include <vector>

class QPainter;
class QPrinter;
class QWidget;

namespace rt62 {

class CRT62MDoc;
class CRT62MView;
struct AppSettings;

// Draws the lines on one page of `printer`, 5 character widths from the left, in the system fixed
// font sized so that the widest line and a full report (16 channel lines) fit the printable area.
// Returns false when the printer could not be started.
bool PrintReportLines(QPrinter& printer, const std::vector<std::string>& lines);

// The report of the document's current image, line by line (normalizes the image first).
std::vector<std::string> ReportLinesFor(CRT62MDoc& doc);

// File / Print: the print dialog, then one page. After printing, the printer's name goes to the
// settings and the view's info panel. Returns true when a page was printed.
bool RunPrint(QWidget* parent, QPrinter& printer, CRT62MDoc& doc, AppSettings& settings, CRT62MView* view);

// File / Print Preview: a modal preview of the same page.
void RunPrintPreview(QWidget* parent, QPrinter& printer, CRT62MDoc& doc, AppSettings& settings, CRT62MView* view);

}  // namespace rt62
