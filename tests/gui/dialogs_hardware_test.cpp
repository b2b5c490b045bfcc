// Hardware Parameters: service-mode gating, frequency clamps, step and band changes, OK and Cancel.
#include "dialogs/hardware_dialog.h"
#include "dialogs/input_controls.h"
#include "image/document.h"
#include "image/fields.h"
#include "image/model.h"

#include <QPushButton>
#include <QtTest>

#include <memory>

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

std::unique_ptr<CRT62MDoc> FactoryDoc(Prompter& p, int bandStepCode) {
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

// What a user's choice in a list does: the item becomes current and the list reports the choice.
void Choose(EnterCombo* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

// Types text into a field as a user would: Enter to edit, the text replacing the selection, Enter.
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

}  // namespace

class HardwareDialogTest : public QObject {
    Q_OBJECT
private slots:
    void listsShowTheirExactTexts();
    void frequencyCommitClamps_data();
    void frequencyCommitClamps();
    void smallerStepKeepsRefXtalWithinItsCount();
    void bandChangeYesResetsThenCancelRestoresEverything();
    void bandChangeNoLeavesEverything();
    void secondUhfStepStoresCodeThreeAndOkNormalizes();
    void outsideServiceModeEverythingIsDisabledAndOkStillNormalizes();
};

void HardwareDialogTest::listsShowTheirExactTexts() {
    ScriptedPrompter p;
    auto doc = FactoryDoc(p, 0);
    HardwareDialog d(*doc, true, p);
    QCOMPARE(Items(Control<EnterCombo>(&d, 2007)), (QStringList{"2.5,6.25kHz", "5,6.25kHz  "}));
    const QStringList release = Items(Control<EnterCombo>(&d, 2010));
    QCOMPARE(release.size(), 31);
    QCOMPARE(release.value(0), QString("0   msecs"));
    QCOMPARE(release.value(1), QString("20  msecs"));
    QCOMPARE(release.value(30), QString("600 msecs"));
    QCOMPARE(Items(Control<EnterCombo>(&d, 2011)).value(7), QString("70  msecs"));
    const QStringList hysteresis = Items(Control<EnterCombo>(&d, 2012));
    QCOMPARE(hysteresis.size(), 16);
    QCOMPARE(hysteresis.first(), QString("0 "));
    QCOMPARE(hysteresis.last(), QString("15"));
    // Factory VHF values selected and shown.
    QCOMPARE(Control<EnterCombo>(&d, 2010)->currentIndex(), 12);
    QCOMPARE(Control<FilterEdit>(&d, 2000)->text(), QString("21.25MHz"));
    QCOMPARE(Control<FilterEdit>(&d, 2001)->text(), QString("21.70MHz"));
    QCOMPARE(Control<FilterEdit>(&d, 2000)->filterKind(), 1u);
    QCOMPARE(Control<FilterEdit>(&d, 2000)->maximumLength(), 5u);
    QCOMPARE(d.windowTitle(), QString("Hardware Parameters"));
}

void HardwareDialogTest::frequencyCommitClamps_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("stored");
    QTest::newRow("xtal code 0 clamps to 40") << 0 << 2000 << "99.9" << "40.00MHz" << 40.0;
    QTest::newRow("xtal code 1 clamps to 81") << 1 << 2000 << "99.9" << "81.00MHz" << 81.0;
    QTest::newRow("xtal code 3 keeps 99.9") << 3 << 2000 << "99.9" << "99.90MHz" << 99.9;
    QTest::newRow("xtal empty is 0") << 0 << 2000 << "" << " 0.00MHz" << 0.0;
    QTest::newRow("xtal stops at second point") << 0 << 2000 << "1.2.3" << " 1.20MHz" << 1.2;
    QTest::newRow("xtal blanks first") << 2 << 2000 << " 14.4" << "14.40MHz" << 14.4;
    QTest::newRow("IF above 65.53") << 0 << 2001 << "70" << "65.53MHz" << 65.53;
    QTest::newRow("IF within") << 2 << 2001 << "45.1" << "45.10MHz" << 45.1;
}

void HardwareDialogTest::frequencyCommitClamps() {
    QFETCH(int, code);
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(double, stored);
    ScriptedPrompter p;
    auto doc = FactoryDoc(p, code);
    HardwareDialog d(*doc, true, p);
    ShowActive(&d);
    auto* edit = Control<FilterEdit>(&d, id);
    TypeInto(edit, typed);
    QCOMPARE(edit->text(), shown);
    const HardwareSection& hw = doc->Model().hardware;
    QCOMPARE(id == 2000 ? hw.refXtalMHz : hw.firstIfMHz, stored);
    QVERIFY(d.hardwareChanged());
    QVERIFY(doc->IsModified());
    QVERIFY(d.isVisible());  // Enter in a field never closes the dialog
}

void HardwareDialogTest::smallerStepKeepsRefXtalWithinItsCount() {
    ScriptedPrompter p;
    auto doc = FactoryDoc(p, 3);
    HardwareDialog d(*doc, true, p);
    ShowActive(&d);
    TypeInto(Control<FilterEdit>(&d, 2000), "99.9");
    Choose(Control<EnterCombo>(&d, 2007), 0);
    QCOMPARE(doc->Model().hardware.bandStepCode, 2);
    QCOMPARE(doc->Model().hardware.refXtalMHz, 81.0);
    QCOMPARE(Control<FilterEdit>(&d, 2000)->text(), QString("81.00MHz"));
}

void HardwareDialogTest::bandChangeYesResetsThenCancelRestoresEverything() {
    ScriptedPrompter p;
    p.answers = {Answer::Yes};
    auto doc = FactoryDoc(p, 1);
    doc->SetDefaultSplit(0.6);
    ImageModel& m = doc->Model();
    m.channels.at(3).rxFrequency = 146.52;
    m.channels.at(15).inUse = 0;
    NormalizeImage(m);
    DecodeImage(m);
    const RadioImage imageBefore = m.image;
    const auto channelsBefore = m.channels.entries;
    const HardwareSection hwBefore = m.hardware;

    HardwareDialog d(*doc, true, p);
    ShowActive(&d);
    Choose(Control<EnterCombo>(&d, 2005), 1);
    QCOMPARE(p.asked, QList<int>{50});
    QVERIFY(d.bandChanged());
    QVERIFY(doc->IsModified());
    QCOMPARE(m.hardware.uhf, 1);
    QCOMPARE(m.hardware.bandStepCode, 2);
    QCOMPARE(d.splitCopy(), 0.0);
    QCOMPARE(Control<FilterEdit>(&d, 2000)->text(), QString("14.50MHz"));
    QCOMPARE(Control<FilterEdit>(&d, 2001)->text(), QString("43.95MHz"));
    auto* step = Control<EnterCombo>(&d, 2007);
    QCOMPARE(Items(step), (QStringList{"5,6.25kHz  ", "10,12.5kHz "}));
    QCOMPARE(step->currentIndex(), 0);
    QCOMPARE(Control<EnterCombo>(&d, 2010)->currentIndex(), 8);
    for (int n = 0; n < 16; ++n) {
        QCOMPARE(m.channels.at(n).rxFrequency, 450.0);
        QCOMPARE(m.channels.at(n).txFrequency, 450.0);
        QCOMPARE(m.channels.at(n).inUse, 1);
    }

    d.cancelButton()->click();
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QVERIFY(!d.bandChanged());
    QVERIFY(!d.hardwareChanged());
    QVERIFY(doc->IsModified());  // stays set after Cancel
    QCOMPARE(m.image, imageBefore);
    QCOMPARE(m.hardware.bandStepCode, hwBefore.bandStepCode);
    QCOMPARE(m.hardware.refXtalMHz, hwBefore.refXtalMHz);
    QCOMPARE(m.hardware.firstIfMHz, hwBefore.firstIfMHz);
    QCOMPARE(m.hardware.sqlReleaseTime, hwBefore.sqlReleaseTime);
    QVERIFY(m.channels.entries == channelsBefore);
    QCOMPARE(doc->DefaultSplit(), 0.6);
}

void HardwareDialogTest::bandChangeNoLeavesEverything() {
    ScriptedPrompter p;
    p.answers = {Answer::No};
    auto doc = FactoryDoc(p, 0);
    const auto channelsBefore = doc->Model().channels.entries;
    HardwareDialog d(*doc, true, p);
    auto* band = Control<EnterCombo>(&d, 2005);
    Choose(band, 1);
    QCOMPARE(band->currentIndex(), 0);
    QCOMPARE(doc->Model().hardware.uhf, 0);
    QVERIFY(!d.bandChanged());
    QVERIFY(!doc->IsModified());
    QVERIFY(doc->Model().channels.entries == channelsBefore);
    // Choosing the band already set asks nothing.
    Choose(band, 0);
    QCOMPARE(p.asked.size(), 1);
}

void HardwareDialogTest::secondUhfStepStoresCodeThreeAndOkNormalizes() {
    ScriptedPrompter p;
    auto doc = FactoryDoc(p, 2);
    doc->SetDefaultSplit(5.0);
    HardwareDialog d(*doc, true, p);
    ShowActive(&d);
    Choose(Control<EnterCombo>(&d, 2007), 1);
    Choose(Control<EnterCombo>(&d, 2006), 1);
    Choose(Control<EnterCombo>(&d, 2014), 1);
    QCOMPARE(doc->Model().hardware.bandStepCode, 3);
    QVERIFY(d.hardwareChanged());
    PressOk(d);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    const RadioImage& img = doc->Image();
    QCOMPARE(img[0xE2] >> 6, 3);
    QCOMPARE(img[0xE4] >> 7, 1);
    QCOMPARE(img[0x0D] >> 7, 1);
    QCOMPARE(ReadImageChecksum(img), ComputeImageChecksum(img));
    QCOMPARE(doc->DefaultSplit(), 5.0);  // the split copy, unchanged without a band change
}

void HardwareDialogTest::outsideServiceModeEverythingIsDisabledAndOkStillNormalizes() {
    ScriptedPrompter p;
    auto doc = FactoryDoc(p, 0);
    doc->Image()[0xFC] ^= 0xFF;  // a stale checksum
    HardwareDialog d(*doc, false, p);
    ShowActive(&d);
    for (int id = 2005; id <= 2014; ++id) QVERIFY(!Control<EnterCombo>(&d, id)->isEnabled());
    for (int id : {2000, 2001}) {
        QCOMPARE(Control<FilterEdit>(&d, id)->colorState(), ColorEdit::State::Disabled);
        QVERIFY(!Control<FilterEdit>(&d, id)->isEnabled());
    }
    PressOk(d);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(ReadImageChecksum(doc->Image()), ComputeImageChecksum(doc->Image()));
    QVERIFY(!doc->IsModified());
}

QTEST_MAIN(HardwareDialogTest)
#include "dialogs_hardware_test.moc"
