// The Common-menu dialogs and Channel Type driven through their controls: the bits each writes, values a
// list has no item for, Hardware Parameters' clamps and band change, and the command runners around them.
#include "dialogs/channel_type_dialog.h"
#include "dialogs/common_commands.h"
#include "dialogs/hardware_dialog.h"
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

using namespace rt62;

namespace {

class ScriptedPrompter : public Prompter {
public:
    QList<Answer> answers;
    QList<int> asked;
    Answer show(int id, Buttons, Icon, const std::vector<std::string>&) override {
        asked << id;
        return answers.isEmpty() ? Answer::No : answers.takeFirst();
    }
};

// A factory document of the given band/step code; the prompter answers No unless scripted.
struct Doc {
    ScriptedPrompter p;
    CRT62MDoc doc{p, "/nonexistent"};
    explicit Doc(int bandStepCode = 0) { doc.Model() = MakeFactoryImage(bandStepCode); }
    RadioImage& img() { return doc.Image(); }
    ImageModel& m() { return doc.Model(); }
};

using Choices = QList<QPair<int, int>>; // control id, item index

void Show(QWidget* w) {
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

template <class T = EnterCombo> T* Control(QWidget* dialog, int id) {
    return dialog->findChild<T*>(ControlName(id));
}

// What a user's choice does: the item becomes current and the list reports it.
void Choose(QWidget* dialog, const Choices& choices) {
    for (const auto& [id, index] : choices) {
        auto* list = Control(dialog, id);
        QVERIFY2(list, qPrintable(QString::number(id)));
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
}

// Enter to edit, the text replacing the selection, Enter.
void TypeInto(QWidget* dialog, int id, const QString& text) {
    auto* edit = Control<FilterEdit>(dialog, id);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

QStringList Items(QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
}

void PressOk(ParamDialog& d) { QTest::mouseClick(d.okButton(), Qt::LeftButton); }

// Presses OK (or Cancel) of the modal dialog a runner is about to show, after an optional choice.
void AnswerNextDialog(bool ok, const Choices& choices = {}) {
    QTimer::singleShot(0, [ok, choices] {
        auto* d = qobject_cast<ParamDialog*>(QApplication::activeModalWidget());
        QVERIFY(d);
        Choose(d, choices);
        QTest::mouseClick(ok ? d->okButton() : d->cancelButton(), Qt::LeftButton);
    });
}

} // namespace

class CommonDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void scanningWritesItsBytes();
    void powerSavingAndMiscellaneousKeepEachOthersFields();
    void keyListsExcludeEachOther();
    void optionChangeAdjustsChannelsBeforeFocusCheck();
    void marketingPadsAndCancels();
    void squelchTailSecondCode();
    void defaultSplitClampsAndCancelRestores();
    void channelTypesWriteNibbles();
    void hardwareFrequencyClamps();
    void hardwareBandChange();
    void hardwareOutsideServiceModeStillNormalizes();
    void runnersKeepImageAndSectionsInStep();
};

void CommonDialogsTest::scanningWritesItsBytes() {
    struct Row {
        bool trunkOption;
        Choices choices;
        QList<QList<int>> bytes; // {offset, mask, expected}
    };
    const Row rows[] = {
        {false, {{2101, 16}, {2103, 0}}, {{0x0F, 0xFF, 0x0F}, {0x15, 0x40, 0x40}, {0x0D, 0x10, 0}}},
        {true, {{2103, 5}, {2101, 3}}, {{0x0F, 0xFF, 0x42}, {0x15, 0x40, 0x40}, {0x0D, 0x10, 0x10}}},
        {false, {{2102, 6}}, {{0x0E, 0x0F, 0x05}, {0x15, 0x10, 0x10}}},
        {false, {{2104, 7}, {2105, 1}, {2106, 1}, {2107, 1}, {2108, 1}, {2109, 2}, {2110, 1}},
         {{0x14, 0xFF, 0x71}, {0x15, 0xAF, 0xAE}}},
    };
    for (const Row& r : rows) {
        Doc f;
        if (r.trunkOption) f.img()[0xBE] |= 0x80;
        ScanningDialog d(f.doc);
        Show(&d);
        QCOMPARE(Control(&d, 2103)->isEnabled(), r.trunkOption);
        Choose(&d, r.choices);
        PressOk(d);
        for (const auto& b : r.bytes)
            QVERIFY2((f.img()[b[0]] & b[1]) == b[2], qPrintable(QString::asprintf("byte %02X", b[0])));
        QVERIFY(f.doc.IsModified());
    }
}

void CommonDialogsTest::powerSavingAndMiscellaneousKeepEachOthersFields() {
    Doc f;
    MiscellaneousDialog misc(f.doc);
    Show(&misc);
    Choose(&misc, {{2500, 0}, {2501, 3}, {2502, 1}, {2503, 1}, {2504, 0}, {2505, 1}, {2506, 1}, {2507, 9}});
    PressOk(misc);
    PowerSavingDialog power(f.doc);
    Show(&power);
    Choose(&power, {{2153, 5}, {2154, 2}, {2155, 3}, {2156, 7}});
    PressOk(power);
    QCOMPARE(f.img()[0x02] & 0x7F, (5 << 4) | (2 << 2) | 3);
    MiscellaneousDialog again(f.doc); // and back: only its own fields change
    Show(&again);
    Choose(&again, {{2500, 1}});
    PressOk(again);
    CommonSection s;
    s.Decode(f.img());
    const QList<int> got{s.transmitTimer, s.penaltyTimer, s.releaseTimer, s.receiveSaveMode,
                         s.beep,          s.callTimes,    s.squelchTailElim, s.bell,
                         s.lampMode,      s.setToSetClone, s.externalJack, s.autoResetTime};
    QCOMPARE(got, (QList<int>{5, 2, 3, 7, 1, 3, 1, 1, 0, 1, 1, 9}));
}

void CommonDialogsTest::keyListsExcludeEachOther() {
    Doc f; // press Monitor (1), hold Squelch Off (2)
    KeyFunctionDialog d(f.doc);
    auto* press = Control(&d, 2250);
    auto* hold = Control(&d, 2251);
    QVERIFY(!Items(hold).contains("Monitor       "));
    QVERIFY(!Items(press).contains("Squelch Off   "));
    QVERIFY(!Items(press).contains("Follow-Me DW  ")); // code 7 is never offered
    Choose(&d, {{2250, press->findText("Low Power     ")}});
    QVERIFY(Items(hold).contains("Monitor       "));
    QVERIFY(!Items(hold).contains("Low Power     "));
    Choose(&d, {{2251, hold->findText("None          ")}}); // both keys may hold None
    QVERIFY(Items(press).contains("None          "));
    d.okPressed();
    QCOMPARE(f.img()[0x0E] >> 4, 3);
    QCOMPARE(f.img()[0xE0] & 0x0F, 0);

    // A code without an item shows nothing, also after a rebuild on drop-down, and is kept.
    f.img()[0x0E] = static_cast<uint8_t>((f.img()[0x0E] & 0x0F) | 0x70);
    KeyFunctionDialog again(f.doc);
    emit Control(&again, 2250)->aboutToDropDown();
    QCOMPARE(Control(&again, 2250)->currentIndex(), -1);
    again.okPressed();
    QCOMPARE(f.img()[0x0E] >> 4, 7);
}

void CommonDialogsTest::optionChangeAdjustsChannelsBeforeFocusCheck() {
    Doc f;
    ImageModel& m = f.m();
    m.image[0xBE] = 0x80 | 0x1C; // KT-Trunk, with three bits this dialog never touches
    m.image[0x0D] |= 0x10;       // a KT-Trunk position is set
    for (int n = 0; n < 16; ++n) m.channels.at(n).vts = 1;
    m.channels.at(4).channelType = 20;
    m.channels.at(2).encryption = 1;
    m.channels.Encode(m.image, m.hardware);

    OptionDialog d(f.doc);
    Show(&d);
    Choose(&d, {{2050, 0}});
    Control(&d, 2050)->setFocus();
    d.okPressed(); // the focus is on the list: only the channel part runs
    QVERIFY(d.isVisible());
    QVERIFY(d.optionChanged());
    QCOMPARE(m.image[0xBE], 0x80 | 0x1C);
    QCOMPARE(m.image[0x10] | m.image[0x11], 0);
    QCOMPARE(m.image[0x0D] & 0x10, 0);
    QCOMPARE(m.channels.at(4).channelType, 4);
    QCOMPARE(m.channels.at(2).encryption, 0);
    PressOk(d);
    QCOMPARE(m.image[0xBE], 0x1C);
}

void CommonDialogsTest::marketingPadsAndCancels() {
    struct Row {
        int id;
        const char* typed;
        const char* stored;
    };
    for (const Row& r : {Row{2401, "1", "1C000000"}, Row{2401, "", "0C000000"}, Row{2401, "5n12", "5N120000"},
                         Row{2400, "12", "1200"}, Row{2400, "", "0000"}}) {
        Doc f;
        MarketingDialog d(f.doc, true);
        Show(&d);
        TypeInto(&d, r.id, r.typed);
        QCOMPARE(Control<FilterEdit>(&d, r.id)->text(), QString(r.stored));
        QVERIFY(f.doc.IsMarketingChanged());
        PressOk(d);
        QCOMPARE(r.id == 2401 ? ReadSerialNumber(f.img()) : ReadMarketApplication(f.img()), std::string(r.stored));
    }
    Doc f; // Cancel puts the number back and clears the mark
    MarketingDialog d(f.doc, true);
    Show(&d);
    TypeInto(&d, 2401, "7");
    d.cancelButton()->click();
    QCOMPARE(f.m().marketing.serialNumber, std::string("0C010001"));
    QVERIFY(!f.doc.IsMarketingChanged());
}

void CommonDialogsTest::squelchTailSecondCode() {
    Doc f;
    f.img()[0x0D] = static_cast<uint8_t>((f.img()[0x0D] & 0x9F) | (2 << 5));
    MiscellaneousDialog d(f.doc);
    Show(&d);
    auto* tail = Control(&d, 2502);
    QCOMPARE(Items(tail), (QStringList{"Disabled", "No Tone ", "Rev. Burst ", "Rev. Burst "}));
    QCOMPARE(tail->currentIndex(), 2);
    Choose(&d, {{2502, 2}}); // its own item again: 2 stays
    QCOMPARE(d.record().squelchTailElim, 2);
    Choose(&d, {{2502, 1}}); // code 2 gone from the list: the second "Rev. Burst " now stores 3
    QCOMPARE(tail->count(), 3);
    Choose(&d, {{2502, 2}});
    QCOMPARE(d.record().squelchTailElim, 3);
    PressOk(d);
    QCOMPARE((f.img()[0x0D] >> 5) & 3, 3);
}

void CommonDialogsTest::defaultSplitClampsAndCancelRestores() {
    struct Row {
        double initial;
        const char* typed;
        double stored;
        const char* shown;
    };
    for (const Row& r : {Row{0.0, "150", 99.9, "99.9  MHz"}, Row{-5.0, "-150", -99.9, "-99.9 MHz"},
                         Row{0.6, "-", 0.0, "0.0   MHz"}, Row{0.0, "+4.5", 4.5, "4.5   MHz"}}) {
        for (bool ok : {false, true}) {
            Doc f;
            f.doc.SetDefaultSplit(r.initial);
            MiscellaneousDialog d(f.doc);
            Show(&d);
            TypeInto(&d, 2520, r.typed);
            QCOMPARE(f.doc.DefaultSplit(), r.stored);
            QCOMPARE(Control<FilterEdit>(&d, 2520)->text(), QString(r.shown));
            ok ? PressOk(d) : d.cancelButton()->click();
            QCOMPARE(f.doc.DefaultSplit(), ok ? r.stored : r.initial);
        }
    }
}

void CommonDialogsTest::channelTypesWriteNibbles() {
    Doc f;
    {
        ChannelTypeDialog d(f.doc);
        f.img()[0x1D] = 0x00; // no change: not modified, but the table is written and a stray nibble put right
        d.okPressed();
        QVERIFY(!f.doc.IsModified());
        QCOMPARE(f.img()[0x1D], 0xEF);
    }
    ChannelTypeDialog d(f.doc);
    Show(&d);
    Choose(&d, {{3702, 15}});
    QCOMPARE(f.m().channels.at(1).channelType, 1); // nothing stored before OK
    d.okPressed();
    QCOMPARE(f.img()[0x16], 0x0F);
    QCOMPARE(f.m().channels.at(1).channelType, 15);
    QVERIFY(f.doc.IsModified());
}

void CommonDialogsTest::hardwareFrequencyClamps() {
    struct Row {
        int code, id;
        const char* typed;
        const char* shown;
        double stored;
    };
    for (const Row& r : {Row{0, 2000, "99.9", "40.00MHz", 40.0}, Row{1, 2000, "99.9", "81.00MHz", 81.0},
                         Row{3, 2000, "99.9", "99.90MHz", 99.9}, Row{0, 2000, "", " 0.00MHz", 0.0},
                         Row{0, 2001, "70", "65.53MHz", 65.53}, Row{2, 2001, "45.1", "45.10MHz", 45.1}}) {
        Doc f(r.code);
        HardwareDialog d(f.doc, true, f.p);
        Show(&d);
        TypeInto(&d, r.id, r.typed);
        QCOMPARE(Control<FilterEdit>(&d, r.id)->text(), QString(r.shown));
        QCOMPARE(r.id == 2000 ? f.m().hardware.refXtalMHz : f.m().hardware.firstIfMHz, r.stored);
        QVERIFY(d.hardwareChanged() && f.doc.IsModified());
        QVERIFY(d.isVisible()); // Enter in a field never closes the dialog
    }
}

void CommonDialogsTest::hardwareBandChange() {
    {
        Doc f;
        const auto channelsBefore = f.m().channels.entries;
        HardwareDialog d(f.doc, true, f.p);
        Choose(&d, {{2005, 1}}); // answered No: nothing changes
        QCOMPARE(Control(&d, 2005)->currentIndex(), 0);
        QVERIFY(!d.bandChanged() && !f.doc.IsModified());
        QVERIFY(f.m().channels.entries == channelsBefore);
        Choose(&d, {{2005, 0}}); // the band already set asks nothing
        QCOMPARE(f.p.asked, QList<int>{50});
    }
    Doc f(1);
    f.p.answers = {Answer::Yes};
    f.doc.SetDefaultSplit(0.6);
    ImageModel& m = f.m();
    m.channels.at(3).rxFrequency = 146.52;
    m.channels.at(15).inUse = 0;
    NormalizeImage(m);
    DecodeImage(m);
    const RadioImage imageBefore = m.image;
    const auto channelsBefore = m.channels.entries;
    const HardwareSection hwBefore = m.hardware;

    HardwareDialog d(f.doc, true, f.p);
    Show(&d);
    Choose(&d, {{2005, 1}});
    QVERIFY(d.bandChanged());
    QCOMPARE(m.hardware.bandStepCode, 2);
    QCOMPARE(d.splitCopy(), 0.0);
    QCOMPARE(Control<FilterEdit>(&d, 2000)->text(), QString("14.50MHz"));
    QCOMPARE(Control<FilterEdit>(&d, 2001)->text(), QString("43.95MHz"));
    for (int n = 0; n < 16; ++n) {
        const ChannelEntry& e = m.channels.at(n);
        QVERIFY(e.rxFrequency == 450.0 && e.txFrequency == 450.0 && e.inUse == 1);
    }

    d.cancelButton()->click();
    QVERIFY(!d.bandChanged() && !d.hardwareChanged());
    QVERIFY(f.doc.IsModified()); // stays set after Cancel
    QCOMPARE(m.image, imageBefore);
    QCOMPARE(m.hardware.refXtalMHz, hwBefore.refXtalMHz);
    QVERIFY(m.channels.entries == channelsBefore);
    QCOMPARE(f.doc.DefaultSplit(), 0.6);
}

void CommonDialogsTest::hardwareOutsideServiceModeStillNormalizes() {
    Doc f;
    f.img()[0xFC] ^= 0xFF; // a stale checksum
    HardwareDialog d(f.doc, false, f.p);
    Show(&d);
    for (int id = 2005; id <= 2014; ++id) QVERIFY(!Control(&d, id)->isEnabled());
    for (int id : {2000, 2001}) QVERIFY(!Control<FilterEdit>(&d, id)->isEnabled());
    PressOk(d);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(ReadImageChecksum(f.img()), ComputeImageChecksum(f.img()));
    QVERIFY(!f.doc.IsModified());
}

void CommonDialogsTest::runnersKeepImageAndSectionsInStep() {
    Doc f;
    ImageModel& m = f.m();
    // Before: the sections are written into the image (an unsaved grid edit reaches the image).
    m.channels.at(0).squelch = 9;
    AnswerNextDialog(false);
    QCOMPARE(RunScanningDialog(nullptr, f.doc), RefreshKind::None);
    QCOMPARE(m.image[0x1E + 2] & 0x0F, 9);
    QCOMPARE(ReadImageChecksum(m.image), ComputeImageChecksum(m.image));

    // After: the option change is decoded into the channel table and the grid is rebuilt.
    m.image[0xBE] = 0x80;
    m.channels.at(3).vts = 1;
    AnswerNextDialog(true, {{2050, 0}});
    QCOMPARE(RunOptionDialog(nullptr, f.doc), RefreshKind::Grid);
    QCOMPARE(m.channels.at(3).vts, 0);

    AnswerNextDialog(true);
    QCOMPARE(RunMiscellaneousDialog(nullptr, f.doc), RefreshKind::InfoPanel);
    AnswerNextDialog(false);
    QCOMPARE(RunMarketingDialog(nullptr, f.doc, false), RefreshKind::InfoPanel);
    AnswerNextDialog(true);
    QCOMPARE(RunPowerSavingDialog(nullptr, f.doc), RefreshKind::None);
    AnswerNextDialog(false);
    QCOMPARE(RunChannelTypeDialog(nullptr, f.doc), RefreshKind::None);
    AnswerNextDialog(true);
    QCOMPARE(RunChannelTypeDialog(nullptr, f.doc), RefreshKind::Grid);
    AnswerNextDialog(false);
    QCOMPARE(RunHardwareDialog(nullptr, f.doc, true, f.p), RefreshKind::None);
}

QTEST_MAIN(CommonDialogsTest)
#include "dialogs_common_test.moc"
