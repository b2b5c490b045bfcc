// rt62m: the radio image tools of RT62MWin from a terminal.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command.h"

namespace rt62::cli {

std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}

int UsageError(const std::string& text) {
    std::fprintf(stderr, "rt62m: %s\nTry 'rt62m --help'.\n", text.c_str());
    return kExitUsage;
}

namespace {

void PrintHelp(std::FILE* out) {
    std::vector<Command> cmds = Registry();
    std::sort(cmds.begin(), cmds.end(), [](const Command& a, const Command& b) { return a.order < b.order; });
    std::fprintf(out, "Usage: rt62m COMMAND [ARGS]\n\nKT-905 programming image tools.\n\nCommands:\n");
    for (const Command& c : cmds) std::fprintf(out, "  rt62m %s\n", c.usage);
    std::fprintf(out,
                 "\nExit status: 0 success, 1 failure (the message is on stderr), 2 usage error,"
                 " 130 cancelled.\n");
}

}  // namespace
}  // namespace rt62::cli

int main(int argc, char** argv) {
    using namespace rt62::cli;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintHelp(stderr);
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(stdout);
        return kExitOk;
    }
    for (const Command& c : Registry()) {
        if (args[0] == c.name) return c.run(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    return UsageError("unknown command '" + args[0] + "'");
}
