// rt62m channels FILE: the 16 channel rows of the grid, 20 cell texts each, separated by TAB.
#include <cstdio>

#include "cli_document.h"
#include "command.h"
#include "image/cells.h"

namespace rt62::cli {
namespace {

int RunChannels(const std::vector<std::string>& args) {
    std::string path;
    int exitCode = kExitOk;
    if (!SingleFileArgument(args, "channels", path, exitCode)) return exitCode;
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

}  // namespace

RT62M_COMMAND("channels", "channels FILE      the 16 channel rows as the grid shows them (TAB-separated)", 10,
              RunChannels);

}  // namespace rt62::cli
