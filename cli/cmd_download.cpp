// rt62m download --port PORT FILE: writes a data file's image into the radio (the file is not changed).
#include <cstdio>
#include <memory>

#include "cli/cli_document.h"
#include "cli/cmd_upload_shared.h"
#include "cli/command.h"

namespace rt62::cli {
namespace {

int RunDownload(const LinkOptions& options) {
    const bool serviceMode = options.serviceMode && AskServicePassword(stderr);

    CliPrompter cliPrompter(stderr, options.assumeYes);
    Session session(cliPrompter);
    if (!OpenForCommand(session, options.input)) return kExitFailure;
    ApplyLinkOptions(session, options, serviceMode);

    TerminalProgress progress(stderr, DetailOf(options));
    progress.ShowPort(options.port, LineSettings{});
    LinkPrompter prompter(cliPrompter, progress);
    const Transfer transfer = session.PrepareTransfer(TransferKind::Download);
    CancelToken cancel;
    JobOutcome job;
    {
        InterruptCancels interrupt(cancel);
        job = RunTransferJob(transfer, cancel, progress, prompter);
    }
    return ExitCodeOf(session.FinishTransfer(transfer, job).status);
}

CommandRun SetupDownload(CLI::App& app) {
    auto options = std::make_shared<LinkOptions>();
    AddLinkOptions(app, *options, false);
    return [options] { return RunDownload(*options); };
}

} // namespace

RT62M_COMMAND("download", "write FILE's image into the radio after checking its hardware", 61, SetupDownload);

} // namespace rt62::cli
