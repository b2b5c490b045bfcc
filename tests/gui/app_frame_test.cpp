// The application shell: start-up (settings file repair, service mode, command-line file, single
// copy), the main window (size, keys, help, close question, files, settings written at the end) and
// its Configuration dialog.
#include "core/app/session.h"
#include "gui/app/about_dialogs.h"
#include "gui/app/application.h"
#include "gui/app/config_dialog.h"
#include "gui/common/file_paths.h"
#include "gui/common/help_window.h"
#include "gui/app/ini_settings.h"
#include "gui/app/language_menu.h"
#include "gui/app/main_frame.h"
#include "gui/app/service_mode.h"
#include "gui/app/single_instance.h"
#include "gui/editor/form_view.h"
#include "core/image/document.h"
#include "core/image/language.h"
#include "core/image/model.h"
#include "core/link/serial_port.h"

#include "tests/gui/window_test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBar>
#include <QUuid>
#include <QMenuBar>
#include <QtTest>

#include <memory>
#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace rt62;
using test::FakePort;
using test::OnNextModal;
using test::ScriptedPrompter;
using test::UniqueKey;
using test::WorkDir;
using test::WhileEventsRun;

namespace {

// A frame over a fresh document.
struct Fixture : WorkDir {
    ScriptedPrompter prompter;
    AppSettings settings;
    FakePort portControl;
    std::unique_ptr<Session> session;
    CRT62MDoc* doc = nullptr;
    std::unique_ptr<CMainFrame> frame;

    explicit Fixture(const QByteArray& ini = {}) : WorkDir(ini) {
        session = std::make_unique<Session>(prompter, NativePath(dir.path()));
        doc = &session->Document();
        doc->OnNewDocument();
        frame = std::make_unique<CMainFrame>(
            FrameContext{*session, settings, IniSettings(iniPath()), prompter, portControl});
    }
    std::string writeFactoryFile(const QString& name, int bandCode) const {
        ScriptedPrompter p;
        CRT62MDoc d(p);
        d.Model() = MakeFactoryImage(bandCode);
        d.WriteDataFile(dir.filePath(name).toStdString());
        return NativePath(dir.filePath(name));
    }
};

} // namespace

class AppFrameTest : public QObject {
    Q_OBJECT
  private slots:
    void settingsFile();
    void serviceSwitchAndPassword();
    void startUpAndSecondCopy();
    void sizeKeysAndItemToggles();
    void closeQuestion();
    void filesAndSettingsWrittenOnExit();
    void helpTopics();
    void configurationDialog();
    void untitledSaveAndDroppedFiles();
    void languageKeptForTheNextStart();
    void menuLettersInEveryLanguage_data();
    void menuLettersInEveryLanguage();
};

void AppFrameTest::settingsFile() {
    struct Row {
        const char *type, *com;
        int wantType, wantCom;
    };
    const Row rows[] = {{"1", "16", 1, 16},      {"0", "0", 0, 1},          {"0", "17", 0, 1},
                        {"0", "-3", 0, 1},       {"2", "5", 0, 5},          {"abc", "x", 0, 1},
                        {"1x", "7 ports", 1, 7}, {"0", "99999999999", 0, 1}};
    for (const Row& r : rows) {
        WorkDir w(QByteArray("[Initialize]\nPORT_TYPE=") + r.type + "\nCOM_PORT=" + r.com +
                  "\n[ITEM]\nITEM0=0\nITEM3=7\n");
        AppSettings s;
        QVERIFY(IniSettings(w.iniPath()).loadStartup(s));
        // The repaired values are in the file at once.
        const QString in = QString("%1,%2 -> ").arg(r.type, r.com);
        QCOMPARE(in + QString("%1 %2 %3 %4")
                          .arg(s.portType)
                          .arg(s.comPort)
                          .arg(w.ini("Initialize/PORT_TYPE"), w.ini("Initialize/COM_PORT")),
                 in + QString("%1 %2 %1 %2").arg(r.wantType).arg(r.wantCom));
        // Item values are kept as read, missing ones are visible.
        QVERIFY(s.items[0] == 0 && s.items[1] == 1 && w.ini("ITEM/ITEM3") == "7");
    }
    // A missing file is created with the defaults, whatever was in memory.
    WorkDir w;
    IniSettings ini(w.iniPath());
    AppSettings s;
    s.comPort = 9;
    QVERIFY(ini.loadStartup(s));
    QCOMPARE(QStringList({w.ini("Initialize/PORT_TYPE"), w.ini("Initialize/COM_PORT"), w.ini("ITEM/ITEM0"),
                          w.ini(QString("ITEM/ITEM%1").arg(kColumnItemCount - 1))}),
             QStringList({"0", "1", "1", "1"}));
    // A device key survives a restart; back on a plain COM port it goes, so the old device is not reopened.
    s.portType = 1;
    s.portDevice = "sim:";
    QVERIFY(ini.writeFrame(s, QSize(800, 600)));
    AppSettings back;
    QVERIFY(ini.loadStartup(back));
    QCOMPARE(back.portName(), QString("sim:"));
    back.portDevice.clear();
    QVERIFY(ini.writePort(back));
    QVERIFY(!QSettings(w.iniPath(), QSettings::IniFormat).contains("Initialize/PORT_DEVICE"));
    // The backups folder: absent in older files (the default then), kept when one was chosen.
    QVERIFY(back.backupFolder.isEmpty());
    back.backupFolder = "/srv/radio backups";
    QVERIFY(ini.writeFrame(back, QSize(800, 600)));
    AppSettings again;
    QVERIFY(ini.loadStartup(again));
    QCOMPARE(again.backupFolder, QString("/srv/radio backups"));

    // The order itself is the core's; here the names that count as the same file.
    QCOMPARE(AddRecentFile({"/a.R62", "/b.R62", "/A.R62"}, "/b.R62"), QStringList({"/b.R62", "/a.R62", "/A.R62"}));
    QVERIFY(ini.writeRecentFiles({"/x, y.R62"})); // a comma must not split the name
    QCOMPARE(ini.recentFiles(), QStringList({"/x, y.R62"}));

    // The File menu's entries for every length of the list: numbered from 1 in its order, an '&' in a
    // name shown as one; an empty list is one line that does nothing.
    const QStringList names{"/r/a.R62", "/r/b&c.R62", "/r/c.R62", "/r/d.R62"};
    const QStringList shown{"&1 /r/a.R62", "&2 /r/b&&c.R62", "&3 /r/c.R62", "&4 /r/d.R62"};
    for (qsizetype count = 0; count <= names.size(); ++count) {
        QByteArray recent = "[Recent%20File%20List]\n";
        for (qsizetype i = 0; i < count; ++i) recent += "File" + QByteArray::number(i + 1) + "=" + names[i].toUtf8() + "\n";
        Fixture f(recent);
        QCOMPARE(f.frame->recentFiles(), names.mid(0, count));
        for (int i = 0; i < kRecentFileCount; ++i) {
            QAction* a = f.frame->action(cmd::RecentFile1 + i);
            QCOMPARE(a->isVisible(), i < count || i == 0);
            QCOMPARE(a->isEnabled(), i < count);
            if (a->isVisible()) QCOMPARE(a->text(), i < count ? shown[i] : QStringLiteral("Recent File"));
        }
    }
}

void AppFrameTest::serviceSwitchAndPassword() {
    const QList<QPair<QStringList, bool>> switches = {
        {{"/m"}, true},   {{"/M"}, true},           {{"-m"}, true},   {{"-M"}, true}, {{}, false},
        {{"/mm"}, false}, {{"/m", "a.R62"}, false}, {{"/m "}, false}, {{"m"}, false}, {{"--m"}, false}};
    for (const auto& [args, service] : switches)
        QVERIFY2(IsServiceModeSwitch(args) == service, qPrintable(args.join(' ')));

    struct Row {
        QString arg, typed;
        bool accept, service;
    };
    const Row rows[] = {{"/M", "MELTO-VARIS", true, true},
                        {"-m", "melto-vari", true, false},
                        {"-M", "melto-varis ", true, false},
                        {"/m", "melto-varis", false, false}};
    for (const Row& r : rows) {
        WorkDir w("[Initialize]\nPORT_TYPE=1\n");
        CRT62MApp app;
        app.setInstanceKey(UniqueKey());
        QString shown;
        OnNextModal([&](QWidget* modal) {
            auto* dlg = qobject_cast<PasswordDialog*>(modal);
            if (!dlg) return void(modal->close());
            QTest::keyClicks(dlg->edit(), r.typed);
            shown = dlg->edit()->echoMode() == QLineEdit::Password ? dlg->text() : "unmasked";
            r.accept ? dlg->accept() : dlg->reject();
        });
        QVERIFY(app.InitInstance({r.arg}));
        QCOMPARE(shown, r.typed.toLower()); // masked, letters lower-cased as typed
        QCOMPARE(app.frame()->windowTitle().endsWith(" (M)"), r.service);
        // No message follows a wrong password, and no port is opened with the interface.
        QVERIFY(!QApplication::activeModalWidget() && !app.port());
    }
}

void AppFrameTest::startUpAndSecondCopy() {
    WorkDir w("[Initialize]\nPORT_TYPE=2\nCOM_PORT=-3\nPORT_DEVICE=sim:\n");
    const QString key = UniqueKey();
    {
        // A bad file on the command line ends the start-up after its message.
        CRT62MApp bad;
        bad.setInstanceKey(key);
        QString shown;
        OnNextModal([&](QWidget* modal) {
            shown = modal->objectName();
            modal->close();
        });
        QVERIFY(!bad.InitInstance({w.write("bare.R62", QByteArray(254, '\x11'))}) && !bad.frame());
        QCOMPARE(shown, QString("message37"));
    }
    {
        CRT62MApp first;
        first.setInstanceKey(key);
        QVERIFY(first.InitInstance({}) && first.frame()->isVisible());
        // The repaired type is the direct cable: the port is open from the start.
        QVERIFY(w.ini("Initialize/COM_PORT") == "1" && first.port() && first.port()->IsOpen());
        first.frame()->showMinimized();

        CRT62MApp second;
        second.setInstanceKey(key);
        QVERIFY(!WhileEventsRun([&] { return second.InitInstance({}); }) && !second.frame());
        QTRY_VERIFY(!first.frame()->isMinimized());
    }
    // Once the first copy is gone, the next start is the first copy again.
    SingleInstance next(key);
    QVERIFY(next.acquire());
}

void AppFrameTest::sizeKeysAndItemToggles() {
    // CX/CY are the outer size; with a window manager's frame around it, a start and an exit give the
    // same numbers back, run after run.
    const QMargins frames[] = {{}, {1, 24, 1, 1}, {4, 30, 4, 4}};
    for (const QMargins& m : frames) {
        QSize outer(750, 540);
        for (int run = 0; run < 3; ++run) {
            const QSize inner = InnerFrameSize(outer, m).expandedTo(InnerFrameSize(QSize(750, 540), m));
            outer = OuterFrameSize(inner, m);
        }
        QCOMPARE(outer, QSize(750, 540));
        QCOMPARE(OuterFrameSize(InnerFrameSize(QSize(812, 633), m), m), QSize(812, 633));
    }
    Fixture f("[Initialize]\nCX=400\nCY=900\n");
    QCOMPARE(f.frame->size(), QSize(750, 900));
    f.frame->resize(200, 100);
    QVERIFY(f.frame->width() >= 750 && f.frame->height() >= 540);
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

    QTableView* grid = f.frame->view()->grid();
    f.frame->show();
    grid->setFocus();
    QVERIFY(QTest::qWaitForWindowExposed(f.frame.get(), kWindowWait));
    HelpWindow* help = HelpWindow::instance();
    // Shift+F1 is swallowed: no command, no help.
    QSignalSpy f1(f.frame->action(cmd::Help), &QAction::triggered);
    QTest::keyClick(grid, Qt::Key_F1, Qt::ShiftModifier);
    QVERIFY(f1.isEmpty() && !help->isVisible());
    // F1 on the grid opens the topic of the current column; Ctrl+Ins copies the current cell.
    grid->setCurrentIndex(grid->model()->index(4, 5));
    QTest::keyClick(grid, Qt::Key_F1);
    QVERIFY(help->isVisible() && help->context() == 305);
    help->close();
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QTest::keyClick(grid, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text().trimmed(), QString("1"));
    // With the focus away from the grid, Copy leaves the clipboard alone.
    QGuiApplication::clipboard()->setText("before");
    f.frame->toolBar()->setFocusPolicy(Qt::StrongFocus);
    f.frame->toolBar()->setFocus();
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

void AppFrameTest::filesAndSettingsWrittenOnExit() {
    Fixture f;
    const std::string good = f.writeFactoryFile("good.R62", 0);
    f.frame->setOpenChooser([&] { return std::optional<std::string>(good); });
    f.frame->trigger(cmd::Open);
    QCOMPARE(f.doc->CurrentPath(), good);
    QCOMPARE(IniSettings(f.iniPath()).recentFiles(), QStringList({QString::fromStdString(good)}));
    // A FIFO is refused at once: opening it for reading would wait for a writer with the window frozen.
    // (Windows has none in the file system; a folder stands in for what is not a file there.)
    const std::string fifo = f.dir.filePath("pipe.R62").toStdString();
#ifdef _WIN32
    QVERIFY(QDir().mkpath(QString::fromStdString(fifo)));
#else
    QCOMPARE(::mkfifo(fifo.c_str(), 0644), 0);
#endif
    f.prompter.shown.clear();
    f.frame->setOpenChooser([&] { return std::optional<std::string>(fifo); });
    f.frame->trigger(cmd::Open);
    QVERIFY(f.prompter.shown == std::vector<int>{32} && f.doc->CurrentPath() == good);
    // A confirmed band change loads that band's default file and retitles the window.
    const std::string uhf = f.writeFactoryFile("RT62Muhf1.r62", 2);
    f.frame->setRefreshCommand(cmd::Hardware, [&](QWidget*) {
        f.doc->LoadBandDefault(2); // what the dialog does
        return RefreshKind::BandChanged;
    });
    f.frame->trigger(cmd::Hardware);
    QCOMPARE(f.doc->CurrentPath(), uhf);
    QCOMPARE(f.frame->windowTitle(), QString::fromStdString(uhf) + "[*] - RT62MWin for KT-905");

    // The rest is written when the window goes.
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

void AppFrameTest::helpTopics() {
    // Common Problems ends with where the radio's backups are, in the guide and on its help page.
    const std::string guide = GuideText(GuideMode::CommonProblems, "/home/op/.local/share/RT62MWin/backups");
    QVERIFY(guide.find("Getting back what the radio held") != std::string::npos);
    QVERIFY(guide.find("\r\n    /home/op/.local/share/RT62MWin/backups\r\n") != std::string::npos);
    QFile problems(":" + HelpTopicUrl(kHelpCommonProblems).path());
    QVERIFY(problems.open(QIODevice::ReadOnly));
    QVERIFY(problems.readAll().contains("Getting back what the radio held"));

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
        dlg.backupFolderEdit()->setText("/elsewhere");
        dlg.cancelButton()->click();
        QVERIFY(s.comPort == 40 && s.backupFolder.isEmpty());
    }
    {
        // The backups folder: empty shows the default; the default typed out stays "the default".
        ConfigurationDialog dlg(s, port, prompter, devices);
        QVERIFY(dlg.backupFolderEdit()->text().isEmpty() && !dlg.backupFolderEdit()->placeholderText().isEmpty());
        dlg.backupFolderEdit()->setText(" /srv/backups ");
        dlg.okButton()->click();
        QCOMPARE(s.backupFolder, QString("/srv/backups"));
        ConfigurationDialog again(s, port, prompter, devices);
        again.backupFolderEdit()->setText(again.backupFolderEdit()->placeholderText());
        again.okButton()->click();
        QVERIFY(s.backupFolder.isEmpty());
        port.calls.clear();
    }
    {
        // Enter closes only from the buttons; OK takes the list position.
        ConfigurationDialog dlg(s, port, prompter, devices);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg, kWindowWait));
        QSignalSpy finished(&dlg, &QDialog::finished);
        dlg.portList()->setCurrentIndex(15);
        const QList<QPair<QWidget*, int>> keys = {
            {dlg.portList(), 0}, {dlg.qrbBox(), 0}, {dlg.okButton(), 1}};
        for (const auto& [w, closed] : keys) {
            w->setFocus();
            QTest::keyClick(w, Qt::Key_Return);
            QCOMPARE(finished.count(), closed);
        }
        QVERIFY(s.comPort == 16 && s.portDevice.isEmpty());
    }
    {
        // A device that is gone keeps its entry, so OK does not quietly switch to another port.
        // Back to the direct cable the port is opened (the first call: with the interface it stayed
        // closed), and a failure says so.
        s.portDevice = "/dev/ttyUSB9";
        port.opens = false;
        ConfigurationDialog dlg(s, port, prompter, {});
        QCOMPARE(dlg.portList()->currentData().toString(), QString("/dev/ttyUSB9"));
        dlg.qrbBox()->click();
        dlg.okButton()->click();
        QCOMPARE(s.portDevice, QString("/dev/ttyUSB9"));
        QVERIFY(port.calls == std::vector<std::string>{"open"} && prompter.shown == std::vector<int>{80});
    }
}

void AppFrameTest::untitledSaveAndDroppedFiles() {
    // Ctrl+S on a document without a file asks for a name instead of failing.
    Fixture f;
    QCOMPARE(f.doc->CurrentPath(), std::string("<none>"));
    const std::string named = f.dir.filePath("named.R62").toStdString();
    f.frame->setSaveAsChooser([&] { return std::optional<std::string>(named); });
    f.frame->show();
    QVERIFY(QTest::qWaitForWindowActive(f.frame.get(), kWindowWait));
    f.frame->view()->grid()->setFocus();
    QTest::keyClick(f.frame->view()->grid(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(f.prompter.shown.empty());
    QVERIFY(f.doc->CurrentPath() == named && QFileInfo(QString::fromStdString(named)).size() == 262);

    // Drops: one .R62 file opens as File > Open does (the save question first, the probe's messages);
    // anything else is refused at the door.
    const std::string other = f.writeFactoryFile("other.r62", 2);
    const QString bare = f.write("bare.R62", QByteArray(254, '\x11'));
    const QString text = f.write("notes.txt", "x");
    auto mime = [](const QStringList& files) {
        auto* m = new QMimeData;
        QList<QUrl> urls;
        for (const QString& file : files) urls << QUrl::fromLocalFile(file);
        m->setUrls(urls);
        return m;
    };
    struct Row {
        QStringList files;
        bool accepted;
        std::vector<int> messages;
        std::string path; // the document's path afterwards
    };
    const Row rows[] = {
        {{text}, false, {}, named},
        {{QString::fromStdString(other), text}, false, {}, named},
        {{bare}, true, {37}, named},
        {{QString::fromStdString(other)}, true, {61699}, other},
    };
    for (const Row& r : rows) {
        f.prompter.shown.clear();
        f.prompter.answers = {Answer::No};
        f.doc->SetModifiedFlag(true);
        std::unique_ptr<QMimeData> data(mime(r.files));
        const QPoint at = f.frame->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.frame.get(), &enter);
        QCOMPARE(enter.isAccepted(), r.accepted);
        if (r.accepted) {
            QDropEvent drop(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(f.frame.get(), &drop);
            QApplication::processEvents();
        }
        QCOMPARE(f.prompter.shown, r.messages);
        QCOMPARE(f.doc->CurrentPath(), r.path);
    }
}

// View > Language writes the choice at once and says it takes effect at the next start; a start in a
// kept language speaks it, Qt's own buttons too.
void AppFrameTest::languageKeptForTheNextStart() {
    Fixture f("[Initialize]\nPORT_TYPE=1\n");
    auto* menu = f.frame->findChild<QMenu*>("languageMenu");
    QVERIFY(menu);
    QStringList names;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) names << a->objectName() + (a->isChecked() ? "*" : "");
    QCOMPARE(names, QStringList({"language_system*", "language_en", "language_de", "language_es", "language_fr",
                                 "language_pl", "language_pt_BR", "language_zh_CN"}));
    menu->findChild<QAction*>("language_zh_CN")->trigger();
    QCOMPARE(f.ini("Initialize/LANGUAGE"), QString("zh_CN"));
    QCOMPARE(f.prompter.shown, std::vector<int>{4322});
    QCOMPARE(&CurrentLanguage(), &EnglishLanguage()); // not before the next start
    menu->findChild<QAction*>("language_system")->trigger();
    QVERIFY(!QSettings(f.iniPath(), QSettings::IniFormat).contains("Initialize/LANGUAGE"));
    QCOMPARE(f.ini("Initialize/PORT_TYPE"), QString("1"));

    const struct {
        const char* kept;
        const char* code;
        const char* cancel; // Qt's own Cancel button
    } starts[] = {{"de", "de", "Abbrechen"}, {"zh_CN", "zh_CN", "取消"}, {"tlh", "en", "Cancel"}, {"", "en", "Cancel"}};
    for (const auto& s : starts) {
        AppSettings kept;
        kept.language = s.kept;
        StartInLanguage(kept);
        QCOMPARE(QString::fromUtf8(CurrentLanguage().code.data()), QString(s.code));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8(s.cancel));
        SetLanguage(EnglishLanguage());
        LoadQtTranslations(EnglishLanguage());
    }
}

void AppFrameTest::menuLettersInEveryLanguage_data() {
    QTest::addColumn<QString>("code");
    for (const Language& language : Languages())
        if (language.shipped) QTest::newRow(language.code.data()) << QString::fromUtf8(language.code.data());
}

// The menu bar's titles, and the entries of each menu, have an Alt letter each of their own (the empty
// recent-file line is disabled), whatever the language.
void AppFrameTest::menuLettersInEveryLanguage() {
    QFETCH(QString, code);
    SetLanguage(*FindLanguage(code.toStdString()));
    Fixture f;
    SetLanguage(EnglishLanguage());
    auto lettersOf = [](const QList<QAction*>& actions) {
        QSet<QChar> letters;
        for (QAction* a : actions) {
            if (a->isSeparator() || !a->isVisible() || !a->isEnabled()) continue;
            const qsizetype amp = a->text().indexOf(QLatin1Char('&'));
            if (amp < 0 || amp + 1 >= a->text().size()) return QStringLiteral("no letter: ") + a->text();
            const QChar letter = a->text().at(amp + 1).toLower();
            if (letters.contains(letter)) return QStringLiteral("letter taken: ") + a->text();
            letters.insert(letter);
        }
        return QString();
    };
    const QString bar = lettersOf(f.frame->menuBar()->actions());
    QVERIFY2(bar.isEmpty(), qPrintable(bar));
    for (QAction* top : f.frame->menuBar()->actions()) {
        const QString problem = lettersOf(top->menu()->actions());
        QVERIFY2(problem.isEmpty(), qPrintable(top->text() + QStringLiteral(": ") + problem));
    }
}

QTEST_MAIN(AppFrameTest)
#include "app_frame_test.moc"
