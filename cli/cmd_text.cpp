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
#include "core/image/catalogue.h"
#include "core/image/data_file.h"
#include "core/image/document.h"
#include "core/text/csv_channels.h"
#include "core/text/field_diff.h"
#ifdef RT62_HAVE_YAML
#include "cli/cmd_upload_shared.h"
#include "core/text/yaml_text.h"
#endif

namespace rt62::cli {
namespace {

constexpr char kStandardStream[] = "-";
// The largest text an import reads; a configuration text is a few kilobytes.
constexpr std::size_t kMaxText = 1u << 20;

// The data file at path ("-": standard input) with its two-tone format, or nullopt after the message.
std::optional<ImageModel> ReadDataFileModel(Prompter& prompter, const std::string& path) {
    CRT62MDoc doc(prompter);
    if (!OpenForCommand(doc, path)) return std::nullopt;
    return doc.Model();
}

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

// A text to standard output ("-" or no -o), else to a file through the one writer.
bool WriteText(Prompter& prompter, const std::string& path, const std::string& plainText) {
    const std::string text = NativeLineEnds(plainText);
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    const std::span<const std::uint8_t> bytes(data, text.size());
    if (path.empty() || path == kStandardStream) {
        std::fflush(stdout);
        if (WriteDescriptorBytes(1, bytes)) return true;
        ShowWriteFailure(prompter, WriteStatus::WriteFailed, kStandardStream);
        return false;
    }
    return WriteDataFile(prompter, path, bytes);
}

// rowsOnly: CSV problems, whose messages name their row already.
void PrintProblems(const std::vector<TextProblem>& problems, bool rowsOnly = false) {
    for (const TextProblem& p : problems)
        std::fprintf(stderr, "%s\n", (rowsOnly ? p.message : p.Text()).c_str());
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

// The base of an import: --base, or nothing (the importer's own default).
bool ReadBase(Prompter& prompter, const ConvertOptions& o, std::optional<DataFileBytes>& bytes,
              TwoToneFormat& format) {
    if (o.base.empty()) return true;
    const auto model = ReadDataFileModel(prompter, o.base);
    if (!model) return false;
    bytes = DataFileOfModel(*model);
    format = model->twoToneFormat;
    return true;
}

// ---- channel CSV ----

int RunCsvExport(const ConvertOptions& o) {
    CliPrompter prompter;
    const auto model = ReadDataFileModel(prompter, o.input);
    if (!model) return kExitFailure;
    return WriteText(prompter, o.output, ExportCsv(DataFileOfModel(*model))) ? kExitOk : kExitFailure;
}

int RunCsvImport(const ConvertOptions& o) {
    CliPrompter prompter;
    if (!CheckOutput(prompter, o.output)) return kExitFailure;
    std::optional<DataFileBytes> base;
    TwoToneFormat format = TwoToneFormat::Standard;
    if (!ReadBase(prompter, o, base, format)) return kExitFailure;
    const auto text = ReadText(prompter, o.input);
    if (!text) return kExitFailure;
    const CsvImport r = ImportCsv(*text, base ? &*base : nullptr, o.strict);
    PrintProblems(r.problems, true);
    if (!r.ok) return kExitFailure;
    if (!WriteOutput(prompter, o.output, r.bytes)) return kExitFailure;
    std::fprintf(stderr, "%s\n", r.Summary().c_str());
    return kExitOk;
}

CommandRun SetupCsvExport(CLI::App& app) {
    auto o = std::make_shared<ConvertOptions>();
    AddInputFile(app, o->input);
    AddOutput(app, *o, "the CSV file to write; default and -: standard output", false);
    return [o] { return RunCsvExport(*o); };
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
    return [o] { return RunCsvImport(*o); };
}

#ifdef RT62_HAVE_YAML

// ---- YAML ----

int RunExport(const ConvertOptions& o) {
    CliPrompter prompter;
    CRT62MDoc doc(prompter);
    if (!OpenForCommand(doc, o.input)) return kExitFailure;
    const std::string text = ExportYaml(doc.ExactBytes(), doc.Model().twoToneFormat);
    return WriteText(prompter, o.output, text) ? kExitOk : kExitFailure;
}

int RunImport(const ConvertOptions& o) {
    CliPrompter prompter;
    if (!CheckOutput(prompter, o.output)) return kExitFailure;
    std::optional<DataFileBytes> base;
    TwoToneFormat format = TwoToneFormat::Standard;
    if (!ReadBase(prompter, o, base, format)) return kExitFailure;
    const auto text = ReadText(prompter, o.input);
    if (!text) return kExitFailure;
    const YamlImport r = ImportYaml(*text, base ? &*base : nullptr, format);
    if (!r.ok) {
        PrintProblems(r.problems);
        return kExitFailure;
    }
    return WriteOutput(prompter, o.output, r.bytes) ? kExitOk : kExitFailure;
}

// A side of a comparison: a data file, or a YAML text by its name (.yaml, .yml).
std::optional<LoadedDataFile> LoadSide(const std::string& path) {
    if (path == kStandardStream) {
        CliPrompter prompter;
        const auto model = ReadDataFileModel(prompter, path);
        if (!model) return std::nullopt;
        LoadedDataFile out;
        out.ok = true;
        out.bytes = DataFileOfModel(*model);
        out.format = model->twoToneFormat;
        return out;
    }
    LoadedDataFile loaded = LoadDataFileOrYaml(path);
    if (loaded.ok) return loaded;
    for (const std::string& p : loaded.problems) {
        std::string line;
        for (char c : p)
            if (c != '\r') line += c;
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    return std::nullopt;
}

constexpr int kExitDiffTrouble = 2; // the diff convention: 0 same, 1 different, 2 trouble

int PrintDiff(const DiffReport& report) {
    for (const DiffLine& line : report.lines)
        std::printf("%s\n", line.text.c_str());
    return report.ExitCode();
}

int RunDiff(const std::string& a, const std::string& b) {
    const auto left = LoadSide(a);
    if (!left) return kExitDiffTrouble;
    const auto right = LoadSide(b);
    if (!right) return kExitDiffTrouble;
    return PrintDiff(DiffDataFiles(left->bytes, right->bytes, DiffMode::Files, left->format));
}

int RunVerify(const LinkOptions& options) {
    const auto file = LoadSide(options.input);
    if (!file) return kExitDiffTrouble;
    std::unique_ptr<SerialPort> port = CreateSerialPort(options.port);
    if (!port) return kExitUsage;
    CliPrompter cliPrompter(stderr, options.assumeYes);
    TerminalProgress progress(stderr, DetailOf(options));
    LinkPrompter prompter(cliPrompter, progress);
    progress.ShowPort(options.port, LineSettings{});

    // The radio has no Default Split; the file's stands for it, in the backup and in the comparison
    // (where it is never a difference).
    FileTrailerBytes trailer{};
    std::copy(file->bytes.begin() + kImageSize, file->bytes.end(), trailer.begin());
    CancelToken cancel;
    UploadJobResult result;
    {
        InterruptCancels interrupt(cancel);
        result = RunUploadJob(*port, LinkEnvironment(options, cancel, progress, prompter, trailer),
                              RadioImage{}, false);
    }
    port->Close();
    progress.EndLine();
    if (result.status != JobStatus::Completed || !result.image) {
        const int code = ExitCodeOf(result.status);
        return code >= 128 ? code : kExitDiffTrouble; // a signal keeps its 128 + number
    }
    const DataFileBytes radio = MakeDataFileBytes(*result.image, trailer);
    return PrintDiff(DiffDataFiles(radio, file->bytes, DiffMode::RadioAgainstFile, file->format));
}

CommandRun SetupExport(CLI::App& app) {
    auto o = std::make_shared<ConvertOptions>();
    AddInputFile(app, o->input);
    AddOutput(app, *o, "the YAML text to write; default and -: standard output", false);
    return [o] { return RunExport(*o); };
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
    return [o] { return RunImport(*o); };
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
