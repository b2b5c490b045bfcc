// The window's text-form commands over core/text; files are written and read only through data_file.h.
#include "gui/app/text_forms.h"

#include "gui/common/file_paths.h"
#include "gui/common/fixed_font.h"

#ifdef RT62_HAVE_YAML

#include "gui/common/qt_prompter.h"
#include "gui/editor/channel_grid_model.h"
#include "gui/editor/form_view.h"
#include "core/image/catalogue.h"
#include "core/image/data_file.h"
#include "core/image/document.h"
#include "core/image/model.h"
#include "core/image/text_strings.h"
#include "gui/link/transfer.h"
#include "core/text/csv_channels.h"
#include "core/text/field_diff.h"
#include "core/text/yaml_text.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <set>
#include <span>

namespace rt62 {

namespace {

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) {
        if (!out.empty()) out += "\n";
        out += l;
    }
    return out;
}

// rowsOnly: CSV problems, whose messages name their row already.
std::vector<std::string> ProblemTexts(const std::vector<TextProblem>& problems, bool rowsOnly = false) {
    std::vector<std::string> out;
    for (const TextProblem& p : problems)
        out.push_back(rowsOnly ? p.message : p.Text());
    return out;
}

// The document as a Save writes it.
DataFileBytes DocumentBytes(CRT62MDoc& doc) {
    NormalizeImage(doc.Model());
    return DataFileOfModel(doc.Model());
}

std::optional<std::string> RunFileDialog(QWidget* parent, const QString& title, bool save,
                                         const QStringList& filters, int* chosenFilter) {
    QFileDialog dlg(parent, title);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dlg.setNameFilters(filters);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    if (chosenFilter)
        *chosenFilter = std::max(0, static_cast<int>(filters.indexOf(dlg.selectedNameFilter())));
    QString path = dlg.selectedFiles().front();
    // A name typed without an extension gets the one of the chosen form.
    if (save && QFileInfo(path).suffix().isEmpty() && chosenFilter)
        path += *chosenFilter == 1 ? QStringLiteral(".csv") : QStringLiteral(".yaml");
    return NativePath(path);
}

// The channel cells whose field reads differently in a and b.
std::set<std::pair<int, int>> DifferingCells(const DataFileBytes& a, const DataFileBytes& b,
                                             TwoToneFormat format) {
    const ImageModel ma = ModelFromDataFile(a, format);
    const ImageModel mb = ModelFromDataFile(b, format);
    std::set<std::pair<int, int>> cells;
    for (const CatalogueField& f : FieldCatalogue())
        if (f.channel >= 0 && f.gridColumn >= 0 && f.read(ma) != f.read(mb))
            cells.insert({f.channel, f.gridColumn});
    return cells;
}

void ShowDifferences(TextFormsContext& ctx, const QString& heading, const DiffReport& report,
                     std::set<std::pair<int, int>> cells) {
    if (ctx.view) ctx.view->gridModel()->setMarks(std::move(cells));
    if (report.lines.empty()) {
        ShowMessage(ctx.prompter, kStrNoDifferences, Buttons::Ok, Icon::Information);
        return;
    }
    // One list at a time: a new comparison replaces the one still open.
    if (ctx.parent)
        for (auto* old : ctx.parent->findChildren<DifferencesDialog*>())
            old->close();
    auto* dlg = new DifferencesDialog(heading, report, ctx.parent);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->show();
}

} // namespace

DifferencesDialog::DifferencesDialog(const QString& heading, const DiffReport& report, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("differencesDialog"));
    setWindowTitle(TableText(kStrCompareTitle));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(heading, this);
    label->setObjectName(QStringLiteral("heading"));
    layout->addWidget(label);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("differences"));
    list_->setFont(SystemFixedFont());
    for (const DiffLine& line : report.lines) {
        auto* item = new QListWidgetItem(QString::fromStdString(line.text), list_);
        // Lines that do not count are shown greyed.
        if (!line.counts) item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    }
    layout->addWidget(list_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, 360);
}

QStringList DifferencesDialog::lines() const {
    QStringList out;
    for (int i = 0; i < list_->count(); ++i)
        out << list_->item(i)->text();
    return out;
}

std::optional<TextChoice> ChooseTextFile(QWidget* parent, bool save) {
    const QStringList filters = {TableText(kStrYamlFilter), TableText(kStrCsvFilter)};
    int filter = 0;
    const auto path = RunFileDialog(parent, save ? QStringLiteral("Export") : QStringLiteral("Import"), save,
                                    filters, &filter);
    if (!path) return std::nullopt;
    return TextChoice{*path, filter == 1 ? TextKind::Csv : TextKind::Yaml};
}

std::optional<std::string> ChooseCompareFile(QWidget* parent) {
    return RunFileDialog(parent, QStringLiteral("Compare with File"), false, {TableText(kStrCompareFilter)},
                         nullptr);
}

bool ExportText(TextFormsContext& ctx, const TextChoice& choice) {
    const DataFileBytes bytes = DocumentBytes(ctx.doc);
    const std::string text = NativeLineEnds(
        choice.kind == TextKind::Csv ? ExportCsv(bytes) : ExportYaml(bytes, ctx.doc.Model().twoToneFormat));
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    return WriteDataFile(ctx.prompter, choice.path, std::span<const std::uint8_t>(data, text.size()));
}

bool ImportText(TextFormsContext& ctx, const TextChoice& choice) {
    const ReadOutcome read = ReadFileBytes(choice.path, kMaxTextFileSize);
    if (read.status != ReadStatus::Ok) {
        ShowMessage1(ctx.prompter, read.status == ReadStatus::CannotOpen ? kStrOpenFailed : kStrReadFailed,
                     Buttons::Ok, Icon::Stop, choice.path);
        return false;
    }
    const std::string_view text(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size());

    DataFileBytes bytes{};
    TwoToneFormat format = ctx.doc.Model().twoToneFormat;
    std::string summary, skipped; // a CSV imported with rows skipped: its summary and those rows
    if (choice.kind == TextKind::Csv) {
        // The rows set channels; everything else stays as the document has it.
        const DataFileBytes base = DocumentBytes(ctx.doc);
        const CsvImport r = ImportCsv(text, &base);
        if (!r.ok) {
            ShowMessage1(ctx.prompter, kStrImportRefused, Buttons::Ok, Icon::Stop,
                         JoinLines(ProblemTexts(r.problems, true)));
            return false;
        }
        bytes = r.bytes;
        if (!r.problems.empty()) {
            summary = r.Summary();
            skipped = JoinLines(ProblemTexts(r.problems, true));
        }
    } else {
        const YamlImport r = ImportYaml(text);
        if (!r.ok) {
            ShowMessage1(ctx.prompter, kStrImportRefused, Buttons::Ok, Icon::Stop,
                         JoinLines(ProblemTexts(r.problems)));
            return false;
        }
        bytes = r.bytes;
        format = r.format;
    }

    // As an Open: the file has been read; now the question about the edits it would replace.
    if (!ctx.doc.AskSaveChanges(ctx.chooseSavePath)) return false;
    ctx.doc.Model() = ModelFromDataFile(bytes, format);
    // The imported image is in no data file yet, so closing asks to save it.
    ctx.doc.SetCurrentPath(kNoPath);
    ctx.doc.SetFileLoaded(false);
    ctx.doc.SetModifiedFlag(true);
    ctx.doc.SetMarketingChanged(false);
    if (ctx.view) ctx.view->FullRefresh();
    if (!skipped.empty())
        ShowMessage2(ctx.prompter, kStrImportSkipped, Buttons::Ok, Icon::Exclamation, summary, skipped);
    return true;
}

bool CompareWithFile(TextFormsContext& ctx, const std::string& path) {
    const LoadedDataFile other = LoadDataFileOrYaml(path);
    if (!other.ok) {
        ShowMessage1(ctx.prompter, kStrCompareRefused, Buttons::Ok, Icon::Stop, JoinLines(other.problems));
        return false;
    }
    const DataFileBytes mine = DocumentBytes(ctx.doc);
    const TwoToneFormat format = ctx.doc.Model().twoToneFormat;
    const DiffReport report = DiffDataFiles(mine, other.bytes, DiffMode::Files, format);
    ShowDifferences(ctx, TableText(kStrCompareFileHead, {FileNameOfPath(path)}), report,
                    DifferingCells(mine, other.bytes, format));
    return true;
}

bool CompareWithRadio(TextFormsContext& ctx) {
    RadioImage radio{};
    TransferContext transfer{ctx.parent, ctx.doc, ctx.settings, ctx.prompter, ctx.port, ctx.view};
    if (ReadRadioImage(transfer, radio) != TransferResult::Completed) return false;
    const DataFileBytes mine = DocumentBytes(ctx.doc);
    const DataFileBytes theirs = MakeDataFileBytes(radio, ctx.doc.TrailerBytes());
    const TwoToneFormat format = ctx.doc.Model().twoToneFormat;
    const DiffReport report = DiffDataFiles(theirs, mine, DiffMode::RadioAgainstFile, format);
    ShowDifferences(ctx, TableText(kStrCompareRadioHead), report, DifferingCells(theirs, mine, format));
    return true;
}

} // namespace rt62

#endif
