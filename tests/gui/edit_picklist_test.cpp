// The pick lists: items and selection of the squelch, page and pair lists, the CTCSS and DCS lists
// with the firmware's "224", and the dialogs driven by mouse and keys.
#include "app/app_settings.h"
#include "app/help_window.h"
#include "editor/channel_grid_model.h"
#include "editor/form_view.h"
#include "editor/grid_editing.h"
#include "editor/pick_lists.h"
#include "image/document.h"
#include "image/fields.h"
#include "image/model.h"
#include "image/tones.h"

#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

using namespace rt62;

namespace {

struct SilentPrompter : Prompter {
    Answer show(int, Buttons, Icon, const std::vector<std::string>& = {}) override { return Answer::Ok; }
};

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

QStringList Items(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Runs f on the next modal dialog as soon as it is shown.
void OnNextDialog(std::function<void(QDialog*)> f) {
    QTimer::singleShot(0, [f] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) return f(d);
        OnNextDialog(f);
    });
}

} // namespace

class EditPickListTest : public QObject {
    Q_OBJECT
  private slots:
    void valueListItems_data();
    void valueListItems();
    void toneListContents();
    void valueDialogOkWithoutSelection();
    void dialogsDoubleClickIsOk();
    void squelchFromTheGrid();
    void dcsFromTheGrid();
};

void EditPickListTest::valueListItems_data() {
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

void EditPickListTest::valueListItems() {
    QFETCH(int, mode);
    QFETCH(int, current);
    ValueListDialog dialog(mode, current, Pages({1, 2, 5}), Pairs({2, 6}));
    QTEST(Items(dialog.list()), "items");
    QTEST(dialog.selectedPosition(), "selected");
}

void EditPickListTest::toneListContents() {
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

void EditPickListTest::valueDialogOkWithoutSelection() {
    ValueListDialog dialog(13, 14, {}, {});
    QCOMPARE(dialog.selectedPosition(), -1);
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.value(), 0);
}

void EditPickListTest::dialogsDoubleClickIsOk() {
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

void EditPickListTest::squelchFromTheGrid() {
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

void EditPickListTest::dcsFromTheGrid() {
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

QTEST_MAIN(EditPickListTest)
#include "edit_picklist_test.moc"
