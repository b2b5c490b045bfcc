// rt62m upload --port PORT -o FILE: reads the radio's image into a new data file.
#include <cstdio>
#include <memory>

#include "cli/cli_document.h"
#include "cli/cmd_upload_shared.h"
#include "cli/command.h"
#include "core/image/data_file.h"
#include "core/image/document.h"

namespace rt62::cli {
namespace {

int RunUpload(const LinkOptions& options) {
    CliPrompter cliPrompter;
    // Refused before the user is asked to switch the radio on.
    if (!CheckOutput(cliPrompter, options.output)) return kExitFailure;
    if (options.serviceMode) AskServicePassword(stderr); // nothing of an upload depends on it

    TerminalProgress progress(stderr, DetailOf(options));
    LinkPrompter prompter(cliPrompter, progress);
    progress.ShowPort(options.port, LineSettings{});

    Session session(prompter);
    ApplyLinkOptions(session, options);
    Transfer transfer = session.PrepareTransfer(TransferKind::Upload);
    // The file is written before the upload counts as completed, so "Upload is completed" is never
    // followed by a write failure; a failure or a cancel never touches the file.
    transfer.keep = [&](const RadioImage& image) {
        const DataFileBytes bytes = MakeDataFileBytes(image, DefaultSplitBytes(0.0));
        return WriteOutput(prompter, options.output, bytes);
    };
    CancelToken cancel;
    JobOutcome job;
    {
        InterruptCancels interrupt(cancel);
        job = RunTransferJob(transfer, cancel, progress, prompter);
    }
    return ExitCodeOf(session.FinishTransfer(transfer, job).status);
}

CommandRun SetupUpload(CLI::App& app) {
    auto options = std::make_shared<LinkOptions>();
    AddLinkOptions(app, *options, true);
    return [options] { return RunUpload(*options); };
}

} // namespace

RT62M_COMMAND("upload", "read the radio's image into a new data file", 60, SetupUpload);

} // namespace rt62::cli
