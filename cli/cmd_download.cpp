// rt62m download --port PORT FILE: writes a data file's image into the radio (the file is not changed).
#include <cstdio>
#include <memory>

#include "cli/cli_document.h"
#include "cli/cmd_upload_shared.h"
#include "cli/command.h"
#include "core/image/model.h"

namespace rt62::cli {
namespace {

int RunDownload(const LinkOptions& options) {
    std::unique_ptr<SerialPort> port = CreateSerialPort(options.port);
    if (!port) return kExitUsage; // the option's check lets only port names through
    const bool serviceMode = options.serviceMode && AskServicePassword(stderr);

    CliPrompter cliPrompter(stderr, options.assumeYes);
    CRT62MDoc doc(cliPrompter);
    if (!OpenForCommand(doc, options.input)) return kExitFailure;
    NormalizeImage(doc.Model());

    TerminalProgress progress(stderr, DetailOf(options));
    progress.ShowPort(options.port, LineSettings{});
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
            RunDownloadJob(*port, LinkEnvironment(options, cancel, progress, prompter, doc.TrailerBytes()),
                           doc.Image(), download);
    }
    port->Close();
    return ExitCodeOf(result.status);
}

CommandRun SetupDownload(CLI::App& app) {
    auto options = std::make_shared<LinkOptions>();
    AddLinkOptions(app, *options, false);
    return [options] { return RunDownload(*options); };
}

} // namespace

RT62M_COMMAND("download", "write FILE's image into the radio after checking its hardware", 61, SetupDownload);

} // namespace rt62::cli
