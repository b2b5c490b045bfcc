// rt62m channels FILE: the 16 channel rows of the grid, 20 cell texts each, separated by TAB.
#include <cstdio>
#include <memory>

#include "cli/cli_document.h"
#include "cli/command.h"
#include "core/grid/columns.h"

namespace rt62::cli {
namespace {

struct ChannelsOptions {
    std::string path;
    bool header = false;
};

// One name per column: the grid's upper header (a group such as "Frequency") before its lower one.
std::string HeaderLine() {
    std::string line;
    for (int c = 0; c < kGridColumnCount; ++c) {
        if (c) line += '\t';
        const std::string_view upper = EnglishHeaderText(0, c), lower = EnglishHeaderText(1, c);
        line += upper;
        if (!upper.empty() && !lower.empty()) line += ' ';
        line += lower;
    }
    return line;
}

int RunChannels(const ChannelsOptions& o) {
    const std::string& path = o.path;
    CliPrompter prompter;
    Session session(prompter);
    if (!OpenForCommand(session, path)) return kExitFailure;
    const CRT62MDoc& doc = session.Document();
    if (o.header) std::printf("%s\n", HeaderLine().c_str());
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
    auto o = std::make_shared<ChannelsOptions>();
    AddInputFile(app, o->path);
    app.add_flag("-H,--header", o->header, "print a first line with the grid's column names");
    return [o] { return RunChannels(*o); };
}

} // namespace

RT62M_COMMAND("channels", "the 16 channel rows as the grid shows them (TAB-separated)", 10, SetupChannels);

} // namespace rt62::cli
