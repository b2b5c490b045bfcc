// Shared steps of the rt62m commands that read or write a whole data file.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "cli/cli_prompter.h"
#include "core/app/session.h"

namespace rt62::cli {

// Opens path in the session as the File Open command does (probe, messages 32/34/37 on stderr, then
// the load); "-" reads the data file from standard input. true when the document now holds it.
bool OpenForCommand(Session& session, const std::string& path);

// Whether the data file can go to path ("-": standard output, which must not be a terminal); shows
// the refusal. Lets a command refuse its target before anything else happens.
bool CheckOutput(Prompter& prompter, const std::string& path);

// Writes a whole data file to path through the one data-file writer, or to standard output for "-".
bool WriteOutput(Prompter& prompter, const std::string& path, std::span<const std::uint8_t> bytes);

} // namespace rt62::cli
