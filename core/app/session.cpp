#include "core/app/session.h"

#include <algorithm>

#include "core/app/setting_forms.h"
#include "core/image/catalogue.h"
#include "core/image/data_file.h"
#include "core/image/strings.h"
#include "core/image/text_strings.h"
#include "core/link/serial_port.h"
#include "core/text/csv_channels.h"

namespace rt62 {
namespace {

enum SessionString {
    kStrStepUpload = 4206,   // "Upload"
    kStrStepDownload = 4207, // "Download"
    kStrStepImport = 4208,   // "Import"
};

RadioImage NormalizedImage(ImageModel model) {
    NormalizeImage(model);
    return model.image;
}

[[maybe_unused]] std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) {
        if (!out.empty()) out += "\n";
        out += l;
    }
    return out;
}

// A CSV's problems name their row already; a YAML text's get their line and column.
[[maybe_unused]] std::vector<std::string> ProblemTexts(const std::vector<TextProblem>& problems, bool rowsOnly) {
    std::vector<std::string> out;
    for (const TextProblem& p : problems)
        out.push_back(rowsOnly ? p.message : p.Text());
    return out;
}

// The channel cells whose field reads differently in a and b.
[[maybe_unused]] std::set<std::pair<int, int>> DifferingCells(const DataFileBytes& a, const DataFileBytes& b,
                                                              TwoToneFormat format) {
    const ImageModel ma = ModelFromDataFile(a, format);
    const ImageModel mb = ModelFromDataFile(b, format);
    std::set<std::pair<int, int>> cells;
    for (const CatalogueField& f : FieldCatalogue())
        if (f.channel >= 0 && f.gridColumn >= 0 && f.read(ma) != f.read(mb)) cells.insert({f.channel, f.gridColumn});
    return cells;
}

} // namespace

Session::Session(Prompter& prompter, std::string programDir)
    : doc_(prompter, std::move(programDir)), history_(doc_),
      portFactory_([](const std::string& name) { return CreateSerialPort(name); }) {}

Session::~Session() {
    ClosePort();
}

// ---- the port ----

bool Session::OpenPort() {
    ClosePort();
    port_ = portFactory_(settings_.portName);
    return port_ && OpenCloneLink(*port_);
}

void Session::ClosePort() {
    if (port_) port_->Close();
    port_.reset();
}

SerialPort* Session::TransferPort() {
    // The interface needs its own port for each transfer; a direct cable uses the session's port, made
    // here when none was made before (or the one made at start-up would not open).
    if (settings_.portPerTransfer || !port_) port_ = portFactory_(settings_.portName);
    return port_.get();
}

void Session::ReleaseTransferPort() {
    if (settings_.portPerTransfer) port_.reset();
}

BackupSettings Session::Backups() const {
    // The backup carries the document's Default Split, so opening it gives back this document's image.
    return BackupSettings{settings_.backups, settings_.backupFolder, doc_.TrailerBytes()};
}

// ---- files ----

Outcome Session::Load(const std::function<bool()>& load) {
    const int before = doc_.LoadCount();
    Outcome out;
    out.ok = load();
    if (doc_.LoadCount() != before) {
        history_.Reset();
        out.refresh = RefreshKind::Contents;
    }
    return out;
}

Outcome Session::New(const ChooseSavePath& chooseSavePath) {
    return Load([&] { return doc_.New(chooseSavePath); });
}

void Session::NewFactory(int bandStepCode) {
    doc_.Model() = MakeFactoryImage(bandStepCode);
    doc_.SetCurrentPath(kNoPath);
    doc_.SetFileLoaded(false);
    history_.Reset();
}

Outcome Session::Open(const std::string& path, const ChooseSavePath& chooseSavePath) {
    return Load([&] { return doc_.OpenCommand(path, chooseSavePath); });
}

Outcome Session::OpenBytes(std::span<const std::uint8_t> bytes, const std::string& name) {
    if (!doc_.OpenBytes(bytes, name)) return {};
    history_.Reset();
    return {true, RefreshKind::Contents};
}

Outcome Session::Save() {
    if (!doc_.Save()) return {};
    history_.MarkSaved();
    return {true, RefreshKind::None};
}

Outcome Session::SaveAs(const std::string& path) {
    if (!doc_.SaveAs(path)) return {};
    history_.MarkSaved();
    return {true, RefreshKind::None};
}

void Session::EncodeEdits() {
    ImageModel fresh = doc_.Model();
    DecodeImage(fresh);
    if (NormalizedImage(fresh) != NormalizedImage(doc_.Model())) NormalizeImage(doc_.Model());
}

DataFileBytes Session::DocumentBytes() {
    EncodeEdits();
    return MakeDataFileBytes(doc_.Image(), doc_.TrailerBytes());
}

DataFileBytes Session::ExactBytes() {
    EncodeEdits();
    return doc_.ExactBytes();
}

// ---- transfers ----

Transfer Session::PrepareTransfer(TransferKind kind) {
    Transfer t;
    t.kind = kind;
    SerialPort* port = TransferPort();
    // What goes to the radio is the normalized image; a read for a comparison leaves the bytes as they are.
    if (kind == TransferKind::ReadRadio)
        EncodeEdits();
    else
        NormalizeImage(doc_.Model());
    if (!port) {
        // The configured name is not a port at all: the same message as a port that will not open.
        ShowMessage(GetPrompter(), kStrPortProblem, Buttons::Ok, Icon::Stop);
        return t;
    }
    t.port = port;
    t.current = doc_.Image();
    // A read for a comparison replaces nothing of the document, so there is nothing to confirm.
    t.documentModified = kind == TransferKind::Upload && doc_.IsModified();
    t.options.serviceMode = settings_.serviceMode;
    t.options.marketingChanged = doc_.IsMarketingChanged();
    t.backup = Backups();
    t.giveUpAfter = settings_.giveUpAfter;
    return t;
}

TransferEnd Session::FinishTransfer(const Transfer& t, const JobOutcome& job) {
    TransferEnd end;
    end.status = t.Ready() ? job.status : JobStatus::Failed;
    // The job has ended: only now does the document take over what it brought back.
    const auto takeOver = [&] {
        if (t.kind == TransferKind::Upload && job.status == JobStatus::Completed && job.image) {
            // The path becomes "<none>" only because the image really came from the radio.
            doc_.TakeUploadedImage(*job.image);
        } else if (t.kind == TransferKind::Download) {
            if (job.image) doc_.Image() = *job.image;
            if (job.clearMarketingMark) doc_.SetMarketingChanged(false);
        }
        DecodeImage(doc_.Model());
    };
    switch (t.kind) {
    case TransferKind::Upload:
        // An uploaded image is a new document (the older steps go, the radio's image counts as saved)
        // that undo can still take back.
        history_.Record(FormatString(kStrStepUpload), takeOver, StepKind::StartsHistory);
        end.refresh = RefreshKind::Contents;
        break;
    case TransferKind::Download:
        // The merge of the radio's own bytes does not mark the document modified; the channels stay
        // as they were, and the user where they were in the grid.
        history_.Record(FormatString(kStrStepDownload), takeOver, StepKind::KeepsSavedMark);
        end.refresh = RefreshKind::Grid;
        break;
    case TransferKind::ReadRadio:
        takeOver();
        if (end.status == JobStatus::Completed && job.image) end.radioImage = job.image;
        end.refresh = RefreshKind::Contents;
        break;
    }
    ReleaseTransferPort();
    return end;
}

// ---- text forms ----

std::string Session::ExportText(TextKind kind) {
    const DataFileBytes bytes = ExactBytes();
    if (kind == TextKind::Csv) return ExportCsv(bytes);
#ifdef RT62_HAVE_YAML
    return ExportYaml(bytes, doc_.Model().twoToneFormat);
#else
    return {};
#endif
}

bool Session::Export(const std::string& path, TextKind kind) {
    const std::string text = NativeLineEnds(ExportText(kind));
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    return WriteDataFile(GetPrompter(), path, std::span<const std::uint8_t>(data, text.size()));
}

TextImport Session::ParseText(std::string_view text, TextKind kind, bool onDocument, bool strict) {
    TextImport out;
    std::optional<DataFileBytes> base;
    if (onDocument) base = DocumentBytes();
    const DataFileBytes* basePtr = base ? &*base : nullptr;
    if (kind == TextKind::Csv) {
        const CsvImport r = ImportCsv(text, basePtr, strict);
        out.ok = r.ok;
        out.bytes = r.bytes;
        // The rows set channels; the two-tone format stays the document's.
        out.format = doc_.Model().twoToneFormat;
        out.problems = r.problems;
        out.summary = r.Summary();
        return out;
    }
#ifdef RT62_HAVE_YAML
    const YamlImport r =
        ImportYaml(text, basePtr, onDocument ? doc_.Model().twoToneFormat : TwoToneFormat::Standard);
    out.ok = r.ok;
    out.bytes = r.bytes;
    out.format = r.format;
    out.problems = r.problems;
#endif
    return out;
}

#ifdef RT62_HAVE_YAML

ImportOutcome Session::Import(const std::string& path, TextKind kind, const ChooseSavePath& chooseSavePath) {
    ImportOutcome out;
    // An undoable step: Undo gives back the document the import replaced.
    history_.Record(FormatString(kStrStepImport), [&] {
        Prompter& prompter = GetPrompter();
        const ReadOutcome read = ReadFileBytes(path, kMaxTextFileSize);
        if (read.status != ReadStatus::Ok) {
            ShowMessage1(prompter, read.status == ReadStatus::CannotOpen ? kStrOpenFailed : kStrReadFailed,
                         Buttons::Ok, Icon::Stop, path);
            return;
        }
        const std::string_view text(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size());
        const bool csv = kind == TextKind::Csv;
        // A CSV's rows set channels of the document; a YAML text is rebuilt on its band's factory file.
        const TextImport r = ParseText(text, kind, csv);
        if (!r.ok) {
            ShowMessage1(prompter, kStrImportRefused, Buttons::Ok, Icon::Stop,
                         JoinLines(ProblemTexts(r.problems, csv)));
            return;
        }
        // As an Open: the file has been read; now the question about the edits it would replace.
        if (!doc_.AskSaveChanges(chooseSavePath)) return;
        doc_.Model() = ModelFromDataFile(r.bytes, r.format);
        // The imported image is in no data file yet; its step marks it modified, so closing asks to save it.
        doc_.SetCurrentPath(kNoPath);
        doc_.SetFileLoaded(false);
        doc_.SetMarketingChanged(false);
        out.ok = true;
        out.refresh = RefreshKind::Contents;
        if (csv && !r.problems.empty()) {
            out.skippedSummary = r.summary;
            out.skippedRows = JoinLines(ProblemTexts(r.problems, true));
        }
    });
    return out;
}

LoadedDataFile Session::OpenDataFileOrText(const std::string& path) {
    LoadedDataFile loaded = LoadDataFileOrYaml(path);
    if (!loaded.ok) return loaded;
    loaded.ok = OpenBytes(loaded.bytes, path).ok;
    doc_.Model().twoToneFormat = loaded.format;
    return loaded;
}

Comparison Session::CompareWithFile(const std::string& path) {
    return CompareWith(LoadDataFileOrYaml(path));
}

Comparison Session::CompareWith(const LoadedDataFile& other) {
    Comparison out;
    if (!other.ok) {
        out.problems = other.problems;
        return out;
    }
    const DataFileBytes mine = ExactBytes();
    const TwoToneFormat format = doc_.Model().twoToneFormat;
    out.ok = true;
    out.report = DiffDataFiles(mine, other.bytes, DiffMode::Files, format);
    out.cells = DifferingCells(mine, other.bytes, format);
    return out;
}

Comparison Session::CompareWithRadio(const RadioImage& radio) {
    Comparison out;
    const DataFileBytes mine = ExactBytes();
    // The radio has no Default Split; the document's stands for it, and is never a difference.
    FileTrailerBytes trailer{};
    std::copy(mine.begin() + kImageSize, mine.end(), trailer.begin());
    const DataFileBytes theirs = MakeDataFileBytes(radio, trailer);
    const TwoToneFormat format = doc_.Model().twoToneFormat;
    out.ok = true;
    out.report = DiffDataFiles(theirs, mine, DiffMode::RadioAgainstFile, format);
    out.cells = DifferingCells(theirs, mine, format);
    return out;
}

#endif

// ---- Paste ----

PasteResult PasteIntoDocument(CRT62MDoc& doc, UndoHistory* history, int n, int column, const std::string& text,
                              const ColumnItemValues& items) {
    PasteContext context;
    context.items = items;
    context.confirmCopy = [&doc](const std::string& pasted, const std::string& destination) {
        return ShowMessage2(doc.GetPrompter(), kStrCopyChannelQuestion, Buttons::YesNo, Icon::Question, pasted,
                            destination) == Answer::Yes;
    };
    PasteResult result;
    const auto paste = [&] {
        result = PasteIntoCell(doc.Model(), n, column, text, context);
        if (!result.accepted()) return std::string();
        doc.SetModifiedFlag(true);
        if (result.outcome == PasteOutcome::CopyConfirmed) return CopyStepName(result.sourceChannel, n);
        return GridStepName(GridStep::Paste, n, column);
    };
    if (history)
        history->Record(paste);
    else
        paste();
    return result;
}

// ---- Program Fleet ----

SettingChange Session::SetSetting(std::string_view path, std::string_view text) {
    constexpr int kBandChangeQuestion = 50;
    SettingChange out;
    const CatalogueField* field = FindField(path);
    const SettingForm* form = nullptr;
    const SettingRow* row = nullptr;
    for (const SettingForm& f : SettingForms())
        for (const SettingRow& r : f.rows)
            if (r.path == path) form = &f, row = &r;
    if (!field || !row || !SettingOpen(*row, doc_.Model(), settings_.serviceMode)) return out;

    const DataFileBytes before = ExactBytes();
    const TwoToneFormat format = doc_.Model().twoToneFormat;
    // Choosing the other band resets every channel: asked first, unless the text is no band at all
    // (the field's rule refuses that below).
    const auto isChoice = [&](const std::string& c) { return ComparableText(c) == ComparableText(text); };
    if (path == "radio.band" && std::any_of(field->choices.begin(), field->choices.end(), isChoice)) {
        for (const FieldText& t : TextsOfDataFile(before, format).fields)
            if (t.field == field && !isChoice(t.text) &&
                ShowMessage(GetPrompter(), kBandChangeQuestion, Buttons::YesNo, Icon::Exclamation) != Answer::Yes)
                return out;
    }
    const std::string name = WithoutMnemonicMark(StringText(form->menuText));
    out.changed = history_.Record([&] {
        const RebuildResult r = RebuildDataFile({FieldText{field, std::string(text)}}, RawBits{}, before, format);
        if (!r.problems.empty()) {
            out.refused = r.problems.front().message;
            return std::string();
        }
        doc_.Model() = ModelFromDataFile(r.bytes, r.format);
        if (field->group == "radio" && (field->key == "serial_number" || field->key == "market_application"))
            doc_.SetMarketingChanged();
        doc_.SetModifiedFlag(true);
        return name;
    });
    return out;
}

std::optional<FleetPlan> Session::PrepareFleet() {
    // The template is what is in the file: with changes not saved nothing runs.
    if (doc_.IsModified()) return std::nullopt;
    SerialPort* port = TransferPort();
    if (!port) {
        ShowMessage(GetPrompter(), kStrPortProblem, Buttons::Ok, Icon::Stop);
        return std::nullopt;
    }
    // A copy is normalized, so the document stays exactly as it is.
    ImageModel model = doc_.Model();
    NormalizeImage(model);
    FleetPlan plan;
    plan.port = port;
    plan.request.templateImage = model.image;
    plan.request.trailer = doc_.TrailerBytes();
    plan.request.format = model.twoToneFormat;
    plan.request.backup = Backups();
    plan.request.giveUpAfter = settings_.giveUpAfter;
    plan.request.count = 1;
    return plan;
}

void Session::FinishFleet() {
    ReleaseTransferPort();
}

} // namespace rt62
