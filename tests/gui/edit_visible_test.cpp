// Column visibility: the Visible dialog by keys and mouse, the View > Item entries of the main window
// and the "ITEM" section of the settings file; the window's clipboard keys reaching the grid.
#include "app/config_dialog.h"
#include "app/main_frame.h"
#include "editor/channel_grid_model.h"
#include "editor/form_view.h"
#include "editor/visible_dialog.h"
#include "image/document.h"
#include "image/model.h"
#include "link/serial_port.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace rt62;

namespace {

struct SilentPrompter : Prompter {
    Answer show(int, Buttons, Icon, const std::vector<std::string>& = {}) override { return Answer::Ok; }
};

struct NoPort : PortControl {
    bool openPort() override { return false; }
    void closePort() override {}
};

using Items = std::array<int, kColumnItemCount>;

// A shown dialog over its own copy of the values.
struct DialogFixture {
    Items items;
    VisibleDialog dialog;
    explicit DialogFixture(const Items& start) : items(start), dialog(items) {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
    }
};

constexpr Items kAllOn{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

// A main window over a factory document, its settings file in a temporary directory.
struct FrameFixture {
    QTemporaryDir dir;
    SilentPrompter prompter;
    AppSettings settings;
    std::unique_ptr<SerialPort> port;
    NoPort portControl;
    CRT62MDoc doc{prompter};
    std::unique_ptr<CMainFrame> frame;

    FrameFixture() {
        doc.Model() = MakeFactoryImage(0);
        frame = std::make_unique<CMainFrame>(
            FrameContext{doc, settings, IniSettings(iniPath()), prompter, port, portControl});
        frame->view()->FullRefresh();
    }
    QString iniPath() const { return dir.filePath("RT62MWin.ini"); }
    QString ini(const QString& key) const {
        return QSettings(iniPath(), QSettings::IniFormat).value(key).toString();
    }
    QTableView& grid() const { return *frame->view()->grid(); }
};

// Runs f on the next modal dialog as soon as it is shown.
void OnNextDialog(std::function<void(QDialog*)> f) {
    QTimer::singleShot(0, [f] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) return f(d);
        OnNextDialog(f);
    });
}

} // namespace

class EditVisibleTest : public QObject {
    Q_OBJECT
  private slots:
    void dialogKeysAndButtons();
    void menuItemSwitchesColumns();
    void visibleCommandRefreshesAndWrites_data();
    void visibleCommandRefreshesAndWrites();
    void clipboardKeysReachTheGrid();
};

void EditVisibleTest::dialogKeysAndButtons() {
    Items start = kAllOn;
    start[9] = 7; // an odd INI value: checked, as the menu shows it, and written back as 1
    {
        DialogFixture f(start);
        QVERIFY(f.dialog.checkBox(9)->isChecked());
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) { // Enter on a box switches it and stays
            f.dialog.checkBox(5)->setFocus();
            QTest::keyClick(f.dialog.checkBox(5), key);
            QVERIFY(f.dialog.isVisible());
        }
        QVERIFY(f.dialog.checkBox(5)->isChecked());
        f.dialog.checkBox(12)->setChecked(false);
        QCOMPARE(f.items, start); // stored only by OK
        f.dialog.okButton()->setFocus();
        QTest::keyClick(f.dialog.okButton(), Qt::Key_Return);
        QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
        Items expected = kAllOn;
        expected[12] = 0;
        QCOMPARE(f.items, expected);
    }
    for (const bool byKey : {false, true}) { // Cancel and Escape store nothing
        DialogFixture f(kAllOn);
        f.dialog.checkBox(4)->setChecked(false);
        if (byKey)
            QTest::keyClick(f.dialog.checkBox(4), Qt::Key_Escape);
        else
            QTest::mouseClick(f.dialog.cancelButton(), Qt::LeftButton);
        QCOMPARE(f.dialog.result(), int(QDialog::Rejected));
        QCOMPARE(f.items, kAllOn);
    }
}

void EditVisibleTest::menuItemSwitchesColumns() {
    FrameFixture f;
    f.grid().setCurrentIndex(f.frame->view()->gridModel()->index(6, kColPower));
    const int width = ChannelGridModel::columnWidthPixels(kColReceive);

    f.frame->trigger(cmd::ItemFirst + 1); // "Frequency" off
    QCOMPARE(f.settings.items[1], 0);
    QVERIFY(f.grid().isColumnHidden(kColReceive) && f.grid().isColumnHidden(kColTransmit));
    QVERIFY(!f.frame->action(cmd::ItemFirst + 1)->isChecked());
    // Only the widths change: the current cell stays where it was.
    QCOMPARE(f.grid().currentIndex(), f.frame->view()->gridModel()->index(6, kColPower));

    f.frame->trigger(cmd::ItemFirst + 1);
    QCOMPARE(f.settings.items[1], 1);
    QCOMPARE(f.grid().columnWidth(kColReceive), width);
    QCOMPARE(f.grid().columnWidth(kColTransmit), width);
    QVERIFY(f.frame->action(cmd::ItemFirst + 1)->isChecked());

    // The odd command id next to the entries does nothing.
    const auto before = f.settings.items;
    f.frame->trigger(cmd::ItemLast + 1);
    QCOMPARE(f.settings.items, before);
}

void EditVisibleTest::visibleCommandRefreshesAndWrites_data() {
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false; // still writes what the menu changed
}

void EditVisibleTest::visibleCommandRefreshesAndWrites() {
    QFETCH(bool, ok);
    FrameFixture f;
    f.settings.items[6] = 0; // switched off by the menu earlier, not yet in the file
    OnNextDialog([ok](QDialog* d) {
        auto* dialog = qobject_cast<VisibleDialog*>(d);
        QVERIFY(dialog);
        dialog->checkBox(10)->setChecked(false);
        QTest::mouseClick(ok ? dialog->okButton() : dialog->cancelButton(), Qt::LeftButton);
    });
    f.frame->trigger(cmd::ItemVisible);
    QCOMPARE(f.ini("ITEM/ITEM6"), QString("0"));
    QCOMPARE(f.ini("ITEM/ITEM10"), ok ? QString("0") : QString("1"));
    QCOMPARE(f.grid().isColumnHidden(kColAni), ok);
    QCOMPARE(f.ini("ITEM/ITEM0"), QString("1"));
}

void EditVisibleTest::clipboardKeysReachTheGrid() {
    FrameFixture f;
    f.frame->show();
    f.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.frame.get()));
    ChannelGridModel* model = f.frame->view()->gridModel();
    f.grid().setFocus();
    f.grid().setCurrentIndex(model->index(0, kColWideNarrow));
    QTest::keyClick(&f.grid(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&f.grid(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("W\t150.00000"));

    QApplication::clipboard()->setText(QStringLiteral("151"));
    f.grid().setCurrentIndex(model->index(3, kColReceive));
    QTest::keyClick(&f.grid(), Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(f.doc.Model().channels.at(3).rxFrequency, 151.0);
    QVERIFY(f.doc.IsModified());
    f.doc.SetModifiedFlag(false); // no save question when the frame closes
}

QTEST_MAIN(EditVisibleTest)
#include "edit_visible_test.moc"
