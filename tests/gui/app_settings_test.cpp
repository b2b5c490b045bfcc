// Settings file, service-mode switch and password entry.
#include "app/ini_settings.h"
#include "app/service_mode.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace rt62;

namespace {

void WriteFile(const QString& path, const QByteArray& text) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

QString Value(const QString& path, const QString& key) {
    QSettings ini(path, QSettings::IniFormat);
    return ini.value(key).toString();
}

} // namespace

class AppSettingsTest : public QObject {
    Q_OBJECT
  private slots:
    void repairRules_data();
    void repairRules();
    void missingFileIsCreatedComplete();
    void fileLivesInTheWorkingDirectory();
    void itemValuesAreKeptAsRead();
    void frameSizeHasAMinimum_data();
    void frameSizeHasAMinimum();
    void frameWritesAndDeviceKey();
    void recentFilesKeepFourNewestFirst();
    void serviceSwitch_data();
    void serviceSwitch();
    void passwordIsLowerCasedAsTyped_data();
    void passwordIsLowerCasedAsTyped();
};

void AppSettingsTest::repairRules_data() {
    QTest::addColumn<QByteArray>("portType");
    QTest::addColumn<QByteArray>("comPort");
    QTest::addColumn<int>("wantType");
    QTest::addColumn<int>("wantCom");
    QTest::newRow("valid") << QByteArray("1") << QByteArray("16") << 1 << 16;
    QTest::newRow("com 0") << QByteArray("0") << QByteArray("0") << 0 << 1;
    QTest::newRow("com 17") << QByteArray("0") << QByteArray("17") << 0 << 1;
    QTest::newRow("com -3") << QByteArray("0") << QByteArray("-3") << 0 << 1;
    QTest::newRow("type 2") << QByteArray("2") << QByteArray("5") << 0 << 5;
    QTest::newRow("type -1") << QByteArray("-1") << QByteArray("5") << 0 << 5;
    QTest::newRow("text") << QByteArray("abc") << QByteArray("x") << 0 << 1;
    QTest::newRow("digits then text") << QByteArray("1x") << QByteArray("7 ports") << 1 << 7;
    QTest::newRow("huge") << QByteArray("0") << QByteArray("99999999999") << 0 << 1;
}

void AppSettingsTest::repairRules() {
    QFETCH(QByteArray, portType);
    QFETCH(QByteArray, comPort);
    QFETCH(int, wantType);
    QFETCH(int, wantCom);
    QTemporaryDir dir;
    const QString path = dir.filePath("RT62MWin.ini");
    WriteFile(path, "[Initialize]\nPORT_TYPE=" + portType + "\nCOM_PORT=" + comPort + "\n");
    AppSettings s;
    QVERIFY(IniSettings(path).loadStartup(s));
    QCOMPARE(s.portType, wantType);
    QCOMPARE(s.comPort, wantCom);
    // The repaired values are in the file at once.
    QCOMPARE(Value(path, "Initialize/PORT_TYPE"), QString::number(wantType));
    QCOMPARE(Value(path, "Initialize/COM_PORT"), QString::number(wantCom));
}

void AppSettingsTest::missingFileIsCreatedComplete() {
    QTemporaryDir dir;
    const QString path = dir.filePath("RT62MWin.ini");
    AppSettings s;
    s.comPort = 9; // whatever was in memory, the defaults of the file win
    QVERIFY(IniSettings(path).loadStartup(s));
    QVERIFY(QFile::exists(path));
    QCOMPARE(Value(path, "Initialize/PORT_TYPE"), QString("0"));
    QCOMPARE(Value(path, "Initialize/COM_PORT"), QString("1"));
    for (int i = 0; i < kColumnItemCount; ++i)
        QCOMPARE(Value(path, QString("ITEM/ITEM%1").arg(i)), QString("1"));
    QSettings ini(path, QSettings::IniFormat);
    QVERIFY(!ini.contains("Initialize/PORT_DEVICE"));
}

void AppSettingsTest::fileLivesInTheWorkingDirectory() {
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const QString path = IniSettings::DefaultPath();
    QVERIFY(QDir::setCurrent(before));
    QCOMPARE(QFileInfo(path).fileName(), QString("RT62MWin.ini"));
    QCOMPARE(QFileInfo(path).absoluteDir().canonicalPath(), QDir(dir.path()).canonicalPath());
}

void AppSettingsTest::itemValuesAreKeptAsRead() {
    QTemporaryDir dir;
    const QString path = dir.filePath("RT62MWin.ini");
    WriteFile(path, "[ITEM]\nITEM0=0\nITEM3=7\nITEM14=-2\n");
    AppSettings s;
    QVERIFY(IniSettings(path).loadStartup(s));
    QCOMPARE(s.items[0], 0);
    QCOMPARE(s.items[1], 1); // missing key: visible
    QCOMPARE(s.items[3], 7);
    QCOMPARE(s.items[14], -2);
    QCOMPARE(Value(path, "ITEM/ITEM3"), QString("7"));
}

void AppSettingsTest::frameSizeHasAMinimum_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QSize>("want");
    QTest::newRow("missing") << QByteArray() << QSize(750, 540);
    QTest::newRow("narrow") << QByteArray("CX=400\nCY=900\n") << QSize(750, 900);
    QTest::newRow("low") << QByteArray("CX=1000\nCY=10\n") << QSize(1000, 540);
    QTest::newRow("negative") << QByteArray("CX=-5\nCY=-5\n") << QSize(750, 540);
}

void AppSettingsTest::frameSizeHasAMinimum() {
    QFETCH(QByteArray, text);
    QFETCH(QSize, want);
    QTemporaryDir dir;
    const QString path = dir.filePath("RT62MWin.ini");
    WriteFile(path, "[Initialize]\n" + text);
    QCOMPARE(IniSettings(path).frameSize(), want);
}

void AppSettingsTest::frameWritesAndDeviceKey() {
    QTemporaryDir dir;
    const QString path = dir.filePath("RT62MWin.ini");
    AppSettings s;
    s.portType = 1;
    s.comPort = 4;
    s.portDevice = "sim:";
    QVERIFY(IniSettings(path).writeFrame(s, QSize(800, 600)));
    QCOMPARE(Value(path, "Initialize/CX"), QString("800"));
    QCOMPARE(Value(path, "Initialize/CY"), QString("600"));
    QCOMPARE(Value(path, "Initialize/PORT_DEVICE"), QString("sim:"));

    AppSettings back;
    QVERIFY(IniSettings(path).loadStartup(back));
    QCOMPARE(back.portDevice, QString("sim:"));
    QCOMPARE(back.portName(), QString("sim:"));

    // Back to a plain COM port: the device key goes, so the next start does not reopen the old device.
    back.portDevice.clear();
    QVERIFY(IniSettings(path).writePort(back));
    QSettings ini(path, QSettings::IniFormat);
    QVERIFY(!ini.contains("Initialize/PORT_DEVICE"));
}

void AppSettingsTest::recentFilesKeepFourNewestFirst() {
    QStringList list;
    for (const char* f : {"/a.R62", "/b.R62", "/c.R62", "/d.R62", "/e.R62", "/c.R62"})
        list = AddRecentFile(list, f);
    QCOMPARE(list, QStringList({"/c.R62", "/e.R62", "/d.R62", "/b.R62"}));

    QTemporaryDir dir;
    IniSettings ini(dir.filePath("RT62MWin.ini"));
    QVERIFY(ini.writeRecentFiles(list));
    QCOMPARE(ini.recentFiles(), list);
    QVERIFY(ini.writeRecentFiles({"/x, y.R62"})); // a comma must not split the name
    QCOMPARE(ini.recentFiles(), QStringList({"/x, y.R62"}));
}

void AppSettingsTest::serviceSwitch_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("service");
    QTest::newRow("/m") << QStringList{"/m"} << true;
    QTest::newRow("/M") << QStringList{"/M"} << true;
    QTest::newRow("-m") << QStringList{"-m"} << true;
    QTest::newRow("-M") << QStringList{"-M"} << true;
    QTest::newRow("none") << QStringList{} << false;
    QTest::newRow("/mm") << QStringList{"/mm"} << false;
    QTest::newRow("/m and a file") << QStringList{"/m", "a.R62"} << false;
    QTest::newRow("/m with a blank") << QStringList{"/m "} << false;
    QTest::newRow("m") << QStringList{"m"} << false;
    QTest::newRow("--m") << QStringList{"--m"} << false;
}

void AppSettingsTest::serviceSwitch() {
    QFETCH(QStringList, args);
    QFETCH(bool, service);
    QCOMPARE(IsServiceModeSwitch(args), service);
}

void AppSettingsTest::passwordIsLowerCasedAsTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("exact") << "melto-varis" << true;
    QTest::newRow("capitals") << "MELTO-VARIS" << true;
    QTest::newRow("mixed") << "Melto-Varis" << true;
    QTest::newRow("short") << "melto-vari" << false;
    QTest::newRow("trailing blank") << "melto-varis " << false;
    QTest::newRow("empty") << "" << false;
}

void AppSettingsTest::passwordIsLowerCasedAsTyped() {
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    PasswordDialog dlg;
    QCOMPARE(dlg.edit()->echoMode(), QLineEdit::Password);
    QVERIFY(dlg.text().isEmpty());
    QTest::keyClicks(dlg.edit(), typed);
    QCOMPARE(dlg.text(), typed.toLower());
    QCOMPARE(IsServicePassword(dlg.text()), accepted);
    // Without the edit control the comparison itself is case-sensitive.
    if (typed != typed.toLower()) QVERIFY(!IsServicePassword(typed));
}

QTEST_MAIN(AppSettingsTest)
#include "app_settings_test.moc"
