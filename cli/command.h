// The subcommands of rt62m: each source file registers its own with RT62M_COMMAND.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <vector>

namespace rt62::cli {

enum ExitCode { kExitOk = 0, kExitFailure = 1, kExitUsage = 2, kExitCancelled = 130 };

// What a command does once its options were parsed into the variables its setup bound.
using CommandRun = std::function<int()>;

struct Command {
    const char* name;
    const char* summary; // one line in "rt62m --help"
    int order;           // place in "rt62m --help"
    // Declares the command's options and arguments on its own parser; returns what runs the command.
    CommandRun (*setup)(CLI::App& app);
};

std::vector<Command>& Registry();

struct Registrar {
    explicit Registrar(const Command& c) { Registry().push_back(c); }
};

// The FILE argument of the commands that read a data file ("-" is standard input).
CLI::Option* AddInputFile(CLI::App& app, std::string& path);

// Refuses an empty value, which would otherwise reach the file system as "".
extern const CLI::Validator kNotEmpty;

} // namespace rt62::cli

#define RT62M_CONCAT2(a, b) a##b
#define RT62M_CONCAT(a, b) RT62M_CONCAT2(a, b)
// RT62M_COMMAND(name, summary, order, setup)
#define RT62M_COMMAND(...)                                                                                   \
    static const ::rt62::cli::Registrar RT62M_CONCAT(rt62mRegistrar,                                         \
                                                     __LINE__)(::rt62::cli::Command{__VA_ARGS__})
