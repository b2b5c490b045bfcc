// The terminal as rt62m uses it, with the same calls on every system; terminal_posix.cpp and
// terminal_win32.cpp hold the two ways, and CMake builds the one of the target system.
#pragma once

#include <cstdio>
#include <span>
#include <string>

namespace rt62::cli {

// Whether the stream is a terminal (a console on Windows).
bool IsTerminal(std::FILE* stream);
// Standard input or output (fd 0 or 1) carries bytes as they are, without line-end translation.
void UseBinaryMode(int fd);
// The console shows UTF-8 output as such.
void UseUtf8Console();
// One line typed on standard input without echo (the line end taken off). The echo comes back even
// when a stop signal ends the program meanwhile.
std::string ReadHiddenLine();
// The signals that stop a transfer as Ctrl+C does: SIGINT and SIGTERM, and SIGHUP where there is one.
std::span<const int> StopSignals();

} // namespace rt62::cli
