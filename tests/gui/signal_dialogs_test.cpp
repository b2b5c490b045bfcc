// The Signaling dialogs: ANI and page-code bytes, the paging gate, cleared page and pair references,
// the two tone formats, the tone browser, firmware gating and the five Signaling commands.
#include "dialogs/input_controls.h"
#include "dialogs/signaling_ani_dialog.h"
#include "dialogs/signaling_commands.h"
#include "dialogs/signaling_page_dialogs.h"
#include "dialogs/signaling_tone_browser.h"
#include "dialogs/signaling_twotone_dialogs.h"
#include "image/cells.h"
#include "image/document.h"
#include "image/fields.h"
#include "image/layout.h"
#include "image/model.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace rt62;

namespace {

class SilentPrompter : public Prompter {
public:
    Answer show(int, Buttons, Icon, const std::vector<std::string>& = {}) override { return Answer::Ok; }
};

// A factory image, with or without the paging board, in step with its channel table.
struct Fixture {
    SilentPrompter prompter;
    CRT62MDoc doc{prompter};
    explicit Fixture(bool paging = true) {
        LoadDefaults(doc.Model());
        layout::kOptionBoardPaging.Write(doc.Image(), paging ? 1 : 0);
        NormalizeImage(doc.Model());
        DecodeImage(doc.Model());
    }
    RadioImage& image() { return doc.Image(); }
    void setPair(int k, int b1, int b2) {
        WritePairBytes(image(), k, {static_cast<std::uint8_t>(b1), static_cast<std::uint8_t>(b2)});
    }
    std::pair<int, int> pair(int k) {
        const PairBytes b = ReadPairBytes(image(), k);
        return {b.first, b.second};
    }
};

void ShowActive(QWidget* w) {
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

// Enter starts the edit, the text replaces everything, Enter finishes it.
void ReplaceText(FilterEdit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

// Stands in for the modal browser: records how it was opened, answers with a fixed choice.
struct ScriptedBrowser {
    QList<QList<int>> calls;  // mode, pair, tone, position
    std::optional<TwoToneTableDialog::ToneChoice> answer;
    TwoToneTableDialog::ToneBrowser hook() {
        return [this](int mode, int pair, int tone, int position) {
            calls.append({mode, pair, tone, position});
            return answer;
        };
    }
};

using RunCommand = RefreshKind (*)(QWidget*, CRT62MDoc&);
constexpr RunCommand kCommands[] = {&RunAniDialog, &RunPageSettingDialog, &RunPagingCodeDialog, &RunTwoToneDialog,
                                    &RunTwoToneTableDialog};

}  // namespace

class SignalDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void aniCodeBytes_data();
    void aniCodeBytes();
    void aniEscapeAndUntouchedListsChangeNothing();
    void pageSettingGatedByPagingBit_data();
    void pageSettingGatedByPagingBit();
    void pageCodeBytes_data();
    void pageCodeBytes();
    void clearedPageCodeRemovesChannelPages();
    void withoutPagingBitEverythingDisabledAndUnchanged();
    void standardPairsReadAndWrittenBack_data();
    void standardPairsReadAndWrittenBack();
    void mixedTableSwitchesToCustomAndWritesBackSameBytes();
    void customBrowserPositionsStoreCodes_data();
    void customBrowserPositionsStoreCodes();
    void groupChangeWithoutBrowserTakesFirstEntry();
    void pairOffClearsChannelColumnP();
    void toneBoxEnterOpensBrowser();
    void formatChangeWritesAllPairsOff();
    void firmwareGatesComplementAndDuty_data();
    void firmwareGatesComplementAndDuty();
    void browserLists_data();
    void browserLists();
    void browserChoice();
    void toneBoxOpensRealBrowser();
    void signalingCommands_data();
    void signalingCommands();
};

void SignalDialogsTest::aniCodeBytes_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("bytes");  // from 0x05 on
    QTest::newRow("digits") << "123" << "123" << QByteArray("\x31\x23", 2);
    QTest::newRow("letters and signs") << "A*#" << "A*#" << QByteArray("\x3A\xEF", 2);
    QTest::newRow("lower case, refused e") << "aebc" << "ABC" << QByteArray("\x3A\xBC", 2);
    QTest::newRow("15 kept, 16th refused") << "0123456789ABCD*#" << "0123456789ABCD*"
                                           << QByteArray("\xF0\x12\x34\x56\x78\x9A\xBC\xDE", 8);
}

void SignalDialogsTest::aniCodeBytes() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QByteArray, bytes);
    Fixture f;
    AniDialog dialog(f.doc);
    ShowActive(&dialog);
    ReplaceText(dialog.codeField(), typed);
    // Enter finished the edit without pressing OK, and nothing is written yet.
    QVERIFY(dialog.isVisible() && dialog.codeField()->isDisplayState());
    QCOMPARE(dialog.codeField()->text(), shown);
    QCOMPARE(ReadDtmfCode(f.image()), std::string());
    dialog.findChild<EnterCombo*>(ControlName(AniDialog::kDelay))->setCurrentIndex(3);
    dialog.okButton()->click();
    for (int i = 0; i < bytes.size(); ++i)
        QCOMPARE(int(f.image()[0x05 + static_cast<std::size_t>(i)]), int(static_cast<std::uint8_t>(bytes[i])));
    QCOMPARE(layout::kDtmfDelay.Read(f.image()), 3);
    QCOMPARE(layout::kAniTransmit.Read(f.image()), 1);
    QVERIFY(f.doc.IsModified());
}

void SignalDialogsTest::aniEscapeAndUntouchedListsChangeNothing() {
    Fixture f;
    WriteDtmfCode(f.image(), "55");
    const RadioImage before = f.image();
    AniDialog dialog(f.doc);
    ShowActive(&dialog);
    FilterEdit* code = dialog.codeField();
    code->setFocus();
    QTest::keyClicks(code, "9");
    QTest::keyClick(code, Qt::Key_Escape);
    QCOMPARE(code->text(), QStringLiteral("55"));
    QVERIFY(dialog.isVisible());
    dialog.okButton()->click();
    QCOMPARE(f.image(), before);
    QVERIFY(!f.doc.IsModified());
}

void SignalDialogsTest::pageSettingGatedByPagingBit_data() {
    QTest::addColumn<bool>("paging");
    QTest::newRow("paging board") << true;
    QTest::newRow("no paging board") << false;
}

void SignalDialogsTest::pageSettingGatedByPagingBit() {
    QFETCH(bool, paging);
    Fixture f(paging);
    f.image()[0xBE] |= 0x08;  // a neighbour bit the dialog must keep
    const std::uint8_t before = f.image()[0xBE];
    PageSettingDialog dialog(f.doc);
    ShowActive(&dialog);
    auto* answer = dialog.findChild<EnterCombo*>(ControlName(PageSettingDialog::kAnswerBack));
    QCOMPARE(dialog.findChild<EnterCombo*>(ControlName(PageSettingDialog::kDtmfSpeed))->isEnabled(), paging);
    QCOMPARE(answer->isEnabled(), paging);
    if (paging) answer->setCurrentIndex(1);
    dialog.okButton()->setFocus();
    dialog.okButton()->click();
    QCOMPARE(int(f.image()[0xBE]), int(paging ? (before | 0x10) : before));
    QCOMPARE(f.doc.IsModified(), paging);
}

void SignalDialogsTest::pageCodeBytes_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("selector");
    QTest::addColumn<int>("byte1");
    QTest::addColumn<int>("byte2");
    QTest::newRow("short code padded") << "12" << 0 << 0x01 << 0x20;
    QTest::newRow("DEC with hash") << "12#" << 1 << 0x21 << 0x2F;
    QTest::newRow("letters upper case") << "a*b" << 0 << 0x0A << 0xEB;
}

void SignalDialogsTest::pageCodeBytes() {
    QFETCH(QString, typed);
    QFETCH(int, selector);
    QFETCH(int, byte1);
    QFETCH(int, byte2);
    Fixture f;
    PagingCodeDialog dialog(f.doc);
    ShowActive(&dialog);
    // An empty row's selector sits disabled on "Off" until the row has a code.
    QVERIFY(!dialog.selector(5)->isEnabled());
    ReplaceText(dialog.codeField(5), typed);
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.selector(5)->isEnabled());
    dialog.selector(5)->setCurrentIndex(selector);
    dialog.okButton()->click();
    QCOMPARE(int(f.image()[0xC8]), byte1);
    QCOMPARE(int(f.image()[0xC9]), byte2);
    QVERIFY(f.doc.IsModified());
}

void SignalDialogsTest::clearedPageCodeRemovesChannelPages() {
    Fixture f;
    WritePageCode(f.image(), 3, {"456", 1});
    WritePageCode(f.image(), 4, {"789", 0});
    ImageModel& m = f.doc.Model();
    for (int n : {1, 4, 6}) {
        m.channels.at(n).pageNumber = n == 6 ? 4 : 3;
        m.channels.at(n).pagePresent = 1;
    }
    NormalizeImage(m);

    PagingCodeDialog dialog(f.doc);
    ShowActive(&dialog);
    QCOMPARE(dialog.codeField(3)->text(), QStringLiteral("456"));
    ReplaceText(dialog.codeField(3), QString());
    QVERIFY(!dialog.selector(3)->isEnabled());
    QCOMPARE(dialog.selector(3)->currentIndex(), 0);
    dialog.okButton()->click();

    QCOMPARE(int(f.image()[0xC4]), 0);
    QCOMPARE(int(f.image()[0xC5]), 0);
    QCOMPARE(int(f.image()[0xC6]), 0x07);  // code 4 untouched
    for (int n : {1, 4}) QCOMPARE(ChannelCellText(m, n, kColPage), std::string("-"));
    QCOMPARE(ChannelCellText(m, 6, kColPage), std::string(" 4"));
    DecodeImage(m);  // the channel records in the image agree
    QCOMPARE(m.channels.at(1).pageNumber, 0);
    QCOMPARE(m.channels.at(6).pageNumber, 4);
}

void SignalDialogsTest::withoutPagingBitEverythingDisabledAndUnchanged() {
    Fixture f(false);
    WritePageCode(f.image(), 7, {"2A#", 1});
    WritePageCode(f.image(), 8, {"000", 0});  // reads back as no code
    const RadioImage before = f.image();
    PagingCodeDialog dialog(f.doc);
    ShowActive(&dialog);
    for (int k = 1; k <= PagingCodeDialog::kCodeCount; ++k) {
        QCOMPARE(dialog.codeField(k)->colorState(), ColorEdit::State::Disabled);
        QVERIFY(!dialog.selector(k)->isEnabled());
    }
    QCOMPARE(dialog.codeField(7)->text(), QStringLiteral("2A#"));
    QCOMPARE(dialog.codeField(8)->text(), QString());
    dialog.okButton()->click();
    QCOMPARE(f.image(), before);
    QVERIFY(!f.doc.IsModified());
}

void SignalDialogsTest::standardPairsReadAndWrittenBack_data() {
    QTest::addColumn<int>("b1");
    QTest::addColumn<int>("b2");
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("MOTOROLA") << 0x05 << 0x0A << 1 << " 1- 433.7" << " 2- 569.1";
    QTest::newRow("GE/99") << 0x54 << 0x55 << 2 << " A- 682.5" << " A- 592.5";
    QTest::newRow("PLECTRON last tone") << 186 << 131 << 3 << "   3062.0" << "    282.2";
    QTest::newRow("code without a tone") << 245 << 239 << 4 << "   ???   " << " E- 588.0";
}

void SignalDialogsTest::standardPairsReadAndWrittenBack() {
    QFETCH(int, b1);
    QFETCH(int, b2);
    QFETCH(int, group);
    QFETCH(QString, first);
    QFETCH(QString, second);
    Fixture f;
    f.setPair(2, b1, b2);
    const RadioImage before = f.image();
    TwoToneTableDialog dialog(f.doc);
    QCOMPARE(dialog.format(), TwoToneFormat::Standard);
    QCOMPARE(dialog.groupList(2)->count(), 5);
    QCOMPARE(dialog.groupList(2)->currentIndex(), group);
    QCOMPARE(dialog.toneBox(2, 0)->text(), first);
    QCOMPARE(dialog.toneBox(2, 1)->text(), second);
    QCOMPARE(dialog.toneBox(1, 0)->colorState(), ColorEdit::State::Disabled);
    dialog.okButton()->click();
    QCOMPARE(f.image(), before);
    QVERIFY(!f.doc.IsModified());
}

void SignalDialogsTest::mixedTableSwitchesToCustomAndWritesBackSameBytes() {
    Fixture f;
    f.setPair(1, 0x05, 0x0A);
    f.setPair(2, 0x05, 0x54);
    const RadioImage before = f.image();
    TwoToneTableDialog dialog(f.doc);
    QCOMPARE(f.doc.Model().twoToneFormat, TwoToneFormat::Custom);
    QCOMPARE(dialog.groupList(1)->count(), 2);
    QCOMPARE(dialog.groupList(1)->currentText(), QStringLiteral("  Custom  "));
    QCOMPARE(dialog.groupList(3)->currentText(), QStringLiteral("   OFF    "));
    const QStringList texts{dialog.toneBox(1, 0)->text(), dialog.toneBox(1, 1)->text(), dialog.toneBox(2, 0)->text(),
                            dialog.toneBox(2, 1)->text()};
    QCOMPARE(texts, QStringList({" 1- 433.7", " 2- 569.1", " 1- 433.7", " A- 682.5"}));
    dialog.okButton()->click();
    QCOMPARE(f.image(), before);
    QVERIFY(!f.doc.IsModified());
}

void SignalDialogsTest::customBrowserPositionsStoreCodes_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("code");
    QTest::newRow("first PLECTRON tone") << 115 << 131;
    QTest::newRow("first REACH tone") << 171 << 190;
    QTest::newRow("last REACH tone") << 220 << 239;
}

void SignalDialogsTest::customBrowserPositionsStoreCodes() {
    QFETCH(int, position);
    QFETCH(int, code);
    Fixture f;
    f.doc.Model().twoToneFormat = TwoToneFormat::Custom;
    f.setPair(4, 0x05, 0x0A);
    ScriptedBrowser browser;
    browser.answer = TwoToneTableDialog::ToneChoice{position, QStringLiteral("text")};
    TwoToneTableDialog dialog(f.doc);
    dialog.setToneBrowser(browser.hook());
    dialog.browse(4, 1);
    QCOMPARE(browser.calls, QList<QList<int>>({{kCustomGroup, 4, 1, 10}}));
    QCOMPARE(dialog.toneBox(4, 1)->text(), QString::fromStdString(TwoToneCodeText(code)));
    dialog.okButton()->click();
    QCOMPARE(f.pair(4), std::make_pair(0x05, code));
    QVERIFY(f.doc.IsModified());
}

void SignalDialogsTest::groupChangeWithoutBrowserTakesFirstEntry() {
    Fixture f;
    f.setPair(1, 0x05, 0x0A);
    TwoToneTableDialog dialog(f.doc);
    ShowActive(&dialog);
    EnterCombo* group = dialog.groupList(1);
    group->setFocus();
    QTest::keyClick(group, Qt::Key_End);  // "REACH GRP "
    QCOMPARE(dialog.toneBox(1, 0)->text(), QStringLiteral(" A-2704.0"));
    QCOMPARE(dialog.toneBox(1, 1)->text(), QStringLiteral(" A-2704.0"));
    EnterCombo* group5 = dialog.groupList(5);  // off -> "MOTOROLA  "
    group5->setFocus();
    QTest::keyClick(group5, Qt::Key_Down);
    QVERIFY(dialog.toneBox(5, 0)->isEnabled());
    dialog.okButton()->click();
    QCOMPARE(f.pair(1), std::make_pair(190, 190));
    QCOMPARE(f.pair(5), std::make_pair(0, 0));
    QVERIFY(f.doc.IsModified());
}

void SignalDialogsTest::pairOffClearsChannelColumnP() {
    Fixture f;
    f.setPair(2, 0x01, 0x02);
    f.setPair(3, 0x05, 0x0A);
    ImageModel& m = f.doc.Model();
    for (int n : {0, 3, 15}) m.channels.at(n).twoToneP = 3;
    m.channels.at(1).twoToneP = 2;
    NormalizeImage(m);

    TwoToneTableDialog dialog(f.doc);
    ShowActive(&dialog);
    EnterCombo* group = dialog.groupList(3);
    group->setFocus();
    QTest::keyClick(group, Qt::Key_Home);  // "   OFF    "
    QCOMPARE(dialog.toneBox(3, 0)->text(), QString());
    QCOMPARE(dialog.toneBox(3, 0)->colorState(), ColorEdit::State::Disabled);
    dialog.okButton()->click();

    QCOMPARE(f.pair(3), std::make_pair(0xFF, 0xFF));
    for (int n : {0, 3, 15}) QCOMPARE(ChannelCellText(m, n, kColTwoToneP), std::string("-"));
    QCOMPARE(ChannelCellText(m, 1, kColTwoToneP), std::string(" 2"));
    DecodeImage(m);  // the channel records in the image agree
    QCOMPARE(m.channels.at(3).twoToneP, 0);
    QCOMPARE(m.channels.at(1).twoToneP, 2);
}

void SignalDialogsTest::toneBoxEnterOpensBrowser() {
    Fixture f;
    f.setPair(6, 131 + 3, 131 + 7);
    ScriptedBrowser browser;  // answers Cancel
    TwoToneTableDialog dialog(f.doc);
    dialog.setToneBrowser(browser.hook());
    ShowActive(&dialog);
    ToneBox* box = dialog.toneBox(6, 0);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QTest::keyClicks(box, "12");  // typing never reaches a tone box
    QTest::mouseDClick(dialog.toneBox(6, 1), Qt::LeftButton);
    QTest::mouseDClick(dialog.toneBox(1, 0), Qt::LeftButton);  // an off pair opens nothing
    QCOMPARE(browser.calls, QList<QList<int>>({{3, 6, 0, 3}, {3, 6, 1, 7}}));
    QCOMPARE(box->text(), QStringLiteral("    321.4"));
    dialog.okButton()->click();
    QCOMPARE(f.pair(6), std::make_pair(134, 138));
    QVERIFY(!f.doc.IsModified());
}

void SignalDialogsTest::formatChangeWritesAllPairsOff() {
    Fixture f;
    f.setPair(1, 0x05, 0x0A);
    f.setPair(4, 0x54, 0x55);
    f.doc.Model().channels.at(2).twoToneP = 4;
    NormalizeImage(f.doc.Model());
    TwoToneParametersDialog dialog(f.doc);
    EnterCombo* format = dialog.list(TwoToneParametersDialog::kToneFormat);
    QCOMPARE(format->currentText(), QStringLiteral("Standard"));
    format->setCurrentIndex(1);
    dialog.list(TwoToneParametersDialog::kPrimaryGroupCall)->setCurrentIndex(2);
    dialog.list(TwoToneParametersDialog::kSecondaryPagePair)->setCurrentIndex(5);
    dialog.okButton()->click();
    for (int k = 1; k <= 6; ++k) QCOMPARE(f.pair(k), std::make_pair(0xFF, 0xFF));
    QCOMPARE(f.doc.Model().twoToneFormat, TwoToneFormat::Custom);
    QCOMPARE(f.doc.Model().channels.at(2).twoToneP, 4);  // channel references stay
    QCOMPARE(int(f.image()[0xBF] & 0x78), 2 << 5);
    QCOMPARE(int(f.image()[0xE0] >> 4), 5);
    QVERIFY(f.doc.IsModified());
}

void SignalDialogsTest::firmwareGatesComplementAndDuty_data() {
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("low");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("1.99") << 0x01 << 0x99 << false;
    QTest::newRow("2.00") << 0x02 << 0x00 << true;
}

void SignalDialogsTest::firmwareGatesComplementAndDuty() {
    QFETCH(int, high);
    QFETCH(int, low);
    QFETCH(bool, enabled);
    Fixture f;
    f.image()[0x00] = static_cast<std::uint8_t>(high);
    f.image()[0x01] = static_cast<std::uint8_t>(low);
    TwoToneParametersDialog dialog(f.doc);
    for (int id = TwoToneParametersDialog::kPrimaryGroupCall; id <= TwoToneParametersDialog::kDuty; ++id) {
        const bool gated = id == TwoToneParametersDialog::kComplement || id == TwoToneParametersDialog::kDuty;
        QCOMPARE(dialog.list(id)->isEnabled(), gated ? enabled : true);
    }
}

void SignalDialogsTest::browserLists_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("lastText");
    QTest::newRow("MOTOROLA") << 1 << 84 << "11-2468.2";
    QTest::newRow("GE/99") << 2 << 31 << "DIA 742.5";
    QTest::newRow("PLECTRON") << 3 << 56 << "   3062.0";
    QTest::newRow("REACH") << 4 << 50 << " E- 588.0";
    QTest::newRow("custom") << 5 << 221 << " E- 588.0";
}

void SignalDialogsTest::browserLists() {
    QFETCH(int, mode);
    QFETCH(int, count);
    QFETCH(QString, lastText);
    TwoToneBrowserDialog dialog(mode, 1, TwoToneBrowserDialog::Second, 0);
    QCOMPARE(dialog.list()->count(), count);
    QCOMPARE(dialog.list()->item(count - 1)->text(), lastText);
    if (mode == 5) QCOMPARE(dialog.list()->item(115)->text(), QStringLiteral("    282.2"));
}

void SignalDialogsTest::browserChoice() {
    QCOMPARE(TwoToneBrowserDialog::Title(3, 2, TwoToneBrowserDialog::First),
             QStringLiteral("Pair#2 1st Tone PLECTRON  "));
    {
        // A stored position the list does not offer selects nothing; OK then chooses nothing.
        TwoToneBrowserDialog dialog(2, 1, TwoToneBrowserDialog::First, 40);
        dialog.findChild<QPushButton*>(ControlName(kIdOk))->click();
        QCOMPARE(dialog.chosenPosition(), -1);
    }
    TwoToneBrowserDialog dialog(1, 1, TwoToneBrowserDialog::First, 30);
    ShowActive(&dialog);
    QCOMPARE(dialog.list()->currentRow(), 30);
    const QRect r = dialog.list()->visualItemRect(dialog.list()->item(31));
    QTest::mouseClick(dialog.list()->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(dialog.list()->viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenPosition(), 31);
    QCOMPARE(dialog.chosenText(), QStringLiteral("  NONE   "));
}

void SignalDialogsTest::toneBoxOpensRealBrowser() {
    Fixture f;
    f.setPair(2, 131, 131);
    TwoToneTableDialog dialog(f.doc);
    ShowActive(&dialog);
    QString title;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* browser = qobject_cast<TwoToneBrowserDialog*>(QApplication::activeModalWidget());
        if (!browser) return;
        title = browser->windowTitle();
        browser->list()->setCurrentRow(55);
        browser->accept();
    });
    poll.start();
    dialog.browse(2, 0);
    poll.stop();
    QCOMPARE(title, QStringLiteral("Pair#2 1st Tone PLECTRON  "));
    QCOMPARE(dialog.toneBox(2, 0)->text(), QStringLiteral("   3062.0"));
    dialog.okButton()->click();
    QCOMPARE(f.pair(2), std::make_pair(186, 131));
}

void SignalDialogsTest::signalingCommands_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("dialogName");
    QTest::newRow("ANI") << 0 << int(RefreshKind::None) << "dlg149";
    QTest::newRow("Page Setting") << 1 << int(RefreshKind::None) << "dlg130";
    QTest::newRow("Paging Code") << 2 << int(RefreshKind::Grid) << "dlg133";
    QTest::newRow("2-Tone") << 3 << int(RefreshKind::None) << "dlg134";
    QTest::newRow("2-Tone Table") << 4 << int(RefreshKind::Grid) << "dlg148";
}

void SignalDialogsTest::signalingCommands() {
    QFETCH(int, command);
    QFETCH(int, kind);
    QFETCH(QString, dialogName);
    Fixture f;
    ImageModel& m = f.doc.Model();
    // A channel edit not yet in the image, and a stale checksum: the command must normalize first.
    m.channels.at(0).squelch = 9;
    f.image()[0xFC] ^= 0xFF;
    QString seen;
    bool inStep = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !seen.isEmpty()) return;
        seen = modal->objectName();
        ChannelTable probe;
        probe.Decode(f.image(), m.hardware);
        inStep = ReadImageChecksum(f.image()) == ComputeImageChecksum(f.image()) && probe.at(0).squelch == 9;
        // Something only the image holds: a decode after the dialog would carry it into the table.
        probe.at(0).squelch = 5;
        probe.EncodeChannel(0, f.image(), m.hardware);
        static_cast<QDialog*>(modal)->reject();
    });
    poll.start();
    const RefreshKind result = kCommands[command](nullptr, f.doc);
    poll.stop();
    QCOMPARE(int(result), kind);
    QCOMPARE(seen, dialogName);
    QVERIFY(inStep);
    QCOMPARE(m.channels.at(0).squelch, 9);
    QVERIFY(!f.doc.IsModified());
}

QTEST_MAIN(SignalDialogsTest)
#include "signal_dialogs_test.moc"
