// The terminal on POSIX systems: isatty, termios for the hidden line.
#include "cli/terminal.h"

#include <csignal>
#include <iostream>

#include <termios.h>
#include <unistd.h>

namespace rt62::cli {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

struct termios g_echoTerminal {};

// A signal at the password prompt gives the terminal its echo back before the default action.
extern "C" void RestoreEchoAndStop(int sig) {
    tcsetattr(STDIN_FILENO, TCSANOW, &g_echoTerminal);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

} // namespace

bool IsTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

void UseBinaryMode(int) {}

void UseUtf8Console() {}

std::string ReadHiddenLine() {
    std::string line;
    struct termios saved {};
    const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        g_echoTerminal = saved;
        for (int sig : kStopSignals)
            std::signal(sig, RestoreEchoAndStop);
        struct termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::getline(std::cin, line);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        for (int sig : kStopSignals)
            std::signal(sig, SIG_DFL);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::span<const int> StopSignals() {
    return kStopSignals;
}

} // namespace rt62::cli
