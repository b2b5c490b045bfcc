// rt62m new --band N -o FILE: a factory data file for a BandStepCode, as the default files hold.
#include <cstdio>
#include <memory>

#include "cli/cli_document.h"
#include "cli/command.h"
#include "core/image/data_file.h"

namespace rt62::cli {
namespace {

struct NewOptions {
    int band = -1;
    std::string out;
};

int RunNew(const NewOptions& o) {
    CliPrompter prompter;
    Session session(prompter);
    session.NewFactory(o.band);
    return WriteOutput(prompter, o.out, session.DocumentBytes()) ? kExitOk : kExitFailure;
}

CommandRun SetupNew(CLI::App& app) {
    auto o = std::make_shared<NewOptions>();
    app.add_option("-b,--band", o->band, "the BandStepCode of the radio (0-3)")
        ->type_name("N")
        ->required()
        ->check(CLI::Range(0, 3));
    app.add_option("-o,--output", o->out, "the data file to write; - writes it to standard output")
        ->type_name("FILE")
        ->required()
        ->check(kNotEmpty);
    return [o] { return RunNew(*o); };
}

} // namespace

RT62M_COMMAND("new", "a factory data file for BandStepCode N (0-3)", 50, SetupNew);

} // namespace rt62::cli
