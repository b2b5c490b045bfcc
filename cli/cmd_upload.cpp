// rt62m upload --port PORT -o FILE: reads the radio's image into a new data file.
#include <cstdio>

#include "cmd_upload_shared.h"
#include "command.h"
#include "image/data_file.h"
#include "image/document.h"

namespace rt62::cli {
namespace {

int RunUpload(const std::vector<std::string>& args) {
    LinkOptions options;
    int exitCode = kExitOk;
    if (!ParseLinkOptions(args, "upload", true, 0, options, exitCode)) return exitCode;
    std::unique_ptr<SerialPort> port = PortForCommand(options.port, "upload", exitCode);
    if (!port) return exitCode;
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

} // namespace

RT62M_COMMAND("upload",
              "upload --port PORT -o FILE [--timeout SECONDS] [--service-mode]\n"
              "                          read the radio's image into a new data file (PORT: COM1-COM16, a "
              "device, sim:)",
              60, RunUpload);

} // namespace rt62::cli
