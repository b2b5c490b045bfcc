// The program on a desktop: its command line, where its settings file lives, one window per
// graphical session with files handed over to it, and the first start on a new machine.
#include "gui/app/application.h"
#include "gui/app/command_line.h"
#include "gui/app/config_dialog.h"
#include "gui/app/ini_settings.h"
#include "gui/app/main_frame.h"
#include "gui/app/single_instance.h"
#include "gui/editor/form_view.h"
#include "core/image/document.h"
#include "core/image/model.h"
#include "core/link/serial_port.h"

#include "tests/gui/window_test_support.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include <functional>

#ifdef Q_OS_WIN
#include <stdlib.h>
#endif

using namespace rt62;
using test::WhileEventsRun;
using test::WorkDir;

namespace {

QString Program() {
    return QStringLiteral(RT62_BIN_DIR "/RT62MWin");
}

QString UniqueKey() { return test::UniqueKey(QStringLiteral("rt62desk-")); }

// Answers every modal window that comes up (message boxes block in exec()) and keeps what it saw.
struct ModalWatch {
    QStringList seen; // object name, then the text of message boxes
    std::function<void(QWidget*)> answer = [](QWidget* w) { w->close(); };
    QTimer timer;
    ModalWatch() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                seen << w->objectName() + (box ? " " + box->text() : QString());
                answer(w);
            }
        });
        timer.start(10);
    }
};

void Touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

} // namespace

class AppDesktopTest : public QObject {
    Q_OBJECT
  private slots:
    void commandLine();
    void settingsFilePlace();
    void settingsFileNotWritable();
    void oneWindowPerSession();
    void secondStartHandsOverItsFile();
    void firstStartWithoutThePort();
};

void AppDesktopTest::commandLine() {
    using A = WindowArgs::Action;
    struct Row {
        QStringList args;
        A action;
        QStringList start;
        QString bad;
    };
    const Row rows[] = {
        {{}, A::Run, {}, {}},
        {{"a.R62"}, A::Run, {"a.R62"}, {}},
        {{"/m"}, A::Run, {"/m"}, {}},
        {{"-M", "a.R62"}, A::Run, {"-M", "a.R62"}, {}}, // start-up decides what a switch with a file means
        {{"--help"}, A::Help, {}, {}},
        {{"-h", "a.R62"}, A::Help, {"a.R62"}, {}},
        {{"--version", "--help"}, A::Help, {}, {}},
        {{"--version"}, A::Version, {}, {}},
        {{"--bogus", "--help"}, A::Help, {}, "--bogus"},
        {{"--bogus", "-x"}, A::Usage, {}, "--bogus"},
        {{"-x"}, A::Usage, {}, "-x"},
        {{"-"}, A::Run, {"-"}, {}},
        {{"--", "--help", "-x.R62"}, A::Run, {"--help", "-x.R62"}, {}},
    };
    for (const Row& r : rows) {
        const WindowArgs got = ParseWindowArgs(r.args);
        QVERIFY2(got.action == r.action && got.startArgs == r.start && got.badOption == r.bad,
                 qPrintable(r.args.join(' ')));
    }

    // The real program: answers on the right stream and exits, without a window or a message box.
    struct Run {
        QStringList args;
        int exitCode;
        QString out, err;
    };
    const Run runs[] = {
        {{"--version"}, 0, "RT62MWin 1.00\n", ""},
        {{"--help"}, 0, "Usage: RT62MWin [FILE.R62]", ""},
        {{"--no-such-option", "a.R62"}, 2, "", "RT62MWin: unknown option '--no-such-option'"},
    };
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const Run& r : runs) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(Program(), r.args);
        QVERIFY2(p.waitForFinished(30000), qPrintable(r.args.join(' ')));
        // Windows programs end their lines with CR LF.
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput()).replace("\r\n", "\n");
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == r.exitCode, qPrintable(err));
        QVERIFY2(r.out.isEmpty() ? out.isEmpty() : out.startsWith(r.out), qPrintable(out));
        QVERIFY2(r.err.isEmpty() ? !err.contains("RT62MWin") : err.contains(r.err), qPrintable(err));
    }
}

void AppDesktopTest::settingsFilePlace() {
    QTemporaryDir root;
    const QString work = root.filePath("work"), config = root.filePath("config");
    const QString installed = root.filePath("usr/bin"), built = root.filePath("build/bin");
    QDir().mkpath(work);
    QDir().mkpath(installed);
    Touch(root.filePath("build/CMakeCache.txt"));
    QDir().mkpath(built);
    const QString here = work + "/RT62MWin.ini", mine = config + "/RT62MWin/RT62MWin.ini";
    struct Row {
        const char* name;
        const char* inWork; // "file", "dir" or ""
        QString programDir, want;
    };
    const Row rows[] = {
        {"installed, from the desktop menu", "", installed, mine},
        {"installed, an old set-up in the working directory", "file", installed, here},
        {"installed, a folder of that name is no settings file", "dir", installed, mine},
        {"build folder", "", built, here},
        {"build folder, the program folder is the build folder itself", "", root.filePath("build"), here},
    };
    for (const Row& r : rows) {
        QDir(here).removeRecursively();
        QFile::remove(here);
        if (QByteArray(r.inWork) == "file") Touch(here);
        if (QByteArray(r.inWork) == "dir") QDir().mkpath(here);
        QCOMPARE(QString(r.name) + ": " + ChooseIniPath(work, r.programDir, config),
                 QString(r.name) + ": " + r.want);
    }
    // The configuration folder is made on the first write.
    AppSettings s;
    QVERIFY(IniSettings(mine).loadStartup(s) && QFileInfo(mine).isFile());

    const QString home = QDir::homePath();
#ifdef Q_OS_WIN
    const char* variable = "APPDATA";
    const QPair<QByteArray, QString> places[] = {{"C:\\Users\\J\xc3\xb6rg\\AppData\\Roaming", "C:/Users/J\u00f6rg/AppData/Roaming"},
                                                 {"relative", home + "/AppData/Roaming"},
                                                 {"", home + "/AppData/Roaming"}};
#else
    const char* variable = "XDG_CONFIG_HOME";
    const QPair<QByteArray, QString> places[] = {{"/tmp/conf", "/tmp/conf"},
                                                 {"/tmp/conf/", "/tmp/conf"},
                                                 {"relative/conf", home + "/.config"},
                                                 {"", home + "/.config"}};
#endif
    const QString old = qEnvironmentVariable(variable);
    // Set as the system sees it (wide on Windows, where qputenv goes through the ANSI code page).
    const auto set = [&](const QString& value) {
#ifdef Q_OS_WIN
        _wputenv_s(reinterpret_cast<const wchar_t*>(QString(variable).utf16()),
                   reinterpret_cast<const wchar_t*>(value.utf16()));
#else
        qputenv(variable, value.toUtf8());
#endif
    };
    for (const auto& [value, want] : places) {
        set(QString::fromUtf8(value));
        QCOMPARE(UserConfigHome(), want);
    }
    set(old);
}

void AppDesktopTest::settingsFileNotWritable() {
    // The tests run from the build folder, so the working directory's file is the one; here it is a
    // folder, which no one can write over (root included).
    WorkDir w;
    QDir().mkpath(w.iniPath());
    ModalWatch watch;
    {
        CRT62MApp app;
        app.setInstanceKey(UniqueKey());
        QVERIFY(app.InitInstance({}));
        // Column items are written at once after the Visible dialog: that fails too, and stays quiet.
        app.frame()->setRefreshCommand(cmd::ItemVisible, [](QWidget*) { return RefreshKind::None; });
        app.frame()->trigger(cmd::ItemVisible);
        app.frame()->close();
    }
    const QStringList iniMessages = watch.seen.filter("message4303");
    QCOMPARE(iniMessages.size(), 1);
    QVERIFY2(iniMessages[0].contains(QDir::toNativeSeparators(w.iniPath())), qPrintable(iniMessages[0]));
}

void AppDesktopTest::oneWindowPerSession() {
    const QString base = UniqueKey();
    const auto key = [&](const QString& display, const QString& wayland, const QString& user = "ann") {
        return SingleInstance::KeyFor(base, user, display, wayland);
    };
    // Two starts share a key exactly when they are the same user in the same session: the screens of
    // one X display are one session, a display on another host another one; on Wayland the socket
    // names the session, whatever DISPLAY the X compatibility layer set. No user is a user of its own.
    const struct {
        QString display, wayland, session;
    } places[] = {{":0", "", "x0"},           {":0.1", "", "x0"},         {":0.0", "", "x0"},
                  {":10", "", "x10"},         {":10.0", "", "x10"},       {"localhost:10.0", "", "lh10"},
                  {":1", "", "x1"},           {":0", "wayland-0", "w0"},  {":1", "wayland-0", "w0"},
                  {":0", "wayland-1", "w1"},  {"", "/run/user/1000/wayland-0", "wr0"}, {"", "", "none"}};
    const QString users[] = {"ann", "bob", ""};
    for (const QString& u1 : users)
        for (const auto& p1 : places)
            for (const QString& u2 : users)
                for (const auto& p2 : places) {
                    const QString k1 = key(p1.display, p1.wayland, u1), k2 = key(p2.display, p2.wayland, u2);
                    QVERIFY2((k1 == k2) == (u1 == u2 && p1.session == p2.session), qPrintable(k1 + " / " + k2));
                    QVERIFY2(!k1.contains('/') && !k1.contains(':') && k1.startsWith(base), qPrintable(k1));
                }

    // The lock and the socket are in the user's runtime folder when it is a folder given by its full
    // path, in the temporary folder otherwise.
    const bool hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir runtime;
    const QString temp = QDir::tempPath();
    for (const auto& [value, folder] : {std::pair{runtime.path(), runtime.path()}, std::pair{QString("run"), temp},
                                        std::pair{runtime.path() + "/none", temp}, std::pair{QString(), temp}}) {
        qputenv("XDG_RUNTIME_DIR", value.toUtf8());
        const SingleInstance placed(base);
        QCOMPARE(QFileInfo(placed.serverName()).absolutePath(), QFileInfo(folder).absoluteFilePath());
    }
    if (hadRuntime)
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
    else
        qunsetenv("XDG_RUNTIME_DIR");

    // Two displays: two first copies. The same display again: not a first copy.
    SingleInstance first(key(":0", "")), other(key(":1", "")), again(key(":0.0", ""));
    QVERIFY(first.acquire() && other.acquire());
    QSignalSpy activated(&first, &SingleInstance::activationRequested);
    QVERIFY(!WhileEventsRun([&] { return again.acquire(); }));
    QTRY_COMPARE(activated.count(), 1);

    // A file handed over raises the window too; only a full path is taken, since the first copy has a
    // working directory of its own.
    QSignalSpy opened(&first, &SingleInstance::openRequested);
    const QString full = QDir::temp().filePath(QStringLiteral("a b.R62"));
    for (const QString& file : {QStringLiteral("sub/a.R62"), full}) {
        QVERIFY(!WhileEventsRun([&] { return again.acquire(file); }));
        QTest::qWait(100);
    }
    QTRY_COMPARE(opened.count(), 1);
    QCOMPARE(opened.at(0).at(0).toString(), full);
    QCOMPARE(activated.count(), 2);
}

void AppDesktopTest::secondStartHandsOverItsFile() {
    WorkDir w("[Initialize]\nPORT_TYPE=1\n");
    // A name with a blank and a line break (a letter outside ASCII on Windows, which allows no
    // line break in a name) must arrive whole.
    QDir().mkpath(w.dir.filePath("sub dir"));
#ifdef Q_OS_WIN
    const QString relative = QString::fromUtf8("sub dir/J\xc3\xb6rg \xe6\x9d\x8e.R62");
#else
    const QString relative = "sub dir/two\nlines.R62";
#endif
    {
        test::ScriptedPrompter prompter;
        CRT62MDoc d(prompter);
        d.Model() = MakeFactoryImage(2);
        QVERIFY(d.WriteDataFile(w.dir.filePath(relative).toStdString()));
    }
    const QString key = UniqueKey();
    ModalWatch watch;
    watch.answer = [](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) box->button(QMessageBox::No)->click();
    };
    CRT62MApp first;
    first.setInstanceKey(key);
    QVERIFY(first.InitInstance({}));
    first.document()->SetModifiedFlag(true);
    const std::string before = first.document()->CurrentPath();

    // While the first window has a dialog open, the file waits.
    QDialog busy(first.frame());
    busy.setModal(true);
    busy.show();
    QTRY_VERIFY(QApplication::activeModalWidget() == &busy);
    // Two later starts: their files open in the order they came, the last one stays open.
    {
        test::ScriptedPrompter prompter;
        CRT62MDoc d(prompter);
        d.Model() = MakeFactoryImage(0);
        QVERIFY(d.WriteDataFile(w.dir.filePath("later.R62").toStdString()));
    }
    for (const QString& file : {relative, QStringLiteral("later.R62")}) {
        CRT62MApp second;
        second.setInstanceKey(key);
        QVERIFY(!WhileEventsRun([&] { return second.InitInstance({file}); }) && !second.frame());
    }
    QTRY_COMPARE(first.handedOverFiles(), QStringList({w.dir.filePath(relative), w.dir.filePath("later.R62")}));
    QTest::qWait(300);
    QCOMPARE(first.document()->CurrentPath(), before);
    QVERIFY(watch.seen.filter("message").isEmpty());

    // Then it is opened as File / Open opens it: the save question first.
    busy.close();
    QTRY_VERIFY(first.handedOverFiles().isEmpty());
    QTRY_COMPARE(QString::fromStdString(first.document()->CurrentPath()), QDir::toNativeSeparators(w.dir.filePath("later.R62")));
    QCOMPARE(watch.seen.filter("message61699").size(), 1);
    QCOMPARE(first.document()->Model().hardware.bandStepCode, 0);
    QCOMPARE(first.frame()->recentFiles().mid(0, 2), QStringList({QDir::toNativeSeparators(w.dir.filePath("later.R62")),
                                                                  QDir::toNativeSeparators(w.dir.filePath(relative))}));
}

void AppDesktopTest::firstStartWithoutThePort() {
    QTemporaryDir dev;
#ifdef Q_OS_WIN
    // Presence by the system's list, which names COM1-COM16 as such and the others by device path.
    const QList<PortChoice> devices = {{"COM3", "USB Serial Port (FTDI)"}, {"\\\\.\\COM20", "cable"}};
    const QPair<QString, bool> names[] = {{"COM3", true},  {"com3", true},    {"COM1", false},
                                          {"\\\\.\\COM20", true}, {"\\\\.\\COM21", false},
                                          {"sim:", true},  {"printer", false}};
#else
    // Presence by the system's list, also through a stable link to the device.
    Touch(dev.filePath("ttyUSB0"));
    QVERIFY(QFile::link(dev.filePath("ttyUSB0"), dev.filePath("usb-Cable_1234-if00-port0")));
    const QList<PortChoice> devices = {{dev.filePath("usb-Cable_1234-if00-port0"), "cable"},
                                       {"/dev/ttyS2", "serial port"}};
    const QPair<QString, bool> names[] = {
        {dev.filePath("ttyUSB0"), true},  {"COM3", true}, {"COM1", false},
        {dev.filePath("ttyUSB1"), false}, {"sim:", true}, {"printer", false}};
#endif
    for (const auto& [name, present] : names)
        QVERIFY2(PortIsPresent(name, devices) == present, qPrintable(name));

    struct Row {
        const char* name;
        QByteArray ini; // empty: no settings file yet
        bool message80;
    };
    const Row rows[] = {
        {"first start, the default COM 1 is not on this machine", {}, false},
        {"a port chosen before, gone now", "[Initialize]\nPORT_TYPE=0\nCOM_PORT=1\n", true},
#ifdef Q_OS_WIN
        {"an unplugged device chosen before", "[Initialize]\nPORT_TYPE=0\nPORT_DEVICE=\\\\.\\COM27\n", true},
#else
        {"an unplugged device chosen before",
         "[Initialize]\nPORT_TYPE=0\nPORT_DEVICE=" + dev.filePath("ttyUSB7").toUtf8() + "\n", true},
#endif
    };
    for (const Row& r : rows) {
        WorkDir w(r.ini);
        ModalWatch watch;
        CRT62MApp app;
        app.setInstanceKey(UniqueKey());
        app.setSerialPortList([] { return QList<PortChoice>(); });
        // Whatever this machine has, the port does not open.
        app.setPortFactory(
            [&](const std::string&) { return CreateSerialPort(dev.filePath("gone").toStdString()); });
        QVERIFY(app.InitInstance({}));
        QCOMPARE(QString(r.name) + QString(": %1").arg(watch.seen.filter("message80").size()),
                 QString(r.name) + QString(": %1").arg(r.message80 ? 1 : 0));
        QVERIFY2(app.frame()->view()->infoValue(1059).endsWith(" (not present)"), r.name);
        QVERIFY2(QFileInfo(w.iniPath()).isFile(), r.name);
    }
}

QTEST_MAIN(AppDesktopTest)
#include "app_desktop_test.moc"
