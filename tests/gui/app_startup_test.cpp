// Start-up: the settings file and its repair rules, the service-mode switch and password, the
// command-line file and the single running copy.
#include "app/application.h"
#include "app/ini_settings.h"
#include "app/main_frame.h"
#include "app/service_mode.h"
#include "app/single_instance.h"
#include "image/document.h"
#include "link/serial_port.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QUuid>
#include <QtTest>

using namespace rt62;

namespace {

QString UniqueKey() {
    return "rt62test-" + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

// Runs action on the next modal window that appears (the start-up dialogs block in exec()).
void OnNextModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(w);
        }
    });
    timer->start(10);
}

// A temporary working directory holding the settings file (and whatever else a case writes).
struct WorkDir {
    QTemporaryDir dir;
    QString old = QDir::currentPath();
    explicit WorkDir(const QByteArray& ini = {}) {
        QDir::setCurrent(dir.path());
        if (!ini.isEmpty()) write("RT62MWin.ini", ini);
    }
    ~WorkDir() { QDir::setCurrent(old); }
    QString path() const { return dir.filePath("RT62MWin.ini"); }
    QString write(const QString& name, const QByteArray& bytes) const {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return f.fileName();
    }
    QString ini(const QString& key) const {
        return QSettings(path(), QSettings::IniFormat).value(key).toString();
    }
};

} // namespace

class AppStartupTest : public QObject {
    Q_OBJECT
  private slots:
    void repairRules();
    void missingFileIsCreatedInTheWorkingDirectory();
    void deviceKeyAndRecentFiles();
    void serviceSwitch();
    void servicePassword();
    void badFileOnTheCommandLineEndsStartUp();
    void startAndSecondCopy();
};

void AppStartupTest::repairRules() {
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
        QVERIFY(IniSettings(w.path()).loadStartup(s));
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
}

void AppStartupTest::missingFileIsCreatedInTheWorkingDirectory() {
    WorkDir w;
    const QString path = IniSettings::DefaultPath();
    QCOMPARE(QFileInfo(path).absoluteFilePath(), QFileInfo(w.path()).absoluteFilePath());
    AppSettings s;
    s.comPort = 9; // whatever was in memory, the defaults of the file win
    QVERIFY(IniSettings(path).loadStartup(s));
    QCOMPARE(w.ini("Initialize/PORT_TYPE"), QString("0"));
    QCOMPARE(w.ini("Initialize/COM_PORT"), QString("1"));
    for (int i = 0; i < kColumnItemCount; ++i)
        QCOMPARE(w.ini(QString("ITEM/ITEM%1").arg(i)), QString("1"));
    QVERIFY(!QSettings(path, QSettings::IniFormat).contains("Initialize/PORT_DEVICE"));
}

void AppStartupTest::deviceKeyAndRecentFiles() {
    WorkDir w;
    IniSettings ini(w.path());
    AppSettings s;
    s.portType = 1;
    s.portDevice = "sim:";
    QVERIFY(ini.writeFrame(s, QSize(800, 600)));
    AppSettings back;
    QVERIFY(ini.loadStartup(back));
    QCOMPARE(back.portName(), QString("sim:"));
    // Back to a plain COM port: the device key goes, so the next start does not reopen the old device.
    back.portDevice.clear();
    QVERIFY(ini.writePort(back));
    QVERIFY(!QSettings(w.path(), QSettings::IniFormat).contains("Initialize/PORT_DEVICE"));

    QStringList list;
    for (const char* f : {"/a.R62", "/b.R62", "/c.R62", "/d.R62", "/e.R62", "/c.R62"})
        list = AddRecentFile(list, f);
    QCOMPARE(list, QStringList({"/c.R62", "/e.R62", "/d.R62", "/b.R62"}));
    QVERIFY(ini.writeRecentFiles({"/x, y.R62"})); // a comma must not split the name
    QCOMPARE(ini.recentFiles(), QStringList({"/x, y.R62"}));
}

void AppStartupTest::serviceSwitch() {
    const QList<QPair<QStringList, bool>> rows = {
        {{"/m"}, true},   {{"/M"}, true},           {{"-m"}, true},   {{"-M"}, true}, {{}, false},
        {{"/mm"}, false}, {{"/m", "a.R62"}, false}, {{"/m "}, false}, {{"m"}, false}, {{"--m"}, false}};
    for (const auto& [args, service] : rows)
        QVERIFY2(IsServiceModeSwitch(args) == service, qPrintable(args.join(' ')));
}

void AppStartupTest::servicePassword() {
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
        QCOMPARE(app.settings().serviceMode, r.service);
        QCOMPARE(app.frame()->windowTitle().endsWith(" (M)"), r.service);
        // No message follows a wrong password, and no port is opened with the interface.
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!app.port());
    }
}

void AppStartupTest::badFileOnTheCommandLineEndsStartUp() {
    WorkDir w("[Initialize]\nPORT_TYPE=1\n");
    const QString bare = w.write("bare.R62", QByteArray(254, '\x11'));
    CRT62MApp app;
    app.setInstanceKey(UniqueKey());
    QString shown;
    OnNextModal([&](QWidget* modal) {
        shown = modal->objectName();
        modal->close();
    });
    QVERIFY(!app.InitInstance({bare}));
    QCOMPARE(shown, QString("message37"));
    QVERIFY(!app.frame());
}

void AppStartupTest::startAndSecondCopy() {
    WorkDir w("[Initialize]\nPORT_TYPE=2\nCOM_PORT=-3\nPORT_DEVICE=sim:\n");
    const QString key = UniqueKey();
    {
        CRT62MApp first;
        first.setInstanceKey(key);
        QVERIFY(first.InitInstance({}));
        QCOMPARE(w.ini("Initialize/COM_PORT"), QString("1"));
        QVERIFY(first.frame()->isVisible());
        QVERIFY(first.frame()->windowTitle().endsWith(" - RT62MWin for KT-905"));
        // The repaired type is the direct cable: the port is open from the start.
        QVERIFY(first.port() && first.port()->IsOpen());
        first.frame()->showMinimized();

        CRT62MApp second;
        second.setInstanceKey(key);
        QVERIFY(!second.InitInstance({}));
        QVERIFY(!second.frame());
        QTRY_VERIFY(!first.frame()->isMinimized());
    }
    // Once the first copy is gone, the next start is the first copy again.
    SingleInstance next(key);
    QVERIFY(next.acquire());
}

QTEST_MAIN(AppStartupTest)
#include "app_startup_test.moc"
