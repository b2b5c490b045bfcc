// Single instance, help topics and guides, About, the Configuration dialog and the message boxes.
#include "app/about_dialogs.h"
#include "app/config_dialog.h"
#include "app/help_window.h"
#include "app/qt_prompter.h"
#include "app/single_instance.h"
#include "image/strings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUuid>
#include <QtTest>

#include <deque>

using namespace rt62;

namespace {

struct ScriptedPrompter : Prompter {
    std::vector<int> shown;
    Answer show(int id, Buttons, Icon, const std::vector<std::string>& = {}) override {
        shown.push_back(id);
        return Answer::Ok;
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

} // namespace

class AppShellTest : public QObject {
    Q_OBJECT
  private slots:
    void secondInstanceAsksTheFirstAndGivesWay();
    void everyTopicHasARealPage();
    void topicLookup_data();
    void topicLookup();
    void guidesAreAssembledAsListed();
    void aboutShowsTheVersionLine();
    void portChangeRules_data();
    void portChangeRules();
    void qrbBoxActsAtOnceEvenOnCancel();
    void okTakesTheListPosition();
    void enterClosesOnlyFromTheButtons();
    void deviceListFromTheSystem();
    void promptParts();
};

void AppShellTest::secondInstanceAsksTheFirstAndGivesWay() {
    const QString key = "rt62test-" + QUuid::createUuid().toString(QUuid::Id128).left(12);
    {
        SingleInstance first(key);
        QVERIFY(first.acquire());
        QVERIFY(first.isPrimary());
        QSignalSpy spy(&first, &SingleInstance::activationRequested);

        SingleInstance second(key);
        QVERIFY(!second.acquire());
        QVERIFY(!second.isPrimary());
        QTRY_COMPARE(spy.count(), 1);
    }
    // Once the first copy is gone, the next start is the first copy again.
    SingleInstance next(key);
    QVERIFY(next.acquire());
}

void AppShellTest::everyTopicHasARealPage() {
    for (int context : HelpTopicContexts()) {
        const QUrl url = HelpTopicUrl(context);
        QVERIFY2(!url.isEmpty(), qPrintable(QString::number(context)));
        QFile page(":" + url.path());
        QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(url.toString()));
        const QByteArray html = page.readAll();
        QVERIFY2(html.size() > 300, qPrintable(url.toString())); // not a stub
        if (!url.fragment().isEmpty())
            QVERIFY2(html.contains("name=\"" + url.fragment().toLatin1() + "\""), qPrintable(url.toString()));
    }
}

void AppShellTest::topicLookup_data() {
    QTest::addColumn<int>("context");
    QTest::addColumn<QString>("page");
    QTest::newRow("contents") << 0 << "contents.html";
    QTest::newRow("get started") << 98376 << "get_started.html";
    QTest::newRow("common problems") << 98377 << "common_problems.html";
    QTest::newRow("configure command") << 98386 << "configuration.html";
    QTest::newRow("configure dialog") << 131072 + 174 << "configuration.html";
    QTest::newRow("hardware") << 131174 << "hardware.html";
    QTest::newRow("column 0") << 300 << "grid.html#col0";
    QTest::newRow("column 19") << 319 << "grid.html#col19";
    QTest::newRow("past the columns") << 320 << "contents.html";
    QTest::newRow("unknown") << 12345 << "contents.html";
}

void AppShellTest::topicLookup() {
    QFETCH(int, context);
    QFETCH(QString, page);
    HelpWindow w;
    w.showTopic(context);
    QUrl want("qrc:/help/" + page);
    QCOMPARE(w.browser()->source().path(), want.path());
    QCOMPARE(w.browser()->source().fragment(), want.fragment());
    QVERIFY(!w.browser()->toPlainText().isEmpty());
}

void AppShellTest::guidesAreAssembledAsListed() {
    const std::string get = GuideText(GuideMode::GetStarted);
    const std::string common = GuideText(GuideMode::CommonProblems);
    // Pieces in the listed order with the listed separators.
    std::string want;
    for (int id : {60, 61, 62})
        want += StringText(id);
    want += "\r\n\r\n";
    want += StringText(63);
    QVERIFY(get.rfind(want, 0) == 0);
    QVERIFY(get.size() > want.size());
    // Entries 76 and 77 are joined by the separator's line break after the one that ends 76.
    const std::string joint = std::string(StringText(76)) + "\r\n" + std::string(StringText(77));
    QVERIFY(common.find(joint) != std::string::npos);
    QVERIFY(std::string(StringText(76)).size() >= 2 && std::string(StringText(76)).ends_with("\r\n"));

    // Laid out for a fixed font: no line longer than 63 characters, no bare line feeds.
    for (const std::string& text : {get, common}) {
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find("\r\n", start);
            const std::string line =
                text.substr(start, end == std::string::npos ? std::string::npos : end - start);
            QVERIFY2(line.size() <= 63, line.c_str());
            QVERIFY2(line.find('\n') == std::string::npos && line.find('\r') == std::string::npos,
                     line.c_str());
            if (end == std::string::npos) break;
            start = end + 2;
        }
    }

    GuideDialog dlg(GuideMode::CommonProblems);
    QCOMPARE(dlg.windowTitle(), QString("Common Problems"));
    QCOMPARE(GuideHelpContext(GuideMode::GetStarted), 98376);
    QCOMPARE(GuideHelpContext(GuideMode::CommonProblems), 98377);
}

void AppShellTest::aboutShowsTheVersionLine() {
    AboutDialog dlg;
    QCOMPARE(dlg.versionLabel()->text(), QString("RT62M Ver1.00w"));
    QCOMPARE(dlg.windowTitle(), QString("About"));
    auto* product = dlg.findChild<QLabel*>("1007");
    QVERIFY(product);
    QCOMPARE(product->text(), QString("KT-905 Programming Software"));
    auto* notice = dlg.findChild<QLabel*>("1009");
    QVERIFY(notice);
    QCOMPARE(notice->text().count('\n'), 1);
}

void AppShellTest::portChangeRules_data() {
    QTest::addColumn<int>("atOpen");
    QTest::addColumn<int>("now");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("message");
    QTest::newRow("interface kept") << 1 << 1 << true << QStringList{} << false;
    QTest::newRow("direct kept: reopen") << 0 << 0 << true << QStringList{"close", "open"} << false;
    QTest::newRow("direct kept: reopen fails") << 0 << 0 << false << QStringList{"close", "open"} << true;
    QTest::newRow("to interface: close") << 0 << 1 << true << QStringList{"close"} << false;
    QTest::newRow("to direct: open") << 1 << 0 << true << QStringList{"open"} << false;
    QTest::newRow("to direct: open fails") << 1 << 0 << false << QStringList{"open"} << true;
}

void AppShellTest::portChangeRules() {
    QFETCH(int, atOpen);
    QFETCH(int, now);
    QFETCH(bool, opens);
    QFETCH(QStringList, calls);
    QFETCH(bool, message);
    AppSettings s;
    s.portType = now;
    FakePort port;
    port.opens = opens;
    ScriptedPrompter prompter;
    ApplyPortChange(atOpen, s, port, prompter);
    QStringList got;
    for (const std::string& c : port.calls)
        got << QString::fromStdString(c);
    QCOMPARE(got, calls);
    QCOMPARE(prompter.shown, message ? std::vector<int>{80} : std::vector<int>{});
}

void AppShellTest::qrbBoxActsAtOnceEvenOnCancel() {
    AppSettings s;
    s.comPort = 3;
    FakePort port;
    ScriptedPrompter prompter;
    ConfigurationDialog dlg(s, port, prompter, {});
    QVERIFY(!dlg.qrbBox()->isChecked());
    QCOMPARE(dlg.portList()->currentIndex(), 2);
    dlg.qrbBox()->click();
    QCOMPARE(s.portType, 1);
    dlg.portList()->setCurrentIndex(7);
    dlg.cancelButton()->click();
    QCOMPARE(s.portType, 1);
    QCOMPARE(s.comPort, 3);
    QVERIFY(port.calls.empty());
}

void AppShellTest::okTakesTheListPosition() {
    AppSettings s;
    s.comPort = 40; // out of range: the list starts on COM 1
    FakePort port;
    ScriptedPrompter prompter;
    {
        ConfigurationDialog dlg(s, port, prompter, {{"/dev/ttyUSB0", "/dev/ttyUSB0 (adapter)"}});
        QCOMPARE(dlg.portList()->currentIndex(), 0);
        QCOMPARE(dlg.portList()->itemText(15), QString("COM 16"));
        QCOMPARE(dlg.portList()->itemText(17), QString("Simulated radio"));
        dlg.portList()->setCurrentIndex(15);
        dlg.okButton()->click();
        QCOMPARE(s.comPort, 16);
        QVERIFY(s.portDevice.isEmpty());
        QCOMPARE(port.calls, (std::vector<std::string>{"close", "open"}));
    }
    {
        ConfigurationDialog dlg(s, port, prompter, {{"/dev/ttyUSB0", "/dev/ttyUSB0 (adapter)"}});
        QCOMPARE(dlg.portList()->currentIndex(), 15);
        dlg.portList()->setCurrentIndex(17);
        dlg.okButton()->click();
        QCOMPARE(s.portDevice, QString("sim:"));
        QCOMPARE(s.comPort, 16);
    }
    {
        // A device that is gone keeps its entry, so OK does not quietly switch to another port.
        s.portDevice = "/dev/ttyUSB9";
        ConfigurationDialog again(s, port, prompter, {});
        QCOMPARE(again.portList()->currentData().toString(), QString("/dev/ttyUSB9"));
        again.okButton()->click();
        QCOMPARE(s.portDevice, QString("/dev/ttyUSB9"));
    }
}

void AppShellTest::enterClosesOnlyFromTheButtons() {
    AppSettings s;
    FakePort port;
    ScriptedPrompter prompter;
    ConfigurationDialog dlg(s, port, prompter, {});
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QSignalSpy finished(&dlg, &QDialog::finished);
    dlg.portList()->setFocus();
    QTest::keyClick(dlg.portList(), Qt::Key_Return);
    QCOMPARE(finished.count(), 0);
    dlg.qrbBox()->setFocus();
    QTest::keyClick(dlg.qrbBox(), Qt::Key_Return);
    QCOMPARE(finished.count(), 0);
    dlg.okButton()->setFocus();
    QTest::keyClick(dlg.okButton(), Qt::Key_Return);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
}

void AppShellTest::deviceListFromTheSystem() {
    QTemporaryDir root;
    QDir d(root.path());
    QVERIFY(d.mkpath("dev/serial/by-id"));
    QVERIFY(d.mkpath("sys/class/tty/ttyS0"));
    QVERIFY(d.mkpath("sys/class/tty/ttyS1"));
    for (const char* node : {"dev/ttyUSB0", "dev/ttyUSB1", "dev/ttyUSB10", "dev/ttyUSB2", "dev/ttyACM0",
                             "dev/ttyS0", "dev/ttyS1"}) {
        QFile f(d.filePath(node));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(
        QFile::link(d.filePath("dev/ttyUSB1"), d.filePath("dev/serial/by-id/usb-Maker_Cable-if00-port0")));
    QFile t0(d.filePath("sys/class/tty/ttyS0/type"));
    QVERIFY(t0.open(QIODevice::WriteOnly));
    t0.write("4\n");
    t0.close();
    QFile t1(d.filePath("sys/class/tty/ttyS1/type"));
    QVERIFY(t1.open(QIODevice::WriteOnly));
    t1.write("0\n");
    t1.close();

    QStringList devices;
    for (const PortChoice& c : SystemSerialPorts(d.filePath("dev"), d.filePath("sys")))
        devices << QFileInfo(c.device).fileName();
    // The linked adapter appears once under its stable name; ttyS1 has no UART; numbers sort numerically.
    QCOMPARE(devices, QStringList({"usb-Maker_Cable-if00-port0", "ttyACM0", "ttyUSB0", "ttyUSB2", "ttyUSB10",
                                   "ttyS0"}));
}

void AppShellTest::promptParts() {
    QCOMPARE(PromptPart(32820, 0), QString("Read data from radio"));
    QCOMPARE(PromptPart(32820, 1), QString("Upload"));
    QCOMPARE(PromptPart(32850, 0), QString("Configure RT62M"));
    QCOMPARE(PromptPart(32850, 1), QString("Configure RT62M"));
    QCOMPARE(TableText(32, {"/a b"}), QString("Problem opening file\nFile Name = /a b"));
}

QTEST_MAIN(AppShellTest)
#include "app_shell_test.moc"
