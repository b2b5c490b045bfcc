// Undo and redo in the main window: every kind of change is one step that gives back the bytes from
// before it and after it, the modified mark follows the saved state, and new contents start afresh.
#include "gui/common/app_settings.h"
#include "core/app/session.h"
#include "gui/app/config_dialog.h"
#include "gui/app/ini_settings.h"
#include "gui/app/main_frame.h"
#include "gui/dialogs/channel_type_dialog.h"
#include "gui/dialogs/hardware_dialog.h"
#include "gui/dialogs/param_dialog.h"
#include "gui/dialogs/scanning_dialog.h"
#include "gui/editor/channel_grid_model.h"
#include "gui/editor/document_history.h"
#include "gui/editor/form_view.h"
#include "gui/editor/grid_editing.h"
#include "core/image/data_file.h"
#include "core/image/document.h"
#include "core/image/fields.h"
#include "core/image/model.h"
#include "core/link/sim_port.h"

#include "tests/gui/window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <random>

using namespace rt62;
using test::FakePort;
using test::OnModal;
using test::YesPrompter;

namespace {

// The 262 bytes a Save would write now.
DataFileBytes SavedBytes(const CRT62MDoc& doc) {
    ImageModel copy = doc.Model();
    NormalizeImage(copy);
    return MakeDataFileBytes(copy.image, doc.TrailerBytes());
}

// A shown main window over a document opened from its file, with a simulated radio on the cable.
struct Fixture : test::WorkDir {
    YesPrompter prompter;
    AppSettings settings;
    FakePort portControl;
    std::unique_ptr<Session> session;
    CRT62MDoc* doc = nullptr;
    std::unique_ptr<CMainFrame> frame;
    std::shared_ptr<SimulatedRadio> radio;
    std::string file;

    Fixture() {
        settings.backupFolder = dir.filePath("backups");
        {
            CRT62MDoc start(prompter);
            start.Model() = MakeFactoryImage(0);
            ChannelEntry& first = start.Model().channels.at(0);
            first.decKind = 2; // DCS "023", so F3 has something to complement
            first.decDcs = 0;
            NormalizeImage(start.Model());
            file = dir.filePath("start.R62").toStdString();
            start.WriteDataFile(file);
            // The default file a change to UHF loads.
            start.Model() = MakeFactoryImage(2);
            start.WriteDataFile(dir.filePath("RT62Muhf1.r62").toStdString());
        }
        ImageModel radioSide = MakeFactoryImage(0);
        // A serial number of its own, which a Download takes into the document.
        WriteSerialNumber(radioSide.image, "7C999999");
        DecodeImage(radioSide);
        radioSide.channels.at(0).rxFrequency = radioSide.channels.at(0).txFrequency = 155.5;
        NormalizeImage(radioSide);
        radio = std::make_shared<SimulatedRadio>(radioSide.image);
        session = std::make_unique<Session>(prompter, dir.path().toStdString());
        session->SetPort(std::make_unique<SimulatedSerialPort>(radio, SimulatedSerialPort::Clock::Real, false));
        doc = &session->Document();
        doc->Open(file);
        frame = std::make_unique<CMainFrame>(
            FrameContext{*session, settings, IniSettings(iniPath()), prompter, portControl});
        frame->view()->FullRefresh();
        frame->show();
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get(), kWindowWait));
        grid()->setFocus();
    }
    QTableView* grid() const { return frame->view()->grid(); }
    void at(int channel, int column) { grid()->setCurrentIndex(grid()->model()->index(channel, column)); }
    void key(Qt::Key k) { QTest::keyClick(grid(), k); }
    // Runs command, picking item of the list id in the dialog it opens, then OK (or Cancel).
    void choose(int command, int id, int item, bool ok = true) {
        OnModal([=](QDialog* d) {
            auto* list = d->findChild<QComboBox*>(ControlName(id));
            list->setCurrentIndex(item);
            emit list->activated(item);
            ok ? QTest::mouseClick(static_cast<ParamDialog*>(d)->okButton(), Qt::LeftButton) : d->reject();
        });
        frame->trigger(command);
    }
    void paste(int channel, int column, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        at(channel, column);
        frame->trigger(cmd::Paste);
    }
    void key(int channel, int column, Qt::Key k) {
        at(channel, column);
        key(k);
    }
    QString gridText() const {
        QStringList cells;
        for (int r = 0; r < grid()->model()->rowCount(); ++r)
            for (int c = 0; c < grid()->model()->columnCount(); ++c)
                cells << grid()->model()->index(r, c).data().toString();
        return cells.join('|');
    }
    QString undoText() const { return frame->action(cmd::Undo)->text(); }
    QString redoText() const { return frame->action(cmd::Redo)->text(); }
    bool marked() const { return doc->IsModified() && frame->isWindowModified(); }
    bool unmarked() const { return !doc->IsModified() && !frame->isWindowModified(); }
};

} // namespace

class FrameHistoryTest : public QObject {
    Q_OBJECT
  private slots:
    void everyChangeUndoesToTheSameBytes();
    void savedStateAndNewContents();
    void editStillOpenWhenACommandRuns();
    void lookingAtADialogChangesNothing();
};

void FrameHistoryTest::everyChangeUndoesToTheSameBytes() {
    struct Row {
        const char* step; // the name in the menu; empty: the action makes no step
        std::function<void(Fixture&)> action;
        bool savedAfter = false; // the radio's image (Upload, Download) counts as saved
    };
    const Row rows[] = {
        {"Edit Ch 3 Receive",
         [](Fixture& f) {
             f.at(2, kColReceive);
             for (QChar c : QString("146.5")) // each key goes where the focus is, as typing would
                 QTest::keyClicks(QApplication::focusWidget(), QString(c));
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
         }},
        {"Edit Ch 2 W/N", [](Fixture& f) { f.key(1, kColWideNarrow, Qt::Key_Space); }},
        {"Complement Ch 1 Dec", [](Fixture& f) { f.key(0, kColDec, Qt::Key_F3); }},
        {"Paste Ch 4 Transmit", [](Fixture& f) { f.paste(3, kColTransmit, "147.0"); }},
        {"Copy Ch 1 to Ch 5", [](Fixture& f) { f.paste(4, kColChannel, "1"); }},
        {"Scanning", [](Fixture& f) { f.choose(cmd::Scanning, ScanningDialog::kDualWatch, 1); }},
        {"Channel Type", [](Fixture& f) { f.choose(cmd::ChannelType, ChannelTypeDialog::kFirstList + 2, 5); }},
        // A band change loads the new band's default file: undo brings the old file and its path back.
        {"Hardware",
         [](Fixture& f) {
             f.settings.serviceMode = true;
             f.choose(cmd::Hardware, HardwareDialog::kBand, 1);
         }},
        // A selection that the dialog stored at once, then Cancel: nothing changed, nothing to save.
        {"", [](Fixture& f) { f.choose(cmd::Scanning, ScanningDialog::kDualWatch, 1, false); }},
        {"Upload", [](Fixture& f) { f.frame->trigger(cmd::Upload); }, true},
        // The radio's own bytes (its serial number) merged into the document.
        {"Download", [](Fixture& f) { f.frame->trigger(cmd::Download); }, true},
    };
    for (const Row& r : rows) {
        Fixture f;
        const QString name = r.step[0] ? QString(r.step) : QString("no step");
        const DataFileBytes before = SavedBytes(*f.doc);
        const RadioImage rawBefore = f.doc->Image();
        const QString gridBefore = f.gridText();
        QVERIFY2(f.unmarked() && !f.frame->action(cmd::Undo)->isEnabled(), qPrintable(name));

        r.action(f);
        const DataFileBytes after = SavedBytes(*f.doc);
        if (!r.step[0]) {
            QVERIFY2(after == before && f.unmarked() && !f.frame->action(cmd::Undo)->isEnabled(),
                     qPrintable(name));
            continue;
        }
        QVERIFY2(after != before, qPrintable(name));
        QCOMPARE(f.undoText(), "&Undo " + name);
        QVERIFY2(r.savedAfter ? f.unmarked() : f.marked(), qPrintable(name));
        const QString gridAfter = f.gridText();
        const std::string pathAfter = f.doc->CurrentPath();

        f.frame->trigger(cmd::Undo);
        QVERIFY2(SavedBytes(*f.doc) == before && f.doc->Image() == rawBefore, qPrintable(name));
        QVERIFY2(f.gridText() == gridBefore, qPrintable(name));
        QCOMPARE(f.redoText(), "&Redo " + name);
        QCOMPARE(f.undoText(), QString("&Undo"));
        // Back at the saved state, unless the saved state is the radio's image.
        QVERIFY2(r.savedAfter ? f.marked() : f.unmarked(), qPrintable(name));
        QCOMPARE(f.doc->CurrentPath(), f.file);

        f.frame->trigger(cmd::Redo);
        QVERIFY2(SavedBytes(*f.doc) == after && f.gridText() == gridAfter, qPrintable(name));
        QVERIFY2(r.savedAfter ? f.unmarked() : f.marked(), qPrintable(name));
        QCOMPARE(f.doc->CurrentPath(), pathAfter);
    }
}

void FrameHistoryTest::savedStateAndNewContents() {
    Fixture f;
    f.key(1, kColWideNarrow, Qt::Key_Space);
    f.key(Qt::Key_Space);
    QCOMPARE(f.frame->history()->count(), 2);
    // Saved in between: undoing and redoing cross the saved state, and the mark follows.
    f.frame->trigger(cmd::Undo);
    f.frame->trigger(cmd::Save);
    QVERIFY(f.unmarked());
    f.frame->trigger(cmd::Undo);
    QVERIFY(f.marked());
    f.frame->trigger(cmd::Redo);
    QVERIFY(f.unmarked());
    // Closing at the saved state asks nothing.
    f.frame->trigger(cmd::Redo);
    f.frame->trigger(cmd::Undo);
    f.prompter.shown.clear();
    QVERIFY(f.frame->close());
    QVERIFY(f.prompter.shown.empty());

    // New and Open start with an empty history.
    for (int command : {cmd::New, cmd::Open}) {
        Fixture g;
        g.frame->setOpenChooser([&] { return std::optional<std::string>(g.file); });
        g.frame->setSaveAsChooser(
            [&] { return std::optional<std::string>(g.dir.filePath("kept.R62").toStdString()); });
        g.key(1, kColWideNarrow, Qt::Key_Space);
        g.frame->trigger(command); // the save question is answered Yes
        QCOMPARE(g.frame->history()->count(), 0);
        QVERIFY(g.unmarked() && !g.frame->action(cmd::Undo)->isEnabled());
    }
}

void FrameHistoryTest::editStillOpenWhenACommandRuns() {
    // A frequency being typed when a command starts from a toolbar button (the focus stays in the
    // editor) is stored first, as a step of its own.
    auto typeReceive = [](Fixture& f) {
        f.key(2, kColReceive, Qt::Key_Return);
        QTest::keyClicks(QApplication::focusWidget(), "146.5");
        QVERIFY(f.frame->view()->editing()->isEditing());
    };
    {
        Fixture f;
        typeReceive(f);
        f.choose(cmd::Scanning, ScanningDialog::kDualWatch, 1);
        const DocumentHistory* history = f.frame->history();
        QCOMPARE(history->count(), 2);
        QCOMPARE(history->text(0), QString("Edit Ch 3 Receive"));
        QCOMPARE(history->text(1), QString("Scanning"));
        f.frame->trigger(cmd::Undo);
        QCOMPARE(f.doc->Model().channels.at(2).rxFrequency, 146.5);
    }
    {
        // Save writes the typed value and leaves nothing modified behind.
        Fixture f;
        typeReceive(f);
        f.frame->trigger(cmd::Save);
        QVERIFY(f.unmarked() && !f.frame->view()->editing()->isEditing());
        CRT62MDoc reread(f.prompter);
        reread.Open(f.file);
        QCOMPARE(reread.Model().channels.at(2).rxFrequency, 146.5);
        // Undo with the editor open takes back that edit, not the one before it.
        typeReceive(f);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        f.frame->trigger(cmd::Undo);
        QCOMPARE(f.doc->Model().channels.at(2).rxFrequency, 146.5);
        QVERIFY(f.unmarked());
    }
}

void FrameHistoryTest::lookingAtADialogChangesNothing() {
    // Files from elsewhere hold values no list has an item for. A dialog opened on them and closed
    // without a change (Escape, Cancel, and OK where OK stores only what differs) leaves no mark.
    enum Close { Escape, Cancel, Ok };
    const QList<QPair<int, QList<Close>>> commands = {
        {cmd::Hardware, {Escape, Cancel}},      {cmd::Option, {Escape, Cancel, Ok}},
        {cmd::Scanning, {Escape, Cancel}},      {cmd::PowerSaving, {Escape, Cancel}},
        {cmd::KeyFunction, {Escape, Cancel}},   {cmd::Marketing, {Escape, Cancel}},
        {cmd::Miscellaneous, {Escape, Cancel}}, {cmd::AniSpeedDial, {Escape, Cancel, Ok}},
        {cmd::PagingSetting, {Escape, Cancel, Ok}}, {cmd::PageCode, {Escape, Cancel, Ok}},
        {cmd::TwoTone, {Escape, Cancel}},       {cmd::TwoToneTable, {Escape, Cancel}},
    };
    for (unsigned seed : {1u, 2u, 3u}) {
        Fixture f;
        std::mt19937 rng(seed);
        RadioImage image;
        for (auto& b : image) b = static_cast<std::uint8_t>(rng());
        const DataFileBytes bytes = MakeDataFileBytes(image, DefaultSplitBytes(0.0));
        QCOMPARE(WriteFileBytes(f.file, bytes), WriteStatus::Ok);
        f.doc->Open(f.file);
        f.frame->view()->FullRefresh();
        f.frame->history()->reset();
        QVERIFY(f.unmarked());
        const DataFileBytes saved = SavedBytes(*f.doc);
        for (const auto& [command, closes] : commands) {
            for (Close close : closes) {
                OnModal([close](QDialog* d) {
                    if (close == Escape)
                        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : d, Qt::Key_Escape);
                    else if (auto* p = qobject_cast<ParamDialog*>(d))
                        QTest::mouseClick(close == Ok ? p->okButton() : p->cancelButton(), Qt::LeftButton);
                    // Still open (an OK the dialog refused): closed without a change.
                    if (d->isVisible()) d->reject();
                });
                f.frame->trigger(command);
                const QString where = QStringLiteral("seed %1 command %2 close %3").arg(seed).arg(command).arg(int(close));
                QVERIFY2(f.unmarked() && !f.frame->action(cmd::Undo)->isEnabled(), qPrintable(where));
                QVERIFY2(SavedBytes(*f.doc) == saved, qPrintable(where));
            }
        }
    }
}

QTEST_MAIN(FrameHistoryTest)
#include "frame_history_test.moc"
