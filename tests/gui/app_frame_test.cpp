// The main window: title, clock, size, keys, commands, close question and what it writes at the end.
#include "app/config_dialog.h"
#include "app/help_window.h"
#include "app/main_frame.h"
#include "editor/form_view.h"
#include "image/document.h"
#include "image/model.h"
#include "image/strings.h"
#include "link/serial_port.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
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
        if (answers.empty()) return Answer::Ok;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

struct NoPort : PortControl {
    bool openPort() override { return false; }
    void closePort() override {}
};

// A frame over a fresh document in a temporary working directory.
struct Fixture {
    QTemporaryDir dir;
    QString oldCwd = QDir::currentPath();
    ScriptedPrompter prompter;
    AppSettings settings;
    std::unique_ptr<SerialPort> port;
    NoPort portControl;
    std::unique_ptr<CRT62MDoc> doc;
    std::unique_ptr<CMainFrame> frame;

    explicit Fixture(const QByteArray& ini = {}) {
        QDir::setCurrent(dir.path());
        if (!ini.isEmpty()) {
            QFile f(iniPath());
            f.open(QIODevice::WriteOnly);
            f.write(ini);
        }
        doc = std::make_unique<CRT62MDoc>(prompter, dir.path().toStdString());
        doc->OnNewDocument();
    }
    ~Fixture() {
        frame.reset();
        QDir::setCurrent(oldCwd);
    }
    QString iniPath() const { return dir.filePath("RT62MWin.ini"); }
    CMainFrame& make() {
        frame = std::make_unique<CMainFrame>(
            FrameContext{*doc, settings, IniSettings(iniPath()), prompter, port, portControl});
        return *frame;
    }
    QString ini(const QString& key) const {
        return QSettings(iniPath(), QSettings::IniFormat).value(key).toString();
    }
};

std::string WriteFactoryFile(const QString& path, int bandCode) {
    ScriptedPrompter p;
    CRT62MDoc d(p);
    d.Model() = MakeFactoryImage(bandCode);
    d.WriteDataFile(path.toStdString());
    return path.toStdString();
}

} // namespace

class AppFrameTest : public QObject {
    Q_OBJECT
  private slots:
    void clockText_data();
    void clockText();
    void titleRule();
    void sizeFromIniWithMinimum();
    void statusBarPanes();
    void commandTable();
    void toolBarOrder();
    void shiftF1DoesNothing();
    void f1OpensTheColumnTopic();
    void copyActsOnlyOnTheGrid();
    void closeQuestion_data();
    void closeQuestion();
    void exitWritesSettings();
    void visibleWritesItemsEvenOnCancel();
    void bandChangeLoadsTheDefaultFile();
    void openAddsRecentFilesAndRefusesBadFiles();
    void secondCopyBringsTheWindowBack();
};

void AppFrameTest::clockText_data() {
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("after midnight") << QTime(0, 7) << " 0:07";
    QTest::newRow("morning") << QTime(9, 5, 59) << " 9:05";
    QTest::newRow("noon") << QTime(12, 0) << " 12:00";
    QTest::newRow("last minute") << QTime(23, 59, 59) << " 23:59";
}

void AppFrameTest::clockText() {
    QFETCH(QTime, time);
    QFETCH(QString, text);
    QCOMPARE(ClockText(time), text);
}

void AppFrameTest::titleRule() {
    QCOMPARE(FrameTitle("<none>", false), QString("<none> - RT62MWin for KT-905"));
    QCOMPARE(FrameTitle("/data/a b.R62", true), QString("/data/a b.R62 - RT62MWin for KT-905 (M)"));

    Fixture f;
    CMainFrame& frame = f.make();
    QCOMPARE(frame.windowTitle(), FrameTitle(f.doc->Title(), false));
    // The document started from the default file it wrote or found: its path is in front.
    QVERIFY(frame.windowTitle().startsWith(QString::fromStdString(f.doc->Title()) + " - "));
}

void AppFrameTest::sizeFromIniWithMinimum() {
    Fixture f("[Initialize]\nCX=400\nCY=900\n");
    CMainFrame& frame = f.make();
    QCOMPARE(frame.size(), QSize(750, 900));
    QCOMPARE(frame.minimumSize(), QSize(750, 540));
    frame.resize(200, 100);
    QVERIFY(frame.width() >= 750 && frame.height() >= 540);
}

void AppFrameTest::statusBarPanes() {
    Fixture f;
    CMainFrame& frame = f.make();
    QCOMPARE(frame.idlePane()->text(), QString("F1 for Help   F3 for DCS Complement   F10 for Menus"));
    QCOMPARE(frame.clockPane()->text(), ClockText(QTime::currentTime()));
    QVERIFY(frame.clockPane()->minimumWidth() >= 30);
    QStringList indicators;
    for (int id : {59137, 59138, 59139}) {
        auto* l = frame.statusBar()->findChild<QLabel*>(QString("indicator%1").arg(id));
        QVERIFY(l);
        indicators << l->text();
    }
    QCOMPARE(indicators, QStringList({"CAP", "NUM", "SCRL"}));
}

void AppFrameTest::commandTable() {
    Fixture f;
    CMainFrame& frame = f.make();
    struct KeyCase {
        const char* key;
        int id;
    };
    const KeyCase keys[] = {
        {"Ctrl+N", 57600}, {"Ctrl+O", 57601},    {"Ctrl+S", 57603}, {"Ctrl+P", 57607},
        {"Ctrl+C", 57634}, {"Ctrl+Ins", 57634},  {"Ctrl+V", 57637}, {"Shift+Ins", 57637},
        {"Ctrl+X", 57635}, {"Shift+Del", 57635}, {"Ctrl+Z", 57643}, {"Alt+Backspace", 57643},
        {"F1", 57670},     {"Shift+F1", 32830},  {"F6", 57680},     {"Shift+F6", 57681}};
    for (const KeyCase& k : keys) {
        QAction* a = frame.action(k.id);
        QVERIFY2(a, k.key);
        QVERIFY2(a->shortcuts().contains(QKeySequence::fromString(k.key, QKeySequence::PortableText)), k.key);
        QCOMPARE(a->property("commandId").toInt(), k.id);
    }
    // No key is bound twice.
    QMap<QString, int> seen;
    for (QAction* a : frame.actions())
        for (const QKeySequence& s : a->shortcuts()) {
            QVERIFY2(!seen.contains(s.toString()), qPrintable(s.toString()));
            seen.insert(s.toString(), a->property("commandId").toInt());
        }

    struct PromptCase {
        int id;
        const char* status;
        const char* tip;
    };
    const PromptCase prompts[] = {{32850, "Configure RT62M", "Configure RT62M"},
                                  {32772, "Hardware dependent data", "Hardware"},
                                  {32773, "Accesories...", "Option"},
                                  {32820, "Read data from radio", "Upload"},
                                  {32836, "Upload", "Upload"},
                                  {32834, "Download", "Download"},
                                  {32833, "Edit Channels Type", "Channel"},
                                  {32842, "Information on RT62M", "Information on RT62M"}};
    for (const PromptCase& p : prompts) {
        QCOMPARE(frame.action(p.id)->statusTip(), QString(p.status));
        QCOMPARE(frame.action(p.id)->toolTip(), QString(p.tip));
    }
    // Item entries: checked for any non-zero value, as the menu always showed them.
    f.settings.items[2] = 0;
    f.settings.items[5] = 7;
    frame.trigger(cmd::ItemFirst + 2); // switched on again
    QCOMPARE(f.settings.items[2], 1);
    frame.trigger(cmd::ItemFirst + 5); // a value other than 1 becomes visible
    QCOMPARE(f.settings.items[5], 1);
    frame.trigger(cmd::ItemFirst + 5);
    QCOMPARE(f.settings.items[5], 0);
    QVERIFY(!frame.action(cmd::ItemFirst + 5)->isChecked());
    QVERIFY(frame.action(cmd::ItemFirst + 2)->isChecked());
}

void AppFrameTest::toolBarOrder() {
    Fixture f;
    CMainFrame& frame = f.make();
    QList<int> ids;
    for (QAction* a : frame.toolBar()->actions())
        ids << (a->isSeparator() ? 0 : a->property("commandId").toInt());
    QCOMPARE(ids, QList<int>({57600, 57601, 0, 57603, 0, 57634, 57637, 0, 57607, 0, 32836, 32834, 0, 57664}));
    for (QAction* a : frame.toolBar()->actions())
        if (!a->isSeparator()) QVERIFY2(!a->icon().isNull(), qPrintable(a->text()));
}

void AppFrameTest::shiftF1DoesNothing() {
    Fixture f;
    CMainFrame& frame = f.make();
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QTableView* grid = frame.view()->grid();
    grid->setFocus();
    HelpWindow::instance()->showTopic(kHelpGetStarted);
    HelpWindow::instance()->hide();
    QSignalSpy shiftF1(frame.action(cmd::ShiftF1), &QAction::triggered);
    QSignalSpy f1(frame.action(cmd::Help), &QAction::triggered);
    QTest::keyClick(grid, Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(shiftF1.count(), 0);
    QCOMPARE(f1.count(), 0);
    QVERIFY(!HelpWindow::instance()->isVisible());
    QCOMPARE(HelpWindow::instance()->context(), kHelpGetStarted);
}

void AppFrameTest::f1OpensTheColumnTopic() {
    Fixture f;
    CMainFrame& frame = f.make();
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QTableView* grid = frame.view()->grid();
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(4, 5));
    QTest::keyClick(grid, Qt::Key_F1);
    QCOMPARE(HelpWindow::instance()->context(), 305);
    QVERIFY(HelpWindow::instance()->isVisible());
    HelpWindow::instance()->close();
    // Over the toolbar the contents answer.
    frame.toolBar()->setFocusPolicy(Qt::StrongFocus);
    frame.toolBar()->setFocus();
    QCOMPARE(frame.helpContext(), kHelpContents);
}

void AppFrameTest::copyActsOnlyOnTheGrid() {
    Fixture f;
    CMainFrame& frame = f.make();
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QTableView* grid = frame.view()->grid();
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 0)); // channel 1
    QGuiApplication::clipboard()->setText("before");
    QTest::keyClick(grid, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text().trimmed(), QString("1"));

    QGuiApplication::clipboard()->setText("before");
    frame.toolBar()->setFocusPolicy(Qt::StrongFocus);
    frame.toolBar()->setFocus();
    frame.trigger(cmd::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));
}

void AppFrameTest::closeQuestion_data() {
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer"); // Answer
    QTest::addColumn<bool>("chooseName");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("questions");
    QTest::newRow("unmodified") << false << int(Answer::Yes) << true << true << false << 0;
    QTest::newRow("no") << true << int(Answer::No) << true << true << false << 1;
    QTest::newRow("cancel") << true << int(Answer::Cancel) << true << false << false << 1;
    QTest::newRow("yes, saved") << true << int(Answer::Yes) << true << true << true << 1;
    QTest::newRow("yes, save as cancelled") << true << int(Answer::Yes) << false << false << false << 1;
}

void AppFrameTest::closeQuestion() {
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(bool, chooseName);
    QFETCH(bool, closes);
    QFETCH(bool, saved);
    QFETCH(int, questions);
    Fixture f;
    CMainFrame& frame = f.make();
    const QString target = f.dir.filePath("saved.R62");
    frame.setSaveAsChooser([&]() -> std::optional<std::string> {
        if (!chooseName) return std::nullopt;
        return target.toStdString();
    });
    f.doc->SetModifiedFlag(modified);
    f.prompter.shown.clear();
    f.prompter.answers = {Answer(answer)};
    frame.show();
    QCOMPARE(frame.close(), closes);
    QCOMPARE(frame.isVisible(), !closes);
    QCOMPARE(QFile::exists(target), saved);
    if (saved) QCOMPARE(QFileInfo(target).size(), qint64(262));
    QCOMPARE(int(std::count(f.prompter.shown.begin(), f.prompter.shown.end(), 61699)), questions);
    // Changes are never dropped silently: an open window keeps them.
    if (!closes) QVERIFY(f.doc->IsModified());
}

void AppFrameTest::exitWritesSettings() {
    Fixture f;
    CMainFrame& frame = f.make();
    frame.resize(810, 620);
    f.settings.portType = 1;
    f.settings.comPort = 5;
    f.settings.items[3] = 0;
    const QSize outer = frame.frameGeometry().size();
    f.frame.reset();
    QCOMPARE(f.ini("Initialize/PORT_TYPE"), QString("1"));
    QCOMPARE(f.ini("Initialize/COM_PORT"), QString("5"));
    QCOMPARE(f.ini("Initialize/CX"), QString::number(outer.width()));
    QCOMPARE(f.ini("Initialize/CY"), QString::number(outer.height()));
    QVERIFY(outer.width() >= 810);
    QCOMPARE(f.ini("ITEM/ITEM3"), QString("0"));
    QCOMPARE(f.ini("ITEM/ITEM14"), QString("1"));
}

void AppFrameTest::visibleWritesItemsEvenOnCancel() {
    Fixture f;
    CMainFrame& frame = f.make();
    frame.setRefreshCommand(cmd::ItemVisible, [&](QWidget*) {
        f.settings.items[7] = 0; // as if switched by the menu before; then the dialog is cancelled
        return RefreshKind::None;
    });
    frame.trigger(cmd::ItemVisible);
    QCOMPARE(f.ini("ITEM/ITEM7"), QString("0"));
}

void AppFrameTest::bandChangeLoadsTheDefaultFile() {
    Fixture f;
    const std::string uhf = WriteFactoryFile(f.dir.filePath("RT62Muhf1.r62"), 2);
    CMainFrame& frame = f.make();
    frame.setRefreshCommand(cmd::Hardware, [&](QWidget*) {
        f.doc->LoadBandDefault(2); // what the dialog does after a confirmed band change
        return RefreshKind::BandChanged;
    });
    frame.trigger(cmd::Hardware);
    QCOMPARE(f.doc->CurrentPath(), uhf);
    QVERIFY(frame.windowTitle().startsWith(QString::fromStdString(uhf)));
}

void AppFrameTest::openAddsRecentFilesAndRefusesBadFiles() {
    Fixture f;
    const std::string good = WriteFactoryFile(f.dir.filePath("good.R62"), 0);
    const QString bad = f.dir.filePath("bare.R62");
    {
        QFile b(bad);
        QVERIFY(b.open(QIODevice::WriteOnly));
        b.write(QByteArray(254, '\0'));
    }
    CMainFrame& frame = f.make();
    std::string next = good;
    frame.setOpenChooser([&] { return std::optional<std::string>(next); });
    frame.trigger(cmd::Open);
    QCOMPARE(f.doc->CurrentPath(), good);
    QCOMPARE(frame.recentFiles(), QStringList({QString::fromStdString(good)}));
    QCOMPARE(f.ini("Recent%20File%20List/File1").isEmpty() && f.ini("Recent File List/File1").isEmpty(),
             false);

    f.prompter.shown.clear();
    next = bad.toStdString();
    frame.trigger(cmd::Open);
    QCOMPARE(f.prompter.shown, std::vector<int>{37});
    QCOMPARE(f.doc->CurrentPath(), good);
    QCOMPARE(frame.recentFiles().size(), 1);
}

void AppFrameTest::secondCopyBringsTheWindowBack() {
    Fixture f;
    CMainFrame& frame = f.make();
    frame.showMinimized();
    QVERIFY(frame.isMinimized());
    frame.bringToFront();
    QVERIFY(!frame.isMinimized());
    QVERIFY(frame.isVisible());
}

QTEST_MAIN(AppFrameTest)
#include "app_frame_test.moc"
