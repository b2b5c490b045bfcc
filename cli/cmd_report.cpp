// rt62m report FILE: the programming report as File / Print draws it, one report line per output line.
#include <cstdio>
#include <memory>

#include "cli/cli_document.h"
#include "cli/command.h"
#include "core/report/programming_report.h"

namespace rt62::cli {
namespace {

int RunReport(const std::string& path) {
    CliPrompter prompter;
    Session session(prompter);
    if (!OpenForCommand(session, path)) return kExitFailure;
    CRT62MDoc& doc = session.Document();
    // Printing follows the same normalisation as every other use of the whole image.
    NormalizeImage(doc.Model());
    ProgrammingReport report(doc);
    for (const ReportLine& line : report.Lines())
        std::printf("%s\n", line.drawn ? line.text.c_str() : "");
    return kExitOk;
}

CommandRun SetupReport(CLI::App& app) {
    auto path = std::make_shared<std::string>();
    AddInputFile(app, *path);
    return [path] { return RunReport(*path); };
}

} // namespace

RT62M_COMMAND("report", "the programming report as printed", 20, SetupReport);

} // namespace rt62::cli
