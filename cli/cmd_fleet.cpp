// rt62m fleet --port PORT TEMPLATE (--ani-start CODE --count N | --ani-list FILE) --log FILE: programs
// radio after radio with the template and an ANI code of its own; the template file is not changed.
#include <cstdio>
#include <memory>

#include "cli/cli_document.h"
#include "cli/cmd_upload_shared.h"
#include "cli/command.h"
#include "core/image/strings.h"
#include "core/link/fleet_run.h"

namespace rt62::cli {
namespace {

struct FleetOptions {
    LinkOptions link;
    std::string aniStart;
    int count = 0;
    std::string aniList;
    std::string log;
    bool again = false;
};

// One line per radio on standard output; the prompts and the differences go with the progress.
class TerminalFleet : public FleetObserver {
  public:
    TerminalFleet(TerminalProgress& progress, bool quiet) : progress_(progress), quiet_(quiet) {}
    void RadioStarting(int, int) override {}
    void Prompt(int stringId, const std::vector<std::string>& args) override {
        if (quiet_) return;
        progress_.EndLine();
        std::fprintf(stderr, "%s\n", FormatString(stringId, args).c_str());
    }
    void RadioDone(const FleetRadio& radio) override {
        progress_.EndLine();
        for (const std::string& line : radio.differences)
            std::fprintf(stderr, "  %s\n", line.c_str());
        std::printf("%s\n", FleetRadioLine(radio).c_str());
        std::fflush(stdout);
    }

  private:
    TerminalProgress& progress_;
    bool quiet_;
};

int RunFleetCommand(const FleetOptions& options) {
    CliPrompter cliPrompter(stderr, options.link.assumeYes);
    Session session(cliPrompter);
    if (!OpenForCommand(session, options.link.input)) return kExitFailure;
    ApplyLinkOptions(session, options.link);
    std::optional<FleetPlan> plan = session.PrepareFleet();
    if (!plan) return kExitFailure;

    FleetRequest& request = plan->request;
    request.count = options.count;
    request.logPath = options.log;
    request.programAgain = options.again;
    if (!options.aniStart.empty()) {
        request.codes.start = options.aniStart;
    } else {
        std::optional<std::vector<std::string>> list = ReadAniCodeList(options.aniList, cliPrompter);
        if (!list) return kExitFailure;
        request.codes.list = std::move(*list);
    }

    TerminalProgress progress(stderr, DetailOf(options.link));
    progress.ShowPort(options.link.port, LineSettings{});
    LinkPrompter prompter(cliPrompter, progress);
    TerminalFleet observer(progress, options.link.quiet);
    FleetControl control;
    FleetSummary summary;
    {
        InterruptCancels interrupt(control.Cancel());
        summary = RunFleet(*plan->port, request, control, progress, prompter, observer);
    }
    session.FinishFleet();
    progress.EndLine();
    if (!summary.started) return kExitFailure;
    std::printf("%s\n", FormatString(kStrFleetSummary,
                                     {std::to_string(summary.programmed), std::to_string(summary.total)})
                            .c_str());
    if (summary.cancelled) return ExitCodeOf(JobStatus::Cancelled);
    return summary.AllProgrammed() ? kExitOk : kExitFailure;
}

CommandRun SetupFleet(CLI::App& app) {
    auto o = std::make_shared<FleetOptions>();
    AddInputFile(app, o->link.input)->description("the template: the data file every radio gets");
    AddLinkOptions(app, o->link, false, true);
    CLI::Option* start =
        app.add_option("--ani-start", o->aniStart,
                       "the first radio's ANI code; each programmed radio takes the next one, counting up in "
                       "the trailing digits and keeping the width (A0099, A0100, ...)")
            ->type_name("CODE")
            ->check(kNotEmpty);
    CLI::Option* count =
        app.add_option("--count", o->count, "how many radios; with --ani-list, at most one per code left")
            ->type_name("N")
            ->check(CLI::Range(1, 100000));
    CLI::Option* list = app.add_option("--ani-list", o->aniList, "the ANI codes, one per line, in order")
                            ->type_name("FILE")
                            ->check(kNotEmpty)
                            ->excludes(start);
    start->needs(count);
    app.add_option("--log", o->log,
                   "the CSV log, one line per radio (made with its header when missing; an existing log "
                   "goes on after its last code)")
        ->type_name("FILE")
        ->required()
        ->check(kNotEmpty);
    app.add_flag("--again", o->again, "program radios the log shows as programmed again, with a new code");
    app.footer("Before each radio: connect it, switch it OFF and back ON; once more for the read-back.\n"
               "Exit status: 0 every radio programmed, 1 any not (the log says which), 130 interrupted "
               "after the radio in hand was logged.");
    app.callback([start, list] {
        if (start->count() == 0 && list->count() == 0)
            throw CLI::RequiredError("--ani-start CODE --count N or --ani-list FILE");
    });
    return [o] { return RunFleetCommand(*o); };
}

} // namespace

RT62M_COMMAND("fleet", "program many radios with one data file, each with its own ANI code, and log them", 62,
              SetupFleet);

} // namespace rt62::cli
