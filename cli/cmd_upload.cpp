// rt62m upload --port PORT -o FILE: reads the radio's image into a new data file.
#include <cstdio>
#include <fstream>

#include "cmd_upload_shared.h"
#include "command.h"
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

    // The file is written only after a complete upload, into a temporary beside it first, so a
    // failure or a cancel never leaves a broken or half-written data file behind. Trying the
    // temporary now also refuses an unwritable place before anyone switches the radio on.
    const std::string temp = options.output + ".part";
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) {
        prompter.show(kStrCreateFailed, Buttons::Ok, Icon::Stop, {options.output});
        return kExitFailure;
    }

    CancelToken cancel;
    UploadJobResult result;
    {
        InterruptCancels interrupt(cancel);
        result = RunUploadJob(*port, {cancel, progress, prompter, options.giveUpAfter}, RadioImage{}, false);
    }
    port->Close();
    if (result.status != JobStatus::Completed || !result.image) {
        out.close();
        std::remove(temp.c_str());
        return ExitCodeOf(result.status);
    }
    const FileTrailerBytes trailer = DefaultSplitBytes(0.0);
    out.write(reinterpret_cast<const char*>(result.image->data()),
              static_cast<std::streamsize>(result.image->size()));
    out.write(reinterpret_cast<const char*>(trailer.data()), static_cast<std::streamsize>(trailer.size()));
    out.close();
    std::remove(options.output.c_str()); // rename does not replace an existing file everywhere
    if (!out || std::rename(temp.c_str(), options.output.c_str()) != 0) {
        std::remove(temp.c_str());
        prompter.show(kStrWriteFailed, Buttons::Ok, Icon::Stop);
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

RT62M_COMMAND("upload",
              "upload --port PORT -o FILE [--timeout SECONDS] [--service-mode]\n"
              "                          read the radio's image into a new data file (PORT: COM1-COM16, a "
              "device, sim:)",
              60, RunUpload);

} // namespace rt62::cli
