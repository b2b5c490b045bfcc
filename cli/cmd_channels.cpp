// rt62m channels FILE: the 16 channel rows of the grid, 20 cell texts each, separated by TAB.
#include <cstdio>
#include <memory>

#include "cli_document.h"
#include "command.h"
#include "image/cells.h"

namespace rt62::cli {
namespace {

int RunChannels(const std::string& path) {
    CliPrompter prompter;
    CRT62MDoc doc(prompter);
    if (!OpenForCommand(doc, path)) return kExitFailure;
    for (int n = 0; n < 16; ++n) {
        std::string line;
        for (int c = 0; c < kGridColumnCount; ++c) {
            if (c) line += '\t';
            line += ChannelCellText(doc.Model(), n, c);
        }
        std::printf("%s\n", line.c_str());
    }
    return kExitOk;
}

CommandRun SetupChannels(CLI::App& app) {
    auto path = std::make_shared<std::string>();
    AddInputFile(app, *path);
    return [path] { return RunChannels(*path); };
}

} // namespace

RT62M_COMMAND("channels", "the 16 channel rows as the grid shows them (TAB-separated)", 10, SetupChannels);

} // namespace rt62::cli
