// What a screen reader hears: the grid's table, header and cell names, the editors and pick lists, the
// info panel, every dialog control's name and help line, and the transfer dialog's progress, all read
// through the accessibility interfaces Qt gives assistive tools.
#include "tests/gui/dialog_catalogue.h"

#include "gui/common/accessible_names.h"
#include "gui/app/main_frame.h"
#include "gui/dialogs/param_dialog.h"
#include "gui/editor/channel_grid_model.h"
#include "gui/editor/form_view.h"
#include "gui/editor/grid_editing.h"
#include "core/image/sections.h"
#include "core/image/strings.h"
#include "core/image/tones.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTableView>
#include <QtTest>

using namespace rt62;
using namespace rt62::test;

namespace {

int CtcssPosition(const char* tone) {
    for (int p = 0; p < kCtcssCount; ++p)
        if (QString::fromLatin1(CtcssText(p).data(), CtcssText(p).size()).trimmed() == tone) return p;
    return -1;
}

// Channel 3 holds a value other than the factory one in most columns; channel 2 is not in use.
void Craft(ImageModel& m) {
    m.image[0xBE] |= 0x40; // paging option, so the page code shows
    auto& c3 = m.channels.at(2);
    c3.rxFrequency = 146.52, c3.txInhibit = 1, c3.narrow = 1, c3.decKind = kToneDcs, c3.decDcs = 0;
    c3.encKind = kToneNone, c3.powerSaveRx = 1, c3.powerSaveTx = 0, c3.power = 1, c3.scan = 3, c3.vts = 1;
    c3.tot = 0, c3.lockOut = 1, c3.squelch = 9, c3.ani = 1, c3.encryption = 1, c3.pagePresent = 1;
    c3.pageNumber = 3, c3.prox = 0, c3.twoToneP = 4, c3.twoToneS = 1;
    auto& c5 = m.channels.at(4);
    c5.decKind = kToneCtcss, c5.decCtcss = CtcssPosition("100.0"), c5.txFrequency = 150.0, c5.pagePresent = 0;
    auto& c2 = m.channels.at(1);
    c2.inUse = 0, c2.rxFrequency = 150.0, c2.lockOut = 0, c2.encKind = kToneCtcss, c2.encCtcss = 0;
}

struct Grid {
    ScriptedPrompter prompter;
    CRT62MDoc doc{prompter};
    AppSettings settings;
    CRT62MView view{doc, settings};
    Grid() {
        doc.Model() = MakeFactoryImage(0);
        Craft(doc.Model());
        view.resize(900, 500);
        view.FullRefresh();
    }
    QAccessibleInterface* table() const { return QAccessible::queryAccessibleInterface(view.grid()); }
    QString name(int channel, int column) const {
        return table()->tableInterface()->cellAt(channel, column)->text(QAccessible::Name);
    }
};

QString Str(int id) { return QString::fromStdString(std::string(StringText(id))); }

} // namespace

class A11yNamesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallAccessibleInterfaces(); }
    void cellNames();
    void tableAndHeaderNames();
    void editorAndPickListsSayWhatTheyEdit();
    void infoPanelValuesCarryCaptions();
    void dialogControlsNamedByLabelsWithHelpLines();
    void transferProgressAndStatus();
    void listsAndFieldsSayTheirValues();
};

void A11yNamesTest::cellNames() {
    // Channel 3 holds a crafted value in every column, read in column order.
    const char* channel3[] = {"Type, in use", "Bandwidth, narrow", "Receive, 146.52000 MHz",
                              "Transmit, transmit inhibited", "Decode, DCS 023", "Encode, none",
                              "Power save RX, on", "Power save TX, off", "Power, low",
                              "Scan, on", // scan value 3 shows "v"
                              "VTS, on", "Time-out timer, off", "Lock out, busy channel lock-out",
                              "Squelch level, 9", "ANI, on", "Encryption, on", "Page code, 3", "PROX, off",
                              "Two-tone primary pair, 4", "Two-tone secondary page, on"};
    struct Row {
        int channel, column;
        const char* name;
    };
    const Row rows[] = {
        {4, 4, "Channel 5, Decode, CTCSS 100.0 Hz"},
        {4, 3, "Channel 5, Transmit, 150.00000 MHz"},
        {4, 16, "Channel 5, Page code, none"},
        {1, 0, "Channel 2, Type, not in use"},
        {1, 2, "Channel 2, not in use, Receive, 150.00000 MHz"},
        {1, 5, "Channel 2, not in use, Encode, CTCSS 67.0 Hz"}, // the list's leading blank is not read
        {1, 12, "Channel 2, not in use, Lock out, transmit always allowed"},
        {1, 19, "Channel 2, not in use, Two-tone secondary page, off"},
    };
    Grid g;
    for (int c = 0; c < ChannelGridModel::kColumnCount; ++c)
        QCOMPARE(g.name(2, c), QStringLiteral("Channel 3, ") + channel3[c]);
    for (const Row& r : rows) QCOMPARE(g.name(r.channel, r.column), QString::fromLatin1(r.name));

    // No cell is read as just its glyph: every one says its channel, column and value in words.
    const QStringList glyphs = {"v", "-", "--", "BC", "BT", "W", "N", "H", "L", "-------", "---.-----"};
    for (int n = 0; n < 16; ++n) {
        const bool inUse = g.doc.Model().channels.at(n).inUse != 0;
        for (int c = 0; c < ChannelGridModel::kColumnCount; ++c) {
            const QString name = g.name(n, c);
            const QString prefix = QStringLiteral("Channel %1, %2").arg(n + 1).arg(!inUse && c ? "not in use, " : "");
            const QString value = name.section(QStringLiteral(", "), -1);
            QVERIFY2(name.startsWith(prefix) && name.contains(QStringLiteral(", %1, ").arg(Str(4430 + c))),
                     qPrintable(name));
            QVERIFY2(!glyphs.contains(value) && !value.isEmpty(), qPrintable(name));
        }
    }
}

void A11yNamesTest::tableAndHeaderNames() {
    const QStringList headers = {"Type, channel in use", "Bandwidth wide or narrow", "Frequency Receive",
                                 "Frequency Transmit", "Sub audio Decode", "Sub audio Encode", "Power save RX",
                                 "Power save TX", "Power high or low", "Scan", "VTS", "Time-out timer",
                                 "Lock out", "Squelch level", "ANI", "Encryption", "Page code", "PROX",
                                 "Two-tone paging primary pair", "Two-tone paging secondary page"};
    Grid g;
    QCOMPARE(g.table()->text(QAccessible::Name), QStringLiteral("Channels"));
    QCOMPARE(g.table()->role(), QAccessible::Table);
    for (int c = 0; c < ChannelGridModel::kColumnCount; ++c) {
        const auto cells = g.table()->tableInterface()->cellAt(0, c)->tableCellInterface()->columnHeaderCells();
        QCOMPARE(cells.size(), 1);
        QCOMPARE(cells.front()->text(QAccessible::Name), headers[c]);
    }
}

void A11yNamesTest::editorAndPickListsSayWhatTheyEdit() {
    Grid g;
    g.view.show();
    QVERIFY(QTest::qWaitForWindowActive(&g.view, kWindowWait));
    g.view.grid()->setCurrentIndex(g.view.gridModel()->index(2, kColReceive));
    QVERIFY(g.view.editing()->OpenEditor(QStringLiteral("1"), true));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QCOMPARE(QAccessible::queryAccessibleInterface(editor)->text(QAccessible::Name), QStringLiteral("Channel 3 Receive"));
    QTest::keyClick(editor, Qt::Key_Escape);

    struct Pick {
        int column;
        const char* name;
    };
    for (const Pick& p : {Pick{kColSquelch, "Channel 3 Squelch level"}, Pick{kColDec, "Channel 3 Decode"},
                          Pick{kColTwoToneP, "Channel 3 Two-tone primary pair"}}) {
        g.view.grid()->setCurrentIndex(g.view.gridModel()->index(2, p.column));
        QString heard;
        OnModal([&](QDialog* d) {
            auto* list = d->findChild<QListWidget*>();
            heard = list ? QAccessible::queryAccessibleInterface(list)->text(QAccessible::Name) : QString();
            d->reject();
        });
        QTest::keyClick(g.view.grid(), p.column == kColDec ? Qt::Key_Return : Qt::Key_Space);
        QCOMPARE(heard, QString::fromLatin1(p.name));
    }
}

void A11yNamesTest::infoPanelValuesCarryCaptions() {
    Grid g;
    g.doc.Model().marketing.serialNumber = "0C010001";
    g.settings.portDevice = QStringLiteral("sim:");
    g.settings.printerName = QStringLiteral("Office");
    g.view.RefreshInfoPanel();
    const QList<QPair<int, QString>> values = {{1007, "Serial No 0C010001"}, {1008, "Freq Band VHF"},
                                               {1009, "ProductType KT-905"}, {1010, "FW Version " + g.view.infoValue(1010)},
                                               {1059, "COM Port Simulated radio"}, {1061, "Printer Office"}};
    for (const auto& [id, name] : values) {
        auto* label = g.view.findChild<QLabel*>(QStringLiteral("value%1").arg(id));
        QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), name);
    }
}

void A11yNamesTest::dialogControlsNamedByLabelsWithHelpLines() {
    DialogWorld world;
    for (const DialogMaker& maker : AllDialogs()) {
        std::unique_ptr<QDialog> dialog = maker.make(world);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get(), kWindowWait));
        QHash<QWidget*, QString> labelled;
        for (QLabel* l : dialog->findChildren<QLabel*>())
            if (l->buddy()) labelled[l->buddy()] = WithoutMnemonic(l->text());
        QList<QWidget*> reachable;
        for (QWidget* w : dialog->findChildren<QWidget*>()) {
            if (!w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus) || w->focusProxy())
                continue;
            reachable << w;
            const QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
            const QString where = QStringLiteral("%1 %2: ").arg(maker.name, w->objectName());
            QVERIFY2(!i->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(where + "no name"));
            if (labelled.contains(w)) {
                // In a table of fields the row's label comes after the column's title ("Pair# 1").
                const QString name = w->accessibleName();
                QVERIFY2(name == labelled[w] || name.endsWith(' ' + labelled[w]), qPrintable(where + name));
                // The label is also the control's "labelled by" relation, which the bus carries too.
                bool related = false;
                for (const auto& [other, kind] : i->relations(QAccessible::Label))
                    related = related || other->text(QAccessible::Name).simplified() == labelled[w];
                QVERIFY2(related, qPrintable(where + "no label relation"));
            }
            // A control with a numbered help line describes itself with it.
            bool numbered = false;
            const int id = w->objectName().mid(3).toInt(&numbered);
            if (qobject_cast<ParamDialog*>(dialog.get()) && w->objectName().startsWith("ctl") && numbered &&
                id > 2 && HasString(id))
                QCOMPARE(where + i->text(QAccessible::Description), where + ParamDialog::HelpDescription(id));
        }
        // Tab reaches every control and leaves none; Escape closes the dialog.
        QSet<QWidget*> visited;
        for (int k = 0; k < 2 * reachable.size() + 2; ++k) {
            visited << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dialog.get(), Qt::Key_Tab);
        }
        for (QWidget* w : reachable)
            QVERIFY2(visited.contains(w), qPrintable(QStringLiteral("%1: Tab never reaches %2 %3").arg(maker.name, w->metaObject()->className(), w->objectName())));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dialog.get(), Qt::Key_Escape);
        QVERIFY2(QTest::qWaitFor([&] { return !dialog->isVisible(); }, 1000), maker.name);
    }
}

void A11yNamesTest::transferProgressAndStatus() {
    // (The announcements themselves need a live accessibility bus: scripts/check/a11y-check.sh.)
    TransferDialog dialog(TransferKind::Upload, {}, {});
    dialog.postRange(254);
    dialog.postPosition(100);
    const int statusId = 4206; // any table text will do
    dialog.postStatus(statusId);
    QTRY_COMPARE(dialog.progressBar()->value(), 100);
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(dialog.progressBar());
    QVERIFY(bar->valueInterface());
    QCOMPARE(bar->valueInterface()->currentValue().toInt(), 100);
    QCOMPARE(bar->valueInterface()->maximumValue().toInt(), 254);
    QCOMPARE(bar->text(QAccessible::Name), dialog.windowTitle());
    QTRY_COMPARE(bar->text(QAccessible::Description), Str(statusId));
    QCOMPARE(QAccessible::queryAccessibleInterface(dialog.statusLine())->text(QAccessible::Name), Str(statusId));
}

void A11yNamesTest::listsAndFieldsSayTheirValues() {
    // A screen reader reads a list's value from its value or its text, and an edit field's from its
    // text, joined from the runs of its attributes: a run must cover the whole line, or the last
    // character goes unsaid. (A list's new item is heard as Orca hears it: scripts/check/a11y-check.sh.)
    DialogWorld world;
    StoreAniCode(world.doc.Image(), "123A");
    for (const DialogMaker& maker : AllDialogs()) {
        std::unique_ptr<QDialog> dialog = maker.make(world);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get(), kWindowWait));
        for (QWidget* w : dialog->findChildren<QWidget*>()) {
            auto* list = qobject_cast<QComboBox*>(w);
            auto* line = qobject_cast<QLineEdit*>(w);
            if ((!list || list->isEditable()) && !line) continue;
            QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
            const QString where = QStringLiteral("%1 %2: ").arg(maker.name, w->objectName());
            const QString value = list ? list->currentText().simplified() : line->displayText();
            QCOMPARE(where + i->text(QAccessible::Value), where + value);
            QAccessibleTextInterface* text = i->textInterface();
            QVERIFY2(text, qPrintable(where + "no text"));
            QCOMPARE(where + text->text(0, text->characterCount()), where + value);
            int start = -1, end = -1;
            text->attributes(0, &start, &end);
            QVERIFY2(start == 0 && end == value.size(), qPrintable(where + QString("run %1-%2").arg(start).arg(end)));
            if (list) {
                QCOMPARE(i->role(), QAccessible::ComboBox);
                // The name stays the label's, whatever the item.
                if (!w->accessibleName().isEmpty()) QCOMPARE(i->text(QAccessible::Name), w->accessibleName());
            } else {
                QCOMPARE(where + QString::number(i->state().readOnly), where + QString::number(line->isReadOnly()));
            }
        }
    }
}

QTEST_MAIN(A11yNamesTest)
#include "a11y_names_test.moc"
