// rt62m: the radio image tools of RT62MWin from a terminal.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/terminal.h"
#include "core/image/language.h"
#include "core/image/native_path.h"
#include "core/image/system_language.h"
#include "core/version.h"

namespace rt62::cli {

std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}

const CLI::Validator kNotEmpty(
    [](std::string& value) {
        return value.empty() ? std::string("an empty name is not a file") : std::string();
    },
    "", "NOT_EMPTY");

CLI::Option* AddInputFile(CLI::App& app, std::string& path) {
    return app.add_option("FILE", path, "the data file to read; - reads it from standard input")
        ->required()
        ->check(kNotEmpty);
}

namespace {

constexpr const char* kExitStatusText =
    "Exit status: 0 success, 1 failure (the message is on stderr), 2 usage error, 130 cancelled\n"
    "(128 + the signal for SIGTERM and SIGHUP).";

struct Parser {
    CLI::App app{"KT-905 programming image tools.", "rt62m"};
    std::vector<std::pair<CLI::App*, CommandRun>> runs;
    std::string language;
};

std::unique_ptr<Parser> MakeParser() {
    auto parser = std::make_unique<Parser>();
    CLI::App& app = parser->app;
    app.set_help_flag("-h,--help", "print this help and exit");
    app.set_version_flag("--version", std::string("rt62m ") + RT62M_VERSION_TEXT,
                         "print the version and exit");
    app.add_option("--lang", parser->language,
                   "the language of the messages (de, es, fr, pl, pt_BR, zh_CN, en); by default the "
                   "system's (LANGUAGE, LC_ALL, LC_MESSAGES, LANG)")
        ->check(CLI::Validator(
            [](std::string& code) {
                return FindLanguage(code) ? std::string() : "unknown language '" + code + "'";
            },
            "LANG", "LANGUAGE"));
    app.require_subcommand(1);
    app.footer(kExitStatusText);
    std::vector<Command> cmds = Registry();
    std::sort(cmds.begin(), cmds.end(), [](const Command& a, const Command& b) { return a.order < b.order; });
    for (const Command& c : cmds) {
        CLI::App* sub = app.add_subcommand(c.name, c.summary);
        sub->set_help_flag("-h,--help", "print this command's help and exit");
        parser->runs.emplace_back(sub, c.setup(*sub));
        // Every command's help ends with the exit status too, once, after the command's own footer
        // (a command starts with the program's footer, and its setup may keep or replace it).
        const std::string own = sub->get_footer();
        if (own.find(kExitStatusText) == std::string::npos)
            sub->footer(own.empty() ? std::string(kExitStatusText) : own + "\n\n" + kExitStatusText);
    }
    return parser;
}

bool IsCommand(const std::string& name) {
    const std::vector<Command>& cmds = Registry();
    return std::any_of(cmds.begin(), cmds.end(), [&](const Command& c) { return name == c.name; });
}

int UsageError(const std::string& context, const std::string& text) {
    const std::string prefix = context.empty() ? "rt62m" : "rt62m " + context;
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", prefix.c_str(), text.c_str(), prefix.c_str());
    return kExitUsage;
}

int Main(std::vector<std::string> args) {
    std::unique_ptr<Parser> parser = MakeParser();
    CLI::App& app = parser->app;
    if (args.empty()) {
        std::cerr << app.help();
        return kExitUsage;
    }
    // "rt62m help [COMMAND]" is the same as "rt62m [COMMAND] --help".
    if (args[0] == "help") {
        if (args.size() > 2) return UsageError("help", "expected at most one COMMAND");
        if (args.size() == 2 && !IsCommand(args[1]))
            return UsageError("", "unknown command '" + args[1] + "'");
        args.erase(args.begin());
        args.emplace_back("--help");
    } else if (args[0].empty() || (args[0][0] != '-' && !IsCommand(args[0]))) {
        return UsageError("", "unknown command '" + args[0] + "'");
    }
    try {
        std::reverse(args.begin(), args.end()); // CLI11 takes the arguments last one first
        app.parse(args);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e, std::cout, std::cerr);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e, std::cout, std::cerr);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e, std::cout, std::cerr);
    } catch (const CLI::ExtrasError& e) {
        // Named one at a time, in the order given, as the user typed them.
        std::vector<CLI::App*> chosen = app.get_subcommands();
        CLI::App& where = chosen.empty() ? app : *chosen.front();
        const std::vector<std::string> extra = where.remaining();
        const std::string context = chosen.empty() ? "" : where.get_name();
        if (extra.empty()) return UsageError(context, e.what());
        const std::string& first = extra.front();
        return UsageError(
            context, (first.size() > 1 && first[0] == '-' ? "unknown option '" : "unexpected argument '") +
                         first + "'");
    } catch (const CLI::ParseError& e) {
        std::vector<CLI::App*> chosen = app.get_subcommands();
        return UsageError(chosen.empty() ? "" : chosen.front()->get_name(), e.what());
    }
    if (!parser->language.empty()) SetLanguage(*FindLanguage(parser->language));
    for (auto& [sub, run] : parser->runs) {
        if (sub->parsed()) return run();
    }
    return UsageError("", "no command given");
}

} // namespace
} // namespace rt62::cli

int main(int argc, char** argv) {
    // The parser throws for usage errors and help; that stays inside Main.
    try {
        rt62::cli::UseUtf8Console();
        rt62::SetLanguage(rt62::MatchLanguage(rt62::SystemLanguages()));
        return rt62::cli::Main(rt62::ArgumentsUtf8(argc, argv));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "rt62m: %s\n", e.what());
        return rt62::cli::kExitFailure;
    }
}
