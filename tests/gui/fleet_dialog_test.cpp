// The Program Fleet dialog drives a run over the simulated fleet: the table, the radio line, the log,
// Stop, and messages shown on the window's thread.
#include "core/app/session.h"
#include "gui/common/app_settings.h"
#include "gui/app/ini_settings.h"
#include "gui/app/main_frame.h"
#include "gui/editor/document_history.h"
#include "core/image/data_file.h"
#include "core/image/document.h"
#include "core/image/fields.h"
#include "core/image/model.h"
#include "gui/link/fleet_dialog.h"
#include "core/link/sim_port.h"

#include "tests/gui/window_test_support.h"

#include <atomic>

#include <QAction>
#include <QApplication>

#include <QCheckBox>
#include <QDir>
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

QStringList LogLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList Row(const QTableWidget* t, int row) {
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
    test::ScriptedPrompter prompter_;

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

        const QTableWidget* t = dialog.radioTable();
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
        // The outcome is where a screen reader reads it: the table, with the summary as its description.
        QCOMPARE(t->accessibleDescription(), QStringLiteral("3 of 4 radios programmed."));

        // The same radios again on the same log: those programmed are left alone, and each radio
        // connected still has a number of its own, in the radio line and at the head of its row.
        init();
        FleetDialog again(*port_, Base(), prompter_);
        again.startCodeField()->setText(QStringLiteral("A0099"));
        again.countField()->setValue(1);
        again.logFileField()->setText(log);
        QTest::mouseClick(again.startButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!again.isRunning(), 20000);
        t = again.radioTable();
        QCOMPARE(t->rowCount(), 3);
        QCOMPARE(Row(t, 1), (QStringList{"1F000002", "A0100", "already programmed"}));
        for (int row = 0; row < 3; ++row)
            QCOMPARE(t->verticalHeaderItem(row)->text(), QString::number(row + 1));
        QCOMPARE(again.radioLine()->text(), QStringLiteral("Radio 3 of 3"));

        // Asked to, a radio the log shows as programmed gets the next code.
        init();
        FleetDialog third(*port_, Base(), prompter_);
        third.startCodeField()->setText(QStringLiteral("A0099"));
        third.logFileField()->setText(log);
        third.againBox()->setChecked(true);
        QTest::mouseClick(third.startButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!third.isRunning(), 20000);
        QCOMPARE(third.radioTable()->rowCount(), 1);
        QCOMPARE(Row(third.radioTable(), 0), (QStringList{"1F000001", "A0102", "programmed"}));
    }

    // Stop lets the radio in hand finish; a second Stop cancels it, for a radio that no longer answers.
    void secondStopCancelsTheRadioInHand() {
        std::atomic<bool> held{false}, release{false};
        const QString backups = dir_.filePath(QStringLiteral("backups-stop"));
        port_->SetReadHook([&](int) {
            // Once the first radio has been read (its backup is there), it is in hand: hold it there.
            if (held || QDir(backups).entryList(QDir::Files).isEmpty()) return;
            held = true;
            for (int i = 0; i < 2000 && !release; ++i) QThread::msleep(5);
        });
        FleetRequest base = Base();
        base.backup.folder = backups.toStdString();
        FleetDialog dialog(*port_, base, prompter_);
        dialog.startCodeField()->setText(QStringLiteral("7"));
        dialog.countField()->setValue(3);
        const QString log = dir_.filePath(QStringLiteral("cancel.csv"));
        dialog.logFileField()->setText(log);
        QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(held, 20000);
        QCOMPARE(dialog.stopButton()->text(), QStringLiteral("S&top"));
        QTest::mouseClick(dialog.stopButton(), Qt::LeftButton);
        QCOMPARE(dialog.stopButton()->text(), QStringLiteral("&Cancel Radio"));
        QVERIFY(dialog.stopButton()->isEnabled() && dialog.isRunning());
        QTest::mouseClick(dialog.stopButton(), Qt::LeftButton);
        QVERIFY(!dialog.stopButton()->isEnabled());
        release = true;
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isRunning(), 20000);
        QVERIFY(dialog.summary().cancelled);
        QCOMPARE(dialog.radioTable()->rowCount(), 1);
        QCOMPARE(Row(dialog.radioTable(), 0).value(2), QStringLiteral("cancelled"));
        QCOMPARE(LogLines(log).size(), 2);
        port_->SetReadHook({});
    }

    // Which controls take input in each of the dialog's states: either way to the codes, each field
    // filled or not (a start code of blanks is none), and while a run of either kind waits for a radio.
    void everyControlFollowsTheDialogsState() {
        for (int i = 0; i < 3; ++i) fleet_->Radio(i)->With([](RadioEmulator& r) { r.MutableFaults().silent = true; });
        const QString list = dir_.filePath(QStringLiteral("sweep-codes.txt"));
        QFile f(list);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("41\n42\n");
        f.close();
        const QString log = dir_.filePath(QStringLiteral("sweep.csv"));
        FleetDialog dialog(*port_, Base(), prompter_);
        QPushButton* close = nullptr;
        for (QPushButton* b : dialog.findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Close")) close = b;
        QVERIFY(close);
        const QList<QWidget*> controls{dialog.countUpChoice(),  dialog.listChoice(),     dialog.startCodeField(),
                                       dialog.listFileField(),  dialog.listBrowseButton(), dialog.countField(),
                                       dialog.logFileField(),   dialog.logBrowseButton(), dialog.againBox(),
                                       dialog.startButton(),    dialog.stopButton(),     close};
        const auto enabled = [&] {
            QString s;
            for (QWidget* w : controls) s += w->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
            return s;
        };
        const struct {
            bool fromList;
            QString start, listFile, logFile;
            const char* want; // count up, list, start code, list file, its Browse, count, log, its Browse,
                              // again, Start, Stop, Close
            bool run;
        } rows[] = {
            {false, "", "", "", "111001111001", false},
            {false, "A1", "", log, "111001111101", true},
            {false, "  ", "", log, "111001111001", false},
            {false, "A1", "", "", "111001111001", false},
            {false, "", list, log, "111001111001", false},
            {true, "", list, log, "110111111101", true},
            {true, "A1", "", log, "110111111001", false},
            {true, "", list, "", "110111111001", false},
        };
        for (const auto& r : rows) {
            (r.fromList ? dialog.listChoice() : dialog.countUpChoice())->setChecked(true);
            dialog.startCodeField()->setText(r.start);
            dialog.listFileField()->setText(r.listFile);
            dialog.logFileField()->setText(r.logFile);
            const QString what = QStringLiteral("list %1, start '%2', list file '%3', log '%4'")
                                     .arg(r.fromList).arg(r.start, r.listFile, r.logFile);
            QVERIFY2(enabled() == QLatin1String(r.want), qPrintable(what + ": " + enabled()));
            if (!r.run) continue;
            // Running, only Stop; once the run has ended, everything as it was.
            QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
            QVERIFY(dialog.isRunning());
            QVERIFY2(enabled() == QLatin1String("000000000010"), qPrintable(what + ": " + enabled()));
            QTest::mouseClick(dialog.stopButton(), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!dialog.isRunning(), 20000);
            QVERIFY2(enabled() == QLatin1String(r.want), qPrintable(what + " after the run: " + enabled()));
        }
    }

    void countBoxAndFieldsSayWhatTheyAre() {
        FleetDialog dialog(*port_, Base(), prompter_);
        QSpinBox* count = dialog.countField();
        // Counting up, the lowest count is one radio; "one per code" belongs to the list alone.
        QCOMPARE(count->text(), QStringLiteral("1"));
        dialog.listChoice()->setChecked(true);
        count->setValue(0);
        QCOMPARE(count->text(), QStringLiteral("One per code in the list"));
        dialog.countUpChoice()->setChecked(true);
        QCOMPARE(count->text(), QStringLiteral("1"));
        // The fields are named after the choice or the label beside them; the table after its rows.
        QCOMPARE(dialog.startCodeField()->accessibleName(), QStringLiteral("Count up from"));
        QCOMPARE(dialog.listFileField()->accessibleName(), QStringLiteral("Codes from a list file"));
        bool logLabelled = false; // its label's Alt+G reaches it, and names it
        for (QLabel* l : dialog.findChildren<QLabel*>())
            logLabelled = logLabelled || l->buddy() == dialog.logFileField();
        QVERIFY(logLabelled);
        QCOMPARE(dialog.radioTable()->accessibleName(), QStringLiteral("Radios done"));
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

    void menuSavesTheDocumentFirstAndLeavesItAsItIs() {
        QDir::setCurrent(dir_.path());
        AppSettings settings;
        settings.backupFolder = dir_.filePath(QStringLiteral("backups"));
        const std::string file = dir_.filePath(QStringLiteral("template.R62")).toStdString();
        Session session(prompter_, dir_.path().toStdString());
        CRT62MDoc& doc = session.Document();
        doc.Model() = MakeFactoryImage(0);
        NormalizeImage(doc.Model());
        QVERIFY(doc.WriteDataFile(file));
        doc.Open(file);
        QVERIFY(doc.HasFile());
        session.SetPort(std::move(port_));
        test::FakePort portControl;
        CMainFrame frame(FrameContext{session, settings, IniSettings(dir_.filePath(QStringLiteral("RT62MWin.ini"))),
                                      prompter_, portControl});
        // An edit not saved yet: the template must hold it.
        doc.Model().channels.at(0).rxFrequency = doc.Model().channels.at(0).txFrequency = 151.25;
        doc.SetModifiedFlag();
        const QString undoBefore = frame.action(cmd::Undo)->text();

        const QString log = dir_.filePath(QStringLiteral("menu.csv"));
        bool ran = false;
        test::OnModal([&](QDialog* d) {
            auto* dialog = qobject_cast<FleetDialog*>(d);
            if (!dialog) return d->reject();
            QCOMPARE(dialog->logFileField()->text(), dir_.filePath(QStringLiteral("template-fleet.csv")));
            dialog->startCodeField()->setText(QStringLiteral("77"));
            dialog->countField()->setValue(2);
            dialog->logFileField()->setText(log);
            QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!dialog->isRunning(), 20000);
            ran = dialog->summary().programmed == 2;
            dialog->reject();
        });
        frame.trigger(cmd::ProgramFleet);
        QVERIFY(ran);
        QVERIFY(!doc.IsModified());
        QCOMPARE(frame.action(cmd::Undo)->text(), undoBefore);
        // What the radios got is the saved file's channels with their own codes.
        const ReadOutcome saved = ReadFileBytes(file);
        QCOMPARE(saved.status, ReadStatus::Ok);
        for (int i = 0; i < 2; ++i) {
            const RadioImage radio = fleet_->Radio(i)->With([](RadioEmulator& r) { return r.Image(); });
            QVERIFY(std::equal(radio.begin() + 0x1E, radio.begin() + 0xBE, saved.bytes.begin() + 0x1E));
            QCOMPARE(ReadDtmfCode(radio), std::string(i == 0 ? "77" : "78"));
        }
        QCOMPARE(LogLines(log).size(), 3);
    }
};

QTEST_MAIN(FleetDialogTest)
#include "fleet_dialog_test.moc"
