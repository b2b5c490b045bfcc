// rt62m download --port PORT FILE: writes a data file's image into the radio (the file is not changed).
#include <cstdio>

#include "cli_document.h"
#include "cmd_upload_shared.h"
#include "command.h"
#include "image/model.h"

namespace rt62::cli {
namespace {

int RunDownload(const std::vector<std::string>& args) {
    LinkOptions options;
    int exitCode = kExitOk;
    if (!ParseLinkOptions(args, "download", false, 1, options, exitCode)) return exitCode;
    std::unique_ptr<SerialPort> port = PortForCommand(options.port, "download", exitCode);
    if (!port) return exitCode;
    const bool serviceMode = options.serviceMode && AskServicePassword(stderr);

    CliPrompter cliPrompter(stderr, options.assumeYes);
    CRT62MDoc doc(cliPrompter);
    if (!OpenForCommand(doc, options.positional[0])) return kExitFailure;
    NormalizeImage(doc.Model());

    TerminalProgress progress(stderr);
    LinkPrompter prompter(cliPrompter, progress);
    DownloadOptions download;
    download.serviceMode = serviceMode;
    download.marketingChanged = doc.IsMarketingChanged();
    download.normalize = [&doc](RadioImage& image) {
        ImageModel model = doc.Model();
        model.image = image;
        NormalizeImage(model);
        image = model.image;
    };

    CancelToken cancel;
    DownloadJobResult result;
    {
        InterruptCancels interrupt(cancel);
        result =
            RunDownloadJob(*port, {cancel, progress, prompter, options.giveUpAfter}, doc.Image(), download);
    }
    port->Close();
    return ExitCodeOf(result.status);
}

} // namespace

RT62M_COMMAND("download",
              "download --port PORT FILE [--timeout SECONDS] [--service-mode [--yes]]\n"
              "                          write FILE's image into the radio after checking its hardware",
              61, RunDownload);

} // namespace rt62::cli
