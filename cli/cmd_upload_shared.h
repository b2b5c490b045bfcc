// What rt62m upload and download share: options, the terminal progress, Ctrl+C, the password.
#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_prompter.h"
#include "cli/command.h"
#include "core/app/session.h"
#include "core/image/radio_image.h"
#include "core/link/clone_protocol.h"
#include "core/link/serial_port.h"
#include "core/link/transfer_job.h"

namespace rt62::cli {

struct LinkOptions {
    std::string port;
    std::string output; // upload: -o FILE
    std::string input;  // download: FILE
    bool serviceMode = false;
    bool assumeYes = false;
    bool quiet = false;   // no phase lines, no progress bar
    bool verbose = false; // also the port, its settings and each frame's timing
    std::chrono::milliseconds giveUpAfter{0};
    std::string backupDir; // empty: the default backups folder
    bool noBackup = false;
};

// Declares the options of the two commands; upload writes -o FILE, download reads FILE. A fleet run
// declares its own template file and has no service mode.
void AddLinkOptions(CLI::App& app, LinkOptions& options, bool upload, bool fleet = false);

// Asks for the service-mode password on the terminal (not echoed); true when it is right. A wrong one
// turns service mode off without a message.
bool AskServicePassword(std::FILE* prompt);

// The caption, the status texts one per line, and a progress bar redrawn in place on a terminal.
class TerminalProgress : public ProgressSink {
  public:
    enum class Detail { Quiet, Normal, Verbose };
    explicit TerminalProgress(std::FILE* out, Detail detail = Detail::Normal);
    // The port and its line settings, in verbose mode.
    void ShowPort(const std::string& lead, const LineSettings& settings);
    ~TerminalProgress() override;

    void SetRange(int maximum) override;
    void SetPosition(int position) override;
    void SetStatus(int stringId, const std::vector<std::string>& args = {}) override;
    void SetTitle(int stringId) override;
    void FrameDone(bool received, std::size_t bytes, std::chrono::microseconds took) override;
    // Ends a bar line that is being redrawn, so the next text starts on a line of its own.
    void EndLine();

  private:
    void Draw();

    std::FILE* out_;
    Detail detail_;
    bool bar_;
    bool lineOpen_ = false;
    int range_ = 0;
    int position_ = 0;
    int drawnCells_ = -1;
    int drawnPosition_ = -1;
    std::string lastStatus_;
};

// The terminal prompter that first ends the progress line.
class LinkPrompter : public Prompter {
  public:
    LinkPrompter(CliPrompter& inner, TerminalProgress& progress) : inner_(inner), progress_(progress) {}
    Answer show(int stringId, Buttons buttons, Icon icon,
                const std::vector<std::string>& args = {}) override {
        progress_.EndLine();
        return inner_.show(stringId, buttons, icon, args);
    }

  private:
    CliPrompter& inner_;
    TerminalProgress& progress_;
};

// Ctrl+C, SIGTERM and SIGHUP ask the transfer to stop (at its next cancel check) for as long as this
// object lives; ExitCodeOf then gives 128 + the signal.
class InterruptCancels {
  public:
    explicit InterruptCancels(CancelToken& token);
    ~InterruptCancels();
    InterruptCancels(const InterruptCancels&) = delete;
    InterruptCancels& operator=(const InterruptCancels&) = delete;
};

int ExitCodeOf(JobStatus status);

// The session's settings from the options: the port (one for this run), the backups folder (none
// with --no-backup), the wait for the radio, and service mode when its password was given.
void ApplyLinkOptions(Session& session, const LinkOptions& options, bool serviceMode = false);

TerminalProgress::Detail DetailOf(const LinkOptions& options);

} // namespace rt62::cli
