// Start-up as a whole: settings repair, port, service mode password, command-line file, second copy.
#include "app/application.h"
#include "app/main_frame.h"
#include "app/service_mode.h"
#include "image/document.h"
#include "link/serial_port.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
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
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(w);
        }
    });
    timer->start();
}

struct WorkDir {
    QTemporaryDir dir;
    QString old = QDir::currentPath();
    explicit WorkDir(const QByteArray& ini = {}) {
        QDir::setCurrent(dir.path());
        if (!ini.isEmpty()) {
            QFile f(dir.filePath("RT62MWin.ini"));
            f.open(QIODevice::WriteOnly);
            f.write(ini);
        }
    }
    ~WorkDir() { QDir::setCurrent(old); }
    QString ini(const QString& key) const {
        return QSettings(dir.filePath("RT62MWin.ini"), QSettings::IniFormat).value(key).toString();
    }
};

} // namespace

class AppStartupTest : public QObject {
    Q_OBJECT
  private slots:
    void startRepairsSettingsAndOpensThePort();
    void servicePassword_data();
    void servicePassword();
    void badFileOnTheCommandLineEndsStartUp();
    void secondCopyGivesWay();
};

void AppStartupTest::startRepairsSettingsAndOpensThePort() {
    WorkDir w("[Initialize]\nPORT_TYPE=2\nCOM_PORT=-3\nPORT_DEVICE=sim:\n");
    CRT62MApp app;
    app.setInstanceKey(UniqueKey());
    QVERIFY(app.InitInstance({}));
    QCOMPARE(w.ini("Initialize/PORT_TYPE"), QString("0"));
    QCOMPARE(w.ini("Initialize/COM_PORT"), QString("1"));
    QCOMPARE(w.ini("ITEM/ITEM0"), QString("1"));
    QVERIFY(app.frame()->isVisible());
    QVERIFY(!app.settings().serviceMode);
    QVERIFY(app.frame()->windowTitle().endsWith(" - RT62MWin for KT-905"));
    // With the direct cable the port is open from the start.
    QVERIFY(app.port());
    QVERIFY(app.port()->IsOpen());
}

void AppStartupTest::servicePassword_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<bool>("service");
    QTest::newRow("capitals") << QStringList{"/M"} << "MELTO-VARIS" << true << true;
    QTest::newRow("wrong") << QStringList{"-m"} << "melto-vari" << true << false;
    QTest::newRow("cancel") << QStringList{"/m"} << "melto-varis" << false << false;
}

void AppStartupTest::servicePassword() {
    QFETCH(QStringList, args);
    QFETCH(QString, typed);
    QFETCH(bool, accept);
    QFETCH(bool, service);
    WorkDir w("[Initialize]\nPORT_TYPE=1\n");
    CRT62MApp app;
    app.setInstanceKey(UniqueKey());
    bool sawPassword = false;
    OnNextModal([&](QWidget* modal) {
        auto* dlg = qobject_cast<PasswordDialog*>(modal);
        sawPassword = dlg != nullptr;
        if (!dlg) return modal->close();
        QTest::keyClicks(dlg->edit(), typed);
        accept ? dlg->accept() : dlg->reject();
        return true;
    });
    QVERIFY(app.InitInstance(args));
    QVERIFY(sawPassword);
    QCOMPARE(app.settings().serviceMode, service);
    QCOMPARE(app.frame()->windowTitle().endsWith(" (M)"), service);
    // No message follows a wrong password, and no port is opened with the interface.
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!app.port());
}

void AppStartupTest::badFileOnTheCommandLineEndsStartUp() {
    WorkDir w("[Initialize]\nPORT_TYPE=1\n");
    const QString bare = w.dir.filePath("bare.R62");
    {
        QFile f(bare);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(254, '\x11'));
    }
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

void AppStartupTest::secondCopyGivesWay() {
    WorkDir w("[Initialize]\nPORT_TYPE=1\n");
    const QString key = UniqueKey();
    CRT62MApp first;
    first.setInstanceKey(key);
    QVERIFY(first.InitInstance({}));
    first.frame()->showMinimized();

    CRT62MApp second;
    second.setInstanceKey(key);
    QVERIFY(!second.InitInstance({}));
    QVERIFY(!second.frame());
    QTRY_VERIFY(!first.frame()->isMinimized());
}

QTEST_MAIN(AppStartupTest)
#include "app_startup_test.moc"
