// ANI/Speed Dial, Page Setting and Paging Code dialogs: what they store in the image, when they mark
// the document modified, and how the keyboard moves through their fields.
#include "dialogs/input_controls.h"
#include "dialogs/signaling_ani_dialog.h"
#include "dialogs/signaling_page_dialogs.h"
#include "image/cells.h"
#include "image/document.h"
#include "image/fields.h"
#include "image/layout.h"
#include "image/model.h"

#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace rt62;

namespace {

class SilentPrompter : public Prompter {
public:
    Answer show(int, Buttons, Icon, const std::vector<std::string>& = {}) override { return Answer::Ok; }
};

// A factory image, optionally with the paging board, in step with its channel table.
struct Fixture {
    SilentPrompter prompter;
    CRT62MDoc doc{prompter};
    explicit Fixture(bool paging = true) {
        LoadDefaults(doc.Model());
        layout::kOptionBoardPaging.Write(doc.Image(), paging ? 1 : 0);
        NormalizeImage(doc.Model());
        DecodeImage(doc.Model());
        doc.SetModifiedFlag(false);
    }
    RadioImage& image() { return doc.Image(); }
};

void ShowActive(QWidget* w) {
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

// Starts an edit with Enter, replaces the whole text with `text` and finishes it with Enter.
void ReplaceText(FilterEdit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

}  // namespace

class SignalDtmfTest : public QObject {
    Q_OBJECT
private slots:
    void aniCodeBytes_data();
    void aniCodeBytes();
    void aniEnterFinishesEditWithoutClosing();
    void aniEscapeRestoresOldCode();
    void aniListsStoredOnlyOnOkAndOnlyWhenChanged();
    void aniCancelStoresNothing();
    void pageSettingGatedByPagingBit_data();
    void pageSettingGatedByPagingBit();
    void pageSettingOkNeedsFocusOnOk();
    void pageCodeBytes_data();
    void pageCodeBytes();
    void clearedPageCodeRemovesChannelPages();
    void rowRuleFollowsCodeText();
    void withoutPagingBitEverythingDisabledAndUnchanged();
};

void SignalDtmfTest::aniCodeBytes_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("bytes");  // 0x05 onwards
    QTest::newRow("digits") << "123" << "123" << QByteArray("\x31\x23", 2);
    QTest::newRow("letters and signs") << "A*#" << "A*#" << QByteArray("\x3A\xEF", 2);
    QTest::newRow("lower case shown upper") << "abc" << "ABC" << QByteArray("\x3A\xBC", 2);
    QTest::newRow("refused letter dropped") << "1e2" << "12" << QByteArray("\x21\x20", 2);
    QTest::newRow("fifteen characters") << "0123456789ABCD*" << "0123456789ABCD*"
                                        << QByteArray("\xF0\x12\x34\x56\x78\x9A\xBC\xDE", 8);
    QTest::newRow("sixteenth character refused") << "0123456789ABCD*#" << "0123456789ABCD*"
                                                 << QByteArray("\xF0\x12\x34\x56\x78\x9A\xBC\xDE", 8);
}

void SignalDtmfTest::aniCodeBytes() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QByteArray, bytes);
    Fixture f;
    AniDialog dialog(f.doc);
    ShowActive(&dialog);
    ReplaceText(dialog.codeField(), typed);
    QCOMPARE(dialog.codeField()->text(), shown);
    dialog.okButton()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    for (int i = 0; i < bytes.size(); ++i)
        QCOMPARE(int(f.image()[0x05 + static_cast<std::size_t>(i)]), int(static_cast<std::uint8_t>(bytes[i])));
    QVERIFY(f.doc.IsModified());
}

void SignalDtmfTest::aniEnterFinishesEditWithoutClosing() {
    Fixture f;
    AniDialog dialog(f.doc);
    ShowActive(&dialog);
    FilterEdit* code = dialog.codeField();
    code->setFocus();
    QTest::keyClicks(code, "77");
    QVERIFY(!code->isDisplayState());
    QTest::keyClick(code, Qt::Key_Return);
    QVERIFY(code->isDisplayState());
    QVERIFY(dialog.isVisible());
    QCOMPARE(ReadDtmfCode(f.image()), std::string());  // nothing written before OK
    QCOMPARE(dialog.record().dtmfCode, std::string());
    dialog.okButton()->click();
    QCOMPARE(ReadDtmfCode(f.image()), std::string("77"));
}

void SignalDtmfTest::aniEscapeRestoresOldCode() {
    Fixture f;
    WriteDtmfCode(f.image(), "55");
    AniDialog dialog(f.doc);
    ShowActive(&dialog);
    FilterEdit* code = dialog.codeField();
    code->setFocus();
    QTest::keyClicks(code, "9");
    QCOMPARE(code->text(), QStringLiteral("9"));
    QTest::keyClick(code, Qt::Key_Escape);
    QCOMPARE(code->text(), QStringLiteral("55"));
    QVERIFY(dialog.isVisible());
    dialog.okButton()->click();
    QCOMPARE(ReadDtmfCode(f.image()), std::string("55"));
    QVERIFY(!f.doc.IsModified());
}

void SignalDtmfTest::aniListsStoredOnlyOnOkAndOnlyWhenChanged() {
    Fixture f;
    const RadioImage before = f.image();
    {
        AniDialog dialog(f.doc);
        dialog.findChild<EnterCombo*>(ControlName(AniDialog::kDelay))->setCurrentIndex(3);
        QCOMPARE(f.image(), before);  // a selection alone writes nothing
        dialog.okButton()->click();
    }
    QCOMPARE(layout::kDtmfDelay.Read(f.image()), 3);
    QCOMPARE(layout::kAniTransmit.Read(f.image()), 1);
    QCOMPARE(layout::kDtmfSpeed.Read(f.image()), 2);
    QVERIFY(f.doc.IsModified());

    f.doc.SetModifiedFlag(false);
    const RadioImage stored = f.image();
    {
        AniDialog dialog(f.doc);
        dialog.okButton()->click();
    }
    QCOMPARE(f.image(), stored);
    QVERIFY(!f.doc.IsModified());
}

void SignalDtmfTest::aniCancelStoresNothing() {
    Fixture f;
    const RadioImage before = f.image();
    AniDialog dialog(f.doc);
    ShowActive(&dialog);
    dialog.findChild<EnterCombo*>(ControlName(AniDialog::kTransmit))->setCurrentIndex(0);
    ReplaceText(dialog.codeField(), "999");
    dialog.cancelButton()->click();
    QCOMPARE(f.image(), before);
    QVERIFY(!f.doc.IsModified());
}

void SignalDtmfTest::pageSettingGatedByPagingBit_data() {
    QTest::addColumn<bool>("paging");
    QTest::newRow("paging board") << true;
    QTest::newRow("no paging board") << false;
}

void SignalDtmfTest::pageSettingGatedByPagingBit() {
    QFETCH(bool, paging);
    Fixture f(paging);
    f.image()[0xBE] |= 0x08;  // a neighbour bit the dialog must keep
    const std::uint8_t before = f.image()[0xBE];
    PageSettingDialog dialog(f.doc);
    ShowActive(&dialog);
    auto* speed = dialog.findChild<EnterCombo*>(ControlName(PageSettingDialog::kDtmfSpeed));
    auto* answer = dialog.findChild<EnterCombo*>(ControlName(PageSettingDialog::kAnswerBack));
    QCOMPARE(speed->isEnabled(), paging);
    QCOMPARE(answer->isEnabled(), paging);
    if (paging) answer->setCurrentIndex(1);
    dialog.okButton()->setFocus();
    dialog.okButton()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(int(f.image()[0xBE]), int(paging ? (before | 0x10) : before));
    QCOMPARE(f.doc.IsModified(), paging);
}

void SignalDtmfTest::pageSettingOkNeedsFocusOnOk() {
    Fixture f;
    PageSettingDialog dialog(f.doc);
    ShowActive(&dialog);
    auto* speed = dialog.findChild<EnterCombo*>(ControlName(PageSettingDialog::kDtmfSpeed));
    speed->setFocus();
    speed->setCurrentIndex(1);
    dialog.okPressed();  // the default button reached from the list
    QVERIFY(dialog.isVisible());
    QCOMPARE(layout::kPagingDtmfSpeed.Read(f.image()), 0);
    dialog.okButton()->setFocus();
    dialog.okButton()->click();
    QCOMPARE(layout::kPagingDtmfSpeed.Read(f.image()), 1);
}

void SignalDtmfTest::pageCodeBytes_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("selector");
    QTest::addColumn<int>("byte1");
    QTest::addColumn<int>("byte2");
    QTest::newRow("short code padded") << "12" << 0 << 0x01 << 0x20;
    QTest::newRow("DEC with hash") << "12#" << 1 << 0x21 << 0x2F;
    QTest::newRow("one character") << "d" << 1 << 0x2D << 0x00;
    QTest::newRow("letters upper case") << "a*b" << 0 << 0x0A << 0xEB;
}

void SignalDtmfTest::pageCodeBytes() {
    QFETCH(QString, typed);
    QFETCH(int, selector);
    QFETCH(int, byte1);
    QFETCH(int, byte2);
    Fixture f;
    PagingCodeDialog dialog(f.doc);
    ShowActive(&dialog);
    ReplaceText(dialog.codeField(5), typed);
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.selector(5)->isEnabled());
    dialog.selector(5)->setCurrentIndex(selector);
    dialog.okButton()->click();
    QCOMPARE(int(f.image()[0xC8]), byte1);
    QCOMPARE(int(f.image()[0xC9]), byte2);
    QVERIFY(f.doc.IsModified());
    for (std::size_t at = 0xC0; at < 0xD4; ++at)
        if (at != 0xC8 && at != 0xC9) QCOMPARE(int(f.image()[at]), 0);
}

void SignalDtmfTest::clearedPageCodeRemovesChannelPages() {
    Fixture f;
    WritePageCode(f.image(), 3, {"456", 1});
    WritePageCode(f.image(), 4, {"789", 0});
    ImageModel& m = f.doc.Model();
    for (int n : {1, 4}) m.channels.at(n).pageNumber = 3;
    m.channels.at(6).pageNumber = 4;
    for (int n : {1, 4, 6}) m.channels.at(n).pagePresent = 1;
    NormalizeImage(m);
    QCOMPARE(ChannelCellText(m, 1, kColPage), std::string(" 3"));

    PagingCodeDialog dialog(f.doc);
    ShowActive(&dialog);
    QCOMPARE(dialog.codeField(3)->text(), QStringLiteral("456"));
    ReplaceText(dialog.codeField(3), QString());
    QVERIFY(!dialog.selector(3)->isEnabled());
    dialog.okButton()->click();

    QCOMPARE(int(f.image()[0xC4]), 0);
    QCOMPARE(int(f.image()[0xC5]), 0);
    QCOMPARE(int(f.image()[0xC6]), 0x07);  // code 4 untouched
    for (int n : {1, 4}) QCOMPARE(ChannelCellText(m, n, kColPage), std::string("-"));
    QCOMPARE(ChannelCellText(m, 6, kColPage), std::string(" 4"));
    // The channel records in the image say the same, so a decode keeps it.
    DecodeImage(m);
    for (int n : {1, 4}) QCOMPARE(m.channels.at(n).pageNumber, 0);
    QCOMPARE(m.channels.at(6).pageNumber, 4);
    QVERIFY(f.doc.IsModified());
}

void SignalDtmfTest::rowRuleFollowsCodeText() {
    Fixture f;
    WritePageCode(f.image(), 1, {"111", 1});
    WritePageCode(f.image(), 2, {"000", 0});  // reads back as no code
    PagingCodeDialog dialog(f.doc);
    ShowActive(&dialog);
    QVERIFY(dialog.selector(1)->isEnabled());
    QCOMPARE(dialog.selector(1)->currentIndex(), 1);
    QCOMPARE(dialog.codeField(2)->text(), QString());
    QVERIFY(!dialog.selector(2)->isEnabled());
    QCOMPARE(dialog.selector(2)->currentText(), QStringLiteral("Off"));

    // Typing a code and leaving the field enables the row; emptying it turns it off again.
    FilterEdit* code2 = dialog.codeField(2);
    code2->setFocus();
    QTest::keyClicks(code2, "7");
    dialog.codeField(3)->setFocus();
    QVERIFY(dialog.selector(2)->isEnabled());
    ReplaceText(dialog.codeField(1), QString());
    QVERIFY(!dialog.selector(1)->isEnabled());
    QCOMPARE(dialog.selector(1)->currentIndex(), 0);
    dialog.okButton()->click();
    QCOMPARE(ReadPageCode(f.image(), 1).code, std::string());
    QCOMPARE(ReadPageCode(f.image(), 2).code, std::string("700"));
}

void SignalDtmfTest::withoutPagingBitEverythingDisabledAndUnchanged() {
    Fixture f(false);
    WritePageCode(f.image(), 7, {"2A#", 1});
    const RadioImage before = f.image();
    PagingCodeDialog dialog(f.doc);
    ShowActive(&dialog);
    for (int k = 1; k <= PagingCodeDialog::kCodeCount; ++k) {
        QCOMPARE(dialog.codeField(k)->colorState(), ColorEdit::State::Disabled);
        QVERIFY(!dialog.selector(k)->isEnabled());
    }
    QCOMPARE(dialog.codeField(7)->text(), QStringLiteral("2A#"));
    dialog.okButton()->click();
    QCOMPARE(f.image(), before);
    QVERIFY(!f.doc.IsModified());
}

QTEST_MAIN(SignalDtmfTest)
#include "signal_dtmf_test.moc"
