#include "cli/cmd_upload_shared.h"

#include <csignal>

#include "cli/command.h"
#include "cli/terminal.h"
#include "core/app/session_settings.h"
#include "core/image/strings.h"
#include "core/link/radio_backup.h"

namespace rt62::cli {
namespace {

constexpr int kBarCells = 40;
constexpr int kStrPortSettings = 4004;
constexpr int kStrFrameReceived = 4005;
constexpr int kStrFrameSent = 4006;

CancelToken* g_interruptToken = nullptr;
volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void OnInterrupt(int sig) {
    g_stopSignal = sig;
    if (g_interruptToken) g_interruptToken->Request();
}

} // namespace

void AddLinkOptions(CLI::App& app, LinkOptions& options, bool upload, bool fleet) {
    app.add_option("-p,--port", options.port,
                   "the serial port: COM1-COM16, a device (ttyUSB0 is /dev/ttyUSB0), sim:, or sim:fleet")
        ->type_name("PORT")
        ->required()
        ->check(CLI::Validator(
            [](std::string& name) {
                return ParsePortName(name)
                           ? std::string()
                           : "'" + name + "' is not a port (COM1-COM16, a device path, sim:, or sim:fleet)";
            },
            "", "PORT"));
    if (upload)
        app.add_option("-o,--output", options.output,
                       "the data file to write; - writes it to standard output")
            ->type_name("FILE")
            ->required()
            ->check(kNotEmpty);
    else if (!fleet)
        AddInputFile(app, options.input);
    app.add_option_function<double>(
           "-t,--timeout",
           [&options](const double& seconds) {
               options.giveUpAfter = std::chrono::milliseconds(static_cast<long long>(seconds * 1000 + 0.5));
           },
           "give up after SECONDS without progress (no byte of a frame from the radio); default: wait "
           "without "
           "limit for the radio to be switched on")
        ->type_name("SECONDS")
        ->check(CLI::Range(0.001, 86400.0));
    CLI::Option* quiet = app.add_flag("-q,--quiet", options.quiet,
                                      "show no phase lines and no progress bar, only the messages");
    app.add_flag("-v,--verbose", options.verbose, "also show the port, its settings and each frame's timing")
        ->excludes(quiet);
    CLI::Option* noBackup =
        app.add_flag("--no-backup", options.noBackup,
                     "keep no copy of the image read from the radio in the backups folder");
    app.add_option("--backup-dir", options.backupDir,
                   "keep the copies of the images read from the radio in DIR; default: " +
                       DefaultBackupFolder())
        ->type_name("DIR")
        ->check(kNotEmpty)
        ->excludes(noBackup);
    if (!fleet)
        app.add_flag("--service-mode", options.serviceMode,
                     "ask for the service password and work in service mode");
    if (!upload)
        app.add_flag("-y,--yes", options.assumeYes, "answer Yes to the questions (e.g. a hardware mismatch)");
}

bool AskServicePassword(std::FILE* prompt) {
    std::fprintf(prompt, "Password: ");
    std::fflush(prompt);
    const std::string typed = ReadHiddenLine();
    std::fprintf(prompt, "\n");
    return IsServicePassword(typed);
}

TerminalProgress::TerminalProgress(std::FILE* out, Detail detail)
    : out_(out), detail_(detail), bar_(detail != Detail::Quiet && IsTerminal(out)) {}

void TerminalProgress::ShowPort(const std::string& lead, const LineSettings& settings) {
    if (detail_ != Detail::Verbose) return;
    EndLine();
    std::fprintf(
        out_, "%s\n",
        FormatString(kStrPortSettings, {lead, std::to_string(settings.baudRate),
                                        std::to_string(settings.byteSize), std::to_string(settings.stopBits)})
            .c_str());
    std::fflush(out_);
}

void TerminalProgress::FrameDone(bool received, std::size_t bytes, std::chrono::microseconds took) {
    if (detail_ != Detail::Verbose) return;
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.1f", static_cast<double>(took.count()) / 1000.0);
    EndLine();
    std::fprintf(
        out_, "%s\n",
        FormatString(received ? kStrFrameReceived : kStrFrameSent, {std::to_string(bytes), ms}).c_str());
    std::fflush(out_);
    Draw();
}

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
    if (detail_ == Detail::Quiet) return;
    EndLine();
    std::fprintf(out_, "%s\n", FormatString(stringId).c_str());
    std::fflush(out_);
}

void TerminalProgress::SetStatus(int stringId, const std::vector<std::string>& args) {
    // The placeholder of "Retry %1" is shown empty, as the progress dialog shows it.
    std::string text = FormatString(stringId, args.empty() ? std::vector<std::string>{""} : args);
    if (detail_ == Detail::Quiet) return;
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
    g_stopSignal = 0;
    for (int sig : StopSignals())
        std::signal(sig, OnInterrupt);
}

InterruptCancels::~InterruptCancels() {
    for (int sig : StopSignals())
        std::signal(sig, SIG_DFL);
    g_interruptToken = nullptr;
}

TerminalProgress::Detail DetailOf(const LinkOptions& options) {
    if (options.quiet) return TerminalProgress::Detail::Quiet;
    return options.verbose ? TerminalProgress::Detail::Verbose : TerminalProgress::Detail::Normal;
}

int ExitCodeOf(JobStatus status) {
    switch (status) {
    case JobStatus::Completed:
        return kExitOk;
    case JobStatus::Cancelled:
        // Ended by a signal: the shell's convention of 128 + its number (130 for Ctrl+C). Without one,
        // an answer stopped it (no backup, go on? No): the transfer did not happen.
        return g_stopSignal ? 128 + g_stopSignal : kExitFailure;
    case JobStatus::Failed:
    case JobStatus::Declined:
        break;
    }
    return kExitFailure;
}

void ApplyLinkOptions(Session& session, const LinkOptions& options, bool serviceMode) {
    SessionSettings& settings = session.Settings();
    settings.portName = options.port;
    // Each run is one transfer: its port is made for it and closed at its end.
    settings.portPerTransfer = true;
    settings.backups = !options.noBackup;
    settings.backupFolder = options.backupDir;
    settings.serviceMode = serviceMode;
    settings.giveUpAfter = options.giveUpAfter;
}

} // namespace rt62::cli
