// The terminal on Windows: the console's mode and code page, binary standard streams.
#include "cli/terminal.h"

#include <csignal>
#include <iostream>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace rt62::cli {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM};

} // namespace

bool IsTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

void UseBinaryMode(int fd) {
    _setmode(fd, _O_BINARY); // no CR LF translation of the image bytes
}

void UseUtf8Console() {
    SetConsoleOutputCP(CP_UTF8);
}

std::string ReadHiddenLine() {
    std::string line;
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    const bool console = GetConsoleMode(in, &mode) != 0;
    if (console) SetConsoleMode(in, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    std::getline(std::cin, line);
    if (console) SetConsoleMode(in, mode);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::span<const int> StopSignals() {
    return kStopSignals;
}

} // namespace rt62::cli
