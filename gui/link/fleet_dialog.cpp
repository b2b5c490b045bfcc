// The fleet dialog and the worker thread that runs the fleet behind it.
#include "gui/link/fleet_dialog.h"

#include "core/app/session.h"
#include "gui/common/accessible_names.h"
#include "core/image/document.h"
#include "gui/common/qt_prompter.h"
#include "gui/link/transfer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

namespace rt62 {

namespace {

constexpr int kStrFleetRadioOf = 4516;     // "Radio %1 of %2"
constexpr int kStrFleetOnePerCode = 4517;  // "One per code in the list"
constexpr int kStrFleetRadiosDone = 4518;  // "Radios done"
constexpr int kStrFleetChooseList = 4519;  // "Choose the list of ANI codes"
constexpr int kStrFleetChooseLog = 4520;   // "Choose the log file"

// The transfer's progress and the run's radios, queued to the dialog.
class DialogFleetSink : public ProgressSink, public FleetObserver {
public:
    explicit DialogFleetSink(FleetDialog& dialog) : dialog_(dialog) {}
    void SetRange(int maximum) override { dialog_.postRange(maximum); }
    void SetPosition(int position) override { dialog_.postPosition(position); }
    void SetStatus(int stringId, const std::vector<std::string>& args) override {
        dialog_.postStatus(TableText(stringId, args.empty() ? std::vector<std::string>{""} : args));
    }
    void SetTitle(int) override {}
    void RadioStarting(int number, int total) override { dialog_.postRadioStarting(number, total); }
    void Prompt(int stringId, const std::vector<std::string>& args) override {
        dialog_.postPrompt(TableText(stringId, args));
    }
    void RadioDone(const FleetRadio& radio) override { dialog_.postRadioDone(radio); }

private:
    FleetDialog& dialog_;
};

QPushButton* BrowseButton(QWidget* parent) {
    auto* b = new QPushButton(TableText(5017), parent);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

FleetDialog::FleetDialog(SerialPort& port, FleetRequest base, Prompter& prompter, QWidget* parent)
    : QDialog(parent), port_(port), base_(std::move(base)), prompter_(prompter) {
    setWindowTitle(TableText(kStrFleetTitle));
    setModal(true);

    countUp_ = new QRadioButton(TableText(5039), this);
    fromList_ = new QRadioButton(TableText(5040), this);
    countUp_->setChecked(true);
    startCode_ = new QLineEdit(QString::fromStdString(base_.codes.start), this);
    startCode_->setMaxLength(static_cast<int>(kAniCodeLength));
    listFile_ = new QLineEdit(this);
    count_ = new QSpinBox(this);
    count_->setRange(1, 100000);
    count_->setValue(std::max(base_.count, 1));
    logFile_ = new QLineEdit(QString::fromStdString(base_.logPath), this);
    // The fields beside the two choices are named after them; the log file's label is its buddy.
    startCode_->setAccessibleName(WithoutMnemonic(countUp_->text()));
    listFile_->setAccessibleName(WithoutMnemonic(fromList_->text()));
    auto* logLabel = new QLabel(TableText(5041), this);
    logLabel->setBuddy(logFile_);
    again_ = new QCheckBox(TableText(5042), this);

    auto* listRow = new QHBoxLayout;
    listRow->addWidget(listFile_);
    listBrowse_ = BrowseButton(this);
    listBrowse_->setAccessibleDescription(TableText(kStrFleetChooseList));
    listRow->addWidget(listBrowse_);
    auto* logRow = new QHBoxLayout;
    logRow->addWidget(logFile_);
    logBrowse_ = BrowseButton(this);
    logBrowse_->setAccessibleDescription(TableText(kStrFleetChooseLog));
    logRow->addWidget(logBrowse_);

    auto* form = new QFormLayout;
    form->addRow(countUp_, startCode_);
    form->addRow(fromList_, listRow);
    form->addRow(TableText(5043), count_);
    form->addRow(logLabel, logRow);
    form->addRow(again_);

    radioLine_ = new QLabel(this);
    prompt_ = new QLabel(this);
    prompt_->setWordWrap(true);
    status_ = new QLabel(this);
    bar_ = new QProgressBar(this);
    bar_->setTextVisible(false);
    table_ = new QTableWidget(0, 3, this);
    table_->setHorizontalHeaderLabels({TableText(5044), TableText(5045), TableText(5046)});
    // The serial number and code columns as wide as their headings or texts, in any language.
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    // Each row is headed by the radio's number, as the messages name it.
    table_->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setAccessibleName(TableText(kStrFleetRadiosDone));

    start_ = new QPushButton(TableText(5018), this);
    stop_ = new QPushButton(TableText(5019), this);
    close_ = new QPushButton(TableText(kStrClose), this);
    stop_->setToolTip(TableText(5047));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(start_, QDialogButtonBox::ActionRole);
    buttons->addButton(stop_, QDialogButtonBox::ActionRole);
    buttons->addButton(close_, QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(radioLine_);
    layout->addWidget(prompt_);
    layout->addWidget(status_);
    layout->addWidget(bar_);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);

    connect(countUp_, &QRadioButton::toggled, this, &FleetDialog::updateEnabled);
    connect(startCode_, &QLineEdit::textChanged, this, &FleetDialog::updateEnabled);
    connect(listFile_, &QLineEdit::textChanged, this, &FleetDialog::updateEnabled);
    connect(logFile_, &QLineEdit::textChanged, this, &FleetDialog::updateEnabled);
    connect(listBrowse_, &QPushButton::clicked, this, [this] { chooseFile(listFile_, false); });
    connect(logBrowse_, &QPushButton::clicked, this, [this] { chooseFile(logFile_, true); });
    connect(start_, &QPushButton::clicked, this, &FleetDialog::startRun);
    connect(stop_, &QPushButton::clicked, this, &FleetDialog::stopRun);
    connect(close_, &QPushButton::clicked, this, &FleetDialog::reject);
    updateEnabled();
}

FleetDialog::~FleetDialog() {
    // No worker outlives its dialog: the radio in hand is cancelled, and the worker's own questions
    // still get their answers while it ends.
    if (thread_ && thread_->isRunning()) {
        control_->Cancel().Request();
        QEventLoop loop;
        connect(thread_, &QThread::finished, &loop, &QEventLoop::quit);
        if (thread_->isRunning()) loop.exec();
    }
    delete thread_;
}

void FleetDialog::updateEnabled() {
    const bool counting = countUp_->isChecked();
    // Stop first: when Start goes off as a run begins, the focus moves on to Stop, not past it.
    // A second Stop cancels the radio in hand, for a radio that no longer answers at all.
    const bool stopping = running_ && control_ && control_->StopRequested();
    stop_->setText(stopping ? TableText(5020) : TableText(5019));
    stop_->setEnabled(running_ && control_ && !control_->Cancel().Requested());
    // A Browse button goes with its field: a file chosen during a run would not be the one it uses.
    for (QWidget* w : std::initializer_list<QWidget*>{countUp_, fromList_, count_, logFile_, logBrowse_, again_})
        w->setEnabled(!running_);
    startCode_->setEnabled(!running_ && counting);
    listFile_->setEnabled(!running_ && !counting);
    listBrowse_->setEnabled(!running_ && !counting);
    // With a list, 0 means one radio per code left, and says so.
    count_->setMinimum(counting ? 1 : 0);
    count_->setSpecialValueText(counting ? QString() : TableText(kStrFleetOnePerCode));
    const bool codes = counting ? !startCode_->text().trimmed().isEmpty() : !listFile_->text().isEmpty();
    start_->setEnabled(!running_ && codes && !logFile_->text().isEmpty());
    close_->setEnabled(!running_);
}

void FleetDialog::chooseFile(QLineEdit* field, bool save) {
    const QString filter = save ? TableText(5048) : TableText(5049);
    const QString path = save ? QFileDialog::getSaveFileName(this, TableText(5004), field->text(), filter,
                                                             nullptr, QFileDialog::DontConfirmOverwrite)
                              : QFileDialog::getOpenFileName(this, TableText(5005), field->text(), filter);
    if (!path.isEmpty()) field->setText(path);
}

void FleetDialog::startRun() {
    if (running_) return;
    FleetRequest request = base_;
    request.codes = {};
    if (countUp_->isChecked()) {
        request.codes.start = startCode_->text().trimmed().toStdString();
    } else {
        std::optional<std::vector<std::string>> list = ReadAniCodeList(listFile_->text().toStdString(), prompter_);
        if (!list) return;
        request.codes.list = std::move(*list);
    }
    request.count = count_->value();
    request.logPath = logFile_->text().toStdString();
    request.programAgain = again_->isChecked();

    table_->setRowCount(0);
    radioLine_->clear();
    prompt_->clear();
    status_->clear();
    bar_->setValue(0);
    summary_ = {};
    control_ = std::make_unique<FleetControl>();
    workerPrompter_ = std::make_unique<GuiThreadPrompter>(prompter_, *this);
    delete thread_;
    thread_ = QThread::create([this, request] {
        DialogFleetSink sink(*this);
        const FleetSummary summary = RunFleet(port_, request, *control_, sink, *workerPrompter_, sink);
        // Handed over with the end, so the dialog reads it only on its own thread.
        QMetaObject::invokeMethod(this, [this, summary] { summary_ = summary; }, Qt::QueuedConnection);
    });
    connect(thread_, &QThread::finished, this, &FleetDialog::runEnded, Qt::QueuedConnection);
    running_ = true;
    updateEnabled();
    thread_->start();
}

void FleetDialog::stopRun() {
    if (!running_ || !control_) return;
    if (control_->StopRequested())
        control_->Cancel().Request();
    else
        control_->Stop();
    updateEnabled();
}

void FleetDialog::runEnded() {
    running_ = false;
    if (summary_.started)
        status_->setText(TableText(kStrFleetSummary, {std::to_string(summary_.programmed), std::to_string(summary_.total)}));
    // The table of the radios done, with the summary as its description, takes the focus from Stop,
    // which the end disables: a screen reader reads the outcome there.
    table_->setAccessibleDescription(status_->text());
    QWidget* focus = focusWidget();
    const bool stopHadFocus = !focus || focus == stop_;
    updateEnabled();
    if (stopHadFocus && table_->rowCount() > 0) {
        table_->setCurrentCell(table_->rowCount() - 1, kColSerial);
        table_->setFocus(Qt::OtherFocusReason);
    }
    emit runFinished();
}

void FleetDialog::reject() {
    // While a run goes on, closing means Stop: the radio in hand is finished and logged first.
    if (running_) {
        control_->Stop();
        updateEnabled();
        return;
    }
    QDialog::reject();
}

void FleetDialog::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        control_->Stop();
        updateEnabled();
        return;
    }
    QDialog::closeEvent(event);
}

void FleetDialog::postRadioStarting(int number, int total) {
    QMetaObject::invokeMethod(
        this,
        [this, number, total] {
            radioLine_->setText(TableText(kStrFleetRadioOf, {std::to_string(number), std::to_string(total)}));
        },
        Qt::QueuedConnection);
}

void FleetDialog::postPrompt(const QString& text) {
    QMetaObject::invokeMethod(this, [this, text] { prompt_->setText(text); }, Qt::QueuedConnection);
}

void FleetDialog::postStatus(const QString& text) {
    QMetaObject::invokeMethod(this, [this, text] { status_->setText(text); }, Qt::QueuedConnection);
}

void FleetDialog::postRange(int maximum) {
    QMetaObject::invokeMethod(
        this,
        [this, maximum] {
            bar_->setRange(0, maximum);
            bar_->setValue(0);
        },
        Qt::QueuedConnection);
}

void FleetDialog::postPosition(int position) {
    QMetaObject::invokeMethod(
        this, [this, position] { bar_->setValue(std::clamp(position, bar_->minimum(), bar_->maximum())); },
        Qt::QueuedConnection);
}

void FleetDialog::postRadioDone(const FleetRadio& radio) {
    QMetaObject::invokeMethod(
        this,
        [this, radio] {
            const int row = table_->rowCount();
            table_->insertRow(row);
            table_->setVerticalHeaderItem(row, new QTableWidgetItem(QString::number(radio.number)));
            const QString texts[] = {QString::fromStdString(radio.serial), QString::fromStdString(radio.aniCode),
                                     QString::fromLatin1(FleetResultWord(radio.result).data(),
                                                         static_cast<qsizetype>(FleetResultWord(radio.result).size()))};
            for (int c = 0; c < 3; ++c)
                table_->setItem(row, c, new QTableWidgetItem(texts[c]));
            table_->scrollToBottom();
        },
        Qt::QueuedConnection);
}

void RunProgramFleet(Session& session, Prompter& prompter, QWidget* parent,
                     const std::function<void()>& saveDocument) {
    CRT62MDoc& doc = session.Document();
    // The template is what is in the file: changes are saved first, or nothing runs.
    if (doc.IsModified()) saveDocument();
    if (doc.IsModified()) return;
    std::optional<FleetPlan> plan = session.PrepareFleet();
    if (!plan) return;
    // The log is suggested beside the template.
    if (doc.HasFile()) {
        const QFileInfo file(QString::fromStdString(doc.CurrentPath()));
        plan->request.logPath = (file.absolutePath() + QLatin1Char('/') + file.completeBaseName() +
                                 QStringLiteral("-fleet.csv"))
                                    .toStdString();
    }
    {
        FleetDialog dialog(*plan->port, plan->request, prompter, parent);
        dialog.exec();
    }
    session.FinishFleet();
}

}  // namespace rt62
