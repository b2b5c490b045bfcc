// What the browser page calls in the core (embind): the session with its use cases and undo history,
// the grid's rules, the text forms, the report and the string table. The page only presents.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/app/recent_files.h"
#include "core/app/session.h"
#include "core/app/setting_forms.h"
#include "core/grid/cell_input.h"
#include "core/grid/cell_speech.h"
#include "core/grid/columns.h"
#include "core/grid/pick_lists.h"
#include "core/image/cells.h"
#include "core/image/data_file.h"
#include "core/image/language.h"
#include "core/image/layout.h"
#include "core/image/document.h"
#include "core/image/fields.h"
#include "core/image/strings.h"
#include "core/image/text_strings.h"
#include "core/link/radio_backup.h"
#include "core/report/image_dump.h"
#include "core/text/rebuild.h"
#include "core/report/programming_report.h"

namespace rt62::web {
namespace {

using emscripten::val;

// The default data files live in the module's in-memory file system, where the document looks for them;
// files the user opens or saves pass through a folder of their own.
constexpr char kProgramDir[] = "/rt62m";
constexpr char kFilesDir[] = "/files";

// A page's dialogs cannot stop a call halfway, so a call that asks something runs again once the page
// has the answer: each run takes the answers given so far in order, and the first question past them
// ends the run the way declining it would (nothing changes before a question in any use case) and
// goes back to the page to be asked.
class ReplayPrompter : public Prompter {
  public:
    void Begin(const val& answers) {
        answers_.clear();
        if (answers.isArray()) answers_ = emscripten::vecFromJSArray<int>(answers);
        next_ = 0;
        messages_.clear();
        question_.reset();
        questionButtons_ = Buttons::Ok;
    }
    Answer show(int id, Buttons buttons, Icon, const std::vector<std::string>& args) override {
        const std::string text = FormatString(id, args);
        if (buttons == Buttons::Ok) {
            if (!question_) messages_.push_back(text);
            return Answer::Ok;
        }
        if (next_ < answers_.size()) return static_cast<Answer>(answers_[next_++]);
        if (!question_) {
            question_ = text;
            questionButtons_ = buttons;
        }
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    bool Asked() const { return question_.has_value(); }
    // Adds messages and, when the run stopped at a question, that question to out.
    void End(val& out) {
        val list = val::array();
        if (!question_)
            for (const std::string& m : messages_) list.call<void>("push", m);
        out.set("messages", list);
        if (question_) {
            val q = val::object();
            q.set("text", *question_);
            q.set("buttons", static_cast<int>(questionButtons_));
            out.set("question", q);
        }
    }

  private:
    std::vector<int> answers_;
    std::size_t next_ = 0;
    std::vector<std::string> messages_;
    std::optional<std::string> question_;
    Buttons questionButtons_ = Buttons::Ok;
};

val Bytes(const std::uint8_t* data, std::size_t n) {
    val out = val::global("Uint8Array").new_(n);
    out.call<void>("set", val(emscripten::typed_memory_view(n, data)));
    return out;
}
template <class C> val Bytes(const C& c) { return Bytes(c.data(), c.size()); }

std::vector<std::uint8_t> FromJs(const val& bytes) { return emscripten::convertJSArrayToNumberVector<std::uint8_t>(bytes); }

val Strings(const std::vector<std::string>& items) {
    val out = val::array();
    for (const std::string& s : items) out.call<void>("push", s);
    return out;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::uint8_t buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return bytes;
}

// A name the user gave, as a file in the files folder (no folders of its own).
std::string FilePath(std::string name) {
    std::replace(name.begin(), name.end(), '/', '_');
    return std::string(kFilesDir) + "/" + (name.empty() ? std::string(kDefaultFileNames[0]) : name);
}

// The files a call may write: the user's, and the default files (Save of a new document writes one).
using FileSnapshot = std::map<std::string, std::vector<std::uint8_t>>;
FileSnapshot Snapshot() {
    FileSnapshot files;
    for (const char* dir : {kFilesDir, kProgramDir}) {
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(dir, ec))
            if (e.is_regular_file()) files[e.path().string()] = ReadFile(e.path().string());
    }
    return files;
}

ColumnItemValues ItemsOf(const val& items) {
    ColumnItemValues out{};
    out.fill(1);
    if (!items.isArray()) return out;
    const std::vector<int> v = emscripten::vecFromJSArray<int>(items);
    std::copy_n(v.begin(), std::min(v.size(), out.size()), out.begin());
    return out;
}

} // namespace

class PageSession {
  public:
    PageSession() : session_(prompter_, kProgramDir) {
        std::filesystem::create_directories(kProgramDir);
        std::filesystem::create_directories(kFilesDir);
        for (int code = 0; code < 4; ++code) {
            const ImageModel m = MakeFactoryImage(code);
            const DataFileBytes bytes = MakeDataFileBytes(m.image, DefaultSplitBytes(m.defaultSplit));
            WriteFile(std::string(kProgramDir) + "/" + kDefaultFileNames[static_cast<std::size_t>(code)],
                      {bytes.begin(), bytes.end()});
        }
        // The transfers run in the worker over its own port; the session only needs one to prepare them.
        session_.Settings().portName = "sim:";
        session_.Settings().portPerTransfer = true;
        session_.Settings().backupFolder = "/backups";
        session_.Document().OnNewDocument();
        session_.History().Reset();
    }

    // ---- files ----
    val New(const val& answers) {
        return Run(answers, [&](val& out) { Put(out, session_.New(ChooseSavePath())); });
    }
    // Open of a file the user picked or dropped: the window's checks and messages, the document
    // untouched unless the bytes are a data file.
    val Open(const std::string& name, const val& bytes, const val& answers) {
        const std::string path = FilePath(name);
        WriteFile(path, FromJs(bytes));
        return Run(answers, [&](val& out) { Put(out, session_.Open(path, ChooseSavePath())); });
    }
    // Save (to the document's file; a document in none is saved under its title) and Save As.
    val Save(const val& answers) {
        return Run(answers, [&](val& out) {
            Put(out, session_.Document().HasFile() ? session_.Save() : session_.SaveAs(*ChooseSavePath()()));
        }, true);
    }
    val SaveAs(const std::string& name, const val& answers) {
        return Run(answers, [&](val& out) { Put(out, session_.SaveAs(FilePath(name))); }, true);
    }
    std::string Title() const { return FileNameOfPath(session_.Document().Title()); }
    bool Modified() const { return session_.Document().IsModified(); }
    val DocumentBytes() { return Bytes(session_.DocumentBytes()); }

    // ---- the grid ----
    std::string CellText(int n, int column) const { return ChannelCellText(Model(), n, column); }
    std::string CellSpeech(int n, int column) const { return ChannelCellSpeech(Model(), n, column); }
    bool InUse(int n) const { return Model().channels.at(n).inUse != 0; }
    std::string Subject(int n, int column) const { return ChannelColumnSubject(n, column); }

    // Space or a double-click on a cell (tone: Enter on Dec or Enc; complement: F3). A column with a
    // pick list answers {pick} first without changing anything; the page calls again with the chosen
    // list position (-1 for a cancelled list). {changed, beep, pick}.
    val CellAction(int n, int column, const std::string& kind, int chosen) {
        val out = val::object();
        bool beep = false;
        std::optional<val> pick;
        CellUi ui;
        ui.beep = [&] { beep = true; };
        if (chosen == kAsk) {
            ui.pickValue = [&](int mode, int current, int) -> std::optional<int> {
                PagesInUse pages = PagesInUseOf(Model());
                pick = PickOf(ValueListTitle(mode), ValueListItems(mode, current, pages, PairsOnOf(Model())));
                return std::nullopt;
            };
            ui.pickTone = [&](bool dcs, int index, int) -> std::optional<int> {
                pick = PickOf(ToneListTitle(dcs), ToneListItems(dcs, ReadFirmwareVersion(Model().image), index));
                return std::nullopt;
            };
            // A dry run on a copy: does this cell ask?
            ImageModel copy = Model();
            Act(copy, n, column, kind, ui);
            if (pick) {
                out.set("pick", *pick);
                return out;
            }
            ui.pickValue = nullptr;
            ui.pickTone = nullptr;
        } else {
            ui.pickValue = [&](int mode, int current, int) -> std::optional<int> {
                if (chosen < 0) return std::nullopt;
                const PickList list = ValueListItems(mode, current, PagesInUseOf(Model()), PairsOnOf(Model()));
                return ValueOfListPosition(mode, list.items, chosen);
            };
            ui.pickTone = [&](bool dcs, int, int) -> std::optional<int> {
                if (chosen < 0) return std::nullopt;
                const int index = ToneIndexOfPosition(dcs, ReadFirmwareVersion(Model().image), chosen);
                return index < 0 ? std::nullopt : std::optional<int>(index);
            };
        }
        Model().channels.currentChannel = n;
        const GridStep step = kind == "complement" ? GridStep::Complement : GridStep::Edit;
        const bool changed = session_.History().Record([&] {
            if (Act(Model(), n, column, kind, ui)) session_.Document().SetModifiedFlag(true);
            return GridStepName(step, n, column);
        });
        out.set("changed", changed);
        out.set("beep", beep);
        return out;
    }

    // The in-place editor of Receive and Transmit: the text it opens with (null where none opens), the
    // characters it takes, and the commit.
    val EditSeed(int n, int column) const {
        const std::optional<std::string> seed = CellEditSeed(Model(), n, column);
        return seed ? val(*seed) : val::null();
    }
    static bool EditAccepts(const std::string& text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return CellEditAccepts(static_cast<unsigned char>(c)); });
    }
    bool CommitEdit(int n, int column, const std::string& text) {
        if (!CellEditSeed(Model(), n, column)) return false;
        Model().channels.currentChannel = n;
        return session_.History().Record([&] {
            SetFrequencyText(Model(), n, column, text.substr(0, kCellEditMaxChars));
            session_.Document().SetModifiedFlag(true);
            return GridStepName(GridStep::Edit, n, column);
        });
    }

    // Copy: the cells of a block, a tab between cells and a carriage return between rows, as the window copies.
    std::string CopyText(int top, int left, int bottom, int right) const {
        std::string out;
        for (int r = top; r <= bottom; ++r) {
            if (r != top) out += '\r';
            for (int c = left; c <= right; ++c) {
                if (c != left) out += '\t';
                out += CellText(r, c);
            }
        }
        return out;
    }
    // Paste into one cell by the column's rule; a channel number in column 0 asks about a copy.
    // {outcome (PasteOutcome), source, question, messages}.
    val Paste(int n, int column, const std::string& text, const val& items, const val& answers) {
        return Run(answers, [&](val& out) {
            Model().channels.currentChannel = n;
            const PasteResult r = session_.Paste(n, column, text, ItemsOf(items));
            out.set("outcome", static_cast<int>(r.outcome));
            out.set("source", r.sourceChannel);
        });
    }

    // ---- undo and redo ----
    bool Undo() { return session_.History().Undo(); }
    bool Redo() { return session_.History().Redo(); }
    std::string UndoName() { return session_.History().UndoName(); }
    std::string RedoName() { return session_.History().RedoName(); }

    // ---- transfers: prepared here, run by the worker, finished here ----
    // {ready, job, messages}; job holds what the worker needs.
    val PrepareTransfer(int kind) {
        return Run(val::undefined(), [&](val& out) {
            transfer_ = session_.PrepareTransfer(static_cast<TransferKind>(kind));
            out.set("ready", transfer_.Ready());
            if (!transfer_.Ready()) return;
            val job = val::object();
            job.set("kind", kind);
            job.set("image", Bytes(transfer_.current));
            job.set("documentModified", transfer_.documentModified);
            job.set("serviceMode", transfer_.options.serviceMode);
            job.set("marketingChanged", transfer_.options.marketingChanged);
            job.set("backup", transfer_.backup.enabled);
            job.set("trailer", Bytes(transfer_.backup.trailer));
            job.set("giveUpMs", static_cast<double>(transfer_.giveUpAfter.count()));
            out.set("job", job);
        });
    }
    // What the worker brought: {status, refresh, differences (Verify)}.
    val FinishTransfer(int status, const val& image, bool clearMarketingMark) {
        JobOutcome job;
        job.status = static_cast<JobStatus>(status);
        job.clearMarketingMark = clearMarketingMark;
        if (!image.isNull() && !image.isUndefined()) {
            const std::vector<std::uint8_t> bytes = FromJs(image);
            if (bytes.size() == kImageSize) {
                RadioImage i{};
                std::copy(bytes.begin(), bytes.end(), i.begin());
                job.image = i;
            }
        }
        return Run(val::undefined(), [&](val& out) {
            const TransferEnd end = session_.FinishTransfer(transfer_, job);
            out.set("status", static_cast<int>(end.status));
            out.set("refresh", static_cast<int>(end.refresh));
            if (end.radioImage) PutComparison(out, session_.CompareWithRadio(*end.radioImage), kStrCompareRadioHead, {});
        });
    }

    // ---- Program Fleet: prepared here, run by the worker ----
    // The template is what is in the file, so changes are saved first as the window saves them.
    // {ready, job: {template, trailer, format, backup, giveUpMs}, saved, messages}.
    val PrepareFleet(const val& answers) {
        return Run(answers, [&](val& out) {
            if (session_.Document().IsModified())
                session_.Document().HasFile() ? session_.Save() : session_.SaveAs(*ChooseSavePath()());
            const std::optional<FleetPlan> plan = session_.PrepareFleet();
            out.set("ready", plan.has_value());
            if (!plan) return;
            val job = val::object();
            job.set("template", Bytes(plan->request.templateImage));
            job.set("trailer", Bytes(plan->request.trailer));
            job.set("format", static_cast<int>(plan->request.format));
            job.set("backup", plan->request.backup.enabled);
            job.set("giveUpMs", static_cast<double>(plan->request.giveUpAfter.count()));
            out.set("job", job);
            session_.FinishFleet();
        }, true);
    }

    // ---- radio-wide settings: the window's parameter dialogs as forms ----
    // [{title, rows: [{path, label, value, choices, shown, open}]}] in menu order; shown holds the
    // texts the dialog's list shows for choices, open whether the dialog lets the field be changed.
    val SettingForms() {
        std::map<std::string, std::string> values;
        for (const FieldText& t : TextsOfDataFile(session_.ExactBytes(), Model().twoToneFormat).fields)
            values[t.field->Path()] = t.text;
        val forms = val::array();
        for (const SettingForm& form : rt62::SettingForms()) {
            val f = val::object();
            f.set("title", std::string(StringText(form.title)));
            val rows = val::array();
            for (const SettingRow& row : form.rows) {
                const CatalogueField* field = FindField(row.path);
                if (!field) continue;
                val r = val::object();
                r.set("path", row.path);
                r.set("label", SettingLabel(row));
                r.set("value", values[row.path]);
                r.set("choices", Strings(field->choices));
                r.set("shown", Strings(field->shown.size() == field->choices.size() ? field->shown : field->choices));
                r.set("open", SettingOpen(row, Model(), session_.Settings().serviceMode));
                rows.call<void>("push", r);
            }
            f.set("rows", rows);
            forms.call<void>("push", f);
        }
        return forms;
    }
    // Stores a field's text as its dialog would: {changed, refused (the message), question, messages}.
    val SetField(const std::string& path, const std::string& text, const val& answers) {
        return Run(answers, [&](val& out) {
            const SettingChange change = session_.SetSetting(path, text);
            out.set("changed", change.changed);
            if (!change.refused.empty()) out.set("refused", change.refused);
        });
    }
    // Service mode, as the window's start with /m: the password asked, the hardware and marketing
    // values open to edits, a Download writes the marketing values. True when the password is right.
    bool EnterServiceMode(const std::string& password) {
        if (!IsServicePassword(password)) return false;
        session_.Settings().serviceMode = true;
        return true;
    }
    bool ServiceMode() const { return session_.Settings().serviceMode; }

    // ---- text forms ----
    std::string ExportText(int kind) { return session_.ExportText(static_cast<TextKind>(kind)); }
    // File Import of a YAML text or a channel CSV. {ok, refresh, skipped, messages, question}.
    val Import(const std::string& name, const std::string& text, int kind, const val& answers) {
        const std::string path = FilePath(name);
        WriteFile(path, {text.begin(), text.end()});
        return Run(answers, [&](val& out) {
            const ImportOutcome r = session_.Import(path, static_cast<TextKind>(kind), ChooseSavePath());
            Put(out, r);
            if (!r.skippedRows.empty()) out.set("skipped", FormatString(kStrImportSkipped, {r.skippedSummary, r.skippedRows}));
        });
    }
    // The document against a data file or a YAML text. {ok, heading, lines: [{text, counts}], cells: [[n, column]]}.
    val CompareWithFile(const std::string& name, const val& bytes) {
        const std::string path = FilePath(name);
        WriteFile(path, FromJs(bytes));
        return Run(val::undefined(), [&](val& out) {
            PutComparison(out, session_.CompareWithFile(path), kStrCompareFileHead, {name});
        });
    }

    // ---- the report and the dump ----
    val ReportLines() const {
        val out = val::array();
        const ProgrammingReport report(session_.Document());
        for (const ReportLine& line : report.Lines())
            out.call<void>("push", line.drawn ? line.text : std::string());
        return out;
    }
    val DumpCells() {
        const DataFileBytes file = session_.DocumentBytes();
        RadioImage image{};
        FileTrailerBytes trailer{};
        std::copy_n(file.begin(), image.size(), image.begin());
        std::copy(file.begin() + kImageSize, file.end(), trailer.begin());
        val out = val::array();
        for (const auto& row : ImageDumpCells(image, trailer))
            out.call<void>("push", Strings({row.begin(), row.end()}));
        return out;
    }

  private:
    static constexpr int kAsk = -2;

    const ImageModel& Model() const { return session_.Document().Model(); }
    ImageModel& Model() { return session_.Document().Model(); }

    static bool Act(ImageModel& model, int n, int column, const std::string& kind, const CellUi& ui) {
        if (kind == "tone") return model.channels.PickTone(n, column, ui);
        if (kind == "complement") return model.channels.ComplementDcs(n, column);
        return EditCell(model, n, column, ui);
    }

    static val PickOf(const std::string& title, const PickList& list) {
        val pick = val::object();
        pick.set("title", title);
        pick.set("items", Strings(list.items));
        pick.set("selected", list.selected);
        return pick;
    }

    // Where a document in no file is saved: the browser then asks the user where the file goes.
    CRT62MDoc::ChooseSavePath ChooseSavePath() {
        return [] { return std::optional<std::string>(FilePath(kDefaultFileNames[0])); };
    }

    static void Put(val& out, const Outcome& o) {
        out.set("ok", o.ok);
        out.set("refresh", static_cast<int>(o.refresh));
    }

    static void PutComparison(val& out, const Comparison& c, int heading, const std::vector<std::string>& args) {
        out.set("ok", c.ok);
        if (!c.ok) {
            std::string problems;
            for (const std::string& p : c.problems) problems += (problems.empty() ? "" : "\n") + p;
            out.set("refused", FormatString(kStrCompareRefused, {problems}));
            return;
        }
        out.set("heading", FormatString(heading, args));
        out.set("title", FormatString(kStrCompareTitle));
        if (c.report.lines.empty()) out.set("none", FormatString(kStrNoDifferences));
        val lines = val::array();
        for (const DiffLine& l : c.report.lines) {
            val line = val::object();
            line.set("text", l.text);
            line.set("counts", l.counts);
            lines.call<void>("push", line);
        }
        out.set("lines", lines);
        val cells = val::array();
        for (const auto& [n, column] : c.cells) cells.call<void>("push", Strings({std::to_string(n), std::to_string(column)}));
        out.set("cells", cells);
    }

    // Runs a call with the answers given so far. The files it wrote (a save, or the save question's
    // Yes) go back to the page to be handed to the browser; withDocumentFile: the document's own file
    // too, written again with the same bytes.
    template <class F> val Run(const val& answers, F&& call, bool withDocumentFile = false) {
        prompter_.Begin(answers);
        const FileSnapshot before = Snapshot();
        val out = val::object();
        call(out);
        prompter_.End(out);
        val saved = val::array();
        for (const auto& [path, bytes] : Snapshot()) {
            const auto was = before.find(path);
            const bool written = was == before.end() || was->second != bytes ||
                                 (withDocumentFile && path == session_.Document().CurrentPath());
            if (!written) continue;
            val file = val::object();
            file.set("name", FileNameOfPath(path));
            file.set("bytes", Bytes(bytes));
            saved.call<void>("push", file);
        }
        out.set("saved", saved);
        return out;
    }

    ReplayPrompter prompter_;
    Session session_;
    Transfer transfer_;
};

std::string HeaderCell(int row, int column) { return std::string(HeaderText(row, column)); }
std::string Message(int id, const val& args) {
    return FormatString(id, args.isArray() ? emscripten::vecFromJSArray<std::string>(args) : std::vector<std::string>{});
}
// The page's language: the first of the browser's that the program speaks. Returns its code.
std::string UseLanguages(const val& preferred) {
    const Language& language = MatchLanguage(emscripten::vecFromJSArray<std::string>(preferred));
    SetLanguage(language);
    return std::string(language.code);
}
val ColumnsOf(int item) {
    val out = val::array();
    for (int c : ColumnsOfItem(item)) out.call<void>("push", c);
    return out;
}
std::string ItemName(int item) { return std::string(ColumnItemName(item)); }
// The recent-file list after an open or a save: positions in the old list, -1 for the file itself.
val RecentOrder(const val& sameAsNew) {
    std::vector<bool> same;
    for (int v : emscripten::vecFromJSArray<int>(sameAsNew)) same.push_back(v != 0);
    val out = val::array();
    for (int position : RecentFileOrder(same)) out.call<void>("push", position);
    return out;
}

EMSCRIPTEN_BINDINGS(rt62) {
    using namespace emscripten;
    class_<PageSession>("PageSession")
        .constructor<>()
        .function("newDocument", &PageSession::New)
        .function("open", &PageSession::Open)
        .function("save", &PageSession::Save)
        .function("saveAs", &PageSession::SaveAs)
        .function("title", &PageSession::Title)
        .function("modified", &PageSession::Modified)
        .function("documentBytes", &PageSession::DocumentBytes)
        .function("cellText", &PageSession::CellText)
        .function("cellSpeech", &PageSession::CellSpeech)
        .function("inUse", &PageSession::InUse)
        .function("subject", &PageSession::Subject)
        .function("cellAction", &PageSession::CellAction)
        .function("editSeed", &PageSession::EditSeed)
        .class_function("editAccepts", &PageSession::EditAccepts)
        .function("commitEdit", &PageSession::CommitEdit)
        .function("copyText", &PageSession::CopyText)
        .function("paste", &PageSession::Paste)
        .function("undo", &PageSession::Undo)
        .function("redo", &PageSession::Redo)
        .function("undoName", &PageSession::UndoName)
        .function("redoName", &PageSession::RedoName)
        .function("prepareTransfer", &PageSession::PrepareTransfer)
        .function("finishTransfer", &PageSession::FinishTransfer)
        .function("prepareFleet", &PageSession::PrepareFleet)
        .function("settingForms", &PageSession::SettingForms)
        .function("setField", &PageSession::SetField)
        .function("enterServiceMode", &PageSession::EnterServiceMode)
        .function("serviceMode", &PageSession::ServiceMode)
        .function("exportText", &PageSession::ExportText)
        .function("importText", &PageSession::Import)
        .function("compareWithFile", &PageSession::CompareWithFile)
        .function("reportLines", &PageSession::ReportLines)
        .function("dumpCells", &PageSession::DumpCells);
    function("headerText", &HeaderCell);
    function("columnSpeech", &ColumnSpeech);
    function("columnHeaderSpeech", &ColumnHeaderSpeech);
    function("columnItem", &ColumnItemOfColumn);
    function("columnsOfItem", &ColumnsOf);
    function("columnItemName", &ItemName);
    function("isFrequencyColumn", &IsFrequencyColumn);
    function("isToneColumn", &IsToneColumn);
    function("message", &Message);
    function("useLanguages", &UseLanguages);
    function("recentFileOrder", &RecentOrder);
    constant("channelCount", kChannelCount);
    constant("columnCount", kGridColumnCount);
    constant("columnItemCount", kColumnItemCount);
    constant("editMaxChars", kCellEditMaxChars);
    constant("backupKeepCount", kBackupKeepCount);
}

} // namespace rt62::web
