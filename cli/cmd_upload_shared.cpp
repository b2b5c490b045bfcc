#include "cmd_upload_shared.h"

#include <cctype>
#include <csignal>
#include <cstdlib>
#include <iostream>

#include "command.h"
#include "image/strings.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#define RT62_ISATTY _isatty
#define RT62_FILENO _fileno
#else
#include <termios.h>
#include <unistd.h>
#define RT62_ISATTY isatty
#define RT62_FILENO fileno
#endif

namespace rt62::cli {
namespace {

constexpr char kServicePassword[] = "melto-varis";
constexpr int kBarCells = 40;

CancelToken* g_interruptToken = nullptr;

extern "C" void OnInterrupt(int) {
    if (g_interruptToken) g_interruptToken->Request();
}

bool TakeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
               std::string& value, bool& matched) {
    const std::string& a = args[i];
    matched = false;
    if (a == name) {
        matched = true;
        if (i + 1 >= args.size()) return false;
        value = args[++i];
        return true;
    }
    if (a.size() > name.size() + 1 && a.compare(0, name.size(), name) == 0 && a[name.size()] == '=') {
        matched = true;
        value = a.substr(name.size() + 1);
        return true;
    }
    return true;
}

std::string ReadLineHidden() {
    std::string line;
#ifdef _WIN32
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    const bool console = GetConsoleMode(in, &mode) != 0;
    if (console) SetConsoleMode(in, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    std::getline(std::cin, line);
    if (console) SetConsoleMode(in, mode);
#else
    struct termios saved {};
    const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        struct termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::getline(std::cin, line);
    if (terminal) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
#endif
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

} // namespace

bool ParseLinkOptions(const std::vector<std::string>& args, const char* command, bool allowOutput,
                      std::size_t maxPositional, LinkOptions& options, int& exitCode) {
    const std::string cmd = command;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string value;
        bool matched = false;
        if (!TakeValue(args, i, "--port", value, matched)) {
            exitCode = UsageError(cmd + ": --port needs a port name");
            return false;
        }
        if (matched) {
            options.port = value;
            continue;
        }
        if (allowOutput) {
            if (!TakeValue(args, i, "-o", value, matched) || (matched && value.empty())) {
                exitCode = UsageError(cmd + ": -o needs a file name");
                return false;
            }
            if (matched) {
                options.output = value;
                continue;
            }
        }
        if (!TakeValue(args, i, "--timeout", value, matched)) {
            exitCode = UsageError(cmd + ": --timeout needs a number of seconds");
            return false;
        }
        if (matched) {
            char* end = nullptr;
            const double seconds = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !(seconds > 0) || seconds > 86400) {
                exitCode = UsageError(cmd + ": --timeout needs a number of seconds above 0");
                return false;
            }
            options.giveUpAfter = std::chrono::milliseconds(static_cast<long long>(seconds * 1000 + 0.5));
            continue;
        }
        if (a == "--service-mode") {
            options.serviceMode = true;
        } else if (a == "--yes" && !allowOutput) {
            options.assumeYes = true;
        } else if (a.size() > 1 && a[0] == '-') {
            exitCode = UsageError(cmd + ": unknown option '" + a + "'");
            return false;
        } else {
            options.positional.push_back(a);
        }
    }
    if (options.port.empty()) {
        exitCode = UsageError(cmd + ": --port PORT is required");
        return false;
    }
    if (allowOutput && options.output.empty()) {
        exitCode = UsageError(cmd + ": -o FILE is required");
        return false;
    }
    if (options.positional.size() != maxPositional) {
        exitCode =
            UsageError(cmd + (maxPositional ? ": expected exactly one FILE"
                                            : ": unexpected argument '" + options.positional[0] + "'"));
        return false;
    }
    return true;
}

bool AskServicePassword(std::FILE* prompt) {
    std::fprintf(prompt, "Password: ");
    std::fflush(prompt);
    std::string typed = ReadLineHidden();
    std::fprintf(prompt, "\n");
    for (char& c : typed)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return typed == kServicePassword;
}

TerminalProgress::TerminalProgress(std::FILE* out) : out_(out), bar_(RT62_ISATTY(RT62_FILENO(out)) != 0) {}

TerminalProgress::~TerminalProgress() {
    EndLine();
}

void TerminalProgress::EndLine() {
    if (!lineOpen_) return;
    std::fputc('\n', out_);
    std::fflush(out_);
    lineOpen_ = false;
    drawnCells_ = drawnPosition_ = -1;
}

void TerminalProgress::SetTitle(int stringId) {
    EndLine();
    std::fprintf(out_, "%s\n", FormatString(stringId).c_str());
    std::fflush(out_);
}

void TerminalProgress::SetStatus(int stringId, const std::vector<std::string>& args) {
    // The placeholder of "Retry %1" is shown empty, as the progress dialog shows it.
    std::string text = FormatString(stringId, args.empty() ? std::vector<std::string>{""} : args);
    if (text == lastStatus_ && stringId != kStrRetry) return;
    lastStatus_ = text;
    EndLine();
    std::fprintf(out_, "%s\n", text.c_str());
    std::fflush(out_);
    Draw();
}

void TerminalProgress::SetRange(int maximum) {
    range_ = maximum;
    position_ = 0;
    Draw();
}

void TerminalProgress::SetPosition(int position) {
    position_ = position;
    Draw();
}

void TerminalProgress::Draw() {
    if (!bar_ || range_ <= 0) return;
    const int shown = std::min(position_, range_); // past the range after restarts: the bar stays full
    const int cells = shown * kBarCells / range_;
    if (cells == drawnCells_ && (position_ - drawnPosition_) < 8 && position_ != range_) return;
    drawnCells_ = cells;
    drawnPosition_ = position_;
    std::string bar(static_cast<std::size_t>(cells), '#');
    bar.append(static_cast<std::size_t>(kBarCells - cells), '.');
    std::fprintf(out_, "\r[%s] %d/%d", bar.c_str(), position_, range_);
    std::fflush(out_);
    lineOpen_ = true;
}

InterruptCancels::InterruptCancels(CancelToken& token) {
    g_interruptToken = &token;
    std::signal(SIGINT, OnInterrupt);
}

InterruptCancels::~InterruptCancels() {
    std::signal(SIGINT, SIG_DFL);
    g_interruptToken = nullptr;
}

std::unique_ptr<SerialPort> PortForCommand(const std::string& name, const char* command, int& exitCode) {
    std::unique_ptr<SerialPort> port = CreateSerialPort(name);
    if (!port)
        exitCode = UsageError(std::string(command) + ": '" + name +
                              "' is not a port (COM1-COM16, a device path, or sim:)");
    return port;
}

int ExitCodeOf(JobStatus status) {
    switch (status) {
    case JobStatus::Completed:
        return kExitOk;
    case JobStatus::Cancelled:
        return kExitCancelled;
    case JobStatus::Failed:
    case JobStatus::Declined:
        break;
    }
    return kExitFailure;
}

} // namespace rt62::cli
