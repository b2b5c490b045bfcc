// Upload and Download behind the window's progress dialog against the simulated radio: progress,
// messages on the window's thread, Cancel, and what the grid shows afterwards.
#include "core/app/session.h"
#include "gui/common/app_settings.h"
#include "gui/common/qt_prompter.h"
#include "gui/editor/channel_grid_model.h"
#include "gui/editor/form_view.h"
#include "core/image/data_file.h"
#include "core/image/document.h"
#include "core/image/model.h"
#include "core/link/sim_port.h"
#ifndef _WIN32
#include "tests/rig/pty_radio.h"
#endif
#include "gui/link/transfer.h"
#include "gui/link/transfer_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <map>

using namespace rt62;

namespace {

// Answers questions from a script and notes, for every message, its thread and the progress bar under it.
class ScriptPrompter : public Prompter {
  public:
    Answer show(int id, Buttons, Icon, const std::vector<std::string>& = {}) override {
        shown.push_back(id);
        onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
        auto* d = qobject_cast<TransferDialog*>(QApplication::activeModalWidget());
        const bool bar = d && d->progressBar()->isVisibleTo(d);
        bars.push_back(bar ? QPoint(d->progressBar()->maximum(), d->progressBar()->value()) : QPoint());
        const auto it = answers.find(id);
        return it != answers.end() ? it->second : Answer::Ok;
    }
    std::vector<int> shown;
    std::vector<QPoint> bars; // maximum, value
    std::map<int, Answer> answers;
    bool onGuiThread = true;
};

RadioImage RadioSideImage() {
    ImageModel radio = MakeFactoryImage(0);
    radio.channels.at(0).rxFrequency = radio.channels.at(0).txFrequency = 155.5;
    radio.marketing.serialNumber = "7C123456";
    NormalizeImage(radio);
    return radio.image;
}

// A document loaded from a file, its view, and the direct cable to a simulated radio.
struct Bench {
    QTemporaryDir backups;
    ScriptPrompter prompter;
    Session session{prompter};
    CRT62MDoc& doc = session.Document();
    AppSettings settings;
    CRT62MView view{doc, settings};
    std::shared_ptr<SimulatedRadio> radio = std::make_shared<SimulatedRadio>(RadioSideImage());
    SimulatedSerialPort* simPort = new SimulatedSerialPort(radio, SimulatedSerialPort::Clock::Real, false);

    Bench() {
        session.SetPort(std::unique_ptr<SerialPort>(simPort));
        settings.backupFolder = backups.path();
        doc.Model() = MakeFactoryImage(0);
        NormalizeImage(doc.Model());
        doc.SetCurrentPath("/tmp/site-a.r62");
        doc.SetFileLoaded(true);
        view.FullRefresh();
    }
    // The interface: a port opened for each transfer only.
    void useInterface(const QString& device) {
        settings.portType = 1;
        settings.portDevice = device;
        session.ClosePort();
    }
    SerialPort* port() const { return session.Port(); }
    // The transfer as the window runs it, and the refresh the window then does.
    TransferResult run(bool download) {
        session.Settings() = settings.sessionSettings();
        const TransferEnd end =
            RunTransfer(download ? TransferKind::Download : TransferKind::Upload, session, prompter, nullptr);
        end.refresh == RefreshKind::Contents ? view.FullRefresh() : view.RebuildGrid();
        return end.status;
    }
    RadioImage radioImage() {
        return radio->With([](RadioEmulator& e) { return e.Image(); });
    }
};

// Presses Cancel (or Escape) once the dialog shows `status`; gives up after a generous while so a
// broken cancel fails the test instead of hanging it.
void CancelWhenStatusShows(const QString& status, bool useEscape, bool* pressed) {
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* d = qobject_cast<TransferDialog*>(QApplication::activeModalWidget());
        if (!d || (d->statusLine()->text() != status && ++*ticks < 1000)) return;
        *pressed = d->statusLine()->text() == status;
        timer->stop();
        timer->deleteLater();
        useEscape ? QTest::keyClick(d, Qt::Key_Escape) : d->cancelButton()->click();
    });
    timer->start(10);
}

} // namespace

class TransferFlowTest : public QObject {
    Q_OBJECT
  private slots:
    void uploadShowsTheRadiosImage();
    void cancelWhileWaitingForTheRadio();
    void downloadWritesTheEditedImage();
    void uploadAndDownloadOverASerialPort();
};

void TransferFlowTest::uploadShowsTheRadiosImage() {
    // Over edits: the question and the completion come on the GUI thread, the last over the full bar;
    // the grid and the panel show the radio's image.
    Bench b;
    b.doc.SetModifiedFlag(true);
    b.prompter.answers[100] = Answer::Yes;
    QCOMPARE(b.run(false), TransferResult::Completed);
    QCOMPARE(b.prompter.shown, (std::vector<int>{100, 83}));
    QVERIFY(b.prompter.onGuiThread);
    QCOMPARE(b.prompter.bars.back(), QPoint(256, 256));
    QCOMPARE(b.view.gridModel()->index(0, 2).data().toString(), QStringLiteral("155.50000"));
    QCOMPARE(b.view.infoValue(1007), QStringLiteral("7C123456"));
}

void TransferFlowTest::cancelWhileWaitingForTheRadio() {
    // Upload with the Cancel button and with Escape, and Download in its verifying read.
    for (const auto& [download, escape] :
         {std::pair(false, false), std::pair(false, true), std::pair(true, false)}) {
        Bench b;
        b.radio->With([](RadioEmulator& e) { e.MutableFaults().silent = true; });
        const RadioImage before = b.doc.Image();
        const RadioImage radioBefore = b.radioImage();
        bool pressed = false;
        CancelWhenStatusShows(TableText(94, {""}), escape, &pressed);
        QCOMPARE(b.run(download), TransferResult::Cancelled);
        QVERIFY2(pressed, "the dialog never showed the switch-radio status");
        QVERIFY(b.prompter.shown.empty()); // a cancel says nothing
        QVERIFY(b.doc.Image() == before && b.radioImage() == radioBefore);
        QCOMPARE(b.doc.CurrentPath(), std::string("/tmp/site-a.r62"));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
}

void TransferFlowTest::downloadWritesTheEditedImage() {
    Bench b;
    b.doc.Model().channels.at(3).rxFrequency = b.doc.Model().channels.at(3).txFrequency = 147.125;
    b.doc.SetModifiedFlag(true);
    QTableView* grid = b.view.grid();
    grid->setCurrentIndex(grid->model()->index(5, 9));
    QCOMPARE(b.run(true), TransferResult::Completed);
    QCOMPARE(b.prompter.shown, std::vector<int>{89});
    // The same channels as before: the current cell stays where the user was.
    QVERIFY(grid->currentIndex() == grid->model()->index(5, 9));
    QCOMPARE(b.prompter.bars.back(), QPoint(517, 517));
    // The radio holds the edit, and the document holds what was written (with the radio's own bytes).
    QVERIFY(b.radioImage() == b.doc.Image());
    QCOMPARE(b.view.gridModel()->index(3, 2).data().toString(), QStringLiteral("147.12500"));
    QCOMPARE(b.doc.CurrentPath(), std::string("/tmp/site-a.r62"));
}

void TransferFlowTest::uploadAndDownloadOverASerialPort() {
#ifdef _WIN32
    // The Windows serial backend, through a COM port of Wine linked to the radio on a pseudo-terminal
    // (scripts/check/wine-check.sh): RT62M_TEST_COM_PORT names the port, RT62M_TEST_COM_RADIO the data file
    // the radio started with, and RT62M_TEST_COM_EXPECT receives what it must hold afterwards.
    const QString portName = qEnvironmentVariable("RT62M_TEST_COM_PORT");
    if (portName.isEmpty()) QSKIP("no COM port with a radio behind it (RT62M_TEST_COM_PORT)");
    const ReadOutcome start = ReadFileBytes(qEnvironmentVariable("RT62M_TEST_COM_RADIO").toStdString());
    QVERIFY(start.status == ReadStatus::Ok && start.bytes.size() == kDataFileSize);
    Bench b;
    b.useInterface(portName);
    QCOMPARE(b.run(false), TransferResult::Completed);
    QVERIFY(std::equal(b.doc.Image().begin(), b.doc.Image().end(), start.bytes.begin()));
    b.doc.Model().channels.at(5).rxFrequency = b.doc.Model().channels.at(5).txFrequency = 160.25;
    QCOMPARE(b.run(true), TransferResult::Completed);
    QCOMPARE(b.prompter.shown, (std::vector<int>{83, 89}));
    const DataFileBytes held = MakeDataFileBytes(b.doc.Image(), b.doc.TrailerBytes());
    QCOMPARE(WriteFileBytes(qEnvironmentVariable("RT62M_TEST_COM_EXPECT").toStdString(), held), WriteStatus::Ok);
#else
    // The real serial backend, with the radio switched on after the first request.
    PtyRadio radio(RadioSideImage(), RadioEmulator::Start::PowerOnPrompt, false);
    QVERIFY(radio.Start());
    Bench b;
    b.useInterface(QString::fromStdString(radio.DevicePath()));
    QCOMPARE(b.run(false), TransferResult::Completed);
    QVERIFY(b.doc.Image() == RadioSideImage());
    QVERIFY(b.port() == nullptr);

    b.doc.Model().channels.at(5).rxFrequency = b.doc.Model().channels.at(5).txFrequency = 160.25;
    radio.With([](RadioEmulator& e) { e.SetStart(RadioEmulator::Start::Immediate); });
    QCOMPARE(b.run(true), TransferResult::Completed);
    QCOMPARE(b.prompter.shown, (std::vector<int>{83, 89}));
    QVERIFY(radio.With([&](RadioEmulator& e) { return e.Image() == b.doc.Image(); }));
    QCOMPARE(b.view.gridModel()->index(5, 2).data().toString(), QStringLiteral("160.25000"));
#endif
}

QTEST_MAIN(TransferFlowTest)
#include "transfer_flow_test.moc"
