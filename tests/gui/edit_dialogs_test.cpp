// The editing dialogs: the pick lists (squelch, page, pair, CTCSS and DCS with the firmware's "224")
// from the grid, and column visibility through the Visible dialog, the View > Item entries and the
// "ITEM" section of the settings file; the window's clipboard keys reaching the grid.
#include "app/app_settings.h"
#include "app/config_dialog.h"
#include "app/help_window.h"
#include "app/main_frame.h"
#include "editor/channel_grid_model.h"
#include "editor/form_view.h"
#include "editor/grid_editing.h"
#include "editor/pick_lists.h"
#include "editor/visible_dialog.h"
#include "image/document.h"
#include "image/fields.h"
#include "image/model.h"
#include "image/tones.h"
#include "link/serial_port.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace rt62;

namespace {

PagesInUse Pages(std::initializer_list<int> used) {
    PagesInUse pages{};
    for (int k : used)
        pages[static_cast<std::size_t>(k - 1)] = true;
    return pages;
}

PairsOn Pairs(std::initializer_list<int> on) {
    PairsOn pairs{};
    for (int k : on)
        pairs[static_cast<std::size_t>(k - 1)] = true;
    return pairs;
}

QStringList ListTexts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

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

class EditDialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void valueListItems_data();
    void valueListItems();
    void toneListContents();
    void valueDialogOkWithoutSelection();
    void dialogsDoubleClickIsOk();
    void squelchFromTheGrid();
    void dcsFromTheGrid();
    void dialogKeysAndButtons();
    void menuItemSwitchesColumns();
    void visibleCommandRefreshesAndWrites_data();
    void visibleCommandRefreshesAndWrites();
    void clipboardKeysReachTheGrid();
};

void EditDialogsTest::valueListItems_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("selected");
    const QStringList squelch{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"};
    QTest::newRow("squelch 4") << 13 << 4 << squelch << 4;
    QTest::newRow("squelch 14 selects nothing") << 13 << 14 << squelch << -1;
    const QStringList pages{"Off", "1", "2", "5"};
    QTest::newRow("page in use") << 16 << 5 << pages << 3;
    QTest::newRow("empty page selects lower") << 16 << 4 << pages << 2;
    QTest::newRow("page above all used") << 16 << 9 << pages << 3;
    const QStringList pairs{"Off", "Pair #2", "Pair #6"};
    QTest::newRow("pair 6") << 18 << 6 << pairs << 2;
    QTest::newRow("pair 1 empty selects Off") << 18 << 1 << pairs << 0;
    QTest::newRow("pair 4 selects pair 2") << 18 << 4 << pairs << 1;
}

void EditDialogsTest::valueListItems() {
    QFETCH(int, mode);
    QFETCH(int, current);
    ValueListDialog dialog(mode, current, Pages({1, 2, 5}), Pairs({2, 6}));
    QTEST(ListTexts(dialog.list()), "items");
    QTEST(dialog.selectedPosition(), "selected");
}

void EditDialogsTest::toneListContents() {
    const PickList fw208 = ToneListItems(true, 208, 106);
    QCOMPARE(fw208.items.size(), std::size_t(107));
    QCOMPARE(fw208.items[36], std::string("224"));
    QVERIFY(std::is_sorted(fw208.items.begin(), fw208.items.end()));
    const PickList ctcss = ToneListItems(false, 208, 49); // list order: not ascending after "250.3"
    QCOMPARE(ctcss.items.size(), std::size_t(50));
    QCOMPARE(ctcss.items[39], std::string("159.8"));
    QCOMPARE(ctcss.selected, 49);
    ToneListDialog older(true, kColDec, 106, 207); // "224" on older firmware: nothing selected
    QCOMPARE(older.list()->count(), 106);
    QCOMPARE(older.index(), std::optional<int>());
}

void EditDialogsTest::valueDialogOkWithoutSelection() {
    ValueListDialog dialog(13, 14, {}, {});
    QCOMPARE(dialog.selectedPosition(), -1);
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.value(), 0);
}

void EditDialogsTest::dialogsDoubleClickIsOk() {
    ValueListDialog values(18, 0, {}, Pairs({3, 6}));
    values.show();
    QListWidget* list = values.list();
    const QRect rect = list->visualItemRect(list->item(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(values.result(), int(QDialog::Accepted));
    QCOMPARE(values.value(), 6); // "Pair #6"

    ToneListDialog tones(false, kColDec, 0, 208); // F1 opens the column's topic
    tones.show();
    QVERIFY(QTest::qWaitForWindowActive(&tones));
    QTest::keyClick(tones.list(), Qt::Key_F1);
    QCOMPARE(HelpWindow::instance()->context(), 304);
    HelpWindow::instance()->close();
}

void EditDialogsTest::squelchFromTheGrid() {
    SilentPrompter prompter;
    CRT62MDoc doc(prompter);
    doc.Model() = MakeFactoryImage(0);
    AppSettings settings;
    CRT62MView view(doc, settings);
    view.editing()->beep = [] {};
    view.show();
    view.FullRefresh();
    view.grid()->setCurrentIndex(view.gridModel()->index(3, kColSquelch));

    // Cancel leaves the level.
    OnNextDialog([](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); });
    QTest::keyClick(view.grid(), Qt::Key_Space);
    QCOMPARE(doc.Model().channels.at(3).squelch, 4);

    // Down twice from level 4, Enter: level 6.
    OnNextDialog([](QDialog* d) {
        auto* list = d->findChild<QListWidget*>(QStringLiteral("list1193"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
    });
    QTest::keyClick(view.grid(), Qt::Key_Space);
    QCOMPARE(doc.Model().channels.at(3).squelch, 6);
    QCOMPARE(view.gridModel()->index(3, kColSquelch).data().toString(), QString(" 6"));
}

void EditDialogsTest::dcsFromTheGrid() {
    SilentPrompter prompter;
    CRT62MDoc doc(prompter);
    doc.Model() = MakeFactoryImage(0);
    doc.Model().image[0x00] = 0x02; // firmware 2.08
    doc.Model().image[0x01] = 0x08;
    doc.Model().channels.at(0).encKind = kToneDcs;
    AppSettings settings;
    CRT62MView view(doc, settings);
    view.show();
    view.FullRefresh();
    view.grid()->setCurrentIndex(view.gridModel()->index(0, kColEnc));
    int count = 0;
    OnNextDialog([&count](QDialog* d) {
        auto* list = d->findChild<QListWidget*>(QStringLiteral("list1064"));
        count = list->count();
        list->setCurrentRow(36);
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    });
    QTest::keyClick(view.grid(), Qt::Key_Return);
    QCOMPARE(count, 107);
    QCOMPARE(doc.Model().channels.at(0).encDcs, 106);
    QCOMPARE(view.gridModel()->index(0, kColEnc).data().toString(), QString("D-224  "));
    QVERIFY(doc.IsModified());
}

void EditDialogsTest::dialogKeysAndButtons() {
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

void EditDialogsTest::menuItemSwitchesColumns() {
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

void EditDialogsTest::visibleCommandRefreshesAndWrites_data() {
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false; // still writes what the menu changed
}

void EditDialogsTest::visibleCommandRefreshesAndWrites() {
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

void EditDialogsTest::clipboardKeysReachTheGrid() {
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

QTEST_MAIN(EditDialogsTest)
#include "edit_dialogs_test.moc"
