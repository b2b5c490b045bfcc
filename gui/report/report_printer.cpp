// Printing and preview of the programming report.
#include "report/report_printer.h"

namespace rt62 {

bool PrintReportLines(QPrinter&, const std::vector<std::string>&) { return false; }
std::vector<std::string> ReportLinesFor(CRT62MDoc&) { return {}; }
bool RunPrint(QWidget*, QPrinter&, CRT62MDoc&, AppSettings&, CRT62MView*) { return false; }
void RunPrintPreview(QWidget*, QPrinter&, CRT62MDoc&, AppSettings&, CRT62MView*) {}

}  // namespace rt62
