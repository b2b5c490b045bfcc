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
    ImageModel& m() { return doc.Model(); }
    void setPair(int k, int b1, int b2) {
        WritePairBytes(image(), k, {static_cast<std::uint8_t>(b1), static_cast<std::uint8_t>(b2)});
    }
    std::pair<int, int> pair(int k) {
        const PairBytes b = ReadPairBytes(image(), k);
        return {b.first, b.second};
    }
};

void Show(QWidget* w) {
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

void PressKey(QWidget* w, Qt::Key key) {
    w->setFocus();
    QTest::keyClick(w, key);
}

// Runs f on the modal dialog as soon as one is shown (polling: the dialog's exec() blocks the caller).
struct OnModal {
    QTimer poll;
    explicit OnModal(std::function<void(QDialog*)> f) {
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [this, f] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                poll.stop();
                f(d);
            }
        });
        poll.start();
    }
};

} // namespace

class SignalDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void aniCodeBytes_data();
    void aniCodeBytes();
    void pageSettingGatedByPagingBit();
    void pageCodeBytes_data();
    void pageCodeBytes();
    void clearedPageCodeRemovesChannelPages();
    void standardPairsReadAndWrittenBack_data();
    void standardPairsReadAndWrittenBack();
    void mixedTableSwitchesToCustomAndWritesBackSameBytes();
    void customBrowserPositionsStoreCodes();
    void groupChangeWithoutBrowserTakesFirstEntry();
    void pairOffClearsChannelColumnP();
    void formatChangeWritesAllPairsOffAndFirmwareGates();
    void browserListsAndChoice();
    void toneBoxOpensRealBrowser();
    void signalingCommands();
};

void SignalDialogsTest::aniCodeBytes_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("bytes"); // from 0x05 on
    QTest::newRow("digits") << "123" << "123" << QByteArray("\x31\x23", 2);
    QTest::newRow("letters and signs") << "A*#" << "A*#" << QByteArray("\x3A\xEF", 2);
    QTest::newRow("lower case, refused e") << "aebc" << "ABC" << QByteArray("\x3A\xBC", 2);
    QTest::newRow("15 kept, 16th refused") << "0123456789ABCD*#" << "0123456789ABCD*"
                                           << QByteArray("\xF0\x12\x34\x56\x78\x9A\xBC\xDE", 8);
}

void SignalDialogsTest::aniCodeBytes() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, bytes);
    Fixture f;
    AniDialog dialog(f.doc);
    Show(&dialog);
    ReplaceText(dialog.codeField(), typed);
    // Enter finished the edit without pressing OK, and nothing is written yet.
    QVERIFY(dialog.isVisible() && dialog.codeField()->isDisplayState());
    QTEST(dialog.codeField()->text(), "shown");
    QCOMPARE(ReadDtmfCode(f.image()), std::string());
    dialog.findChild<EnterCombo*>(ControlName(AniDialog::kDelay))->setCurrentIndex(3);
    dialog.okButton()->click();
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(&f.image()[0x05]), bytes.size()), bytes);
    QCOMPARE(layout::kDtmfDelay.Read(f.image()), 3);
    QCOMPARE(layout::kAniTransmit.Read(f.image()), 1);
    QVERIFY(f.doc.IsModified());
}

void SignalDialogsTest::pageSettingGatedByPagingBit() {
    for (bool paging : {true, false}) {
        Fixture f(paging);
        f.image()[0xBE] |= 0x08; // a neighbour bit the dialog must keep
        const std::uint8_t before = f.image()[0xBE];
        PageSettingDialog dialog(f.doc);
        Show(&dialog);
        auto* answer = dialog.findChild<EnterCombo*>(ControlName(PageSettingDialog::kAnswerBack));
        QCOMPARE(dialog.findChild<EnterCombo*>(ControlName(PageSettingDialog::kDtmfSpeed))->isEnabled(), paging);
        QCOMPARE(answer->isEnabled(), paging);
        if (paging) answer->setCurrentIndex(1);
        dialog.okButton()->setFocus();
        dialog.okButton()->click();
        QCOMPARE(int(f.image()[0xBE]), int(paging ? (before | 0x10) : before));
        QCOMPARE(f.doc.IsModified(), paging);
    }
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
    Fixture f;
    PagingCodeDialog dialog(f.doc);
    Show(&dialog);
    QVERIFY(!dialog.selector(5)->isEnabled()); // an empty row's selector waits for a code
    ReplaceText(dialog.codeField(5), typed);
    QVERIFY(dialog.isVisible() && dialog.selector(5)->isEnabled());
    dialog.selector(5)->setCurrentIndex(selector);
    dialog.okButton()->click();
    QTEST(int(f.image()[0xC8]), "byte1");
    QTEST(int(f.image()[0xC9]), "byte2");
    QVERIFY(f.doc.IsModified());
}

void SignalDialogsTest::clearedPageCodeRemovesChannelPages() {
    Fixture f;
    WritePageCode(f.image(), 3, {"456", 1});
    WritePageCode(f.image(), 4, {"789", 0});
    ImageModel& m = f.m();
    for (int n : {1, 4, 6}) {
        m.channels.at(n).pageNumber = n == 6 ? 4 : 3;
        m.channels.at(n).pagePresent = 1;
    }
    NormalizeImage(m);

    PagingCodeDialog dialog(f.doc);
    Show(&dialog);
    ReplaceText(dialog.codeField(3), QString());
    QVERIFY(!dialog.selector(3)->isEnabled());
    QCOMPARE(dialog.selector(3)->currentIndex(), 0);
    dialog.okButton()->click();

    QCOMPARE((QList<int>{f.image()[0xC4], f.image()[0xC5], f.image()[0xC6]}), (QList<int>{0, 0, 0x07}));
    for (int n : {1, 4}) QCOMPARE(ChannelCellText(m, n, kColPage), std::string("-"));
    QCOMPARE(ChannelCellText(m, 6, kColPage), std::string(" 4"));
    DecodeImage(m); // the channel records in the image agree
    QCOMPARE(m.channels.at(1).pageNumber, 0);
    QCOMPARE(m.channels.at(6).pageNumber, 4);
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
    Fixture f;
    f.setPair(2, b1, b2);
    const RadioImage before = f.image();
    TwoToneTableDialog dialog(f.doc);
    QCOMPARE(dialog.format(), TwoToneFormat::Standard);
    QTEST(dialog.groupList(2)->currentIndex(), "group");
    QTEST(dialog.toneBox(2, 0)->text(), "first");
    QTEST(dialog.toneBox(2, 1)->text(), "second");
    QVERIFY(!dialog.toneBox(1, 0)->isEnabled()); // pair 1 is off
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
    QCOMPARE(f.m().twoToneFormat, TwoToneFormat::Custom);
    QCOMPARE(dialog.groupList(1)->count(), 2); // off and custom
    const QStringList texts{dialog.toneBox(1, 0)->text(), dialog.toneBox(1, 1)->text(),
                            dialog.toneBox(2, 0)->text(), dialog.toneBox(2, 1)->text()};
    QCOMPARE(texts, QStringList({" 1- 433.7", " 2- 569.1", " 1- 433.7", " A- 682.5"}));
    dialog.okButton()->click();
    QCOMPARE(f.image(), before);
    QVERIFY(!f.doc.IsModified());
}

void SignalDialogsTest::customBrowserPositionsStoreCodes() {
    // Browser position -> code: first PLECTRON tone, first REACH tone, last REACH tone.
    for (const auto& [position, code] : {std::pair{115, 131}, {171, 190}, {220, 239}}) {
        Fixture f;
        f.m().twoToneFormat = TwoToneFormat::Custom;
        f.setPair(4, 0x05, 0x0A);
        TwoToneTableDialog dialog(f.doc);
        int opened = -1;
        OnModal answer([&opened, row = position](QDialog* d) {
            auto* browser = qobject_cast<TwoToneBrowserDialog*>(d);
            opened = browser->list()->currentRow();
            browser->list()->setCurrentRow(row);
            browser->accept();
        });
        dialog.browse(4, 1);
        QCOMPARE(opened, 10); // the custom list opens on the stored tone
        QCOMPARE(dialog.toneBox(4, 1)->text(), QString::fromStdString(TwoToneCodeText(code)));
        dialog.okButton()->click();
        QCOMPARE(f.pair(4), std::make_pair(0x05, code));
        QVERIFY(f.doc.IsModified());
    }
}

void SignalDialogsTest::groupChangeWithoutBrowserTakesFirstEntry() {
    Fixture f;
    f.setPair(1, 0x05, 0x0A);
    TwoToneTableDialog dialog(f.doc);
    Show(&dialog);
    PressKey(dialog.groupList(1), Qt::Key_End); // "REACH GRP "
    QCOMPARE(dialog.toneBox(1, 0)->text(), QStringLiteral(" A-2704.0"));
    QCOMPARE(dialog.toneBox(1, 1)->text(), QStringLiteral(" A-2704.0"));
    PressKey(dialog.groupList(5), Qt::Key_Down); // off -> "MOTOROLA  "
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
    ImageModel& m = f.m();
    for (int n : {0, 3, 15}) m.channels.at(n).twoToneP = 3;
    m.channels.at(1).twoToneP = 2;
    NormalizeImage(m);

    TwoToneTableDialog dialog(f.doc);
    Show(&dialog);
    PressKey(dialog.groupList(3), Qt::Key_Home); // "   OFF    "
    QCOMPARE(dialog.toneBox(3, 0)->text(), QString());
    QVERIFY(!dialog.toneBox(3, 0)->isEnabled());
    dialog.okButton()->click();

    QCOMPARE(f.pair(3), std::make_pair(0xFF, 0xFF));
    for (int n : {0, 3, 15}) QCOMPARE(ChannelCellText(m, n, kColTwoToneP), std::string("-"));
    QCOMPARE(ChannelCellText(m, 1, kColTwoToneP), std::string(" 2"));
    DecodeImage(m); // the channel records in the image agree
    QCOMPARE(m.channels.at(3).twoToneP, 0);
    QCOMPARE(m.channels.at(1).twoToneP, 2);
}

void SignalDialogsTest::formatChangeWritesAllPairsOffAndFirmwareGates() {
    Fixture f;
    f.setPair(1, 0x05, 0x0A);
    f.setPair(4, 0x54, 0x55);
    f.m().channels.at(2).twoToneP = 4;
    NormalizeImage(f.m());
    {
        TwoToneParametersDialog dialog(f.doc);
        dialog.list(TwoToneParametersDialog::kToneFormat)->setCurrentIndex(1);
        dialog.list(TwoToneParametersDialog::kPrimaryGroupCall)->setCurrentIndex(2);
        dialog.list(TwoToneParametersDialog::kSecondaryPagePair)->setCurrentIndex(5);
        dialog.okButton()->click();
    }
    for (int k = 1; k <= 6; ++k) QCOMPARE(f.pair(k), std::make_pair(0xFF, 0xFF));
    QCOMPARE(f.m().twoToneFormat, TwoToneFormat::Custom);
    QCOMPARE(f.m().channels.at(2).twoToneP, 4); // channel references stay
    QCOMPARE(int(f.image()[0xBF] & 0x78), 2 << 5);
    QCOMPARE(int(f.image()[0xE0] >> 4), 5);
    QVERIFY(f.doc.IsModified());

    // Complement and duty need firmware 2.00; the other lists are always there.
    for (const auto& [version, enabled] : {std::pair{0x0199, false}, {0x0200, true}}) {
        f.image()[0x00] = static_cast<std::uint8_t>(version >> 8);
        f.image()[0x01] = static_cast<std::uint8_t>(version & 0xFF);
        TwoToneParametersDialog dialog(f.doc);
        for (int id = TwoToneParametersDialog::kPrimaryGroupCall; id <= TwoToneParametersDialog::kDuty; ++id) {
            const bool gated = id == TwoToneParametersDialog::kComplement || id == TwoToneParametersDialog::kDuty;
            QCOMPARE(dialog.list(id)->isEnabled(), gated ? enabled : true);
        }
    }
}

void SignalDialogsTest::browserListsAndChoice() {
    // Mode -> entries and the last one: MOTOROLA, GE/99, PLECTRON, REACH, custom.
    const QList<std::tuple<int, int, QString>> lists{{1, 84, "11-2468.2"},  {2, 31, "DIA 742.5"},
                                                     {3, 56, "   3062.0"},  {4, 50, " E- 588.0"},
                                                     {5, 221, " E- 588.0"}};
    for (const auto& [mode, count, last] : lists) {
        TwoToneBrowserDialog dialog(mode, 1, TwoToneBrowserDialog::Second, 0);
        QCOMPARE(dialog.list()->count(), count);
        QCOMPARE(dialog.list()->item(count - 1)->text(), last);
    }
    TwoToneBrowserDialog unlisted(2, 1, TwoToneBrowserDialog::First, 40); // a position GE/99 lacks
    unlisted.findChild<QPushButton*>(ControlName(kIdOk))->click();
    QCOMPARE(unlisted.chosenPosition(), -1); // OK with nothing selected chooses nothing
    TwoToneBrowserDialog dialog(1, 1, TwoToneBrowserDialog::First, 30);
    Show(&dialog);
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
    Show(&dialog);
    QStringList titles;
    const auto answer = [&](int row) {
        return [&titles, row](QDialog* d) {
            auto* browser = qobject_cast<TwoToneBrowserDialog*>(d);
            QVERIFY(browser);
            titles << browser->windowTitle();
            browser->list()->setCurrentRow(row);
            row < 0 ? browser->reject() : browser->accept();
        };
    };
    {
        OnModal first(answer(55));
        PressKey(dialog.toneBox(2, 0), Qt::Key_Return);
    }
    QTest::keyClicks(dialog.toneBox(2, 0), "12"); // typing never reaches a tone box
    {
        OnModal second(answer(-1)); // Cancel keeps the tone
        QTest::mouseDClick(dialog.toneBox(2, 1), Qt::LeftButton);
    }
    {
        OnModal none(answer(-1)); // an off pair opens nothing
        QTest::mouseDClick(dialog.toneBox(1, 0), Qt::LeftButton);
    }
    QCOMPARE(titles, (QStringList{"Pair#2 1st Tone PLECTRON  ", "Pair#2 2nd Tone PLECTRON  "}));
    QCOMPARE(dialog.toneBox(2, 0)->text(), QStringLiteral("   3062.0"));
    dialog.okButton()->click();
    QCOMPARE(f.pair(2), std::make_pair(186, 131));
}

void SignalDialogsTest::signalingCommands() {
    using RunCommand = RefreshKind (*)(QWidget*, CRT62MDoc&);
    const QList<std::tuple<RunCommand, RefreshKind, QString>> commands{
        {&RunAniDialog, RefreshKind::None, "dlg149"},       {&RunPageSettingDialog, RefreshKind::None, "dlg130"},
        {&RunPagingCodeDialog, RefreshKind::Grid, "dlg133"}, {&RunTwoToneDialog, RefreshKind::None, "dlg134"},
        {&RunTwoToneTableDialog, RefreshKind::Grid, "dlg148"}};
    for (const auto& [run, kind, name] : commands) {
        Fixture f;
        ImageModel& m = f.m();
        // A channel edit not yet in the image, and a stale checksum: the command must normalize first.
        m.channels.at(0).squelch = 9;
        f.image()[0xFC] ^= 0xFF;
        QString seen;
        bool inStep = false;
        OnModal answer([&](QDialog* d) {
            seen = d->objectName();
            ChannelTable probe;
            probe.Decode(f.image(), m.hardware);
            inStep = ReadImageChecksum(f.image()) == ComputeImageChecksum(f.image()) && probe.at(0).squelch == 9;
            // Something only the image holds: a decode after the dialog would carry it into the table.
            probe.at(0).squelch = 5;
            probe.EncodeChannel(0, f.image(), m.hardware);
            d->reject();
        });
        QCOMPARE(run(nullptr, f.doc), kind);
        QCOMPARE(seen, name);
        QVERIFY(inStep);
        QCOMPARE(m.channels.at(0).squelch, 9);
        QVERIFY(!f.doc.IsModified());
    }
}

QTEST_MAIN(SignalDialogsTest)
#include "signal_dialogs_test.moc"
