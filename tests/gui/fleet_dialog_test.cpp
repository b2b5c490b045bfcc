// The Program Fleet dialog drives a run over the simulated fleet: the table, the radio line, the log,
// Stop, and messages shown on the window's thread.
#include "image/model.h"
#include "link/fleet_dialog.h"
#include "link/sim_port.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace rt62;

namespace {

struct GuiPrompter : Prompter {
    Answer show(int id, Buttons, Icon, const std::vector<std::string>& = {}) override {
        shown.push_back(id);
        onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
        return Answer::Ok;
    }
    std::vector<int> shown;
    bool onGuiThread = true;
};

QStringList LogLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList Row(QTableWidget* t, int row) {
    QStringList out;
    for (int c = 0; c < t->columnCount(); ++c)
        out << (t->item(row, c) ? t->item(row, c)->text() : QString());
    return out;
}

}  // namespace

class FleetDialogTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    std::shared_ptr<SimulatedFleet> fleet_;
    std::unique_ptr<SimulatedSerialPort> port_;
    GuiPrompter prompter_;

    FleetRequest Base() {
        FleetRequest base;
        base.templateImage = MakeFactoryImage(0).image;
        base.backup = BackupSettings{true, dir_.filePath(QStringLiteral("backups")).toStdString(), {}};
        return base;
    }

private slots:
    void init() {
        fleet_ = std::make_shared<SimulatedFleet>();
        port_ = std::make_unique<SimulatedSerialPort>(fleet_, SimulatedSerialPort::Clock::Virtual, false);
        prompter_ = {};
    }

    void runShowsEachRadioAndLogsIt() {
        FleetDialog dialog(*port_, Base(), prompter_);
        QVERIFY(!dialog.startButton()->isEnabled());
        dialog.startCodeField()->setText(QStringLiteral("A0099"));
        dialog.countField()->setValue(4);
        const QString log = dir_.filePath(QStringLiteral("fleet.csv"));
        dialog.logFileField()->setText(log);
        QVERIFY(dialog.startButton()->isEnabled());
        QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
        QVERIFY(dialog.isRunning());
        QVERIFY(!dialog.logFileField()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isRunning(), 20000);

        QTableWidget* t = dialog.radioTable();
        QCOMPARE(t->rowCount(), 4);
        QCOMPARE(Row(t, 0), (QStringList{"1F000001", "A0099", "programmed"}));
        QCOMPARE(Row(t, 2), (QStringList{"1F000003", "", "hardware differs"}));
        QCOMPARE(Row(t, 3), (QStringList{"1F000004", "A0101", "programmed"}));
        QCOMPARE(dialog.radioLine()->text(), QStringLiteral("Radio 4 of 4"));
        QCOMPARE(dialog.summary().programmed, 3);
        QCOMPARE(LogLines(log).size(), 5);
        QVERIFY(prompter_.onGuiThread);
        QCOMPARE(std::count(prompter_.shown.begin(), prompter_.shown.end(), int(kStrFleetHardware)), 1L);
        QVERIFY(dialog.startButton()->isEnabled());
    }

    void stopWhileWaitingEndsWithoutAnotherLine() {
        // The second radio never answers: Stop must not wait for it.
        fleet_->Radio(1)->With([](RadioEmulator& r) { r.MutableFaults().silent = true; });
        FleetDialog dialog(*port_, Base(), prompter_);
        dialog.listChoice()->setChecked(true);
        const QString list = dir_.filePath(QStringLiteral("codes.txt"));
        QFile f(list);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("500\n\n501\n502\n");
        f.close();
        dialog.listFileField()->setText(list);
        dialog.countField()->setValue(0); // one radio per code
        const QString log = dir_.filePath(QStringLiteral("stop.csv"));
        dialog.logFileField()->setText(log);
        QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(dialog.radioTable()->rowCount(), 1, 20000);
        QTRY_COMPARE(dialog.radioLine()->text(), QStringLiteral("Radio 2 of 3"));
        QTest::mouseClick(dialog.stopButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isRunning(), 20000);
        QCOMPARE(dialog.radioTable()->rowCount(), 1);
        QVERIFY(!dialog.summary().cancelled);
        QCOMPARE(LogLines(log).size(), 2);
        QVERIFY(LogLines(log).at(1).contains(QStringLiteral(",500,programmed,")));
    }
};

QTEST_MAIN(FleetDialogTest)
#include "fleet_dialog_test.moc"
