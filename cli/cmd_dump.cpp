// rt62m dump FILE: the service dump table of the image, one row per line, cells separated by TAB.
#include <cstdio>

#include "cli_document.h"
#include "command.h"
#include "report/image_dump.h"

namespace rt62::cli {
namespace {

int RunDump(const std::vector<std::string>& args) {
    std::string path;
    int exitCode = kExitOk;
    if (!SingleFileArgument(args, "dump", path, exitCode)) return exitCode;
    CliPrompter prompter;
    CRT62MDoc doc(prompter);
    if (!OpenForCommand(doc, path)) return kExitFailure;
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

}  // namespace

RT62M_COMMAND("dump", "dump FILE          the image as the service dump shows it (hex, TAB-separated)", 30, RunDump);

}  // namespace rt62::cli
