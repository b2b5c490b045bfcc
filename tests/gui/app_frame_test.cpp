// The main window (size, keys, help, close question, settings written at the end) and its
// Configuration dialog, help topics and guides.
#include "app/about_dialogs.h"
#include "app/config_dialog.h"
#include "app/help_window.h"
#include "app/main_frame.h"
#include "editor/form_view.h"
#include "image/document.h"
#include "image/model.h"
#include "image/strings.h"
#include "link/serial_port.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolBar>
#include <QtTest>

#include <deque>
#include <memory>

using namespace rt62;

namespace {

struct ScriptedPrompter : Prompter {
    std::deque<Answer> answers;
    std::vector<int> shown;
    Answer show(int id, Buttons, Icon, const std::vector<std::string>& = {}) override {
        shown.push_back(id);
        const Answer a = answers.empty() ? Answer::Ok : answers.front();
        if (!answers.empty()) answers.pop_front();
        return a;
    }
};

struct FakePort : PortControl {
    bool opens = true;
    std::vector<std::string> calls;
    bool openPort() override {
        calls.push_back("open");
        return opens;
    }
    void closePort() override { calls.push_back("close"); }
};

// A frame over a fresh document in a temporary working directory.
struct Fixture {
    QTemporaryDir dir;
    QString oldCwd = QDir::currentPath();
    ScriptedPrompter prompter;
    AppSettings settings;
    std::unique_ptr<SerialPort> port;
    FakePort portControl;
    std::unique_ptr<CRT62MDoc> doc;
    std::unique_ptr<CMainFrame> frame;

    explicit Fixture(const QByteArray& ini = {}) {
        QDir::setCurrent(dir.path());
        write("RT62MWin.ini", ini);
        doc = std::make_unique<CRT62MDoc>(prompter, dir.path().toStdString());
        doc->OnNewDocument();
        frame = std::make_unique<CMainFrame>(
            FrameContext{*doc, settings, IniSettings(iniPath()), prompter, port, portControl});
    }
    ~Fixture() {
        frame.reset();
        QDir::setCurrent(oldCwd);
    }
    QString iniPath() const { return dir.filePath("RT62MWin.ini"); }
    QString ini(const QString& key) const {
        return QSettings(iniPath(), QSettings::IniFormat).value(key).toString();
    }
    std::string write(const QString& name, const QByteArray& bytes) const {
        QFile f(dir.filePath(name));
        if (!bytes.isEmpty() && f.open(QIODevice::WriteOnly)) f.write(bytes);
        return f.fileName().toStdString();
    }
    std::string writeFactoryFile(const QString& name, int bandCode) const {
        ScriptedPrompter p;
        CRT62MDoc d(p);
        d.Model() = MakeFactoryImage(bandCode);
        d.WriteDataFile(dir.filePath(name).toStdString());
        return dir.filePath(name).toStdString();
    }
    // Shows the window with the focus on the grid.
    bool show() const {
        frame->show();
        frame->view()->grid()->setFocus();
        return QTest::qWaitForWindowExposed(frame.get());
    }
};

} // namespace

class AppFrameTest : public QObject {
    Q_OBJECT
  private slots:
    void clockAndMinimumSize();
    void keysAndItemToggles();
    void keysFollowTheFocus();
    void closeQuestion();
    void settingsWrittenOnExitAndAfterVisible();
    void bandChangeLoadsTheDefaultFile();
    void openAddsRecentFilesAndRefusesBadFiles();
    void helpTopicsAndGuides();
    void portChangeRules();
    void configurationDialog();
    void deviceListFromTheSystem();
};

void AppFrameTest::clockAndMinimumSize() {
    const QList<QPair<QTime, QString>> clock = {
        {QTime(0, 7), " 0:07"}, {QTime(9, 5, 59), " 9:05"}, {QTime(23, 59, 59), " 23:59"}};
    for (const auto& [time, text] : clock)
        QCOMPARE(ClockText(time), text);

    Fixture f("[Initialize]\nCX=400\nCY=900\n");
    QCOMPARE(f.frame->size(), QSize(750, 900));
    f.frame->resize(200, 100);
    QVERIFY(f.frame->width() >= 750 && f.frame->height() >= 540);
}

void AppFrameTest::keysAndItemToggles() {
    Fixture f;
    // A key bound twice would trigger neither command.
    QSet<QString> seen;
    for (QAction* a : f.frame->actions())
        for (const QKeySequence& s : a->shortcuts()) {
            QVERIFY2(!seen.contains(s.toString()), qPrintable(s.toString()));
            seen.insert(s.toString());
        }
    // Item entries are checked for any non-zero value; a value other than 1 becomes 1 first.
    const std::pair<int, int> clicks[] = {{2, 0}, {2, 1}, {5, 1}, {5, 0}};
    f.settings.items[5] = 7;
    for (const auto& [item, value] : clicks) {
        f.frame->trigger(cmd::ItemFirst + item);
        QCOMPARE(f.settings.items[static_cast<std::size_t>(item)], value);
        QCOMPARE(f.frame->action(cmd::ItemFirst + item)->isChecked(), value != 0);
    }
}

void AppFrameTest::keysFollowTheFocus() {
    Fixture f;
    QVERIFY(f.show());
    QTableView* grid = f.frame->view()->grid();
    HelpWindow* help = HelpWindow::instance();
    help->showTopic(kHelpGetStarted);
    help->hide();
    // Shift+F1 is swallowed: no command, no help.
    QSignalSpy f1(f.frame->action(cmd::Help), &QAction::triggered);
    QTest::keyClick(grid, Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(f1.count(), 0);
    QVERIFY(!help->isVisible());
    QCOMPARE(help->context(), kHelpGetStarted);
    // F1 on the grid opens the topic of the current column; Ctrl+Ins copies the current cell.
    grid->setCurrentIndex(grid->model()->index(4, 5));
    QTest::keyClick(grid, Qt::Key_F1);
    QCOMPARE(help->context(), 305);
    QVERIFY(help->isVisible());
    help->close();
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QTest::keyClick(grid, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text().trimmed(), QString("1"));
    // Over the toolbar the contents answer help, and Copy leaves the clipboard alone.
    QGuiApplication::clipboard()->setText("before");
    f.frame->toolBar()->setFocusPolicy(Qt::StrongFocus);
    f.frame->toolBar()->setFocus();
    QCOMPARE(f.frame->helpContext(), kHelpContents);
    f.frame->trigger(cmd::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));
}

void AppFrameTest::closeQuestion() {
    struct Row {
        const char* name;
        bool modified;
        Answer answer;
        bool chooseName, closes, saved;
    };
    const Row rows[] = {{"unmodified", false, Answer::Yes, true, true, false},
                        {"no", true, Answer::No, true, true, false},
                        {"cancel", true, Answer::Cancel, true, false, false},
                        {"yes, saved", true, Answer::Yes, true, true, true},
                        {"yes, save as cancelled", true, Answer::Yes, false, false, false}};
    for (const Row& r : rows) {
        Fixture f;
        const QString target = f.dir.filePath("saved.R62");
        f.frame->setSaveAsChooser([&]() -> std::optional<std::string> {
            return r.chooseName ? std::optional(target.toStdString()) : std::nullopt;
        });
        f.doc->SetModifiedFlag(r.modified);
        f.prompter.answers = {r.answer};
        f.frame->show();
        QVERIFY2(f.frame->close() == r.closes && f.frame->isVisible() != r.closes, r.name);
        QVERIFY2(QFile::exists(target) == r.saved && (!r.saved || QFileInfo(target).size() == 262), r.name);
        QVERIFY2(f.prompter.shown == (r.modified ? std::vector<int>{61699} : std::vector<int>{}), r.name);
        // Changes are never dropped silently: an open window keeps them.
        QVERIFY2(r.closes || f.doc->IsModified(), r.name);
    }
}

void AppFrameTest::settingsWrittenOnExitAndAfterVisible() {
    Fixture f;
    // The items are written after the Visible dialog even when it was cancelled.
    f.frame->setRefreshCommand(cmd::ItemVisible, [&](QWidget*) {
        f.settings.items[7] = 0;
        return RefreshKind::None;
    });
    f.frame->trigger(cmd::ItemVisible);
    QCOMPARE(f.ini("ITEM/ITEM7"), QString("0"));

    f.frame->resize(810, 620);
    f.settings.portType = 1;
    f.settings.comPort = 5;
    f.settings.items[3] = 0;
    const QSize outer = f.frame->frameGeometry().size();
    f.frame.reset();
    QCOMPARE(QStringList({f.ini("Initialize/PORT_TYPE"), f.ini("Initialize/COM_PORT"), f.ini("ITEM/ITEM3"),
                          f.ini("ITEM/ITEM14")}),
             QStringList({"1", "5", "0", "1"}));
    QCOMPARE(QSize(f.ini("Initialize/CX").toInt(), f.ini("Initialize/CY").toInt()), outer);
}

void AppFrameTest::bandChangeLoadsTheDefaultFile() {
    Fixture f;
    const std::string uhf = f.writeFactoryFile("RT62Muhf1.r62", 2);
    f.frame->setRefreshCommand(cmd::Hardware, [&](QWidget*) {
        f.doc->LoadBandDefault(2); // what the dialog does after a confirmed band change
        return RefreshKind::BandChanged;
    });
    f.frame->trigger(cmd::Hardware);
    QCOMPARE(f.doc->CurrentPath(), uhf);
    QCOMPARE(f.frame->windowTitle(), QString::fromStdString(uhf) + " - RT62MWin for KT-905");
}

void AppFrameTest::openAddsRecentFilesAndRefusesBadFiles() {
    Fixture f;
    const std::string good = f.writeFactoryFile("good.R62", 0);
    std::string next = good;
    f.frame->setOpenChooser([&] { return std::optional<std::string>(next); });
    f.frame->trigger(cmd::Open);
    QCOMPARE(f.doc->CurrentPath(), good);
    QCOMPARE(f.frame->recentFiles(), QStringList({QString::fromStdString(good)}));
    QCOMPARE(IniSettings(f.iniPath()).recentFiles(), f.frame->recentFiles());

    f.prompter.shown.clear();
    next = f.write("bare.R62", QByteArray(254, '\0'));
    f.frame->trigger(cmd::Open);
    QCOMPARE(f.prompter.shown, std::vector<int>{37});
    QCOMPARE(f.doc->CurrentPath(), good);
    QCOMPARE(f.frame->recentFiles().size(), 1);
}

void AppFrameTest::helpTopicsAndGuides() {
    // Every context leads to a real page, and to an anchor that exists on it.
    for (int context : HelpTopicContexts()) {
        const QUrl url = HelpTopicUrl(context);
        QFile page(":" + url.path());
        QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(QString::number(context)));
        const QByteArray html = page.readAll();
        QVERIFY2(html.size() > 300, qPrintable(url.toString())); // not a stub
        QVERIFY2(url.fragment().isEmpty() || html.contains("name=\"" + url.fragment().toLatin1() + "\""),
                 qPrintable(url.toString()));
    }
    HelpWindow w;
    w.showTopic(12345); // unknown: the contents
    QCOMPARE(w.browser()->source().fileName(), QString("contents.html"));

    // The guide pieces come in the listed order, laid out for a fixed font: no line longer than 63
    // characters, no bare line feeds.
    const std::string get = GuideText(GuideMode::GetStarted);
    std::string head;
    for (const std::string_view piece :
         {StringText(60), StringText(61), StringText(62), std::string_view("\r\n\r\n"), StringText(63)})
        head += piece;
    QVERIFY(get.rfind(head, 0) == 0 && get.size() > head.size());
    for (const std::string& text : {get, GuideText(GuideMode::CommonProblems)})
        for (const QString& line : QString::fromStdString(text).split("\r\n"))
            QVERIFY2(line.size() <= 63 && !line.contains('\n') && !line.contains('\r'), qPrintable(line));
}

void AppFrameTest::portChangeRules() {
    struct Row {
        int atOpen, now;
        bool opens;
        std::vector<std::string> calls;
    };
    const Row rows[] = {{1, 1, true, {}},                 // interface kept
                        {0, 0, true, {"close", "open"}},  // direct kept: reopened
                        {0, 0, false, {"close", "open"}}, // ... and the reopen fails
                        {0, 1, true, {"close"}},          // to the interface
                        {1, 0, false, {"open"}}};         // to direct, and the open fails
    for (const Row& r : rows) {
        AppSettings s;
        s.portType = r.now;
        FakePort port;
        port.opens = r.opens;
        ScriptedPrompter prompter;
        ApplyPortChange(r.atOpen, s, port, prompter);
        QCOMPARE(port.calls, r.calls);
        QCOMPARE(prompter.shown, r.opens ? std::vector<int>{} : std::vector<int>{80});
    }
}

void AppFrameTest::configurationDialog() {
    AppSettings s;
    s.comPort = 40; // out of range: the list starts on COM 1
    FakePort port;
    ScriptedPrompter prompter;
    const QList<PortChoice> devices = {{"/dev/ttyUSB0", "/dev/ttyUSB0 (adapter)"}};
    {
        // The QRB-30 box acts at once, even when the dialog is then cancelled; the port choice does not.
        ConfigurationDialog dlg(s, port, prompter, devices);
        QCOMPARE(dlg.portList()->currentIndex(), 0);
        dlg.qrbBox()->click();
        QCOMPARE(s.portType, 1);
        dlg.portList()->setCurrentIndex(7);
        dlg.cancelButton()->click();
        QCOMPARE(s.comPort, 40);
        QVERIFY(port.calls.empty());
    }
    {
        // Enter closes only from the buttons; OK takes the list position.
        ConfigurationDialog dlg(s, port, prompter, devices);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QSignalSpy finished(&dlg, &QDialog::finished);
        dlg.portList()->setCurrentIndex(15);
        const QList<QPair<QWidget*, int>> keys = {
            {dlg.portList(), 0}, {dlg.qrbBox(), 0}, {dlg.okButton(), 1}};
        for (const auto& [w, closed] : keys) {
            w->setFocus();
            QTest::keyClick(w, Qt::Key_Return);
            QCOMPARE(finished.count(), closed);
        }
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(s.comPort, 16);
        QVERIFY(s.portDevice.isEmpty());
    }
    {
        ConfigurationDialog dlg(s, port, prompter, devices);
        QCOMPARE(dlg.portList()->currentIndex(), 15);
        dlg.portList()->setCurrentIndex(17); // below the device: the simulated radio
        dlg.okButton()->click();
        QCOMPARE(s.portDevice, QString("sim:"));
    }
    {
        // A device that is gone keeps its entry, so OK does not quietly switch to another port.
        s.portDevice = "/dev/ttyUSB9";
        ConfigurationDialog dlg(s, port, prompter, {});
        QCOMPARE(dlg.portList()->currentData().toString(), QString("/dev/ttyUSB9"));
        dlg.okButton()->click();
        QCOMPARE(s.portDevice, QString("/dev/ttyUSB9"));
    }
}

void AppFrameTest::deviceListFromTheSystem() {
    QTemporaryDir root;
    QDir d(root.path());
    QVERIFY(d.mkpath("dev/serial/by-id") && d.mkpath("sys/class/tty/ttyS0") &&
            d.mkpath("sys/class/tty/ttyS1"));
    const QList<QPair<QString, QByteArray>> files = {{"dev/ttyUSB0", ""},
                                                     {"dev/ttyUSB1", ""},
                                                     {"dev/ttyUSB10", ""},
                                                     {"dev/ttyUSB2", ""},
                                                     {"dev/ttyACM0", ""},
                                                     {"dev/ttyS0", ""},
                                                     {"dev/ttyS1", ""},
                                                     {"sys/class/tty/ttyS0/type", "4\n"},
                                                     {"sys/class/tty/ttyS1/type", "0\n"}};
    for (const auto& [name, text] : files) {
        QFile f(d.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
    }
    QVERIFY(
        QFile::link(d.filePath("dev/ttyUSB1"), d.filePath("dev/serial/by-id/usb-Maker_Cable-if00-port0")));
    QStringList names;
    for (const PortChoice& c : SystemSerialPorts(d.filePath("dev"), d.filePath("sys")))
        names << QFileInfo(c.device).fileName();
    // The linked adapter appears once under its stable name; ttyS1 has no UART; numbers sort numerically.
    QCOMPARE(names, QStringList({"usb-Maker_Cable-if00-port0", "ttyACM0", "ttyUSB0", "ttyUSB2", "ttyUSB10",
                                 "ttyS0"}));
}

QTEST_MAIN(AppFrameTest)
#include "app_frame_test.moc"
