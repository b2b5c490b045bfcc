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

QStringList ToQt(const std::vector<std::string>& items) {
    QStringList out;
    for (const std::string& s : items)
        out << QString::fromStdString(s);
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
    void dcsPositions_data();
    void dcsPositions();
    void toneListContents();
    void valueDialogOkWithoutSelection();
    void dialogsDoubleClickIsOk();
    void dialogTitlesAndHelp();
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
    QTest::newRow("squelch 12") << 13 << 12 << squelch << 12;
    QTest::newRow("squelch 14 selects nothing") << 13 << 14 << squelch << -1;
    const QStringList pages{"Off", "1", "2", "5"};
    QTest::newRow("page in use") << 16 << 5 << pages << 3;
    QTest::newRow("empty page selects lower") << 16 << 4 << pages << 2;
    QTest::newRow("page above all used") << 16 << 9 << pages << 3;
    QTest::newRow("page 0") << 16 << 0 << pages << 0;
    const QStringList pairs{"Off", "Pair #2", "Pair #6"};
    QTest::newRow("pair 6") << 18 << 6 << pairs << 2;
    QTest::newRow("pair 1 empty selects Off") << 18 << 1 << pairs << 0;
    QTest::newRow("pair 4 selects pair 2") << 18 << 4 << pairs << 1;
}

void EditPickListTest::valueListItems() {
    QFETCH(int, mode);
    QFETCH(int, current);
    const PickList list = ValueListItems(mode, current, Pages({1, 2, 5}), Pairs({2, 6}));
    QTEST(ToQt(list.items), "items");
    QTEST(list.selected, "selected");

    // The dialog shows the same and selects the same.
    ValueListDialog dialog(mode, current, Pages({1, 2, 5}), Pairs({2, 6}));
    QTEST(Items(dialog.list()), "items");
    QTEST(dialog.selectedPosition(), "selected");
}

void EditPickListTest::dcsPositions_data() {
    QTest::addColumn<int>("firmware");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("position");
    QTest::newRow("2.07 first") << 207 << 0 << 0;
    QTest::newRow("2.07 225") << 207 << 36 << 36;
    QTest::newRow("2.07 last") << 207 << 105 << 105;
    QTest::newRow("2.07 has no 224") << 207 << 106 << -1;
    QTest::newRow("2.08 223") << 208 << 35 << 35;
    QTest::newRow("2.08 224") << 208 << 106 << 36;
    QTest::newRow("2.08 225") << 208 << 36 << 37;
    QTest::newRow("2.08 last") << 208 << 105 << 106;
    QTest::newRow("outside the list") << 208 << 107 << -1;
}

void EditPickListTest::dcsPositions() {
    QFETCH(int, firmware);
    QFETCH(int, index);
    QFETCH(int, position);
    QCOMPARE(TonePositionOfIndex(true, firmware, index), position);
    if (position >= 0) QCOMPARE(ToneIndexOfPosition(true, firmware, position), index);
}

void EditPickListTest::toneListContents() {
    const PickList old = ToneListItems(true, 207, 0);
    QCOMPARE(old.items.size(), std::size_t(106));
    QVERIFY(std::find(old.items.begin(), old.items.end(), "224") == old.items.end());
    QCOMPARE(old.items.back(), std::string("754"));

    const PickList fw208 = ToneListItems(true, 208, 106);
    QCOMPARE(fw208.items.size(), std::size_t(107));
    QCOMPARE(fw208.items[35], std::string("223"));
    QCOMPARE(fw208.items[36], std::string("224"));
    QCOMPARE(fw208.items[37], std::string("225"));
    QCOMPARE(fw208.selected, 36);
    QVERIFY(std::is_sorted(fw208.items.begin(), fw208.items.end()));

    // CTCSS in list order, which is not ascending after "250.3".
    const PickList ctcss = ToneListItems(false, 208, 49);
    QCOMPARE(ctcss.items.size(), std::size_t(50));
    QCOMPARE(ctcss.items[0], std::string(" 67.0"));
    QCOMPARE(ctcss.items[38], std::string("250.3"));
    QCOMPARE(ctcss.items[39], std::string("159.8"));
    QCOMPARE(ctcss.selected, 49);

    // Choosing "224" on 2.08 gives index 106; on 2.07 an unlisted current index selects nothing.
    ToneListDialog dialog(true, kColDec, 0, 208);
    dialog.list()->setCurrentRow(36);
    QCOMPARE(dialog.index(), std::optional<int>(106));
    ToneListDialog older(true, kColDec, 106, 207);
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
    QVERIFY(!values.isVisible());
    QCOMPARE(values.value(), 6); // "Pair #6"

    ToneListDialog tones(false, kColEnc, 0, 208);
    tones.show();
    QListWidget* toneList = tones.list();
    const QRect toneRect = toneList->visualItemRect(toneList->item(12));
    QTest::mouseClick(toneList->viewport(), Qt::LeftButton, {}, toneRect.center());
    QTest::mouseDClick(toneList->viewport(), Qt::LeftButton, {}, toneRect.center());
    QCOMPARE(tones.result(), int(QDialog::Accepted));
    QCOMPARE(tones.index(), std::optional<int>(12));
    // Several columns: item 12 sits right of item 0.
    QVERIFY(toneRect.left() > toneList->visualItemRect(toneList->item(0)).left());
}

void EditPickListTest::dialogTitlesAndHelp() {
    struct Case {
        int mode;
        const char* title;
        int topic;
    };
    for (const Case& c : {Case{13, "Squelch Level", 313}, Case{16, "Paging Code", 316},
                          Case{18, "Primary Pair Position", 318}}) {
        ValueListDialog dialog(c.mode, 0, {}, {});
        QCOMPARE(dialog.windowTitle(), QString(c.title));
        QCOMPARE(dialog.property("helpContext").toInt(), c.topic);
        QCOMPARE(dialog.list()->objectName(), QString("list1193"));
        QCOMPARE(dialog.list()->gridSize().width(), 85);
    }
    ToneListDialog ctcss(false, kColDec, 0, 208);
    QCOMPARE(ctcss.windowTitle(), QString("CTCSS Frequency"));
    QCOMPARE(ctcss.property("helpContext").toInt(), 304);
    QCOMPARE(ctcss.list()->gridSize().width(), 100);
    ToneListDialog dcs(true, kColEnc, 0, 208);
    QCOMPARE(dcs.windowTitle(), QString("DCS Frequency"));
    QCOMPARE(dcs.property("helpContext").toInt(), 305);
    QCOMPARE(dcs.list()->gridSize().width(), 50);
    QCOMPARE(dcs.list()->objectName(), QString("list1064"));

    ctcss.show();
    QVERIFY(QTest::qWaitForWindowActive(&ctcss));
    QTest::keyClick(ctcss.list(), Qt::Key_F1);
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
