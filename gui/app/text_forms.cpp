// The window's text-form dialogs; the reading, writing and comparing are the session's.
#include "gui/app/text_forms.h"

#include "gui/common/file_paths.h"
#include "gui/common/fixed_font.h"

#ifdef RT62_HAVE_YAML

#include "gui/common/qt_prompter.h"
#include "gui/editor/channel_grid_model.h"
#include "gui/editor/form_view.h"
#include "core/image/text_strings.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace rt62 {

namespace {

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

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) {
        if (!out.empty()) out += "\n";
        out += l;
    }
    return out;
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
    const auto path = RunFileDialog(parent, save ? TableText(5000) : TableText(5001), save, filters, &filter);
    if (!path) return std::nullopt;
    return TextChoice{*path, filter == 1 ? TextKind::Csv : TextKind::Yaml};
}

std::optional<std::string> ChooseCompareFile(QWidget* parent) {
    return RunFileDialog(parent, TableText(5002), false, {TableText(kStrCompareFilter)}, nullptr);
}

void ShowComparison(QWidget* parent, Prompter& prompter, CRT62MView* view, const QString& heading,
                    const Comparison& comparison) {
    if (!comparison.ok) {
        ShowMessage1(prompter, kStrCompareRefused, Buttons::Ok, Icon::Stop, JoinLines(comparison.problems));
        return;
    }
    if (view) view->gridModel()->setMarks(comparison.cells);
    if (comparison.report.lines.empty()) {
        ShowMessage(prompter, kStrNoDifferences, Buttons::Ok, Icon::Information);
        return;
    }
    // One list at a time: a new comparison replaces the one still open.
    if (parent)
        for (auto* old : parent->findChildren<DifferencesDialog*>())
            old->close();
    auto* dlg = new DifferencesDialog(heading, comparison.report, parent);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->show();
}

} // namespace rt62

#endif
