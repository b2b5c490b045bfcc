// Upload and Download from the window's steps against the simulated radio: progress, messages, Cancel,
// and what the document keeps afterwards.
#include "app/app_settings.h"
#include "app/qt_prompter.h"
#include "editor/channel_grid_model.h"
#include "editor/form_view.h"
#include "image/document.h"
#include "image/model.h"
#include "link/sim_port.h"
#ifndef _WIN32
#include "link/pty_radio.h"
#endif
#include "link/transfer.h"
#include "link/transfer_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <map>

using namespace rt62;

namespace {

struct DialogSnapshot {
    int maximum = -1;
    int value = -1;
    bool barVisible = false;
};

// Answers questions from a script and notes, for every message, what the progress dialog showed.
class ScriptPrompter : public Prompter {
public:
    Answer show(int id, Buttons, Icon, const std::vector<std::string>& = {}) override {
        shown.push_back(id);
        onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
        DialogSnapshot snap;
        if (auto* d = qobject_cast<TransferDialog*>(QApplication::activeModalWidget())) {
            snap = {d->progressBar()->maximum(), d->progressBar()->value(), d->progressBar()->isVisibleTo(d)};
        }
        snapshots.push_back(snap);
        const auto it = answers.find(id);
        return it != answers.end() ? it->second : Answer::Ok;
    }
    std::vector<int> shown;
    std::vector<DialogSnapshot> snapshots;
    std::map<int, Answer> answers;
    bool onGuiThread = true;
};

RadioImage RadioSideImage() {
    ImageModel radio = MakeFactoryImage(0);
    radio.channels.at(0).rxFrequency = 155.5;
    radio.channels.at(0).txFrequency = 155.5;
    radio.marketing.serialNumber = "7C123456";
    NormalizeImage(radio);
    return radio.image;
}

struct Bench {
    ScriptPrompter prompter;
    CRT62MDoc doc{prompter};
    AppSettings settings;
    CRT62MView view{doc, settings};
    std::shared_ptr<SimulatedRadio> radio = std::make_shared<SimulatedRadio>(RadioSideImage());
    SimulatedSerialPort* simPort = nullptr;
    std::unique_ptr<SerialPort> port;

    Bench() {
        doc.Model() = MakeFactoryImage(0);
        doc.SetCurrentPath("/tmp/site-a.r62");
        doc.SetFileLoaded(true);
        auto p = std::make_unique<SimulatedSerialPort>(radio, SimulatedSerialPort::Clock::Real, false);
        simPort = p.get();
        port = std::move(p);
        view.FullRefresh();
    }
    TransferContext context() { return TransferContext{nullptr, doc, settings, prompter, port, &view}; }
    RadioImage radioImage() {
        return radio->With([](RadioEmulator& e) { return e.Image(); });
    }
};

QString Text(int id) { return TableText(id, {""}); }

// Presses Cancel (or Escape) once the dialog shows `status`; gives up after a generous while so a
// broken cancel fails the test instead of hanging it.
void CancelWhenStatusShows(const QString& status, bool useEscape, bool* pressed) {
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* d = qobject_cast<TransferDialog*>(QApplication::activeModalWidget());
        ++*ticks;
        if (d && (d->statusLine()->text() == status || *ticks > 1000)) {
            *pressed = d->statusLine()->text() == status;
            timer->stop();
            timer->deleteLater();
            if (useEscape)
                QTest::keyClick(d, Qt::Key_Escape);
            else
                d->cancelButton()->click();
        }
    });
    timer->start(10);
}

}  // namespace

class TransferFlowTest : public QObject {
    Q_OBJECT
private slots:
    void uploadTakesTheRadioImage();
    void uploadOverModifiedDocument();
    void cancelWhileWaitingForTheRadio();
    void downloadWritesTheEditedImage();
    void portThatWillNotOpen();
    void interfacePortLivesForOneTransfer();
    void progressPastTheRangeStaysFull();
    void uploadAndDownloadOverAPseudoTerminal();
};

void TransferFlowTest::uploadTakesTheRadioImage() {
    Bench b;
    auto ctx = b.context();
    QCOMPARE(RunUpload(ctx), TransferResult::Completed);
    QVERIFY(b.doc.Image() == b.radioImage());
    QCOMPARE(b.doc.CurrentPath(), std::string("<none>"));
    QVERIFY(!b.doc.IsFileLoaded() && !b.doc.IsModified());
    // The message comes on the GUI thread over the dialog, with the bar full.
    QCOMPARE(b.prompter.shown, std::vector<int>{83});
    QVERIFY(b.prompter.onGuiThread);
    const DialogSnapshot& snap = b.prompter.snapshots.front();
    QVERIFY(snap.barVisible);
    QCOMPARE(QPoint(snap.maximum, snap.value), QPoint(256, 256));
    // The grid and the panel were refreshed from the new image.
    QCOMPARE(b.view.gridModel()->index(0, 2).data().toString(), QStringLiteral("155.50000"));
    QCOMPARE(b.view.infoValue(1007), QStringLiteral("7C123456"));
    QVERIFY(b.port && b.port->IsOpen());  // the direct cable keeps the application's port
}

void TransferFlowTest::uploadOverModifiedDocument() {
    for (bool overwrite : {true, false}) {
        Bench b;
        b.doc.SetModifiedFlag(true);
        b.prompter.answers[100] = overwrite ? Answer::Yes : Answer::No;
        NormalizeImage(b.doc.Model());
        const RadioImage before = b.doc.Image();
        auto ctx = b.context();
        const TransferResult result = RunUpload(ctx);
        QCOMPARE(result, overwrite ? TransferResult::Completed : TransferResult::Declined);
        QCOMPARE(b.prompter.shown, (overwrite ? std::vector<int>{100, 83} : std::vector<int>{100}));
        QVERIFY(b.doc.Image() == (overwrite ? b.radioImage() : before));
        QCOMPARE(b.doc.IsModified(), !overwrite);
        // Declined, the document still belongs to its file.
        QCOMPARE(b.doc.CurrentPath(), std::string(overwrite ? "<none>" : "/tmp/site-a.r62"));
    }
}

void TransferFlowTest::cancelWhileWaitingForTheRadio() {
    // Upload with the Cancel button and with Escape, and Download in its verifying read.
    for (const auto& [download, escape] : {std::pair(false, false), std::pair(false, true), std::pair(true, false)}) {
        Bench b;
        b.radio->With([](RadioEmulator& e) { e.MutableFaults().silent = true; });
        NormalizeImage(b.doc.Model());
        const RadioImage before = b.doc.Image();
        const RadioImage radioBefore = b.radioImage();
        bool pressed = false;
        CancelWhenStatusShows(Text(94), escape, &pressed);
        auto ctx = b.context();
        const TransferResult result = download ? RunDownload(ctx) : RunUpload(ctx);
        QVERIFY2(pressed, "the dialog never showed the switch-radio status");
        QCOMPARE(result, TransferResult::Cancelled);
        QVERIFY(b.prompter.shown.empty());  // a cancel says nothing
        QVERIFY(b.doc.Image() == before);
        QCOMPARE(b.doc.CurrentPath(), std::string("/tmp/site-a.r62"));
        QVERIFY(b.radioImage() == radioBefore);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
}

void TransferFlowTest::downloadWritesTheEditedImage() {
    Bench b;
    b.doc.Model().channels.at(3).rxFrequency = 147.125;
    b.doc.Model().channels.at(3).txFrequency = 147.125;
    b.doc.SetModifiedFlag(true);
    auto ctx = b.context();
    QCOMPARE(RunDownload(ctx), TransferResult::Completed);

    QCOMPARE(b.prompter.shown, std::vector<int>{89});
    const DialogSnapshot& snap = b.prompter.snapshots.front();
    QCOMPARE(QPoint(snap.maximum, snap.value), QPoint(517, 517));
    // The radio holds the edit, and the document holds what was written (with the radio's own bytes).
    QVERIFY(b.radioImage() == b.doc.Image());
    QCOMPARE(b.view.gridModel()->index(3, 2).data().toString(), QStringLiteral("147.12500"));
    QCOMPARE(b.doc.CurrentPath(), std::string("/tmp/site-a.r62"));
}

void TransferFlowTest::portThatWillNotOpen() {
    for (bool download : {false, true}) {
        Bench b;
        b.simPort->SetOpenFails(true);
        b.doc.SetModifiedFlag(true);
        auto ctx = b.context();
        const TransferResult result = download ? RunDownload(ctx) : RunUpload(ctx);
        QCOMPARE(result, TransferResult::Failed);
        QCOMPARE(b.prompter.shown, std::vector<int>{80});
        // Nothing came from the radio, so the document still belongs to its file.
        QCOMPARE(b.doc.CurrentPath(), std::string("/tmp/site-a.r62"));
        QVERIFY(b.doc.IsModified());
    }
}

void TransferFlowTest::interfacePortLivesForOneTransfer() {
    Bench b;
    b.settings.portType = 1;
    b.settings.portDevice = QStringLiteral("sim:");
    b.port.reset();
    auto ctx = b.context();
    QCOMPARE(RunUpload(ctx), TransferResult::Completed);
    QVERIFY(b.port == nullptr);

    // Also after a port that could not be opened.
    b.prompter.shown.clear();
    b.settings.portDevice = QStringLiteral("/nonexistent/rt62-test-tty");
    QCOMPARE(RunDownload(ctx), TransferResult::Failed);
    QCOMPARE(b.prompter.shown, std::vector<int>{80});
    QVERIFY(b.port == nullptr);
}

void TransferFlowTest::progressPastTheRangeStaysFull() {
    TransferDialog dialog(TransferKind::Download, [] {}, [] {});
    dialog.postRange(517);
    dialog.postPosition(300);
    QCoreApplication::processEvents();
    QCOMPARE(dialog.progressBar()->value(), 300);
    dialog.postPosition(700);  // after a restart the count runs past the range
    QCoreApplication::processEvents();
    QCOMPARE(dialog.progressBar()->value(), 517);
}

void TransferFlowTest::uploadAndDownloadOverAPseudoTerminal() {
#ifdef _WIN32
    QSKIP("pseudo-terminals are a POSIX facility");
#else
    // The real serial backend, with the radio switched on after the first request.
    PtyRadio radio(RadioSideImage(), RadioEmulator::Start::PowerOnPrompt, false);
    QVERIFY(radio.Start());
    Bench b;
    b.settings.portType = 1;
    b.settings.portDevice = QString::fromStdString(radio.DevicePath());
    b.port.reset();
    auto ctx = b.context();
    QCOMPARE(RunUpload(ctx), TransferResult::Completed);
    QVERIFY(b.doc.Image() == RadioSideImage());
    QVERIFY(b.port == nullptr);

    b.doc.Model().channels.at(5).rxFrequency = 160.25;
    b.doc.Model().channels.at(5).txFrequency = 160.25;
    radio.With([](RadioEmulator& e) { e.SetStart(RadioEmulator::Start::Immediate); });
    QCOMPARE(RunDownload(ctx), TransferResult::Completed);
    QCOMPARE(b.prompter.shown, (std::vector<int>{83, 89}));
    QVERIFY(radio.With([&](RadioEmulator& e) { return e.Image() == b.doc.Image(); }));
    QCOMPARE(b.view.gridModel()->index(5, 2).data().toString(), QStringLiteral("160.25000"));
#endif
}

QTEST_MAIN(TransferFlowTest)
#include "transfer_flow_test.moc"
