// 2-Tone Parameters, 2-Tone Table and the tone browser: pair bytes read and written, the two tone
// formats, cleared channel references, firmware gating, and the five Signaling commands.
#include "dialogs/input_controls.h"
#include "dialogs/signaling_commands.h"
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

struct Fixture {
    SilentPrompter prompter;
    CRT62MDoc doc{prompter};
    Fixture() {
        LoadDefaults(doc.Model());
        NormalizeImage(doc.Model());
        DecodeImage(doc.Model());
        doc.SetModifiedFlag(false);
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

// A browser stand-in that records what it was opened with and answers with a fixed choice.
struct ScriptedBrowser {
    struct Call {
        int mode, pair, tone, position;
    };
    QList<Call> calls;
    std::optional<TwoToneTableDialog::ToneChoice> answer;
    TwoToneTableDialog::ToneBrowser hook() {
        return [this](int mode, int pair, int tone, int position) {
            calls.append({mode, pair, tone, position});
            return answer;
        };
    }
};

}  // namespace

class SignalTwoToneTest : public QObject {
    Q_OBJECT
private slots:
    void standardPairsReadAndWrittenBack_data();
    void standardPairsReadAndWrittenBack();
    void mixedTableSwitchesToCustomAndWritesBackSameBytes();
    void customBrowserPositionsStoreCodes_data();
    void customBrowserPositionsStoreCodes();
    void groupChangeWithoutBrowserTakesFirstEntry();
    void pairOffClearsChannelColumnP();
    void toneBoxEnterOpensBrowserAndCancelKeepsTone();
    void formatChangeWritesAllPairsOff();
    void parameterListsStoredOnlyWhenChanged();
    void firmwareGatesComplementAndDuty_data();
    void firmwareGatesComplementAndDuty();
    void browserLists_data();
    void browserLists();
    void browserTitleSelectionAndOk();
    void signalingCommands_data();
    void signalingCommands();
};

void SignalTwoToneTest::standardPairsReadAndWrittenBack_data() {
    QTest::addColumn<int>("b1");
    QTest::addColumn<int>("b2");
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("MOTOROLA") << 0x05 << 0x0A << 1 << " 1- 433.7" << " 2- 569.1";
    QTest::newRow("GE/99") << 0x54 << 0x55 << 2 << " A- 682.5" << " A- 592.5";
    QTest::newRow("PLECTRON last tone") << 186 << 131 << 3 << "   3062.0" << "    282.2";
    QTest::newRow("REACH last tone") << 239 << 190 << 4 << " E- 588.0" << " A-2704.0";
    QTest::newRow("code without a tone") << 245 << 190 << 4 << "   ???   " << " A-2704.0";
    QTest::newRow("off whatever the second byte") << 0xFF << 0x05 << 0 << "" << "";
}

void SignalTwoToneTest::standardPairsReadAndWrittenBack() {
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
    QCOMPARE(dialog.toneBox(2, 0)->isEnabled(), group != 0);
    dialog.okButton()->click();
    if (group != 0) {
        QCOMPARE(f.image(), before);
    } else {
        QCOMPARE(f.pair(2), std::make_pair(0xFF, 0xFF));
    }
    QVERIFY(!f.doc.IsModified());
}

void SignalTwoToneTest::mixedTableSwitchesToCustomAndWritesBackSameBytes() {
    Fixture f;
    f.setPair(1, 0x05, 0x0A);
    f.setPair(2, 0x05, 0x54);
    const RadioImage before = f.image();
    TwoToneTableDialog dialog(f.doc);
    QCOMPARE(dialog.format(), TwoToneFormat::Custom);
    QCOMPARE(f.doc.Model().twoToneFormat, TwoToneFormat::Custom);
    QCOMPARE(dialog.groupList(1)->count(), 2);
    QCOMPARE(dialog.groupList(1)->currentText(), QStringLiteral("  Custom  "));
    QCOMPARE(dialog.groupList(3)->currentText(), QStringLiteral("   OFF    "));
    QCOMPARE(dialog.toneBox(1, 0)->text(), QStringLiteral(" 1- 433.7"));
    QCOMPARE(dialog.toneBox(1, 1)->text(), QStringLiteral(" 2- 569.1"));
    QCOMPARE(dialog.toneBox(2, 0)->text(), QStringLiteral(" 1- 433.7"));
    QCOMPARE(dialog.toneBox(2, 1)->text(), QStringLiteral(" A- 682.5"));
    dialog.okButton()->click();
    QCOMPARE(f.image(), before);
    QVERIFY(!f.doc.IsModified());
}

void SignalTwoToneTest::customBrowserPositionsStoreCodes_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("first GE/99 tone") << 84 << 84 << " A- 682.5";
    QTest::newRow("first PLECTRON tone") << 115 << 131 << "    282.2";
    QTest::newRow("last PLECTRON tone") << 170 << 186 << "   3062.0";
    QTest::newRow("first REACH tone") << 171 << 190 << " A-2704.0";
    QTest::newRow("last REACH tone") << 220 << 239 << " E- 588.0";
}

void SignalTwoToneTest::customBrowserPositionsStoreCodes() {
    QFETCH(int, position);
    QFETCH(int, code);
    QFETCH(QString, text);
    Fixture f;
    f.doc.Model().twoToneFormat = TwoToneFormat::Custom;
    f.setPair(4, 0x05, 0x0A);
    ScriptedBrowser browser;
    browser.answer = TwoToneTableDialog::ToneChoice{position, text};
    TwoToneTableDialog dialog(f.doc);
    dialog.setToneBrowser(browser.hook());
    dialog.browse(4, 1);
    QCOMPARE(browser.calls.size(), 1);
    QCOMPARE(browser.calls[0].mode, kCustomGroup);
    QCOMPARE(browser.calls[0].pair, 4);
    QCOMPARE(browser.calls[0].tone, 1);
    QCOMPARE(browser.calls[0].position, 10);  // code 10 sits at position 10
    QCOMPARE(dialog.toneBox(4, 1)->text(), text);
    dialog.okButton()->click();
    QCOMPARE(f.pair(4), std::make_pair(0x05, code));
    QVERIFY(f.doc.IsModified());
}

void SignalTwoToneTest::groupChangeWithoutBrowserTakesFirstEntry() {
    Fixture f;
    f.setPair(1, 0x05, 0x0A);
    TwoToneTableDialog dialog(f.doc);
    ShowActive(&dialog);
    EnterCombo* group = dialog.groupList(1);
    group->setFocus();
    QTest::keyClick(group, Qt::Key_End);  // "REACH GRP "
    QCOMPARE(group->currentText(), QStringLiteral("REACH GRP "));
    QCOMPARE(dialog.toneBox(1, 0)->text(), QStringLiteral(" A-2704.0"));
    QCOMPARE(dialog.toneBox(1, 1)->text(), QStringLiteral(" A-2704.0"));
    // Turning a pair on from off starts it on the group's first entry as well.
    EnterCombo* group5 = dialog.groupList(5);
    group5->setFocus();
    QTest::keyClick(group5, Qt::Key_Down);
    QCOMPARE(dialog.toneBox(5, 0)->text(), QStringLiteral(" 1- 330.5"));
    QVERIFY(dialog.toneBox(5, 0)->isEnabled());
    dialog.okButton()->click();
    QCOMPARE(f.pair(1), std::make_pair(190, 190));
    QCOMPARE(f.pair(5), std::make_pair(0, 0));
    QVERIFY(f.doc.IsModified());
}

void SignalTwoToneTest::pairOffClearsChannelColumnP() {
    Fixture f;
    f.setPair(2, 0x01, 0x02);
    f.setPair(3, 0x05, 0x0A);
    ImageModel& m = f.doc.Model();
    for (int n : {0, 3, 15}) m.channels.at(n).twoToneP = 3;
    m.channels.at(1).twoToneP = 2;
    NormalizeImage(m);
    QCOMPARE(ChannelCellText(m, 3, kColTwoToneP), std::string(" 3"));

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
    DecodeImage(m);  // the records in the image agree
    for (int n : {0, 3, 15}) QCOMPARE(m.channels.at(n).twoToneP, 0);
    QCOMPARE(m.channels.at(1).twoToneP, 2);
    QVERIFY(f.doc.IsModified());
}

void SignalTwoToneTest::toneBoxEnterOpensBrowserAndCancelKeepsTone() {
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
    QCOMPARE(browser.calls.size(), 1);
    QCOMPARE(browser.calls[0].mode, 3);
    QCOMPARE(browser.calls[0].pair, 6);
    QCOMPARE(browser.calls[0].tone, 0);
    QCOMPARE(browser.calls[0].position, 3);
    QTest::mouseDClick(dialog.toneBox(6, 1), Qt::LeftButton);
    QCOMPARE(browser.calls.size(), 2);
    QCOMPARE(browser.calls[1].position, 7);
    // Typing never reaches a tone box.
    QTest::keyClicks(box, "12");
    QCOMPARE(box->text(), QStringLiteral("    321.4"));
    // A disabled (off) pair opens nothing.
    QTest::mouseDClick(dialog.toneBox(1, 0), Qt::LeftButton);
    QCOMPARE(browser.calls.size(), 2);
    dialog.okButton()->click();
    QCOMPARE(f.pair(6), std::make_pair(134, 138));
    QVERIFY(!f.doc.IsModified());
}

void SignalTwoToneTest::formatChangeWritesAllPairsOff() {
    Fixture f;
    f.setPair(1, 0x05, 0x0A);
    f.setPair(4, 0x54, 0x55);
    f.doc.Model().channels.at(2).twoToneP = 4;
    NormalizeImage(f.doc.Model());
    TwoToneParametersDialog dialog(f.doc);
    EnterCombo* format = dialog.list(TwoToneParametersDialog::kToneFormat);
    QCOMPARE(format->currentText(), QStringLiteral("Standard"));
    format->setCurrentIndex(1);
    dialog.okButton()->click();
    for (int k = 1; k <= 6; ++k) QCOMPARE(f.pair(k), std::make_pair(0xFF, 0xFF));
    QCOMPARE(f.doc.Model().twoToneFormat, TwoToneFormat::Custom);
    QCOMPARE(f.doc.Model().channels.at(2).twoToneP, 4);  // references stay
    QVERIFY(f.doc.IsModified());
}

void SignalTwoToneTest::parameterListsStoredOnlyWhenChanged() {
    Fixture f;
    f.image()[0x00] = 0x02;
    f.setPair(1, 0x05, 0x0A);
    const RadioImage before = f.image();
    {
        TwoToneParametersDialog dialog(f.doc);
        dialog.okButton()->click();
    }
    QCOMPARE(f.image(), before);
    QVERIFY(!f.doc.IsModified());
    {
        TwoToneParametersDialog dialog(f.doc);
        dialog.list(TwoToneParametersDialog::kPrimaryGroupCall)->setCurrentIndex(2);
        dialog.list(TwoToneParametersDialog::kSecondaryGroupCall)->setCurrentIndex(1);
        dialog.list(TwoToneParametersDialog::kSecondaryPagePair)->setCurrentIndex(5);
        dialog.list(TwoToneParametersDialog::kComplement)->setCurrentIndex(1);
        dialog.list(TwoToneParametersDialog::kDuty)->setCurrentIndex(1);
        dialog.okButton()->click();
    }
    QCOMPARE(int(f.image()[0xBF] & 0x78), (2 << 5) | (1 << 3));
    QCOMPARE(int(f.image()[0xE0] >> 4), 5);
    QCOMPARE(int(f.image()[0xE1] & 0x03), 3);
    QCOMPARE(f.pair(1), std::make_pair(0x05, 0x0A));  // the format did not change
    QVERIFY(f.doc.IsModified());
    {
        f.doc.SetModifiedFlag(false);
        TwoToneParametersDialog dialog(f.doc);
        dialog.list(TwoToneParametersDialog::kDuty)->setCurrentIndex(1);
        dialog.cancelButton()->click();
    }
    QVERIFY(!f.doc.IsModified());
}

void SignalTwoToneTest::firmwareGatesComplementAndDuty_data() {
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("low");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("1.99") << 0x01 << 0x99 << false;
    QTest::newRow("2.00") << 0x02 << 0x00 << true;
    QTest::newRow("2.10") << 0x02 << 0x10 << true;
}

void SignalTwoToneTest::firmwareGatesComplementAndDuty() {
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

void SignalTwoToneTest::browserLists_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("firstText");
    QTest::addColumn<QString>("lastText");
    QTest::newRow("MOTOROLA") << 1 << 84 << " 1- 330.5" << "11-2468.2";
    QTest::newRow("GE/99") << 2 << 31 << " A- 682.5" << "DIA 742.5";
    QTest::newRow("PLECTRON") << 3 << 56 << "    282.2" << "   3062.0";
    QTest::newRow("REACH") << 4 << 50 << " A-2704.0" << " E- 588.0";
    QTest::newRow("custom") << 5 << 221 << " 1- 330.5" << " E- 588.0";
}

void SignalTwoToneTest::browserLists() {
    QFETCH(int, mode);
    QFETCH(int, count);
    QFETCH(QString, firstText);
    QFETCH(QString, lastText);
    TwoToneBrowserDialog dialog(mode, 1, TwoToneBrowserDialog::Second, 0);
    QListWidget* list = dialog.list();
    QCOMPARE(list->count(), count);
    QCOMPARE(list->item(0)->text(), firstText);
    QCOMPARE(list->item(count - 1)->text(), lastText);
    if (mode == 5) {
        QCOMPARE(list->item(114)->text(), QStringLiteral("DIA 742.5"));
        QCOMPARE(list->item(115)->text(), QStringLiteral("    282.2"));
    }
}

void SignalTwoToneTest::browserTitleSelectionAndOk() {
    QCOMPARE(TwoToneBrowserDialog::Title(3, 2, TwoToneBrowserDialog::First), QStringLiteral("Pair#2 1st Tone PLECTRON  "));
    QCOMPARE(TwoToneBrowserDialog::Title(5, 6, TwoToneBrowserDialog::Second),
             QStringLiteral("Pair#6 2nd Tone   Custom  "));
    {
        TwoToneBrowserDialog dialog(1, 1, TwoToneBrowserDialog::First, 30);
        QCOMPARE(dialog.list()->currentRow(), 30);
        QCOMPARE(dialog.helpTopic(), 301);
        dialog.findChild<QPushButton*>(ControlName(kIdOk))->click();
        QCOMPARE(dialog.chosenPosition(), 30);
        QCOMPARE(dialog.chosenText(), QStringLiteral("  NONE   "));
    }
    {
        // A stored position the list does not offer selects nothing; OK then returns no choice.
        TwoToneBrowserDialog dialog(2, 1, TwoToneBrowserDialog::First, 40);
        QVERIFY(dialog.list()->selectedItems().isEmpty());
        dialog.accept();
        QCOMPARE(dialog.chosenPosition(), -1);
    }
    {
        TwoToneBrowserDialog dialog(4, 1, TwoToneBrowserDialog::First, 0);
        ShowActive(&dialog);
        QListWidget* list = dialog.list();
        const QRect r = list->visualItemRect(list->item(2));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.chosenPosition(), 2);
        QCOMPARE(dialog.chosenText(), QStringLiteral(" A-2523.0"));
    }
}

namespace {
using RunCommand = RefreshKind (*)(QWidget*, CRT62MDoc&);
constexpr RunCommand kCommands[] = {&RunAniDialog, &RunPageSettingDialog, &RunPagingCodeDialog, &RunTwoToneDialog,
                                    &RunTwoToneTableDialog};
}  // namespace

void SignalTwoToneTest::signalingCommands_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("dialogName");
    QTest::newRow("ANI") << 0 << int(RefreshKind::None) << "dlg149";
    QTest::newRow("Page Setting") << 1 << int(RefreshKind::None) << "dlg130";
    QTest::newRow("Paging Code") << 2 << int(RefreshKind::Grid) << "dlg133";
    QTest::newRow("2-Tone") << 3 << int(RefreshKind::None) << "dlg134";
    QTest::newRow("2-Tone Table") << 4 << int(RefreshKind::Grid) << "dlg148";
}

void SignalTwoToneTest::signalingCommands() {
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
        inStep = ReadImageChecksum(f.image()) == ComputeImageChecksum(f.image()) &&
                 ReadImageChecksum(f.image()) != 0;
        ChannelTable probe;
        probe.Decode(f.image(), m.hardware);
        inStep = inStep && probe.at(0).squelch == 9;
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

QTEST_MAIN(SignalTwoToneTest)
#include "signal_twotone_test.moc"
