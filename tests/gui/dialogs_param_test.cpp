// The parameter dialogs driven through their controls: the dialog base and its input controls, the
// Common-menu dialogs and Channel Type, the Signaling dialogs, and the command runners around them.
#include "core/app/setting_forms.h"
#include "gui/dialogs/channel_type_dialog.h"
#include "gui/dialogs/common_commands.h"
#include "core/image/text_rules.h"
#include "gui/dialogs/hardware_dialog.h"
#include "gui/dialogs/input_controls.h"
#include "gui/dialogs/key_function_dialog.h"
#include "gui/dialogs/marketing_dialog.h"
#include "gui/dialogs/miscellaneous_dialog.h"
#include "gui/dialogs/option_dialog.h"
#include "gui/dialogs/power_saving_dialog.h"
#include "gui/dialogs/scanning_dialog.h"
#include "gui/dialogs/signaling_ani_dialog.h"
#include "gui/dialogs/signaling_commands.h"
#include "gui/dialogs/signaling_page_dialogs.h"
#include "gui/dialogs/signaling_tone_browser.h"
#include "gui/dialogs/signaling_twotone_dialogs.h"
#include "core/image/cells.h"
#include "core/image/document.h"
#include "core/image/fields.h"
#include "core/image/layout.h"
#include "core/image/model.h"
#include "core/image/strings.h"

#include "tests/gui/dialog_catalogue.h"
#include "tests/gui/window_test_support.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

using namespace rt62;
using test::OnModal;

namespace {

// A factory document of the given band/step code; the prompter answers No unless scripted.
struct Doc {
    test::ScriptedPrompter p;
    CRT62MDoc doc{p, "/nonexistent"};
    explicit Doc(int bandStepCode = 0) {
        p.fallback = [](Buttons) { return Answer::No; };
        doc.Model() = MakeFactoryImage(bandStepCode);
    }
    RadioImage& img() { return doc.Image(); }
    ImageModel& m() { return doc.Model(); }
};

// The Signaling dialogs' document: the paging board fitted unless told otherwise, two-tone pair access.
struct SigDoc : Doc {
    explicit SigDoc(bool paging = true) {
        layout::kOptionBoardPaging.Write(img(), paging ? 1 : 0);
        NormalizeImage(m());
        DecodeImage(m());
    }
    void setPair(int k, int b1, int b2) {
        WritePairBytes(img(), k, {static_cast<std::uint8_t>(b1), static_cast<std::uint8_t>(b2)});
    }
    std::pair<int, int> pair(int k) {
        const PairBytes b = ReadPairBytes(img(), k);
        return {b.first, b.second};
    }
};

using Choices = QList<QPair<int, int>>; // control id, item index

void Show(QWidget* w) {
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w, kWindowWait));
}

// A dialog shown and active, as the user meets it.
template <class D> struct Shown : D {
    template <class... A> explicit Shown(A&&... a) : D(std::forward<A>(a)...) { Show(this); }
};

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
void TypeInto(FilterEdit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}
void TypeInto(QWidget* dialog, int id, const QString& text) { TypeInto(Control<FilterEdit>(dialog, id), text); }

void PressKey(QWidget* w, Qt::Key key) {
    w->setFocus();
    QTest::keyClick(w, key);
}

void PressOk(ParamDialog& d) { QTest::mouseClick(d.okButton(), Qt::LeftButton); }

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
        Show(this);
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
    QStringList commits() const { return log.filter(QRegularExpression("commit|store")); }

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

class ParamDialogsTest : public QObject {
    Q_OBJECT
private slots:
    // The dialog base and its input controls.
    void fieldKeysEscapeAndEnter();
    void okCommitsPendingEditAndChecksFocus();
    void pasteAndFiltersKeepOnlyAcceptedCharacters();
    void listKeysHelpLineAndF1();
    // Common menu and Channel Type.
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
    // Signaling.
    void aniCodeBytes();
    void pageSettingGatedByPagingBit();
    void pageCodeBytesAndClearedReferences();
    void pairsReadAndWrittenBack();
    void toneBoxBrowserStoresCodes();
    void groupChangesWithoutBrowser();
    void formatChangeWritesAllPairsOffAndFirmwareGates();
    void browserListsAndChoice();
    // The command runners of both menus.
    void runnersKeepImageAndSectionsInStep();
    // Every dialog: where the focus starts, the tab order, a size that help lines do not change.
    void focusTabOrderAndSizeOnOpening();
    // The table of settings the browser edition builds its forms from says what each dialog shows.
    void dialogsShowTheSettingTable();
};

void ParamDialogsTest::fieldKeysEscapeAndEnter() {
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
    d.keys({Qt::Key_Escape}); // Escape puts the text back and leaves the read-only display state
    QVERIFY(d.edit->isDisplayState() && d.edit->isReadOnly() && d.edit->text() == "21.25MHz");
    d.keys({Qt::Key_Return});
    QCOMPARE(d.edit->selectedText(), QString("21.25"));
    QCOMPARE(d.edit->colorState(), ColorEdit::State::Editing);
    d.keys({Qt::Key_9, Qt::Key_Escape});
    QCOMPARE(d.edit->text(), QString("21.25MHz"));
    QVERIFY(d.edit->isDisplayState() && !d.edit->commitPending() && d.isVisible());
    d.list->setFocus(); // leaving the field now commits nothing
    QVERIFY(d.log.filter("commit").isEmpty());
    d.edit->setFocus();

    d.keys({Qt::Key_Return, Qt::Key_1, Qt::Key_Return});
    QVERIFY(d.edit->isDisplayState() && !d.edit->commitPending()); // the dialog took it
    QCOMPARE(d.commits(), QStringList{"commit 2000 1"});
    QCOMPARE(d.edit->text(), QString(" 1.00MHz"));
    d.keys({Qt::Key_Escape});
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(d.log.last(), QString("restore"));
}

void ParamDialogsTest::okCommitsPendingEditAndChecksFocus() {
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
        QCOMPARE(d.commits(), QStringList{"commit 2000 21.25"});
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

void ParamDialogsTest::pasteAndFiltersKeepOnlyAcceptedCharacters() {
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

void ParamDialogsTest::listKeysHelpLineAndF1() {
    QList<int> topics;
    ParamDialog::HelpHook() = [&topics](int t) { topics << t; };
    ProbeDialog d;
    d.list->setCurrentIndex(0);
    d.list->setFocus();
    QCOMPARE(d.indicatorText(), QString("<SELECT>"));
    d.keys({Qt::Key_Return}); // Enter opens the list and closes it on a choice, not the dialog
    QWidget* popup = d.list->view()->window();
    QTRY_VERIFY(popup->isVisible());
    QTest::keyClick(d.list->view(), Qt::Key_Down);
    QTest::keyClick(d.list->view(), Qt::Key_Return);
    QTRY_VERIFY(!popup->isVisible());
    QVERIFY(d.isVisible());
    QCOMPARE(d.log, QStringList{"sel 2005 1"});
    d.other->setFocus(); // one line only: the indicator is blanked
    const QString help = d.helpPaneText();
    QCOMPARE(d.indicatorText(), QString());
    QCOMPARE(d.ShowHelpLine(999999), 2400); // no such string: the panes stay
    QCOMPARE(d.helpPaneText(), help);

    d.list->setFocus();
    d.keys({Qt::Key_F1});
    ParamDialog::SetControlHelpTopic(d.edit, 4711);
    d.edit->setFocus();
    d.keys({Qt::Key_F1});
    ParamDialog::HelpHook() = nullptr;
    QCOMPARE(topics, (QList<int>{131174, 4711}));
}

void ParamDialogsTest::scanningWritesItsBytes() {
    struct Row { bool trunkOption; Choices choices; QList<QList<int>> bytes; }; // bytes: {offset, mask, expected}
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
        Shown<ScanningDialog> d(f.doc);
        QCOMPARE(Control(&d, 2103)->isEnabled(), r.trunkOption);
        Choose(&d, r.choices);
        PressOk(d);
        for (const auto& b : r.bytes)
            QVERIFY2((f.img()[b[0]] & b[1]) == b[2], qPrintable(QString::asprintf("byte %02X", b[0])));
        QVERIFY(f.doc.IsModified());
    }
}

void ParamDialogsTest::powerSavingAndMiscellaneousKeepEachOthersFields() {
    Doc f;
    Shown<MiscellaneousDialog> misc(f.doc);
    Choose(&misc, {{2500, 0}, {2501, 3}, {2502, 1}, {2503, 1}, {2504, 0}, {2505, 1}, {2506, 1}, {2507, 9}});
    PressOk(misc);
    Shown<PowerSavingDialog> power(f.doc);
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

void ParamDialogsTest::keyListsExcludeEachOther() {
    Doc f; // press Monitor (1), hold Squelch Off (2)
    KeyFunctionDialog d(f.doc);
    auto* press = Control(&d, 2250);
    auto* hold = Control(&d, 2251);
    const auto offers = [](QComboBox* list, const char* item) { return list->findText(item) >= 0; };
    QVERIFY(!offers(hold, "Monitor       ") && !offers(press, "Squelch Off   "));
    QVERIFY(!offers(press, "Follow-Me DW  ")); // code 7 is never offered
    Choose(&d, {{2250, press->findText("Low Power     ")}});
    QVERIFY(offers(hold, "Monitor       ") && !offers(hold, "Low Power     "));
    Choose(&d, {{2251, hold->findText("None          ")}}); // both keys may hold None
    QVERIFY(offers(press, "None          "));
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

void ParamDialogsTest::optionChangeAdjustsChannelsBeforeFocusCheck() {
    Doc f;
    ImageModel& m = f.m();
    m.image[0xBE] = 0x80 | 0x1C; // KT-Trunk, with three bits this dialog never touches
    m.image[0x0D] |= 0x10;       // a KT-Trunk position is set
    for (int n = 0; n < 16; ++n) m.channels.at(n).vts = 1;
    m.channels.at(4).channelType = 20;
    m.channels.at(2).encryption = 1;
    m.channels.Encode(m.image, m.hardware);

    Shown<OptionDialog> d(f.doc);
    Choose(&d, {{2050, 0}});
    Control(&d, 2050)->setFocus();
    d.okPressed(); // the focus is on the list: only the channel part runs
    QVERIFY(d.isVisible() && d.optionChanged());
    QCOMPARE(m.image[0xBE], 0x80 | 0x1C);
    QCOMPARE(m.image[0x10] | m.image[0x11], 0);
    QCOMPARE(m.image[0x0D] & 0x10, 0);
    QCOMPARE(m.channels.at(4).channelType, 4);
    QCOMPARE(m.channels.at(2).encryption, 0);
    PressOk(d);
    QCOMPARE(m.image[0xBE], 0x1C);
}

void ParamDialogsTest::marketingPadsAndCancels() {
    // The last row is cancelled: the number goes back and the mark is cleared.
    struct Row { int id; const char *typed, *shown, *stored; };
    for (const Row& r : {Row{2401, "1", "1C000000", "1C000000"}, Row{2401, "", "0C000000", "0C000000"},
                         Row{2401, "5n12", "5N120000", "5N120000"}, Row{2400, "12", "1200", "1200"},
                         Row{2400, "", "0000", "0000"}, Row{2401, "7", "7C000000", nullptr}}) {
        Doc f;
        Shown<MarketingDialog> d(f.doc, true);
        TypeInto(&d, r.id, r.typed);
        QCOMPARE(Control<FilterEdit>(&d, r.id)->text(), QString(r.shown));
        QVERIFY(f.doc.IsMarketingChanged());
        r.stored ? PressOk(d) : d.cancelButton()->click();
        const std::string want = r.stored ? r.stored : "0C010001"; // the factory number after Cancel
        QCOMPARE(r.id == 2401 ? ReadSerialNumber(f.img()) : ReadMarketApplication(f.img()), want);
        if (!r.stored) QVERIFY(f.m().marketing.serialNumber == want && !f.doc.IsMarketingChanged());
    }
}

void ParamDialogsTest::squelchTailSecondCode() {
    Doc f;
    f.img()[0x0D] = static_cast<uint8_t>((f.img()[0x0D] & 0x9F) | (2 << 5));
    Shown<MiscellaneousDialog> d(f.doc);
    auto* tail = Control(&d, 2502);
    QVERIFY(tail->count() == 4 && tail->currentIndex() == 2);
    Choose(&d, {{2502, 2}}); // its own item again: 2 stays
    QCOMPARE(d.record().squelchTailElim, 2);
    Choose(&d, {{2502, 1}}); // code 2 gone from the list: the second "Rev. Burst " now stores 3
    QCOMPARE(tail->count(), 3);
    Choose(&d, {{2502, 2}});
    QCOMPARE(d.record().squelchTailElim, 3);
    PressOk(d);
    QCOMPARE((f.img()[0x0D] >> 5) & 3, 3);
}

void ParamDialogsTest::defaultSplitClampsAndCancelRestores() {
    struct Row { double initial; const char* typed; double stored; const char* shown; };
    for (const Row& r : {Row{0.0, "150", 99.9, "99.9  MHz"}, Row{-5.0, "-150", -99.9, "-99.9 MHz"},
                         Row{0.6, "-", 0.0, "0.0   MHz"}, Row{0.0, "+4.5", 4.5, "4.5   MHz"}}) {
        for (bool ok : {false, true}) {
            Doc f;
            f.doc.SetDefaultSplit(r.initial);
            Shown<MiscellaneousDialog> d(f.doc);
            TypeInto(&d, 2520, r.typed);
            QCOMPARE(f.doc.DefaultSplit(), r.stored);
            QCOMPARE(Control<FilterEdit>(&d, 2520)->text(), QString(r.shown));
            ok ? PressOk(d) : d.cancelButton()->click();
            QCOMPARE(f.doc.DefaultSplit(), ok ? r.stored : r.initial);
        }
    }
}

void ParamDialogsTest::channelTypesWriteNibbles() {
    Doc f;
    {
        ChannelTypeDialog d(f.doc);
        f.img()[0x1D] = 0x00; // no change: not modified, but the table is written and a stray nibble put right
        d.okPressed();
        QVERIFY(!f.doc.IsModified());
        QCOMPARE(f.img()[0x1D], 0xEF);
    }
    Shown<ChannelTypeDialog> d(f.doc);
    Choose(&d, {{3702, 15}});
    QCOMPARE(f.m().channels.at(1).channelType, 1); // nothing stored before OK
    d.okPressed();
    QCOMPARE(f.img()[0x16], 0x0F);
    QCOMPARE(f.m().channels.at(1).channelType, 15);
    QVERIFY(f.doc.IsModified());
}

void ParamDialogsTest::hardwareFrequencyClamps() {
    struct Row { int code, id; const char *typed, *shown; double stored; };
    for (const Row& r : {Row{0, 2000, "99.9", "40.00MHz", 40.0}, Row{1, 2000, "99.9", "81.00MHz", 81.0},
                         Row{3, 2000, "99.9", "99.90MHz", 99.9}, Row{0, 2000, "", " 0.00MHz", 0.0},
                         Row{0, 2001, "70", "65.53MHz", 65.53}, Row{2, 2001, "45.1", "45.10MHz", 45.1}}) {
        Doc f(r.code);
        Shown<HardwareDialog> d(f.doc, true, f.p);
        TypeInto(&d, r.id, r.typed);
        QCOMPARE(Control<FilterEdit>(&d, r.id)->text(), QString(r.shown));
        QCOMPARE(r.id == 2000 ? f.m().hardware.refXtalMHz : f.m().hardware.firstIfMHz, r.stored);
        QVERIFY(d.hardwareChanged() && f.doc.IsModified());
        QVERIFY(d.isVisible()); // Enter in a field never closes the dialog
    }
}

void ParamDialogsTest::hardwareBandChange() {
    Doc f(1);
    f.p.answers = {Answer::No, Answer::Yes};
    f.doc.SetDefaultSplit(0.6);
    ImageModel& m = f.m();
    m.channels.at(3).rxFrequency = 146.52;
    m.channels.at(15).inUse = 0;
    NormalizeImage(m);
    DecodeImage(m);
    const RadioImage imageBefore = m.image;
    const auto channelsBefore = m.channels.entries;
    const HardwareSection hwBefore = m.hardware;

    Shown<HardwareDialog> d(f.doc, true, f.p);
    Choose(&d, {{2005, 1}}); // answered No: nothing changes
    QCOMPARE(Control(&d, 2005)->currentIndex(), 0);
    QVERIFY(!d.bandChanged() && !f.doc.IsModified());
    QVERIFY(m.channels.entries == channelsBefore);
    Choose(&d, {{2005, 0}}); // the band already set asks nothing
    QCOMPARE(f.p.shown, std::vector<int>{50});
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

void ParamDialogsTest::hardwareOutsideServiceModeStillNormalizes() {
    Doc f;
    f.img()[0xFC] ^= 0xFF; // a stale checksum
    Shown<HardwareDialog> d(f.doc, false, f.p);
    for (int id : {2000, 2001, 2005, 2014}) QVERIFY(!d.findChild<QWidget*>(ControlName(id))->isEnabled());
    PressOk(d);
    QCOMPARE(ReadImageChecksum(f.img()), ComputeImageChecksum(f.img()));
    QVERIFY(!f.doc.IsModified());
}

void ParamDialogsTest::aniCodeBytes() {
    // typed, shown, bytes from 0x05 on: lower case with a refused "e", and the 16th character refused (the
    // code's own bytes are the field's table).
    const QList<std::tuple<QString, QString, QByteArray>> rows{
        {"aebc", "ABC", QByteArray("\x3A\xBC", 2)},
        {"0123456789ABCD*#", "0123456789ABCD*", QByteArray("\xF0\x12\x34\x56\x78\x9A\xBC\xDE", 8)}};
    for (const auto& [typed, shown, bytes] : rows) {
        SigDoc f;
        Shown<AniDialog> dialog(f.doc);
        TypeInto(dialog.codeField(), typed);
        // Enter finished the edit without pressing OK, and nothing is written yet.
        QVERIFY(dialog.isVisible() && dialog.codeField()->isDisplayState());
        QCOMPARE(dialog.codeField()->text(), shown);
        QCOMPARE(ReadDtmfCode(f.img()), std::string());
        Control(&dialog, AniDialog::kDelay)->setCurrentIndex(3);
        dialog.okButton()->click();
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(&f.img()[0x05]), bytes.size()), bytes);
        QCOMPARE(layout::kDtmfDelay.Read(f.img()), 3);
        QCOMPARE(layout::kAniTransmit.Read(f.img()), 1);
    }
}

void ParamDialogsTest::pageSettingGatedByPagingBit() {
    for (bool paging : {true, false}) {
        SigDoc f(paging);
        f.img()[0xBE] |= 0x08; // a neighbour bit the dialog must keep
        const std::uint8_t before = f.img()[0xBE];
        Shown<PageSettingDialog> dialog(f.doc);
        auto* answer = Control(&dialog, PageSettingDialog::kAnswerBack);
        QCOMPARE(Control(&dialog, PageSettingDialog::kDtmfSpeed)->isEnabled(), paging);
        QCOMPARE(answer->isEnabled(), paging);
        if (paging) answer->setCurrentIndex(1);
        dialog.okButton()->setFocus();
        dialog.okButton()->click();
        QCOMPARE(int(f.img()[0xBE]), int(paging ? (before | 0x10) : before));
        QCOMPARE(f.doc.IsModified(), paging);
    }
}

void ParamDialogsTest::pageCodeBytesAndClearedReferences() {
    // code, typed, selector, bytes: a short code padded, DEC with a hash, letters upper case; clearing
    // code 3 stores 0x00 0x00 and removes page 3 from the channels, while page 4 stays.
    struct Row { int k; const char* typed; int selector, b1, b2; };
    for (const Row& r : {Row{5, "12", 0, 0x01, 0x20}, Row{5, "12#", 1, 0x21, 0x2F}, Row{5, "a*b", 0, 0x0A, 0xEB},
                         Row{3, "", 0, 0, 0}}) {
        SigDoc f;
        WritePageCode(f.img(), 3, {"456", 1});
        WritePageCode(f.img(), 4, {"789", 0});
        ImageModel& m = f.m();
        for (int n : {1, 4, 6}) {
            m.channels.at(n).pageNumber = n == 6 ? 4 : 3;
            m.channels.at(n).pagePresent = 1;
        }
        NormalizeImage(m);
        const bool clearing = r.k == 3;
        Shown<PagingCodeDialog> dialog(f.doc);
        QCOMPARE(dialog.selector(r.k)->isEnabled(), clearing); // an empty row's selector waits for a code
        TypeInto(dialog.codeField(r.k), r.typed);
        QVERIFY(dialog.isVisible() && dialog.selector(r.k)->isEnabled() != clearing);
        if (!clearing) dialog.selector(r.k)->setCurrentIndex(r.selector);
        QCOMPARE(dialog.selector(r.k)->currentIndex(), r.selector);
        dialog.okButton()->click();

        const int at = 0xC0 + 2 * (r.k - 1);
        QCOMPARE((QList<int>{f.img()[at], f.img()[at + 1], f.img()[0xC6]}), (QList<int>{r.b1, r.b2, 0x07}));
        QVERIFY(f.doc.IsModified());
        for (int n : {1, 4}) QCOMPARE(ChannelCellText(m, n, kColPage), std::string(clearing ? "-" : " 3"));
        QCOMPARE(ChannelCellText(m, 6, kColPage), std::string(" 4"));
        DecodeImage(m); // the channel records in the image agree
        QCOMPARE(m.channels.at(1).pageNumber, clearing ? 0 : 3);
        QCOMPARE(m.channels.at(6).pageNumber, 4);
    }
}

void ParamDialogsTest::pairsReadAndWrittenBack() {
    // Pair 2 (and pair 1 where set): MOTOROLA, GE/99, PLECTRON's last tone, a code without a tone, and
    // a table mixing systems, which switches to Custom. OK unchanged writes the same bytes back.
    struct Row { int b1, b2, pair1, group; const char *first, *second; TwoToneFormat format; };
    for (const Row& r : {Row{0x05, 0x0A, -1, 1, " 1- 433.7", " 2- 569.1", TwoToneFormat::Standard},
                         Row{0x54, 0x55, -1, 2, " A- 682.5", " A- 592.5", TwoToneFormat::Standard},
                         Row{186, 131, -1, 3, "   3062.0", "    282.2", TwoToneFormat::Standard},
                         Row{245, 239, -1, 4, "   ???   ", " E- 588.0", TwoToneFormat::Standard},
                         Row{0x05, 0x54, 0x0A, 1, " 1- 433.7", " A- 682.5", TwoToneFormat::Custom}}) {
        SigDoc f;
        f.setPair(2, r.b1, r.b2);
        if (r.pair1 >= 0) f.setPair(1, 0x05, r.pair1);
        const RadioImage before = f.img();
        TwoToneTableDialog dialog(f.doc);
        QCOMPARE(dialog.format(), r.format);
        QCOMPARE(dialog.groupList(2)->currentIndex(), r.group);
        QCOMPARE(dialog.toneBox(2, 0)->text() + "|" + dialog.toneBox(2, 1)->text(), QString(r.first) + "|" + r.second);
        QCOMPARE(dialog.toneBox(1, 0)->isEnabled(), r.pair1 >= 0);
        dialog.okButton()->click();
        QCOMPARE(f.img(), before);
        QVERIFY(!f.doc.IsModified());
    }
}

void ParamDialogsTest::toneBoxBrowserStoresCodes() {
    // Browser position -> code: first PLECTRON tone, first REACH tone, last REACH tone; Cancel keeps the tone.
    for (const auto& [position, code] : {std::pair{115, 131}, {171, 190}, {220, 239}, {-1, 0x0A}}) {
        SigDoc f;
        f.m().twoToneFormat = TwoToneFormat::Custom;
        f.setPair(4, 0x05, 0x0A);
        Shown<TwoToneTableDialog> dialog(f.doc);
        int opened = -1;
        OnModal([&opened, row = position](QDialog* d) {
            auto* browser = qobject_cast<TwoToneBrowserDialog*>(d);
            QVERIFY(browser);
            opened = browser->list()->currentRow();
            browser->list()->setCurrentRow(row);
            row < 0 ? browser->reject() : browser->accept();
        });
        if (position == 220) // Enter and double-click both open the browser
            QTest::mouseDClick(dialog.toneBox(4, 1), Qt::LeftButton);
        else
            PressKey(dialog.toneBox(4, 1), Qt::Key_Return);
        QCOMPARE(opened, 10); // the custom list opens on the stored tone
        QCOMPARE(dialog.toneBox(4, 1)->text(), QString::fromStdString(TwoToneCodeText(code)));
        dialog.okButton()->click();
        QCOMPARE(f.pair(4), std::make_pair(0x05, code));
        QCOMPARE(f.doc.IsModified(), position >= 0);
    }
}

void ParamDialogsTest::groupChangesWithoutBrowser() {
    // A new group takes its first entry; a pair switched off clears the channels' references to it.
    SigDoc f;
    f.setPair(1, 0x05, 0x0A);
    f.setPair(2, 0x01, 0x02);
    f.setPair(3, 0x05, 0x0A);
    ImageModel& m = f.m();
    for (int n : {0, 3, 15}) m.channels.at(n).twoToneP = 3;
    m.channels.at(1).twoToneP = 2;
    NormalizeImage(m);

    Shown<TwoToneTableDialog> dialog(f.doc);
    PressKey(dialog.groupList(1), Qt::Key_End); // "REACH GRP "
    QCOMPARE(dialog.toneBox(1, 0)->text() + "|" + dialog.toneBox(1, 1)->text(), QString(" A-2704.0| A-2704.0"));
    PressKey(dialog.groupList(5), Qt::Key_Down); // off -> "MOTOROLA  "
    QVERIFY(dialog.toneBox(5, 0)->isEnabled());
    PressKey(dialog.groupList(3), Qt::Key_Home); // "   OFF    "
    QVERIFY(dialog.toneBox(3, 0)->text().isEmpty() && !dialog.toneBox(3, 0)->isEnabled());
    dialog.okButton()->click();

    QCOMPARE((QList<std::pair<int, int>>{f.pair(1), f.pair(5), f.pair(3)}),
             (QList<std::pair<int, int>>{{190, 190}, {0, 0}, {0xFF, 0xFF}}));
    QVERIFY(f.doc.IsModified());
    for (int n : {0, 3, 15}) QCOMPARE(ChannelCellText(m, n, kColTwoToneP), std::string("-"));
    QCOMPARE(ChannelCellText(m, 1, kColTwoToneP), std::string(" 2"));
    DecodeImage(m); // the channel records in the image agree
    QCOMPARE(m.channels.at(3).twoToneP, 0);
    QCOMPARE(m.channels.at(1).twoToneP, 2);
}

void ParamDialogsTest::formatChangeWritesAllPairsOffAndFirmwareGates() {
    SigDoc f;
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
    QCOMPARE(int(f.img()[0xBF] & 0x78), 2 << 5);
    QCOMPARE(int(f.img()[0xE0] >> 4), 5);
    QVERIFY(f.doc.IsModified());

    // Complement and duty need firmware 2.00; the other lists are always there.
    for (const auto& [version, enabled] : {std::pair{0x0199, false}, {0x0200, true}}) {
        f.img()[0x00] = static_cast<std::uint8_t>(version >> 8);
        f.img()[0x01] = static_cast<std::uint8_t>(version & 0xFF);
        TwoToneParametersDialog dialog(f.doc);
        for (int id = TwoToneParametersDialog::kPrimaryGroupCall; id <= TwoToneParametersDialog::kDuty; ++id) {
            const bool gated = id == TwoToneParametersDialog::kComplement || id == TwoToneParametersDialog::kDuty;
            QCOMPARE(dialog.list(id)->isEnabled(), gated ? enabled : true);
        }
    }
}

void ParamDialogsTest::browserListsAndChoice() {
    // Mode -> entries: MOTOROLA, GE/99, PLECTRON, REACH, custom.
    for (const auto& [mode, count] : {std::pair{1, 84}, {2, 31}, {3, 56}, {4, 50}, {5, 221}})
        QCOMPARE(TwoToneBrowserDialog(mode, 1, TwoToneBrowserDialog::Second, 0).list()->count(), count);
    TwoToneBrowserDialog unlisted(2, 1, TwoToneBrowserDialog::First, 40); // a position GE/99 lacks
    unlisted.findChild<QPushButton*>(ControlName(kIdOk))->click();
    QCOMPARE(unlisted.chosenPosition(), -1); // OK with nothing selected chooses nothing
    Shown<TwoToneBrowserDialog> dialog(1, 1, TwoToneBrowserDialog::First, 30);
    QCOMPARE(dialog.list()->currentRow(), 30);
    const QRect r = dialog.list()->visualItemRect(dialog.list()->item(31));
    QTest::mouseClick(dialog.list()->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(dialog.list()->viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenPosition(), 31);
    QCOMPARE(dialog.chosenText(), QStringLiteral("  NONE   "));
}

void ParamDialogsTest::runnersKeepImageAndSectionsInStep() {
    // A channel edit not yet in the image and a stale checksum. Runners that normalize write the image
    // before their dialog; those that decode take what the image holds after it (squelch 5, put only
    // into the image while the dialog is open) back into the sections.
    using Run = std::function<RefreshKind(SigDoc&)>;
    struct Row { Run run; bool ok; Choices choices; RefreshKind kind; bool normalizes, decodes; };
    const auto plain = [](RefreshKind (*run)(QWidget*, CRT62MDoc&)) {
        return [run](SigDoc& f) { return run(nullptr, f.doc); };
    };
    const Row rows[] = {
        {plain(RunScanningDialog), false, {}, RefreshKind::None, true, true},
        {plain(RunOptionDialog), true, {{2050, 0}}, RefreshKind::Grid, true, true},
        {plain(RunMiscellaneousDialog), true, {}, RefreshKind::InfoPanel, true, true},
        {plain(RunChannelTypeDialog), false, {}, RefreshKind::None, false, false},
        {plain(RunChannelTypeDialog), true, {}, RefreshKind::Grid, false, false},
        {[](SigDoc& f) { return RunHardwareDialog(nullptr, f.doc, false, f.p); }, false, {}, RefreshKind::None,
         true, true},
        {plain(RunAniDialog), false, {}, RefreshKind::None, true, false},
        {plain(RunPageSettingDialog), false, {}, RefreshKind::None, true, false},
        {plain(RunPagingCodeDialog), false, {}, RefreshKind::Grid, true, false},
        {plain(RunTwoToneDialog), false, {}, RefreshKind::None, true, false},
        {plain(RunTwoToneTableDialog), false, {}, RefreshKind::Grid, true, false}};
    int row = 0;
    for (const Row& r : rows) {
        SigDoc f(false);
        f.img()[0xBE] = 0x80; // KT-Trunk fitted, so the option list has a change to make
        f.m().channels.at(0).squelch = 9;
        f.img()[0xFC] ^= 0xFF;
        bool inStep = false;
        OnModal([&f, &inStep, &r](QDialog* d) {
            ChannelTable probe;
            probe.Decode(f.img(), f.m().hardware);
            inStep = probe.at(0).squelch == 9 && ReadImageChecksum(f.img()) == ComputeImageChecksum(f.img());
            probe.at(0).squelch = 5;
            probe.EncodeChannel(0, f.img(), f.m().hardware);
            auto* p = qobject_cast<ParamDialog*>(d);
            QVERIFY(p);
            Choose(p, r.choices);
            QTest::mouseClick(r.ok ? p->okButton() : p->cancelButton(), Qt::LeftButton);
        });
        const QByteArray where = QByteArray::number(row++);
        QVERIFY2(r.run(f) == r.kind, where);
        QVERIFY2(inStep == r.normalizes, where);
        if (!r.ok) QVERIFY2(f.m().channels.at(0).squelch == (r.decodes ? 5 : 9), where);
    }
}

void ParamDialogsTest::focusTabOrderAndSizeOnOpening() {
    auto ids = [](int first, int last, int step = 1) {
        QList<int> out;
        for (int id = first; id <= last; id += step) out << id;
        return out;
    };
    // Every parameter dialog of the catalogue: the enabled controls from the first; OK and Cancel follow.
    const QMap<QString, QList<int>> tabOrders = {
        {"Hardware", QList<int>{2005, 2000, 2001} + ids(2006, 2014)}, {"Hardware outside service mode", {}},
        {"Option", {2050}}, {"Scanning", QList<int>{2101, 2102} + ids(2104, 2110)},
        {"PowerSaving", ids(2153, 2156)}, {"KeyFunction", {2250, 2251}}, {"Marketing", {2400, 2401}},
        {"Miscellaneous", QList<int>{2520} + ids(2500, 2507)}, {"Ani", ids(3001, 3004)},
        {"PageSetting", {3101, 3102}}, {"TwoToneTable", ids(3501, 3516, 3)}, {"ChannelType", ids(3701, 3716)},
        {"PagingCode", ids(3301, 3310)},        // empty codes leave their selectors disabled
        {"TwoToneParameters", ids(3401, 3404)}, // firmware 1.00 has neither complement nor duty
    };
    QList<test::DialogMaker> makers = test::AllDialogs();
    makers.append({"Hardware outside service mode", [](test::DialogWorld& w) -> std::unique_ptr<QDialog> {
                       return std::make_unique<HardwareDialog>(w.doc, false, w.prompter);
                   }});
    int walks = 0;
    for (const test::DialogMaker& maker : makers) {
        test::DialogWorld world;
        std::unique_ptr<QDialog> dialog = maker.make(world);
        auto* d = qobject_cast<ParamDialog*>(dialog.get());
        if (!d) continue;
        QVERIFY2(tabOrders.contains(maker.name), maker.name);
        const QList<int> tabOrder = tabOrders[maker.name];
        ++walks;
        Show(d);
        QApplication::processEvents();
        const QSize size = d->size();
        QStringList want;
        for (int id : tabOrder) want << ControlName(id);
        want << ControlName(kIdOk) << ControlName(kIdCancel);
        // The first control holds the focus and its help line shows; without one, OK does.
        QWidget* first = QApplication::focusWidget();
        QVERIFY2(first && first->objectName() == want.front(), maker.name);
        if (!tabOrder.isEmpty()) {
            const std::string_view help = StringText(tabOrder.front());
            QVERIFY2(d->helpPaneText() == QString::fromLatin1(help.substr(0, help.find('\n'))), maker.name);
        }
        QStringList walked{first->objectName()};
        for (int i = 0; i < 60; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QApplication::processEvents(); // the layout follows a new help line here
            if (QApplication::focusWidget() == first) break;
            walked << QApplication::focusWidget()->objectName();
        }
        QVERIFY2(walked == want, qPrintable(QString(maker.name) + ": " + walked.join(' ')));
        // Every help line has been shown on the way; the dialog kept its size and no label is cut.
        QVERIFY2(d->size() == size, maker.name);
        for (QLabel* label : d->findChildren<QLabel*>()) {
            if (!label->isVisible() || label->text().isEmpty() || label->parentWidget() != d) continue;
            QVERIFY2(label->width() >= label->sizeHint().width(),
                     qPrintable(QString(maker.name) + ": " + label->text()));
        }
    }
    QCOMPARE(walks, tabOrders.size());
}

void ParamDialogsTest::dialogsShowTheSettingTable() {
    const QMap<int, QString> makers = {
        {32772, "Hardware"},    {32773, "Option"},       {32774, "Scanning"},         {32775, "PowerSaving"},
        {32776, "KeyFunction"}, {32777, "Marketing"},    {32778, "Miscellaneous"},    {32783, "Ani"},
        {32784, "PageSetting"}, {32785, "PagingCode"},   {32786, "TwoToneParameters"}, {32787, "TwoToneTable"},
        {32833, "ChannelType"},
    };
    for (int serviceMode = 0; serviceMode < 2; ++serviceMode)
        for (int board = 0; board < 2; ++board) {
            test::DialogWorld w;
            layout::kOptionBoardPaging.Write(w.doc.Image(), board);
            layout::kOptionKtTrunk.Write(w.doc.Image(), board);
            DecodeImage(w.doc.Model());
            for (const SettingForm& form : SettingForms()) {
                std::unique_ptr<QDialog> dialog;
                if (form.command == 32772) dialog = std::make_unique<HardwareDialog>(w.doc, serviceMode, w.prompter);
                else if (form.command == 32777) dialog = std::make_unique<MarketingDialog>(w.doc, serviceMode);
                for (const test::DialogMaker& m : test::AllDialogs())
                    if (!dialog && makers.value(form.command) == QLatin1String(m.name)) dialog = m.make(w);
                QVERIFY2(dialog, qPrintable(makers.value(form.command)));
                QCOMPARE(dialog->windowTitle(), QString::fromUtf8(StringText(form.title).data(), qsizetype(StringText(form.title).size())));
                // The labelled controls in the order the dialog lays them out.
                QList<QLabel*> labels;
                for (QLabel* l : dialog->findChildren<QLabel*>())
                    if (l->buddy()) labels << l;
                int next = 0;
                for (const SettingRow& row : form.rows) {
                    if (row.gate == SettingGate::PageDecode) continue; // named after its page's label
                    const QString where = makers.value(form.command) + " " + QString::fromStdString(row.path);
                    QVERIFY2(next < labels.size(), qPrintable(where));
                    QLabel* label = labels[next++];
                    // The pairs' table labels its rows with their numbers only.
                    const QString text = row.label == 5103 ? QStringLiteral(" &%1").arg(row.arg)
                                                           : QString::fromStdString(SettingLabel(row, true));
                    QCOMPARE(label->text(), text);
                    const bool open = SettingOpen(row, w.doc.Model(), serviceMode);
                    QVERIFY2(label->buddy()->isEnabled() == open, qPrintable(where));
                }
                QCOMPARE(next, labels.size());
            }
        }
}

QTEST_MAIN(ParamDialogsTest)
#include "dialogs_param_test.moc"
