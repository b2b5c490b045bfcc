// The one-page programming report as fixed-width text lines, ready for a printer or a terminal.
#pragma once

#include <string>
#include <vector>

#include "core/image/model.h"

namespace rt62 {

class CRT62MDoc;

struct ReportLine {
    std::string text;
    // false for the line that keeps its place on the page but is not drawn; a printer still
    // advances one line for it, a terminal prints it as an empty line.
    bool drawn = true;
};

class ProgrammingReport {
public:
    static constexpr int kSkippedLine = 43;
    static constexpr int kFirstChannelLine = 51;
    static constexpr int kLeftIndentChars = 5;  // lines are drawn 5 character widths from the left

    // Builds every line from the model as it is now; currentPath gives the file name of line 2.
    ProgrammingReport(const ImageModel& model, const std::string& currentPath);
    explicit ProgrammingReport(const CRT62MDoc& doc);

    const std::vector<ReportLine>& Lines() const { return lines_; }

private:
    void Build(const ImageModel& model, const std::string& currentPath);
    std::vector<ReportLine> lines_;
};

}  // namespace rt62
