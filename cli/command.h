// The subcommands of rt62m: each source file registers its own with RT62M_COMMAND.
#pragma once

#include <string>
#include <vector>

namespace rt62::cli {

enum ExitCode { kExitOk = 0, kExitFailure = 1, kExitUsage = 2, kExitCancelled = 130 };

struct Command {
    const char* name;
    const char* usage;    // one line for --help, after "rt62m "
    int order;            // place in --help
    int (*run)(const std::vector<std::string>& args);  // args after the subcommand name
};

std::vector<Command>& Registry();

struct Registrar {
    explicit Registrar(const Command& c) { Registry().push_back(c); }
};

// Prints "rt62m: <text>" on stderr and returns kExitUsage.
int UsageError(const std::string& text);

}  // namespace rt62::cli

#define RT62M_CONCAT2(a, b) a##b
#define RT62M_CONCAT(a, b) RT62M_CONCAT2(a, b)
#define RT62M_COMMAND(...) \
    static const ::rt62::cli::Registrar RT62M_CONCAT(rt62mRegistrar, __LINE__)(::rt62::cli::Command{__VA_ARGS__})
