// The Common-menu dialogs other than Hardware, Channel Type, and the command runners around them:
// the bytes each writes, list building and the values a list has no item for.
#include "dialogs/channel_type_dialog.h"
#include "dialogs/common_commands.h"
#include "dialogs/input_controls.h"
#include "dialogs/key_function_dialog.h"
#include "dialogs/marketing_dialog.h"
#include "dialogs/miscellaneous_dialog.h"
#include "dialogs/option_dialog.h"
#include "dialogs/power_saving_dialog.h"
#include "dialogs/scanning_dialog.h"
#include "image/document.h"
#include "image/fields.h"
#include "image/model.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace rt62;

namespace {

class SilentPrompter : public Prompter {
public:
    Answer show(int, Buttons, Icon, const std::vector<std::string>&) override { return Answer::No; }
};

std::unique_ptr<CRT62MDoc> FactoryDoc(Prompter& p, int bandStepCode = 0) {
    auto doc = std::make_unique<CRT62MDoc>(p, "/nonexistent");
    doc->Model() = MakeFactoryImage(bandStepCode);
    return doc;
}

void ShowActive(QWidget* w) {
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

template <class T>
T* Control(QWidget* dialog, int id) {
    return dialog->findChild<T*>(ControlName(id));
}

void Choose(QWidget* dialog, int id, int index) {
    auto* list = Control<EnterCombo>(dialog, id);
    QVERIFY2(list, qPrintable(QString::number(id)));
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void TypeInto(FilterEdit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

QStringList Items(QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
}

void PressOk(ParamDialog& d) { QTest::mouseClick(d.okButton(), Qt::LeftButton); }

// Presses OK (or Cancel) of the modal dialog that a runner is about to show.
void AnswerNextDialog(bool ok) {
    QTimer::singleShot(0, [ok] {
        auto* d = qobject_cast<ParamDialog*>(QApplication::activeModalWidget());
        QVERIFY(d);
        QTest::mouseClick(ok ? d->okButton() : d->cancelButton(), Qt::LeftButton);
    });
}

using Choices = QList<QPair<int, int>>;       // control id, item index
using ByteChecks = QList<QList<int>>;         // {offset, mask, expected}

}  // namespace

Q_DECLARE_METATYPE(Choices)
Q_DECLARE_METATYPE(ByteChecks)

class CommonDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void scanningWritesItsBytes_data();
    void scanningWritesItsBytes();
    void scanningCancelKeepsImageButMarksModified();
    void powerSavingAndMiscellaneousKeepEachOthersFields();
    void keyListsNeverOfferOneFunctionToBothKeys();
    void keyCodeWithoutItemIsKeptUnlessChanged();
    void optionChangeAdjustsChannelsBeforeFocusCheck();
    void optionPositionsAndCodes_data();
    void optionPositionsAndCodes();
    void marketingCommitPadsAndMarks_data();
    void marketingCommitPadsAndMarks();
    void marketingCancelAndServiceModeGate();
    void squelchTailSecondCode();
    void defaultSplitClampsAndCancelRestores_data();
    void defaultSplitClampsAndCancelRestores();
    void channelTypesWriteNibbles();
    void runnersKeepImageAndSectionsInStep();
};

void CommonDialogsTest::scanningWritesItsBytes_data() {
    QTest::addColumn<bool>("ktTrunkOption");
    QTest::addColumn<Choices>("choices");
    QTest::addColumn<ByteChecks>("bytes");
    QTest::newRow("dial 16, trunk off") << false << Choices{{2101, 16}, {2103, 0}}
                                        << ByteChecks{{0x0F, 0xFF, 0x0F}, {0x15, 0x40, 0x40}, {0x0D, 0x10, 0x00}};
    QTest::newRow("dial 3 then trunk 5") << true << Choices{{2103, 5}, {2101, 3}}
                                         << ByteChecks{{0x0F, 0xFF, 0x42}, {0x15, 0x40, 0x40}, {0x0D, 0x10, 0x10}};
    QTest::newRow("priority 6") << false << Choices{{2102, 6}} << ByteChecks{{0x0E, 0x0F, 0x05}, {0x15, 0x10, 0x10}};
    QTest::newRow("times and flags")
        << false << Choices{{2104, 7}, {2105, 1}, {2106, 1}, {2107, 1}, {2108, 1}, {2109, 2}, {2110, 1}}
        << ByteChecks{{0x14, 0xFF, 0x71}, {0x15, 0xAF, 0xAE}};
}

void CommonDialogsTest::scanningWritesItsBytes() {
    QFETCH(bool, ktTrunkOption);
    QFETCH(Choices, choices);
    QFETCH(ByteChecks, bytes);
    SilentPrompter p;
    auto doc = FactoryDoc(p);
    if (ktTrunkOption) doc->Image()[0xBE] |= 0x80;
    ScanningDialog d(*doc);
    ShowActive(&d);
    QCOMPARE(Control<EnterCombo>(&d, 2103)->isEnabled(), ktTrunkOption);
    for (const auto& c : choices) Choose(&d, c.first, c.second);
    PressOk(d);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    for (const auto& b : bytes)
        QVERIFY2((doc->Image()[b[0]] & b[1]) == b[2],
                 qPrintable(QString::asprintf("byte %02X = %02X", b[0], doc->Image()[b[0]])));
    QVERIFY(doc->IsModified());
}

void CommonDialogsTest::scanningCancelKeepsImageButMarksModified() {
    SilentPrompter p;
    auto doc = FactoryDoc(p);
    RadioImage& img = doc->Image();
    img[0x0E] = 0xA4;          // priority channel 5 (and the press key's nibble above it)
    img[0x15] |= 0x10;
    img[0x0D] |= 0x10;         // a trunk position without the trunk option
    img[0x0F] = 0x40;
    img[0x14] = 0x93;          // resume time 1 = 9 has no item
    {
        ScanningDialog d(*doc);
        QCOMPARE(Control<EnterCombo>(&d, 2102)->currentText(), QString("Ch5     "));
        QVERIFY(!Control<EnterCombo>(&d, 2103)->isEnabled());
        QCOMPARE(Control<EnterCombo>(&d, 2103)->currentText(), QString("Ch5     "));
        QCOMPARE(Control<EnterCombo>(&d, 2104)->currentIndex(), -1);
        const RadioImage before = img;
        Choose(&d, 2102, 0);
        d.reject();
        QCOMPARE(img, before);
        QVERIFY(doc->IsModified());
    }
    ScanningDialog d(*doc);
    ShowActive(&d);
    Choose(&d, 2102, 0);
    PressOk(d);
    QCOMPARE(img[0x15] & 0x10, 0);
    QCOMPARE(img[0x0E], 0xA4);  // the channel bits stay
    QCOMPARE(img[0x0D] & 0x10, 0x10);
    QCOMPARE(img[0x0F], 0x40);
    QCOMPARE(img[0x14], 0x93);
    ScanningDialog again(*doc);
    QCOMPARE(Control<EnterCombo>(&again, 2102)->currentText(), QString("Disabled"));
}

void CommonDialogsTest::powerSavingAndMiscellaneousKeepEachOthersFields() {
    SilentPrompter p;
    auto doc = FactoryDoc(p);
    {
        MiscellaneousDialog d(*doc);
        ShowActive(&d);
        const Choices misc{{2500, 0}, {2501, 3}, {2502, 1}, {2503, 1}, {2504, 0}, {2505, 1}, {2506, 1}, {2507, 9}};
        for (const auto& c : misc) Choose(&d, c.first, c.second);
        PressOk(d);
    }
    {
        PowerSavingDialog d(*doc);
        ShowActive(&d);
        QCOMPARE(Items(Control<EnterCombo>(&d, 2153)).mid(0, 2), (QStringList{"0.5 Mins", "1   Mins"}));
        QCOMPARE(Items(Control<EnterCombo>(&d, 2154)), (QStringList{"0  Secs", "6  Secs", "20 Secs", "60 Secs"}));
        QCOMPARE(Items(Control<EnterCombo>(&d, 2155)), (QStringList{"0 Secs", "2 Secs", "3 Secs", "5 Secs"}));
        for (const auto& c : Choices{{2153, 5}, {2154, 2}, {2155, 3}, {2156, 7}}) Choose(&d, c.first, c.second);
        PressOk(d);
    }
    CommonSection after;
    after.Decode(doc->Image());
    QCOMPARE(after.transmitTimer, 5);
    QCOMPARE(after.penaltyTimer, 2);
    QCOMPARE(after.releaseTimer, 3);
    QCOMPARE(after.receiveSaveMode, 7);
    QCOMPARE(after.beep, 0);
    QCOMPARE(after.callTimes, 3);
    QCOMPARE(after.squelchTailElim, 1);
    QCOMPARE(after.bell, 1);
    QCOMPARE(after.lampMode, 0);
    QCOMPARE(after.setToSetClone, 1);
    QCOMPARE(after.externalJack, 1);
    QCOMPARE(after.autoResetTime, 9);
    QCOMPARE(doc->Image()[0x02] & 0x7F, (5 << 4) | (2 << 2) | 3);

    // And back: a Miscellaneous OK leaves the power saving values alone.
    MiscellaneousDialog d(*doc);
    ShowActive(&d);
    Choose(&d, 2500, 1);
    PressOk(d);
    CommonSection last;
    last.Decode(doc->Image());
    QCOMPARE(last.transmitTimer, 5);
    QCOMPARE(last.receiveSaveMode, 7);
    QCOMPARE(last.beep, 1);
}

void CommonDialogsTest::keyListsNeverOfferOneFunctionToBothKeys() {
    SilentPrompter p;
    auto doc = FactoryDoc(p);  // press Monitor (1), hold Squelch Off (2)
    KeyFunctionDialog d(*doc);
    auto* press = Control<EnterCombo>(&d, 2250);
    auto* hold = Control<EnterCombo>(&d, 2251);
    QCOMPARE(press->currentText(), QString("Monitor       "));
    QCOMPARE(hold->currentText(), QString("Squelch Off   "));
    for (QComboBox* l : {static_cast<QComboBox*>(press), static_cast<QComboBox*>(hold)}) {
        QVERIFY(!Items(l).contains("Follow-Me DW  "));
        QVERIFY(Items(l).contains("None          "));
        QCOMPARE(l->count(), 12);
    }
    QVERIFY(!Items(hold).contains("Monitor       "));
    QVERIFY(!Items(press).contains("Squelch Off   "));

    Choose(&d, 2250, press->findText("Low Power     "));
    QVERIFY(Items(hold).contains("Monitor       "));
    QVERIFY(!Items(hold).contains("Low Power     "));
    QCOMPARE(d.record().accKeyPress, 3);
    QVERIFY(!d.record().inUse[0] && d.record().inUse[2]);
    // Both keys may hold None.
    Choose(&d, 2251, hold->findText("None          "));
    QVERIFY(Items(press).contains("Squelch Off   "));
    QCOMPARE(hold->currentText(), QString("None          "));
    d.okPressed();  // no focus check here
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(doc->Image()[0x0E] >> 4, 3);
    QCOMPARE(doc->Image()[0xE0] & 0x0F, 0);
    QVERIFY(doc->IsModified());
}

void CommonDialogsTest::keyCodeWithoutItemIsKeptUnlessChanged() {
    SilentPrompter p;
    auto doc = FactoryDoc(p);
    doc->Image()[0x0E] = static_cast<uint8_t>((doc->Image()[0x0E] & 0x0F) | 0x70);  // press: Follow-Me DW
    {
        KeyFunctionDialog d(*doc);
        QCOMPARE(Control<EnterCombo>(&d, 2250)->currentIndex(), -1);
        emit Control<EnterCombo>(&d, 2250)->aboutToDropDown();  // rebuilt on drop-down: still nothing chosen
        QCOMPARE(Control<EnterCombo>(&d, 2250)->currentIndex(), -1);
        d.okPressed();
        QCOMPARE(doc->Image()[0x0E] >> 4, 7);
    }
    KeyFunctionDialog d(*doc);
    Choose(&d, 2250, Control<EnterCombo>(&d, 2250)->findText("Scan          "));
    d.okPressed();
    QCOMPARE(doc->Image()[0x0E] >> 4, 4);
}

void CommonDialogsTest::optionChangeAdjustsChannelsBeforeFocusCheck() {
    SilentPrompter p;
    auto doc = FactoryDoc(p);
    ImageModel& m = doc->Model();
    m.image[0xBE] = 0x80 | 0x1C;  // KT-Trunk, with the three bits this dialog never touches
    m.image[0x0D] |= 0x10;         // a KT-Trunk position is set
    for (int n = 0; n < 16; ++n) m.channels.at(n).vts = 1;
    m.channels.at(4).channelType = 20;
    m.channels.at(2).encryption = 1;
    m.channels.Encode(m.image, m.hardware);

    OptionDialog d(*doc);
    ShowActive(&d);
    QCOMPARE(Control<EnterCombo>(&d, 2050)->currentText(), QString("KT-Trunk          "));
    Choose(&d, 2050, 0);
    Control<EnterCombo>(&d, 2050)->setFocus();
    d.okPressed();  // the focus is on the list: only the channel part runs
    QVERIFY(d.isVisible());
    QVERIFY(d.optionChanged());
    QCOMPARE(m.image[0xBE], 0x80 | 0x1C);
    QCOMPARE(m.image[0x10], 0);
    QCOMPARE(m.image[0x11], 0);
    QCOMPARE(m.image[0x0D] & 0x10, 0);
    QCOMPARE(m.channels.at(4).channelType, 4);
    QCOMPARE(m.channels.at(2).encryption, 0);
    QVERIFY(doc->IsModified());

    PressOk(d);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(m.image[0xBE], 0x1C);
}

void CommonDialogsTest::optionPositionsAndCodes_data() {
    QTest::addColumn<int>("initialByte");
    QTest::addColumn<int>("shownIndex");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<int>("finalByte");
    QTest::newRow("ZNE-48") << 0x1C << 0 << 1 << 0x7C;
    QTest::newRow("both low bits read as None") << 0x03 << 0 << 2 << 0x01;
    QTest::newRow("ANI") << 0x00 << 0 << 3 << 0x02;
    QTest::newRow("Encryption Hilevel shown") << 0x01 << 2 << 4 << 0x80;
    QTest::newRow("unchanged keeps odd bits") << 0x03 << 0 << 0 << 0x03;
}

void CommonDialogsTest::optionPositionsAndCodes() {
    QFETCH(int, initialByte);
    QFETCH(int, shownIndex);
    QFETCH(int, chosen);
    QFETCH(int, finalByte);
    SilentPrompter p;
    auto doc = FactoryDoc(p);
    ImageModel& m = doc->Model();
    m.image[0xBE] = static_cast<uint8_t>(initialByte);
    for (int n = 0; n < 16; ++n) m.channels.at(n).ani = 1;
    m.channels.Encode(m.image, m.hardware);
    OptionDialog d(*doc);
    ShowActive(&d);
    QCOMPARE(Control<EnterCombo>(&d, 2050)->currentIndex(), shownIndex);
    Choose(&d, 2050, chosen);
    PressOk(d);
    QCOMPARE(int(m.image[0xBE]), finalByte);
    QCOMPARE(d.optionChanged(), chosen != shownIndex);
    // Choosing ANI clears every channel's own ANI flag.
    QCOMPARE(m.channels.at(7).ani, chosen == 3 ? 0 : 1);
}

void CommonDialogsTest::marketingCommitPadsAndMarks_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("serial 1") << 2401 << "1" << "1C000000";
    QTest::newRow("serial empty") << 2401 << "" << "0C000000";
    QTest::newRow("serial lower-case letter") << 2401 << "5n12" << "5N120000";
    QTest::newRow("serial full") << 2401 << "0C010001" << "0C010001";
    QTest::newRow("market 12") << 2400 << "12" << "1200";
    QTest::newRow("market empty") << 2400 << "" << "0000";
}

void CommonDialogsTest::marketingCommitPadsAndMarks() {
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    SilentPrompter p;
    auto doc = FactoryDoc(p);
    MarketingDialog d(*doc, true);
    ShowActive(&d);
    auto* edit = Control<FilterEdit>(&d, id);
    TypeInto(edit, typed);
    const MarketingSection& m = doc->Model().marketing;
    QCOMPARE(QString::fromStdString(id == 2401 ? m.serialNumber : m.marketApplication), stored);
    QCOMPARE(edit->text(), stored);
    QVERIFY(doc->IsMarketingChanged());
    QVERIFY(doc->IsModified());
    PressOk(d);
    QCOMPARE(QString::fromStdString(id == 2401 ? ReadSerialNumber(doc->Image()) : ReadMarketApplication(doc->Image())),
             stored);
    if (stored == "0C010001") {
        const RadioImage& img = doc->Image();
        QCOMPARE((QList<int>{img[0xF8], img[0xF9], img[0xFA], img[0xFB]}), (QList<int>{0x01, 0x01, 0x01, 0x00}));
    }
}

void CommonDialogsTest::marketingCancelAndServiceModeGate() {
    SilentPrompter p;
    auto doc = FactoryDoc(p);
    {
        MarketingDialog d(*doc, true);
        ShowActive(&d);
        auto* serial = Control<FilterEdit>(&d, 2401);
        QCOMPARE(serial->text(), QString("0C010001"));
        // Deleting the first character would move the letter out of its place: refused, number kept.
        serial->setFocus();
        QTest::keyClick(serial, Qt::Key_Return);
        QTest::keyClick(serial, Qt::Key_Home);
        QTest::keyClick(serial, Qt::Key_Delete);
        QTest::keyClick(serial, Qt::Key_Return);
        QCOMPARE(serial->text(), QString("0C010001"));
        TypeInto(serial, "7");
        QCOMPARE(doc->Model().marketing.serialNumber, std::string("7C000000"));
        d.cancelButton()->click();
        QCOMPARE(doc->Model().marketing.serialNumber, std::string("0C010001"));
        QCOMPARE(ReadSerialNumber(doc->Image()), std::string("0C010001"));
        QVERIFY(!doc->IsMarketingChanged());
    }
    doc->Image()[0xF2] = 0x42;  // market application "4200", read when the dialog opens
    MarketingDialog d(*doc, false);
    ShowActive(&d);
    for (int id : {2400, 2401}) QCOMPARE(Control<FilterEdit>(&d, id)->colorState(), ColorEdit::State::Disabled);
    QCOMPARE(Control<FilterEdit>(&d, 2400)->text(), QString("4200"));
    PressOk(d);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(ReadMarketApplication(doc->Image()), std::string("4200"));
    QVERIFY(!doc->IsMarketingChanged());
}

void CommonDialogsTest::squelchTailSecondCode() {
    SilentPrompter p;
    auto doc = FactoryDoc(p);
    auto setTail = [&](int v) { doc->Image()[0x0D] = static_cast<uint8_t>((doc->Image()[0x0D] & 0x9F) | (v << 5)); };
    setTail(2);
    {
        MiscellaneousDialog d(*doc);
        auto* tail = Control<EnterCombo>(&d, 2502);
        QCOMPARE(Items(tail), (QStringList{"Disabled", "No Tone ", "Rev. Burst ", "Rev. Burst "}));
        QCOMPARE(tail->currentIndex(), 2);
        Choose(&d, 2502, 2);  // its own item again: 2 stays
        QCOMPARE(d.record().squelchTailElim, 2);
        QCOMPARE(tail->count(), 4);
        Choose(&d, 2502, 1);
        QCOMPARE(Items(tail), (QStringList{"Disabled", "No Tone ", "Rev. Burst "}));
        QCOMPARE(tail->currentIndex(), 1);
        QCOMPARE(d.record().squelchTailElim, 1);
        Choose(&d, 2502, 2);
        QCOMPARE(d.record().squelchTailElim, 3);
    }
    MiscellaneousDialog d(*doc);
    ShowActive(&d);
    Choose(&d, 2502, 3);  // the second "Rev. Burst " stores 3
    QCOMPARE(d.record().squelchTailElim, 3);
    QCOMPARE(Control<EnterCombo>(&d, 2502)->count(), 3);
    QCOMPARE(Control<EnterCombo>(&d, 2502)->currentIndex(), 2);
    PressOk(d);
    QCOMPARE((doc->Image()[0x0D] >> 5) & 3, 3);
}

void CommonDialogsTest::defaultSplitClampsAndCancelRestores_data() {
    QTest::addColumn<double>("initial");
    QTest::addColumn<QString>("initialText");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("150 clamps") << 0.0 << "0.0   MHz" << "150" << 99.9 << "99.9  MHz";
    QTest::newRow("-150 clamps") << -5.0 << "-5.0  MHz" << "-150" << -99.9 << "-99.9 MHz";
    QTest::newRow("minus alone") << 0.6 << "0.6   MHz" << "-" << 0.0 << "0.0   MHz";
    QTest::newRow("within") << 0.0 << "0.0   MHz" << "+4.5" << 4.5 << "4.5   MHz";
}

void CommonDialogsTest::defaultSplitClampsAndCancelRestores() {
    QFETCH(double, initial);
    QFETCH(QString, initialText);
    QFETCH(QString, typed);
    QFETCH(double, stored);
    QFETCH(QString, shown);
    SilentPrompter p;
    auto doc = FactoryDoc(p);
    doc->SetDefaultSplit(initial);
    for (bool ok : {false, true}) {
        MiscellaneousDialog d(*doc);
        ShowActive(&d);
        auto* split = Control<FilterEdit>(&d, 2520);
        QCOMPARE(split->text(), initialText);
        TypeInto(split, typed);
        QCOMPARE(doc->DefaultSplit(), stored);
        QCOMPARE(split->text(), shown);
        if (ok)
            PressOk(d);
        else
            d.cancelButton()->click();
        QCOMPARE(doc->DefaultSplit(), ok ? stored : initial);
    }
}

void CommonDialogsTest::channelTypesWriteNibbles() {
    SilentPrompter p;
    auto doc = FactoryDoc(p);
    {
        ChannelTypeDialog d(*doc);
        for (int k = 1; k <= 16; ++k)
            QCOMPARE(Control<EnterCombo>(&d, 3700 + k)->currentText(), QString("Type-%1").arg(k));
        // No change: not modified, but the table is written (a stray nibble is put right).
        doc->Image()[0x1D] = 0x00;
        d.okPressed();
        QVERIFY(!doc->IsModified());
        QCOMPARE(doc->Image()[0x1D], 0xEF);
    }
    ChannelTypeDialog d(*doc);
    ShowActive(&d);
    Choose(&d, 3702, 15);
    QCOMPARE(doc->Model().channels.at(1).channelType, 1);  // nothing stored before OK
    d.okPressed();
    QCOMPARE(doc->Image()[0x16], 0x0F);
    QCOMPARE(doc->Model().channels.at(1).channelType, 15);
    QVERIFY(doc->IsModified());
}

void CommonDialogsTest::runnersKeepImageAndSectionsInStep() {
    SilentPrompter p;
    auto doc = FactoryDoc(p);
    ImageModel& m = doc->Model();

    // Before: the sections are written into the image (an unsaved grid edit reaches the image).
    m.channels.at(0).squelch = 9;
    AnswerNextDialog(false);
    QCOMPARE(RunScanningDialog(nullptr, *doc), RefreshKind::None);
    QCOMPARE(m.image[0x1E + 2] & 0x0F, 9);
    QCOMPARE(ReadImageChecksum(m.image), ComputeImageChecksum(m.image));

    // After: the option change is decoded into the channel table and the grid is rebuilt.
    m.image[0xBE] = 0x80;
    m.channels.at(3).vts = 1;
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<OptionDialog*>(QApplication::activeModalWidget());
        QVERIFY(d);
        Choose(d, 2050, 0);
        QTest::mouseClick(d->okButton(), Qt::LeftButton);
    });
    QCOMPARE(RunOptionDialog(nullptr, *doc), RefreshKind::Grid);
    QCOMPARE(m.channels.at(3).vts, 0);

    AnswerNextDialog(true);
    QCOMPARE(RunMiscellaneousDialog(nullptr, *doc), RefreshKind::InfoPanel);
    AnswerNextDialog(false);
    QCOMPARE(RunMarketingDialog(nullptr, *doc, false), RefreshKind::InfoPanel);
    AnswerNextDialog(true);
    QCOMPARE(RunKeyFunctionDialog(nullptr, *doc), RefreshKind::None);
    AnswerNextDialog(true);
    QCOMPARE(RunPowerSavingDialog(nullptr, *doc), RefreshKind::None);
    AnswerNextDialog(false);
    QCOMPARE(RunChannelTypeDialog(nullptr, *doc), RefreshKind::None);
    AnswerNextDialog(true);
    QCOMPARE(RunChannelTypeDialog(nullptr, *doc), RefreshKind::Grid);
    AnswerNextDialog(false);
    QCOMPARE(RunHardwareDialog(nullptr, *doc, true, p), RefreshKind::None);
}

QTEST_MAIN(CommonDialogsTest)
#include "dialogs_common_test.moc"
