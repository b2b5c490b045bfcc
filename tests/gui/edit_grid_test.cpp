// Editing the channel grid with keys and the mouse: the in-place editor, Space actions, tone choice and
// the pick lists, DCS complement, clipboard and channel copy; column visibility through the Visible
// dialog, the View > Item entries and the "ITEM" section of the settings file.
#include "core/app/session.h"
#include "gui/common/app_settings.h"
#include "gui/app/config_dialog.h"
#include "gui/common/help_window.h"
#include "gui/app/main_frame.h"
#include "gui/editor/channel_grid_model.h"
#include "gui/editor/form_view.h"
#include "gui/editor/grid_cell_edit.h"
#include "gui/editor/grid_editing.h"
#include "gui/editor/pick_list_dialogs.h"
#include "gui/editor/visible_dialog.h"
#include "core/grid/cell_input.h"
#include "core/image/document.h"
#include "core/image/model.h"
#include "core/image/tones.h"
#include "core/link/serial_port.h"

#include "tests/gui/window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

using namespace rt62;
using test::FakePort;
using test::OnModal;
using test::YesPrompter;

namespace {

using Craft = std::function<void(ImageModel&)>;

constexpr int kKtTrunk = 0x80, kPaging = 0x40, kBoardEncryption = 0x20;

// A VHF factory document (split 0.6 MHz) in a shown, active view with the grid focused; the pick
// lists are answered by the test unless the real dialogs are asked for.
struct Fixture {
    YesPrompter prompter;
    CRT62MDoc doc{prompter};
    AppSettings settings;
    CRT62MView view{doc, settings};
    GridEditing& editing = *view.editing();
    QTableView& grid = *view.grid();
    int beeps = 0;
    std::vector<std::pair<int, int>> valuePicks; // mode, current
    std::vector<std::tuple<int, bool, int>> tonePicks;
    std::optional<int> pickAnswer;

    explicit Fixture(const Craft& craft = {}, std::uint8_t option = 0, bool realPicks = false) {
        doc.Model() = MakeFactoryImage(0);
        doc.Model().defaultSplit = 0.6;
        if (craft) craft(doc.Model());
        NormalizeImage(doc.Model());
        doc.Model().image[0xBE] = option;
        DecodeImage(doc.Model());
        editing.beep = [this] { ++beeps; };
        if (!realPicks) {
            editing.pickValue = [this](int mode, int current) {
                valuePicks.emplace_back(mode, current);
                return pickAnswer;
            };
            editing.pickTone = [this](int column, bool dcs, int index) {
                tonePicks.emplace_back(column, dcs, index);
                return pickAnswer;
            };
        }
        view.resize(1100, 520);
        view.show();
        view.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&view, kWindowWait));
        view.FullRefresh();
        grid.setFocus();
        QApplication::processEvents();
    }
    ChannelEntry& entry(int n) { return doc.Model().channels.at(n); }
    QString cell(int n, int column) const { return view.gridModel()->index(n, column).data().toString(); }
    void select(int n, int column) {
        grid.setCurrentIndex(view.gridModel()->index(n, column));
        doc.SetModifiedFlag(false);
    }
    GridCellEdit& edit() { return *editing.cellEdit(); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(&grid, k, m); }
    // Typing on the grid: every key goes to whatever has the focus, as it would from the keyboard.
    void type(const QString& text) {
        for (QChar c : text)
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }
    QPoint cellCentre(int n, int column) const {
        return grid.visualRect(view.gridModel()->index(n, column)).center();
    }
};

template <class Set> Set Numbers(std::initializer_list<int> numbers) {
    Set set{};
    for (int k : numbers) set[static_cast<std::size_t>(k - 1)] = true;
    return set;
}

using Items = std::array<int, kColumnItemCount>;
constexpr Items kAllOn{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

// A main window over a factory document, its settings file in a temporary directory.
struct FrameFixture : test::WorkDir {
    YesPrompter prompter;
    AppSettings settings;
    FakePort portControl;
    Session session{prompter};
    CRT62MDoc& doc = session.Document();
    std::unique_ptr<CMainFrame> frame;

    FrameFixture() {
        doc.Model() = MakeFactoryImage(0);
        frame = std::make_unique<CMainFrame>(
            FrameContext{session, settings, IniSettings(iniPath()), prompter, portControl});
        frame->view()->FullRefresh();
    }
    QTableView& grid() const { return *frame->view()->grid(); }
};

} // namespace

class EditGridTest : public QObject {
    Q_OBJECT
  private slots:
    void editorCommits();
    void inhibitedTransmitSeedsTheFrequency();
    void spaceAction();
    void pickListsThroughSpaceAndEnter();
    void realPickListsFromTheGrid();
    void dcsComplementAndStrayKeys();
    void clipboardAndChannelCopy();
    // The pick-list dialogs themselves.
    void valueAndToneListItems();
    // Column visibility.
    void visibleDialogKeysAndButtons();
    void menuAndVisibleCommandSwitchColumns();
};

void EditGridTest::editorCommits() {
    // column, typed, receive, transmit, and how the editor is left: Enter, Escape (abandons), or a click
    // on another row's cell (commits). The factory channel is 150.00000 both ways; split 0.6.
    const QList<std::tuple<int, QString, QString, QString, int>> rows{
        {2, "146.52", "146.52000", "147.12000", 0},
        {2, "0", "134.00000", "134.60000", 0},          // zero clamps to the lower limit
        {2, "200", "174.00000", "174.00000", 0},        // above the band clamps
        {2, " ", "134.00000", "134.60000", 0},          // Space opens with a blank
        {2, "1a5b2x", "152.00000", "152.60000", 0},     // letters dropped
        {2, "152.000009", "152.00000", "152.60000", 0}, // ten characters keep nine
        {3, "155.5", "150.00000", "155.50000", 0},      // transmit leaves receive
        {2, "146.52", "150.00000", "150.00000", 1},
        {2, "160", "160.00000", "160.60000", 2}};       // focus loss commits into the edited cell
    for (const auto& [column, typed, receive, transmit, leave] : rows) {
        Fixture f;
        f.select(2, column);
        f.type(typed.left(1)); // the editor opens with just the typed character, laid over the cell
        QCOMPARE(QApplication::focusWidget(), &f.edit());
        QVERIFY(f.edit().text() == typed.left(1) && !f.edit().hasSelectedText());
        const QRect cell = f.grid.visualRect(f.view.gridModel()->index(2, column));
        const QPoint topLeft = f.grid.viewport()->mapTo(&f.view, cell.topLeft());
        QCOMPARE(f.edit().geometry(), QRect(topLeft, cell.size()).adjusted(-1, -1, 1, 1));
        f.type(typed.mid(1));
        QVERIFY(f.edit().text().size() <= kCellEditMaxChars);
        if (leave == 2)
            QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.cellCentre(0, column));
        else
            QTest::keyClick(&f.edit(), leave == 1 ? Qt::Key_Escape : Qt::Key_Enter);
        QVERIFY(!f.editing.isEditing() && f.edit().isHidden());
        QVERIFY(QTest::qWaitFor([&f] { return QApplication::focusWidget() == &f.grid; }));
        QCOMPARE(f.cell(2, kColReceive) + " " + f.cell(2, kColTransmit), receive + " " + transmit);
        QCOMPARE(f.cell(0, kColReceive), QString("150.00000"));
        QCOMPARE(f.doc.IsModified(), leave != 1);
    }
}

void EditGridTest::inhibitedTransmitSeedsTheFrequency() {
    Fixture f([](ImageModel& m) {
        m.channels.at(3).txFrequency = 146.52;
        m.channels.at(3).txInhibit = 1;
    });
    f.select(3, kColTransmit);
    QCOMPARE(f.cell(3, kColTransmit), QString("---.-----"));
    f.key(Qt::Key_Return);
    QCOMPARE(f.edit().selectedText(), QString("146.52000"));
    f.edit().setText("147");
    QTest::keyClick(&f.edit(), Qt::Key_Return);
    QCOMPARE(f.entry(3).txInhibit, 1);
    QCOMPARE(f.entry(3).txFrequency, 147.0);
    QCOMPARE(f.cell(3, kColTransmit), QString("---.-----"));
}

void EditGridTest::spaceAction() {
    // channel, column, option byte, before, after, modified, beeps. Channel 8 (index 7) is crafted with
    // Dec DCS 023 and Enc CTCSS 67.0; channel 10 is not in use.
    const QList<std::tuple<int, int, int, QString, QString, bool, int>> rows{
        {0, 0, 0, "  1", "  1", true, 0}, // channel 1 stays in use
        {1, 3, 0, "150.00000", "---.-----", true, 0},
        {1, 4, 0, "-------", "C- 67.0", true, 0},
        {7, 4, 0, "D-023  ", "-------", true, 0},
        {7, 5, 0, "C- 67.0", "D-023  ", true, 0},
        // The gates themselves are the model's; here the option byte reaches them.
        {1, 10, kKtTrunk, "-", "v", true, 0},
        {1, 14, 0, "-", "v", true, 0},
        {1, 15, kBoardEncryption, "-", "v", true, 0},
        {7, 17, 0, "-", "-", false, 1},          // PROX beeps without DCS on both
        {9, 1, 0, "W", "W", false, 0}};          // an unused channel ignores W/N
    for (const auto& [channel, column, option, before, after, modified, beeps] : rows) {
        Fixture f(
            [](ImageModel& m) {
                m.channels.at(7).decKind = kToneDcs;
                m.channels.at(7).encKind = kToneCtcss;
                m.channels.at(9).inUse = 0;
            },
            static_cast<std::uint8_t>(option));
        f.select(channel, column);
        QCOMPARE(f.cell(channel, column), before);
        f.key(Qt::Key_Space);
        QVERIFY2(f.cell(channel, column) == after && f.doc.IsModified() == modified && f.beeps == beeps &&
                     !f.editing.isEditing(),
                 qPrintable(QString("channel %1 column %2").arg(channel + 1).arg(column)));
    }
}

void EditGridTest::pickListsThroughSpaceAndEnter() {
    Fixture f(
        [](ImageModel& m) {
            ChannelEntry& e = m.channels.at(2);
            e.decKind = kToneCtcss;
            e.decCtcss = 12;
            e.encKind = kToneDcs;
            e.encDcs = 40;
        },
        kPaging);
    f.pickAnswer.reset(); // Cancel: unchanged, still modified
    f.select(2, kColTwoToneP);
    f.key(Qt::Key_Space);
    QCOMPARE(f.valuePicks.back(), std::make_pair(18, 0));
    QCOMPARE(f.cell(2, kColTwoToneP), QString("-"));
    QVERIFY(f.doc.IsModified());

    f.pickAnswer = 4;
    f.select(2, kColPage);
    f.key(Qt::Key_Space);
    QCOMPARE(f.cell(2, kColPage), QString(" 4"));
    f.pickAnswer = 0; // "Off"
    f.key(Qt::Key_Space);
    QCOMPARE(f.entry(2).pagePresent, 0);

    f.pickAnswer = 3;
    f.select(2, kColDec);
    f.key(Qt::Key_Return);
    QCOMPARE(f.tonePicks.back(), std::make_tuple(4, false, 12));
    QCOMPARE(f.cell(2, kColDec), QString("C- 74.4"));
    QTest::mouseDClick(f.grid.viewport(), Qt::LeftButton, {}, f.cellCentre(2, kColEnc));
    QCOMPARE(f.tonePicks.back(), std::make_tuple(5, true, 40));
    QCOMPARE(f.entry(2).encDcs, 3);

    const std::size_t picks = f.tonePicks.size(); // a tone of kind none beeps and opens nothing
    f.select(5, kColDec);
    f.key(Qt::Key_Return);
    QCOMPARE(f.beeps, 1);
    QCOMPARE(f.tonePicks.size(), picks);
    QVERIFY(!f.doc.IsModified());
}

void EditGridTest::realPickListsFromTheGrid() {
    Fixture f(
        [](ImageModel& m) {
            m.image[0x00] = 0x02; // firmware 2.08: DCS lists "224"
            m.image[0x01] = 0x08;
            m.channels.at(0).encKind = kToneDcs;
        },
        0, true);
    f.select(3, kColSquelch);
    OnModal([](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }); // Cancel leaves the level
    f.key(Qt::Key_Space);
    QCOMPARE(f.entry(3).squelch, 4);
    OnModal([](QDialog* d) { // down twice from level 4, Enter: level 6
        auto* list = d->findChild<QListWidget*>(QStringLiteral("list1193"));
        list->setFocus();
        for (Qt::Key k : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}) QTest::keyClick(list, k);
    });
    f.key(Qt::Key_Space);
    QCOMPARE(f.cell(3, kColSquelch), QString(" 6"));

    f.select(0, kColEnc);
    int count = 0;
    OnModal([&count](QDialog* d) {
        auto* list = d->findChild<QListWidget*>(QStringLiteral("list1064"));
        count = list->count();
        list->setCurrentRow(36);
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    });
    f.key(Qt::Key_Return);
    QCOMPARE(count, 107);
    QCOMPARE(f.entry(0).encDcs, 106);
    QCOMPARE(f.cell(0, kColEnc), QString("D-224  "));
    QVERIFY(f.doc.IsModified());
}

void EditGridTest::dcsComplementAndStrayKeys() {
    Fixture f([](ImageModel& m) {
        m.channels.at(0).decKind = kToneDcs;
        m.channels.at(0).encKind = kToneCtcss;
    });
    f.select(0, kColDec);
    f.key(Qt::Key_F3);
    QCOMPARE(f.cell(0, kColDec), QString("D-047  "));
    f.key(Qt::Key_F3);
    QCOMPARE(f.cell(0, kColDec), QString("D-023  "));
    f.select(0, kColEnc); // F3 on a CTCSS tone does nothing
    f.key(Qt::Key_F3);
    QCOMPARE(f.cell(0, kColEnc), QString("C- 67.0"));
    QVERIFY(!f.doc.IsModified());

    // Characters on other columns do nothing, not even the table's type-ahead search.
    f.select(0, kColPower);
    f.type("L1v");
    QCOMPARE(f.grid.currentIndex(), f.view.gridModel()->index(0, kColPower));
    QVERIFY(!f.editing.isEditing() && !f.doc.IsModified());
}

void EditGridTest::clipboardAndChannelCopy() {
    Fixture f([](ImageModel& m) {
        ChannelEntry& e = m.channels.at(2);
        e.rxFrequency = 146.52;
        e.power = 1;
        e.narrow = 1;
        e.channelType = 7;
    });
    f.select(2, kColChannel);
    QVERIFY(f.editing.Copy());
    QCOMPARE(QApplication::clipboard()->text(), QString("  3"));
    f.select(4, kColChannel);
    QVERIFY(f.editing.Paste());
    QCOMPARE(f.prompter.shown.back(), 53);
    QCOMPARE(f.prompter.args.back(), (std::vector<std::string>{"  3", "  5"}));
    QCOMPARE(f.cell(4, kColReceive), QString("146.52000"));
    QCOMPARE(f.cell(4, kColPower), QString("L"));
    QCOMPARE(f.entry(4).channelType, 4); // never copied
    QCOMPARE(f.grid.currentIndex(), f.view.gridModel()->index(4, kColChannel));

    // No: nothing copied, still accepted and modified. With "Frequency" hidden it is not copied.
    f.prompter.answers = {Answer::No};
    f.select(5, kColChannel);
    QVERIFY(f.editing.PasteText("  3"));
    QCOMPARE(f.cell(5, kColPower), QString("H"));
    QVERIFY(f.doc.IsModified());
    f.editing.ToggleColumnItem(1);
    QVERIFY(f.editing.PasteText("3"));
    QCOMPARE(f.entry(5).rxFrequency, 150.0);
    QCOMPARE(f.entry(5).narrow, 1);

    // Refusals beep and ask nothing: own number, an empty clipboard, a bad tone.
    const std::size_t asked = f.prompter.shown.size();
    f.doc.SetModifiedFlag(false);
    QVERIFY(!f.editing.PasteText("  6"));
    QApplication::clipboard()->clear();
    f.editing.Paste();
    f.select(5, kColEnc);
    QApplication::clipboard()->setText(QStringLiteral("C-67.0"));
    f.editing.Paste();
    QCOMPARE(f.beeps, 3);
    QCOMPARE(f.prompter.shown.size(), asked);
    QVERIFY(!f.doc.IsModified());

    f.grid.clearFocus(); // focus outside the grid and the editor: nothing
    QVERIFY(!f.editing.Copy() && !f.editing.Paste());

    // With the editor open, Copy and Paste are its own.
    f.grid.setFocus();
    f.select(0, kColReceive);
    f.type("146.5");
    f.edit().setSelection(1, 3);
    QVERIFY(f.editing.Copy());
    QCOMPARE(QApplication::clipboard()->text(), QString("46."));
    QApplication::clipboard()->setText(QStringLiteral("abcdefghijkl")); // its own 9 characters, no filter
    f.edit().selectAll();
    QVERIFY(f.editing.Paste());
    QCOMPARE(f.edit().text(), QString("abcdefghi"));
    QVERIFY(f.editing.isEditing());
}

void EditGridTest::valueAndToneListItems() {
    // The dialogs show the grid's list items and return what the clicked row (or OK on none) stands
    // for; the item rules themselves are core tests. Pages 1, 2 and 5 hold codes, pairs 2 and 6 are on.
    const QList<std::tuple<int, int, int, int>> rows{{13, 14, -1, 0}, {16, 9, 3, 5}, {18, 4, 1, 2}};
    for (const auto& [mode, current, selected, value] : rows) {
        const PagesInUse pages = Numbers<PagesInUse>({1, 2, 5});
        const PairsOn pairs = Numbers<PairsOn>({2, 6});
        ValueListDialog dialog(mode, current, pages, pairs);
        QListWidget* list = dialog.list();
        const PickList expected = ValueListItems(mode, current, pages, pairs);
        QCOMPARE(list->count(), int(expected.items.size()));
        for (int i = 0; i < list->count(); ++i)
            QCOMPARE(list->item(i)->text().toStdString(), expected.items[static_cast<std::size_t>(i)]);
        QCOMPARE(dialog.selectedPosition(), selected);
        dialog.show();
        if (selected < 0) {
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        } else {
            const QPoint centre = list->visualItemRect(list->item(selected)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
        }
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.value(), value);
    }

    ToneListDialog older(true, kColDec, 106, 207); // "224" on older firmware: nothing selected
    QCOMPARE(older.list()->count(), 106);
    QCOMPARE(older.index(), std::optional<int>());
    older.show(); // F1 opens the column's topic
    QVERIFY(QTest::qWaitForWindowActive(&older, kWindowWait));
    QTest::keyClick(older.list(), Qt::Key_F1);
    QCOMPARE(HelpWindow::instance()->context(), 304);
    HelpWindow::instance()->close();
}

void EditGridTest::visibleDialogKeysAndButtons() {
    Items start = kAllOn, items = kAllOn;
    start[9] = 7; // an odd INI value: checked, as the menu shows it, and written back as 1
    for (const bool ok : {true, false}) { // Escape stores nothing
        items = start;
        VisibleDialog dialog(items);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog, kWindowWait));
        QVERIFY(dialog.checkBox(9)->isChecked());
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) { // Enter on a box switches it and stays
            dialog.checkBox(5)->setFocus();
            QTest::keyClick(dialog.checkBox(5), key);
            QVERIFY(dialog.isVisible());
        }
        QVERIFY(dialog.checkBox(5)->isChecked());
        dialog.checkBox(12)->setChecked(false);
        QCOMPARE(items, start); // stored only by OK
        QWidget* last = ok ? static_cast<QWidget*>(dialog.okButton()) : dialog.checkBox(4);
        last->setFocus();
        QTest::keyClick(last, ok ? Qt::Key_Return : Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(ok ? QDialog::Accepted : QDialog::Rejected));
        Items expected = kAllOn;
        expected[12] = 0;
        QCOMPARE(items, ok ? expected : start);
    }
}

void EditGridTest::menuAndVisibleCommandSwitchColumns() {
    for (bool ok : {true, false}) {
        FrameFixture f;
        const QModelIndex current = f.frame->view()->gridModel()->index(6, kColPower);
        f.grid().setCurrentIndex(current);
        const int width = f.frame->view()->gridColumnWidth(kColReceive);
        f.frame->trigger(cmd::ItemFirst + 1); // "Frequency" off
        QCOMPARE(f.settings.items[1], 0);
        QVERIFY(f.grid().isColumnHidden(kColReceive) && f.grid().isColumnHidden(kColTransmit));
        QVERIFY(!f.frame->action(cmd::ItemFirst + 1)->isChecked());
        QCOMPARE(f.grid().currentIndex(), current); // only the widths change
        f.frame->trigger(cmd::ItemFirst + 1);
        QCOMPARE(f.grid().columnWidth(kColTransmit), width);
        QVERIFY(f.frame->action(cmd::ItemFirst + 1)->isChecked());
        const auto before = f.settings.items; // the odd command id next to the entries does nothing
        f.frame->trigger(cmd::ItemLast + 1);
        QCOMPARE(f.settings.items, before);

        f.frame->trigger(cmd::ItemFirst + 6); // off by the menu, not yet in the file
        OnModal([ok](QDialog* d) {
            auto* dialog = qobject_cast<VisibleDialog*>(d);
            QVERIFY(dialog);
            dialog->checkBox(10)->setChecked(false);
            QTest::mouseClick(ok ? dialog->okButton() : dialog->cancelButton(), Qt::LeftButton);
        });
        f.frame->trigger(cmd::ItemVisible); // Cancel still writes what the menu changed
        QCOMPARE(f.ini("ITEM/ITEM6"), QString("0"));
        QCOMPARE(f.ini("ITEM/ITEM10"), ok ? QString("0") : QString("1"));
        QCOMPARE(f.grid().isColumnHidden(kColAni), ok);
        QCOMPARE(f.ini("ITEM/ITEM1"), QString("1"));
    }
}

QTEST_MAIN(EditGridTest)
#include "edit_grid_test.moc"
