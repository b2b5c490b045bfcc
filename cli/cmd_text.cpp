// rt62m export / import / diff / verify (the YAML text form) and csv-export / csv-import (the channel
// CSV): the text forms of core/text from a terminal.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cli/cli_document.h"
#include "cli/command.h"
#include "core/image/data_file.h"
#ifdef RT62_HAVE_YAML
#include "cli/cmd_upload_shared.h"
#endif

namespace rt62::cli {
namespace {

constexpr char kStandardStream[] = "-";
// The largest text an import reads; a configuration text is a few kilobytes.
constexpr std::size_t kMaxText = 1u << 20;

// A text file ("-": standard input), or nullopt after the message.
std::optional<std::string> ReadText(Prompter& prompter, const std::string& path) {
    const ReadOutcome read =
        path == kStandardStream ? ReadDescriptorBytes(0, kMaxText) : ReadFileBytes(path, kMaxText);
    if (read.status != ReadStatus::Ok) {
        prompter.show(read.status == ReadStatus::CannotOpen ? kStrOpenFailed : kStrReadFailed, Buttons::Ok,
                      Icon::Stop, {path});
        return std::nullopt;
    }
    return std::string(read.bytes.begin(), read.bytes.end());
}

// The document as a text to standard output ("-" or no -o), else to a file as the session writes it.
bool WriteText(Session& session, const std::string& path, TextKind kind) {
    if (!path.empty() && path != kStandardStream) return session.Export(path, kind);
    const std::string text = NativeLineEnds(session.ExportText(kind));
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    std::fflush(stdout);
    if (WriteDescriptorBytes(1, std::span<const std::uint8_t>(data, text.size()))) return true;
    ShowWriteFailure(session.GetPrompter(), WriteStatus::WriteFailed, kStandardStream);
    return false;
}

// rowsOnly: CSV problems, whose messages name their row already.
void PrintProblems(const std::vector<TextProblem>& problems, bool rowsOnly = false) {
    for (const TextProblem& p : problems)
        std::fprintf(stderr, "%s\n", (rowsOnly ? p.message : p.Text()).c_str());
}

// Messages as lines on stderr (their CR LF as LF).
[[maybe_unused]] void PrintLines(const std::vector<std::string>& messages) {
    for (const std::string& p : messages) {
        std::string line;
        for (char c : p)
            if (c != '\r') line += c;
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

struct ConvertOptions {
    std::string input;
    std::string output;
    std::string base;
    bool strict = false;
};

void AddOutput(CLI::App& app, ConvertOptions& o, const char* what, bool required) {
    CLI::Option* opt = app.add_option("-o,--output", o.output, what)->type_name("FILE")->check(kNotEmpty);
    if (required) opt->required();
}

void AddBase(CLI::App& app, ConvertOptions& o, const char* absent) {
    app.add_option("--base", o.base,
                   std::string("the data file whose values the absent fields keep; default: ") + absent)
        ->type_name("FILE")
        ->check(kNotEmpty);
}

// An import from text: the base (--base, or the importer's own default), the text, the problems
// listed; the data file written only when the import was not refused.
int RunTextImport(const ConvertOptions& o, TextKind kind) {
    CliPrompter prompter;
    if (!CheckOutput(prompter, o.output)) return kExitFailure;
    Session session(prompter);
    if (!o.base.empty() && !OpenForCommand(session, o.base)) return kExitFailure;
    const auto text = ReadText(prompter, o.input);
    if (!text) return kExitFailure;
    const bool csv = kind == TextKind::Csv;
    const TextImport r = session.ParseText(*text, kind, !o.base.empty(), o.strict);
    // A CSV's skipped rows are listed even when the rest was imported.
    if (csv || !r.ok) PrintProblems(r.problems, csv);
    if (!r.ok) return kExitFailure;
    if (!WriteOutput(prompter, o.output, r.bytes)) return kExitFailure;
    if (csv) std::fprintf(stderr, "%s\n", r.summary.c_str());
    return kExitOk;
}

// ---- channel CSV ----

// An export: the data file opened, the text written.
int RunTextExport(const ConvertOptions& o, TextKind kind) {
    CliPrompter prompter;
    Session session(prompter);
    if (!OpenForCommand(session, o.input)) return kExitFailure;
    return WriteText(session, o.output, kind) ? kExitOk : kExitFailure;
}

CommandRun SetupCsvExport(CLI::App& app) {
    auto o = std::make_shared<ConvertOptions>();
    AddInputFile(app, o->input);
    AddOutput(app, *o, "the CSV file to write; default and -: standard output", false);
    return [o] { return RunTextExport(*o, TextKind::Csv); };
}

CommandRun SetupCsvImport(CLI::App& app) {
    auto o = std::make_shared<ConvertOptions>();
    app.add_option("CSV", o->input, "the channel CSV to read; - reads it from standard input")
        ->required()
        ->check(kNotEmpty);
    AddOutput(app, *o, "the data file to write; - writes it to standard output", true);
    AddBase(app, *o, "the factory file of the band of the first row's frequency");
    app.add_flag("--strict", o->strict, "refuse the whole file when any row cannot be imported");
    app.footer("Rows the radio cannot hold are listed and skipped (exit 0), or refuse the file with --strict "
               "(exit 1, nothing written).");
    return [o] { return RunTextImport(*o, TextKind::Csv); };
}

#ifdef RT62_HAVE_YAML

// ---- YAML ----

// A side of a comparison opened in the session: a data file, or a YAML text by its name (.yaml,
// .yml); "-" reads a data file from standard input. Problems are listed.
bool OpenSide(Session& session, const std::string& path) {
    if (path == kStandardStream) return OpenForCommand(session, path);
    const LoadedDataFile loaded = session.OpenDataFileOrText(path);
    PrintLines(loaded.problems);
    return loaded.ok;
}

constexpr int kExitDiffTrouble = 2; // the diff convention: 0 same, 1 different, 2 trouble

int PrintComparison(const Comparison& comparison) {
    PrintLines(comparison.problems);
    if (!comparison.ok) return kExitDiffTrouble;
    for (const DiffLine& line : comparison.report.lines)
        std::printf("%s\n", line.text.c_str());
    return comparison.report.ExitCode();
}

int RunDiff(const std::string& a, const std::string& b) {
    CliPrompter prompter;
    Session session(prompter);
    if (!OpenSide(session, a)) return kExitDiffTrouble;
    if (b != kStandardStream) return PrintComparison(session.CompareWithFile(b));
    Session other(prompter);
    if (!OpenSide(other, b)) return kExitDiffTrouble;
    LoadedDataFile side;
    side.ok = true;
    side.bytes = other.ExactBytes();
    side.format = other.Document().Model().twoToneFormat;
    return PrintComparison(session.CompareWith(side));
}

int RunVerify(const LinkOptions& options) {
    CliPrompter cliPrompter(stderr, options.assumeYes);
    Session session(cliPrompter);
    if (!OpenSide(session, options.input)) return kExitDiffTrouble;
    ApplyLinkOptions(session, options);
    TerminalProgress progress(stderr, DetailOf(options));
    LinkPrompter prompter(cliPrompter, progress);
    progress.ShowPort(options.port, LineSettings{});

    const Transfer transfer = session.PrepareTransfer(TransferKind::ReadRadio);
    CancelToken cancel;
    JobOutcome job;
    {
        InterruptCancels interrupt(cancel);
        job = RunTransferJob(transfer, cancel, progress, prompter);
    }
    const TransferEnd end = session.FinishTransfer(transfer, job);
    progress.EndLine();
    if (!end.radioImage) {
        const int code = ExitCodeOf(end.status);
        return code >= 128 ? code : kExitDiffTrouble; // a signal keeps its 128 + number
    }
    return PrintComparison(session.CompareWithRadio(*end.radioImage));
}

CommandRun SetupExport(CLI::App& app) {
    auto o = std::make_shared<ConvertOptions>();
    AddInputFile(app, o->input);
    AddOutput(app, *o, "the YAML text to write; default and -: standard output", false);
    return [o] { return RunTextExport(*o, TextKind::Yaml); };
}

CommandRun SetupImport(CLI::App& app) {
    auto o = std::make_shared<ConvertOptions>();
    app.add_option("YAML", o->input, "the YAML text to read; - reads it from standard input")
        ->required()
        ->check(kNotEmpty);
    AddOutput(app, *o, "the data file to write; - writes it to standard output", true);
    AddBase(app, *o, "the factory file of the band the text names");
    app.footer("Any error is listed with its line, column and field; then the exit status is 1 and nothing "
               "is written.");
    return [o] { return RunTextImport(*o, TextKind::Yaml); };
}

CommandRun SetupDiff(CLI::App& app) {
    auto a = std::make_shared<std::string>();
    auto b = std::make_shared<std::string>();
    const char* what = "a data file, or a YAML text (.yaml, .yml); - reads a data file from standard input";
    app.add_option("A", *a, what)->required()->check(kNotEmpty);
    app.add_option("B", *b, what)->required()->check(kNotEmpty);
    app.footer("One line per differing field (path: A's value -> B's value), then raw bytes and the "
               "checksum.\nExit status: 0 equal, 1 different, 2 trouble (a file that cannot be read).");
    return [a, b] { return RunDiff(*a, *b); };
}

CommandRun SetupVerify(CLI::App& app) {
    auto options = std::make_shared<LinkOptions>();
    AddLinkOptions(app, *options, false);
    app.footer("Reads the radio as upload does and prints the differences (radio -> FILE); FILE may be a "
               "data file or a YAML text.\nThe bytes a download takes from the radio instead of the file "
               "(0xE8-0xEF, 0xF2-0xFB: radio-owned) and the Default Split are shown marked radio-owned\n"
               "but do not count. Exit status: 0 the radio holds FILE's image, 1 different, 2 trouble, 130 "
               "cancelled.");
    return [options] { return RunVerify(*options); };
}

#endif

} // namespace

RT62M_COMMAND("csv-export", "the channels of a data file as channel CSV", 80, SetupCsvExport);
RT62M_COMMAND("csv-import", "a data file from channel CSV", 81, SetupCsvImport);
#ifdef RT62_HAVE_YAML
RT62M_COMMAND("export", "a data file as a YAML text (format: rt62m-1)", 70, SetupExport);
RT62M_COMMAND("import", "a data file from a YAML text", 71, SetupImport);
RT62M_COMMAND("diff", "the differing fields of two data files or YAML texts", 72, SetupDiff);
RT62M_COMMAND("verify", "whether the radio holds a file's image (reads the radio)", 73, SetupVerify);
#endif

} // namespace rt62::cli
