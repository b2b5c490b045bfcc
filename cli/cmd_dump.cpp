// rt62m dump FILE: the service dump table of the image, one row per line, cells separated by TAB.
#include <cstdio>
#include <memory>

#include "cli/cli_document.h"
#include "cli/command.h"
#include "core/report/image_dump.h"

namespace rt62::cli {
namespace {

int RunDump(const std::string& path) {
    CliPrompter prompter;
    Session session(prompter);
    if (!OpenForCommand(session, path)) return kExitFailure;
    const CRT62MDoc& doc = session.Document();
    DumpCells cells = ImageDumpCells(doc.Image(), doc.TrailerBytes());
    for (const auto& row : cells) {
        std::string line;
        for (int c = 0; c < kDumpColumns; ++c) {
            if (c) line += '\t';
            line += row[c];
        }
        std::printf("%s\n", line.c_str());
    }
    return kExitOk;
}

CommandRun SetupDump(CLI::App& app) {
    auto path = std::make_shared<std::string>();
    AddInputFile(app, *path);
    return [path] { return RunDump(*path); };
}

} // namespace

RT62M_COMMAND("dump", "the image as the service dump shows it (hex, TAB-separated)", 30, SetupDump);

} // namespace rt62::cli
