// rt62m upload --port PORT -o FILE: reads the radio's image into a new data file.
#include <cstdio>
#include <memory>

#include "cmd_upload_shared.h"
#include "command.h"
#include "image/data_file.h"
#include "image/document.h"

namespace rt62::cli {
namespace {

int RunUpload(const LinkOptions& options) {
    std::unique_ptr<SerialPort> port = CreateSerialPort(options.port);
    if (!port) return kExitUsage;                        // the option's check lets only port names through
    if (options.serviceMode) AskServicePassword(stderr); // nothing of an upload depends on it

    CliPrompter cliPrompter;
    TerminalProgress progress(stderr);
    LinkPrompter prompter(cliPrompter, progress);

    CancelToken cancel;
    UploadJobResult result;
    {
        InterruptCancels interrupt(cancel);
        result = RunUploadJob(*port, {cancel, progress, prompter, options.giveUpAfter}, RadioImage{}, false);
    }
    port->Close();
    if (result.status != JobStatus::Completed || !result.image) return ExitCodeOf(result.status);
    // The file is written only after a complete upload, so a failure or a cancel never touches it.
    const DataFileBytes bytes = MakeDataFileBytes(*result.image, DefaultSplitBytes(0.0));
    if (!WriteDataFile(prompter, options.output, bytes)) return kExitFailure;
    return kExitOk;
}

CommandRun SetupUpload(CLI::App& app) {
    auto options = std::make_shared<LinkOptions>();
    AddLinkOptions(app, *options, true);
    return [options] { return RunUpload(*options); };
}

} // namespace

RT62M_COMMAND("upload", "read the radio's image into a new data file", 60, SetupUpload);

} // namespace rt62::cli
