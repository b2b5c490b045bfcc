// Dialog base and input controls: filters, the edit state machine, Enter in lists, OK focus check, help.
#include "dialogs/filter_kind.h"
#include "dialogs/input_controls.h"
#include "dialogs/param_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QFormLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

using namespace rt62;

namespace {

// A dialog with one list (2005) and two fields (2000 decimal, 2400 digits) that logs what the base asks.
class ProbeDialog : public ParamDialog {
public:
    explicit ProbeDialog(bool focusCheck = true) : ParamDialog(102, focusCheck) {
        auto* form = new QFormLayout;
        list = makeCombo(2005, {"VHF", "UHF"});
        edit = makeFilterEdit(2000, kFilterDecimal, 5);
        other = makeFilterEdit(2400, kFilterDigits, 4);
        addRow(form, "&Frequency Band", list);
        addRow(form, "Ref &XTAL", edit);
        addRow(form, "&Market Application", other);
        body()->addLayout(form);
        edit->setText("21.25MHz");
        show();
        QVERIFY(QTest::qWaitForWindowActive(this));
        edit->setFocus();
        log.clear(); // the lists' first selection is not the user's
    }
    EnterCombo* list;
    FilterEdit* edit;
    FilterEdit* other;
    QStringList log;
    void keys(std::initializer_list<Qt::Key> ks) {
        for (Qt::Key k : ks) QTest::keyClick(QApplication::focusWidget(), k);
    }

protected:
    void SelectionChanged(int id, int index) override { log << QString("sel %1 %2").arg(id).arg(index); }
    void CommitField(int id, FilterEdit* e) override {
        log << QString("commit %1 %2").arg(id).arg(e->text());
        e->setText(QString::asprintf("%5.2fMHz", e->text().toDouble()));
    }
    void BeforeFocusCheck() override { log << "before"; }
    void StoreOnOk() override { log << "store"; }
    void RestoreOnCancel() override { log << "restore"; }
};

} // namespace

class DialogFrameworkTest : public QObject {
    Q_OBJECT
private slots:
    void filterKinds_data();
    void filterKinds();
    void enterEditsCommitsAndShowsStoredValue();
    void escapeRestoresThenSecondEscapeCloses();
    void keysInDisplayState();
    void okCommitsPendingEditAndChecksFocus();
    void enterOpensAndClosesList();
    void pasteKeepsOnlyAcceptedCharacters();
    void helpLineAndF1();
};

void DialogFrameworkTest::filterKinds_data() {
    QTest::addColumn<uint>("kind");
    QTest::addColumn<QString>("accepted");
    QTest::addColumn<QString>("rejected");
    QTest::addColumn<int>("position");
    QTest::newRow("1 decimal") << 1u << "0129. " << "a+-,e" << 0;
    QTest::newRow("2 signed") << 2u << "09 +-" << ".a" << 0;
    QTest::newRow("3 dtmf") << 3u << "09AaDd#*" << "Ee ." << 0;
    QTest::newRow("4 tag") << 4u << "aZ09 -_()*+:=/[]" << "!\"#$%&',.;<>?@^{|}~" << 0;
    QTest::newRow("5 split") << 5u << "09 +-." << "aE," << 0;
    QTest::newRow("6 digits space") << 6u << "09 " << ".+" << 0;
    QTest::newRow("7 hex") << 7u << "09afAF" << "gG " << 0;
    QTest::newRow("8 digits") << 8u << "0189" << " .aC" << 0;
    QTest::newRow("9 serial digit place") << 9u << "09" << "CcN" << 0;
    QTest::newRow("9 serial letter place") << 9u << "CcNnHh" << "0BbOo" << 1;
    QTest::newRow("9 serial later place") << 9u << "5" << "C" << 4;
}

void DialogFrameworkTest::filterKinds() {
    QFETCH(uint, kind);
    QFETCH(QString, accepted);
    QFETCH(QString, rejected);
    QFETCH(int, position);
    for (QChar c : accepted) QVERIFY2(FilterAccepts(kind, c.unicode(), position), qPrintable(QString(c)));
    for (QChar c : rejected) QVERIFY2(!FilterAccepts(kind, c.unicode(), position), qPrintable(QString(c)));
    if (kind == 4) { // only the low seven bits count for tags: 0xA1 is "!" with the high bit
        QVERIFY(!FilterAccepts(4, 0xA1, 0));
        QVERIFY(FilterAccepts(4, 0xC1, 0));
        QVERIFY(!FilterAccepts(4, 0x263A, 0));
    }
}

void DialogFrameworkTest::enterEditsCommitsAndShowsStoredValue() {
    ProbeDialog d;
    QVERIFY(d.edit->isDisplayState() && d.edit->isReadOnly());
    d.keys({Qt::Key_Return});
    QCOMPARE(d.edit->selectedText(), QString("21.25"));
    QVERIFY(!d.edit->isDisplayState() && !d.edit->isReadOnly());
    QCOMPARE(d.edit->colorState(), ColorEdit::State::Editing);
    d.keys({Qt::Key_1, Qt::Key_Return});
    QVERIFY(d.edit->isDisplayState());
    QVERIFY(!d.edit->commitPending()); // the dialog took it
    QCOMPARE(d.log.filter(QRegularExpression("commit|store")), QStringList{"commit 2000 1"});
    QCOMPARE(d.edit->text(), QString(" 1.00MHz"));
    QVERIFY(d.isVisible());
}

void DialogFrameworkTest::escapeRestoresThenSecondEscapeCloses() {
    ProbeDialog d;
    d.keys({Qt::Key_Return, Qt::Key_9, Qt::Key_Escape});
    QCOMPARE(d.edit->text(), QString("21.25MHz"));
    QVERIFY(d.edit->isDisplayState() && !d.edit->commitPending());
    QVERIFY(d.isVisible());
    d.list->setFocus(); // leaving the field now commits nothing
    d.edit->setFocus();
    QVERIFY(d.log.filter("commit").isEmpty());
    d.keys({Qt::Key_Escape});
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(d.log.last(), QString("restore"));
}

void DialogFrameworkTest::keysInDisplayState() {
    ProbeDialog d;
    d.keys({Qt::Key_A, Qt::Key_Plus}); // rejected keys do not start editing
    QVERIFY(d.edit->isDisplayState());
    QCOMPARE(d.edit->text(), QString("21.25MHz"));
    d.keys({Qt::Key_Return, Qt::Key_End, Qt::Key_Minus}); // nor change the text while editing
    QCOMPARE(d.edit->text(), QString("21.25"));
    d.keys({Qt::Key_Escape, Qt::Key_7}); // an accepted one starts editing and replaces the text
    QTest::keyClicks(d.edit, ".123456");
    QCOMPARE(d.edit->text(), QString("7.123")); // the maximum length holds while typing
    d.keys({Qt::Key_Escape, Qt::Key_Backspace}); // Backspace starts editing and empties the field
    QVERIFY(!d.edit->isDisplayState());
    QCOMPARE(d.edit->text(), QString());
}

void DialogFrameworkTest::okCommitsPendingEditAndChecksFocus() {
    {
        ProbeDialog d;
        d.keys({Qt::Key_Return});
        QTest::keyClicks(d.edit, "3.5");
        d.log.clear();
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(d.log, (QStringList{"commit 2000 3.5", "before", "store"}));
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }
    {
        ProbeDialog d; // Enter in a field reaches OK through the default button, which refuses
        d.keys({Qt::Key_Return, Qt::Key_Return});
        QVERIFY(d.isVisible());
        QCOMPARE(d.log.filter(QRegularExpression("commit|store")), QStringList{"commit 2000 21.25"});
        d.okButton()->setFocus();
        d.keys({Qt::Key_Return});
        QCOMPARE(d.log.last(), QString("store"));
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }
    ProbeDialog d(false); // without the focus check OK acts from anywhere
    d.list->setFocus();
    d.okPressed();
    QCOMPARE(d.result(), int(QDialog::Accepted));
}

void DialogFrameworkTest::enterOpensAndClosesList() {
    ProbeDialog d;
    d.list->setCurrentIndex(0);
    d.list->setFocus();
    d.keys({Qt::Key_Return});
    QWidget* popup = d.list->view()->window();
    QTRY_VERIFY(popup->isVisible());
    QTest::keyClick(d.list->view(), Qt::Key_Down);
    QTest::keyClick(d.list->view(), Qt::Key_Return);
    QTRY_VERIFY(!popup->isVisible());
    QVERIFY(d.isVisible());
    QCOMPARE(d.log, QStringList{"sel 2005 1"});
}

void DialogFrameworkTest::pasteKeepsOnlyAcceptedCharacters() {
    ProbeDialog d;
    d.other->setText("0000");
    d.other->setFocus();
    QApplication::clipboard()->setText("1a2-3");
    QTest::keyClick(d.other, Qt::Key_V, Qt::ControlModifier); // display state: ignored
    QCOMPARE(d.other->text(), QString("0000"));
    QTest::keyClick(d.other, Qt::Key_Return);
    QTest::keyClick(d.other, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(d.other->text(), QString("123"));
}

void DialogFrameworkTest::helpLineAndF1() {
    QList<int> topics;
    ParamDialog::HelpHook() = [&topics](int t) { topics << t; };
    ProbeDialog d;
    d.list->setFocus();
    QCOMPARE(d.helpPaneText(), QString("Change operating frequency band"));
    QCOMPARE(d.indicatorText(), QString("<SELECT>"));
    d.other->setFocus(); // one line only: the indicator is blanked
    QCOMPARE(d.helpPaneText(), QString("Production Number (Programmed by Manufacturer)"));
    QCOMPARE(d.indicatorText(), QString());
    QCOMPARE(d.ShowHelpLine(999999), 2400); // no such string: the panes stay
    QCOMPARE(d.helpPaneText(), QString("Production Number (Programmed by Manufacturer)"));

    d.list->setFocus();
    d.keys({Qt::Key_F1});
    ParamDialog::SetControlHelpTopic(d.edit, 4711);
    d.edit->setFocus();
    d.keys({Qt::Key_F1});
    ParamDialog::HelpHook() = nullptr;
    QCOMPARE(topics, (QList<int>{131174, 4711}));
}

QTEST_MAIN(DialogFrameworkTest)
#include "dialogs_framework_test.moc"
