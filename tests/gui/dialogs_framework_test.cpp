// Dialog base and input controls: filters, the edit state machine, Enter in lists, OK focus check, help.
#include "dialogs/dialog_values.h"
#include "dialogs/filter_kind.h"
#include "dialogs/input_controls.h"
#include "dialogs/param_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace rt62;

namespace {

// A dialog with one list (2005) and one decimal field (2000) that records what the base asks of it.
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
    }
    EnterCombo* list;
    FilterEdit* edit;
    FilterEdit* other;
    QStringList log;

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

void ShowActive(QWidget* w) {
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

}  // namespace

class DialogFrameworkTest : public QObject {
    Q_OBJECT
private slots:
    void filterKinds_data();
    void filterKinds();
    void leadingNumber_data();
    void leadingNumber();
    void enterEditsCommitsAndShowsStoredValue();
    void escapeRestoresThenSecondEscapeCloses();
    void rejectedKeyInDisplayStateDoesNotStartEditing();
    void typedCharacterStartsEditingAndReplacesText();
    void clickingOkWhileEditingCommitsFirst();
    void enterInFieldOrListDoesNotCloseFocusCheckedDialog();
    void okWithoutFocusCheckActsFromAnyFocus();
    void enterOpensAndClosesList();
    void statesUsePaletteColours();
    void pasteKeepsOnlyAcceptedCharacters();
    void helpLineSplitsAndKeepsOnMissingId();
    void f1OpensDialogOrControlTopic();
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
    QTest::newRow("0 anything") << 0u << "!a ~" << "" << 0;
    QTest::newRow("10 anything") << 10u << "!a ~" << "" << 0;
}

void DialogFrameworkTest::filterKinds() {
    QFETCH(uint, kind);
    QFETCH(QString, accepted);
    QFETCH(QString, rejected);
    QFETCH(int, position);
    for (QChar c : accepted) QVERIFY2(FilterAccepts(kind, c.unicode(), position), qPrintable(QString(c)));
    for (QChar c : rejected) QVERIFY2(!FilterAccepts(kind, c.unicode(), position), qPrintable(QString(c)));
    // Only the low seven bits count for tags: 0xA1 is "!" with the high bit.
    if (kind == 4) {
        QVERIFY(!FilterAccepts(4, 0xA1, 0));
        QVERIFY(FilterAccepts(4, 0xC1, 0));
        QVERIFY(!FilterAccepts(4, 0x263A, 0));
    }
}

void DialogFrameworkTest::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << "21.25" << 21.25;
    QTest::newRow("blanks first") << "  7.5" << 7.5;
    QTest::newRow("stops at junk") << "1.2.3" << 1.2;
    QTest::newRow("unit after") << "21.25MHz" << 21.25;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("minus alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("signed") << "-5.0" << -5.0;
    QTest::newRow("plus") << "+99.95" << 99.95;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("blank inside") << "1 5" << 1.0;
    QTest::newRow("no exponent") << "1e5" << 1.0;
}

void DialogFrameworkTest::leadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(ParseLeadingNumber(text), value);
}

void DialogFrameworkTest::enterEditsCommitsAndShowsStoredValue() {
    ProbeDialog d;
    ShowActive(&d);
    d.edit->setFocus();
    QVERIFY(d.edit->isDisplayState() && d.edit->isReadOnly());

    QTest::keyClick(d.edit, Qt::Key_Return);
    QCOMPARE(d.edit->text(), QString("21.25"));
    QCOMPARE(d.edit->selectedText(), QString("21.25"));
    QVERIFY(!d.edit->isDisplayState() && !d.edit->isReadOnly());
    QCOMPARE(d.edit->colorState(), ColorEdit::State::Editing);
    QCOMPARE(d.edit->savedText(), QString("21.25MHz"));

    QTest::keyClick(d.edit, Qt::Key_1);
    QCOMPARE(d.edit->text(), QString("1"));
    QTest::keyClick(d.edit, Qt::Key_Return);
    QVERIFY(d.edit->isDisplayState());
    QVERIFY(!d.edit->commitPending());  // the dialog took it
    QCOMPARE(d.log.filter("commit"), QStringList{"commit 2000 1"});
    QCOMPARE(d.edit->text(), QString(" 1.00MHz"));
    QVERIFY(d.isVisible());
}

void DialogFrameworkTest::escapeRestoresThenSecondEscapeCloses() {
    ProbeDialog d;
    ShowActive(&d);
    d.edit->setFocus();
    QTest::keyClick(d.edit, Qt::Key_Return);
    QTest::keyClicks(d.edit, "99");
    QTest::keyClick(d.edit, Qt::Key_Escape);
    QCOMPARE(d.edit->text(), QString("21.25MHz"));
    QVERIFY(d.edit->isDisplayState());
    QVERIFY(!d.edit->commitPending());
    QVERIFY(d.isVisible());
    // Leaving the field now commits nothing.
    d.list->setFocus();
    QVERIFY(!d.log.join(",").contains("commit"));

    d.edit->setFocus();
    QTest::keyClick(d.edit, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QVERIFY(d.log.contains("restore"));
}

void DialogFrameworkTest::rejectedKeyInDisplayStateDoesNotStartEditing() {
    ProbeDialog d;
    ShowActive(&d);
    d.edit->setFocus();
    QTest::keyClick(d.edit, Qt::Key_A);
    QTest::keyClick(d.edit, Qt::Key_Plus);
    QVERIFY(d.edit->isDisplayState());
    QCOMPARE(d.edit->text(), QString("21.25MHz"));
    QCOMPARE(d.edit->colorState(), ColorEdit::State::Display);
    // Also while editing, a rejected key leaves the text alone.
    QTest::keyClick(d.edit, Qt::Key_Return);
    QTest::keyClick(d.edit, Qt::Key_End);
    QTest::keyClick(d.edit, Qt::Key_Minus);
    QCOMPARE(d.edit->text(), QString("21.25"));
}

void DialogFrameworkTest::typedCharacterStartsEditingAndReplacesText() {
    ProbeDialog d;
    ShowActive(&d);
    d.edit->setFocus();
    QTest::keyClick(d.edit, Qt::Key_7);
    QVERIFY(!d.edit->isDisplayState());
    QCOMPARE(d.edit->text(), QString("7"));
    QTest::keyClicks(d.edit, ".123456");
    QCOMPARE(d.edit->text(), QString("7.123"));  // the maximum length holds while typing
    QTest::keyClick(d.edit, Qt::Key_Escape);
    QCOMPARE(d.edit->text(), QString("21.25MHz"));

    // Backspace in the display state starts editing too and empties the field.
    QTest::keyClick(d.edit, Qt::Key_Backspace);
    QVERIFY(!d.edit->isDisplayState());
    QCOMPARE(d.edit->text(), QString());
}

void DialogFrameworkTest::clickingOkWhileEditingCommitsFirst() {
    ProbeDialog d;
    ShowActive(&d);
    d.edit->setFocus();
    QTest::keyClick(d.edit, Qt::Key_Return);
    QTest::keyClicks(d.edit, "3.5");
    d.log.clear();
    QTest::mouseClick(d.okButton(), Qt::LeftButton);
    QCOMPARE(d.log, (QStringList{"commit 2000 3.5", "before", "store"}));
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(!d.isVisible());
}

void DialogFrameworkTest::enterInFieldOrListDoesNotCloseFocusCheckedDialog() {
    ProbeDialog d;
    ShowActive(&d);
    d.edit->setFocus();
    QTest::keyClick(d.edit, Qt::Key_Return);  // starts editing
    QTest::keyClick(d.edit, Qt::Key_Return);  // commits
    QVERIFY(d.isVisible());
    QVERIFY(!d.log.contains("store"));
    QVERIFY(d.log.contains("before"));  // OK was reached through the default button, and refused

    // The OK button itself with the focus: Enter acts.
    d.okButton()->setFocus();
    QTest::keyClick(d.okButton(), Qt::Key_Return);
    QVERIFY(d.log.contains("store"));
    QCOMPARE(d.result(), int(QDialog::Accepted));
}

void DialogFrameworkTest::okWithoutFocusCheckActsFromAnyFocus() {
    ProbeDialog d(false);
    ShowActive(&d);
    d.list->setFocus();
    d.okPressed();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(d.log.contains("store"));
}

void DialogFrameworkTest::enterOpensAndClosesList() {
    ProbeDialog d;
    ShowActive(&d);
    d.list->setCurrentIndex(0);
    d.list->setFocus();
    QTest::keyClick(d.list, Qt::Key_Return);
    QWidget* popup = d.list->view()->window();
    QTRY_VERIFY(popup->isVisible());
    QVERIFY(d.isVisible());
    QTest::keyClick(d.list->view(), Qt::Key_Down);
    QTest::keyClick(d.list->view(), Qt::Key_Return);
    QTRY_VERIFY(!popup->isVisible());
    QVERIFY(d.isVisible());
    QCOMPARE(d.list->currentIndex(), 1);
    QVERIFY(d.log.contains("sel 2005 1"));
    QVERIFY(!d.log.contains("store"));
}

void DialogFrameworkTest::statesUsePaletteColours() {
    const QPalette sys = QApplication::palette();
    ProbeDialog d;
    ShowActive(&d);
    struct Case {
        const char* name;
        void (*apply)(FilterEdit*);
        ColorEdit::State state;
        QColor text, background;
        bool enabled, readOnly;
    };
    const Case cases[] = {
        {"display", [](FilterEdit* e) { e->setAvailable(true); }, ColorEdit::State::Display,
         sys.color(QPalette::WindowText), sys.color(QPalette::Base), true, true},
        {"editing", [](FilterEdit* e) { e->setEditable(true); }, ColorEdit::State::Editing,
         sys.color(QPalette::WindowText), sys.color(QPalette::ToolTipBase), true, false},
        {"disabled", [](FilterEdit* e) { e->setAvailable(false); }, ColorEdit::State::Disabled,
         sys.color(QPalette::Disabled, QPalette::WindowText), sys.color(QPalette::Window), false, false},
    };
    for (const Case& c : cases) {
        c.apply(d.edit);
        QCOMPARE(d.edit->colorState(), c.state);
        QCOMPARE(d.edit->textColor(), c.text);
        QCOMPARE(d.edit->backgroundColor(), c.background);
        QCOMPARE(d.edit->isEnabled(), c.enabled);
        QCOMPARE(d.edit->isReadOnly(), c.readOnly);
    }
    // A disabled field ignores a double-click.
    QTest::mouseDClick(d.edit, Qt::LeftButton);
    QCOMPARE(d.edit->colorState(), ColorEdit::State::Disabled);
    // Double-click toggles an available one.
    d.edit->setAvailable(true);
    QTest::mouseDClick(d.edit, Qt::LeftButton);
    QVERIFY(!d.edit->isDisplayState());
}

void DialogFrameworkTest::pasteKeepsOnlyAcceptedCharacters() {
    ProbeDialog d;
    ShowActive(&d);
    d.other->setText("0000");
    d.other->setFocus();
    QApplication::clipboard()->setText("1a2-3");
    QTest::keyClick(d.other, Qt::Key_V, Qt::ControlModifier);  // display state: ignored
    QCOMPARE(d.other->text(), QString("0000"));
    QTest::keyClick(d.other, Qt::Key_Return);
    QTest::keyClick(d.other, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(d.other->text(), QString("123"));
}

void DialogFrameworkTest::helpLineSplitsAndKeepsOnMissingId() {
    ProbeDialog d;
    ShowActive(&d);
    QCOMPARE(d.currentHelpId(), kBlankHelpLine);
    QCOMPARE(d.helpPaneText(), QString(" "));
    QCOMPARE(d.indicatorText(), QString());

    d.list->setFocus();
    QCOMPARE(d.currentHelpId(), 2005);
    QCOMPARE(d.helpPaneText(), QString("Change operating frequency band"));
    QCOMPARE(d.indicatorText(), QString("<SELECT>"));

    d.other->setFocus();  // one line only: the indicator is blanked
    QCOMPARE(d.helpPaneText(), QString("Production Number (Programmed by Manufacturer)"));
    QCOMPARE(d.indicatorText(), QString());

    QCOMPARE(d.ShowHelpLine(999999), 2400);  // no such string: panes stay, the id is taken
    QCOMPARE(d.helpPaneText(), QString("Production Number (Programmed by Manufacturer)"));
    QCOMPARE(d.ShowHelpLine(0), 999999);
    QCOMPARE(d.ShowHelpLine(kKeyOperationIndicator), 0);
    QCOMPARE(d.helpPaneText(), QString("[ Key Operation ]"));
}

void DialogFrameworkTest::f1OpensDialogOrControlTopic() {
    QList<int> topics;
    ParamDialog::HelpHook() = [&topics](int t) { topics << t; };
    ProbeDialog d;
    ShowActive(&d);
    d.list->setFocus();
    QTest::keyClick(d.list, Qt::Key_F1);
    ParamDialog::SetControlHelpTopic(d.edit, 4711);
    d.edit->setFocus();
    QTest::keyClick(d.edit, Qt::Key_F1);
    ParamDialog::HelpHook() = nullptr;
    QCOMPARE(topics, (QList<int>{131174, 4711}));
}

QTEST_MAIN(DialogFrameworkTest)
#include "dialogs_framework_test.moc"
