// The paste rule of every grid column and the channel copy, against a VHF factory image.
#include "editor/cell_paste.h"
#include "image/cells.h"
#include "image/fields.h"
#include "image/model.h"
#include "image/tones.h"

#include <QtTest>

#include <cmath>
#include <functional>

using namespace rt62;

namespace {

// Channel 3 (index 2) is the target: in use, 150.000 MHz, with Dec and Enc DCS so PROX may be pasted.
// Page codes 1 and 5 hold codes; two-tone pair 2 is on.
ImageModel Prepared(bool bothDcs = true) {
    ImageModel m = MakeFactoryImage(0);
    m.defaultSplit = 0.6;
    ChannelEntry& e = m.channels.at(2);
    if (bothDcs) {
        e.decKind = kToneDcs;
        e.encKind = kToneDcs;
    }
    e.squelch = 4;
    m.channels.at(9).inUse = 0;
    WritePageCode(m.image, 1, {"123", 0});
    WritePageCode(m.image, 5, {"555", 1});
    m.image[0xD4 + 2] = 0x05; // pair 2: two codes of one group
    m.image[0xD4 + 3] = 0x0A;
    return m;
}

} // namespace

class EditPasteTest : public QObject {
    Q_OBJECT
  private slots:
    void columnRules_data();
    void columnRules();
    void refusedPasteLeavesEntry_data();
    void refusedPasteLeavesEntry();
    void transmitRefusalKeepsInhibit();
    void unusedChannelRefusesAllButColumnZero();
    void channelCopyRules_data();
    void channelCopyRules();
    void channelCopyQuestion();
    void copyChannelByItems();
    void copyChannelInUseAndType();
};

void EditPasteTest::columnRules_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cell"); // the cell's text after the accepted paste
    QTest::newRow("W/N N") << 1 << "N"
                           << "N";
    QTest::newRow("receive") << 2 << "146.52000"
                             << "146.52000";
    QTest::newRow("receive empty clamps") << 2 << ""
                                          << "134.00000";
    QTest::newRow("receive with blanks") << 2 << " 146.5"
                                         << "146.50000";
    QTest::newRow("transmit inhibit") << 3 << "---.-----"
                                      << "---.-----";
    QTest::newRow("transmit number") << 3 << "155"
                                     << "155.00000";
    QTest::newRow("Dec CTCSS two-digit") << 4 << "C- 67.0"
                                         << "C- 67.0";
    QTest::newRow("Enc CTCSS trailing blanks") << 5 << "C-254.1  "
                                               << "C-254.1";
    QTest::newRow("Enc DCS cell text") << 5 << "D-047  "
                                       << "D-047  ";
    QTest::newRow("DCS 224") << 4 << "D-224"
                             << "D-224  ";
    QTest::newRow("no tone") << 4 << "-------"
                             << "-------";
    QTest::newRow("power save TX") << 7 << "v"
                                   << "v";
    QTest::newRow("power L") << 8 << "L"
                             << "L";
    QTest::newRow("scan on") << 9 << "v"
                             << "v";
    QTest::newRow("VTS ignores its gate") << 10 << "v"
                                          << "v";
    QTest::newRow("TOT off") << 11 << "-"
                             << "-";
    QTest::newRow("lock out BT") << 12 << "BT"
                                 << "BT";
    QTest::newRow("SQ 12") << 13 << "12"
                           << "12";
    QTest::newRow("SQ 0") << 13 << "0"
                          << " 0";
    QTest::newRow("SQ cell text") << 13 << " 0"
                                  << " 0";
    QTest::newRow("ANI ignores its gate") << 14 << "v"
                                          << "v";
    QTest::newRow("Encr ignores its gate") << 15 << "v"
                                           << "v";
    QTest::newRow("page in use") << 16 << "5"
                                 << " 5";
    QTest::newRow("page 0 clears") << 16 << "-"
                                   << "-";
    QTest::newRow("PROX with DCS both sides") << 17 << "v"
                                              << "v";
    QTest::newRow("pair on") << 18 << " 2"
                             << " 2";
    QTest::newRow("pair dash clears") << 18 << "-"
                                      << "-";
    QTest::newRow("two-tone S") << 19 << "v"
                                << "v";
}

void EditPasteTest::columnRules() {
    QFETCH(int, column);
    QFETCH(QString, text);
    ImageModel m = Prepared();
    m.image[0xBE] |= 0x40; // paging option on, so the Page cell shows the number
    const PasteResult r = PasteIntoCell(m, 2, column, text.toStdString(), {});
    QCOMPARE(r.outcome, PasteOutcome::Stored);
    QTEST(QString::fromStdString(ChannelCellText(m, 2, column)), "cell");
}

void EditPasteTest::refusedPasteLeavesEntry_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("W/N lower case") << 1 << "w";
    QTest::newRow("receive ten characters") << 2 << "146.520000";
    QTest::newRow("receive letters") << 2 << "146.5MHz";
    QTest::newRow("CTCSS without blank") << 5 << "C-67.0";
    QTest::newRow("CTCSS unknown") << 5 << "C- 67.1";
    QTest::newRow("DCS unknown") << 4 << "D-024";
    QTest::newRow("tone one character") << 4 << "C";
    QTest::newRow("no tone too short") << 4 << "------";
    QTest::newRow("power h") << 8 << "h";
    QTest::newRow("scan V") << 9 << "V";
    QTest::newRow("lock out bc") << 12 << "bc";
    QTest::newRow("SQ 13") << 13 << "13";
    QTest::newRow("SQ abc") << 13 << "abc";
    QTest::newRow("SQ 00") << 13 << "00";
    QTest::newRow("SQ negative") << 13 << "-1";
    QTest::newRow("page with empty code") << 16 << "3";
    QTest::newRow("page 11") << 16 << "11";
    QTest::newRow("pair off") << 18 << "3";
    QTest::newRow("pair 7") << 18 << "7";
    QTest::newRow("mark x") << 6 << "x";
    QTest::newRow("multi-cell text") << 11 << "v\tv";
}

void EditPasteTest::refusedPasteLeavesEntry() {
    QFETCH(int, column);
    QFETCH(QString, text);
    ImageModel m = Prepared();
    m.image[0xBE] |= 0x40; // paging option on: still refused when the code is empty
    const ChannelEntry before = m.channels.at(2);
    QCOMPARE(PasteIntoCell(m, 2, column, text.toStdString(), {}).outcome, PasteOutcome::Refused);
    QVERIFY(m.channels.at(2) == before);
}

void EditPasteTest::transmitRefusalKeepsInhibit() {
    ImageModel m = Prepared();
    m.channels.at(2).txInhibit = 1;
    QVERIFY(!PasteIntoCell(m, 2, kColTransmit, "abc", {}).accepted());
    QCOMPARE(m.channels.at(2).txInhibit, 1);
    QVERIFY(PasteIntoCell(m, 2, kColTransmit, "151", {}).accepted());
    QCOMPARE(m.channels.at(2).txInhibit, 0);
    QCOMPARE(m.channels.at(2).txFrequency, 151.0);
    QCOMPARE(m.channels.at(2).rxFrequency, 150.0);
}

void EditPasteTest::unusedChannelRefusesAllButColumnZero() {
    ImageModel m = Prepared();
    for (int column = 1; column < kColumnCount; ++column)
        QVERIFY2(!PasteIntoCell(m, 9, column, ChannelCellText(m, 9, column), {}).accepted(),
                 qPrintable(QString::number(column)));
    QCOMPARE(PasteIntoCell(m, 9, kColChannel, "3", {}).outcome, PasteOutcome::CopyConfirmed);
}

void EditPasteTest::channelCopyRules_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("source");
    QTest::newRow("cell text") << "  3" << true << 2;
    QTest::newRow("plain number") << "16" << true << 15;
    QTest::newRow("cells after a tab") << "  3\tW\tH" << true << 2;
    QTest::newRow("a point anywhere") << "  3\tW\t150.00000" << false << -1;
    QTest::newRow("17") << "17" << false << -1;
    QTest::newRow("0") << "0" << false << -1;
    QTest::newRow("decimal") << "2.5" << false << -1;
    QTest::newRow("own number") << "  5" << false << -1;
    QTest::newRow("empty clipboard") << "" << false << -1;
    QTest::newRow("letters") << "abc" << false << -1;
    QTest::newRow("negative") << "-3" << false << -1;
}

void EditPasteTest::channelCopyRules() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    ImageModel m = Prepared();
    int asked = 0;
    PasteContext context;
    context.confirmCopy = [&](const std::string&, const std::string&) {
        ++asked;
        return true;
    };
    const PasteResult r = PasteIntoCell(m, 4, kColChannel, text.toStdString(), context);
    QCOMPARE(r.accepted(), accepted);
    QCOMPARE(asked, accepted ? 1 : 0);
    QTEST(r.sourceChannel, "source");
}

void EditPasteTest::channelCopyQuestion() {
    ImageModel m = Prepared();
    m.channels.at(2).power = 1;
    std::string pasted, destination;
    PasteContext context;
    context.confirmCopy = [&](const std::string& p, const std::string& d) {
        pasted = p;
        destination = d;
        return false;
    };
    const PasteResult r = PasteIntoCell(m, 4, kColChannel, "  3", context);
    QCOMPARE(r.outcome, PasteOutcome::CopyDeclined);
    QVERIFY(r.accepted());
    QCOMPARE(pasted, std::string("  3"));
    QCOMPARE(destination, std::string("  5"));
    QCOMPARE(m.channels.at(4).power, 0);
}

void EditPasteTest::copyChannelByItems() {
    // Each item alone visible: only its fields move.
    struct Case {
        int item;
        std::function<bool(const ChannelEntry&)> copied;
    };
    const Case cases[] = {
        {0, [](const ChannelEntry& e) { return e.narrow == 1; }},
        {1,
         [](const ChannelEntry& e) {
             return std::abs(e.rxFrequency - 146.52) < 1e-9 && std::abs(e.txFrequency - 147.12) < 1e-9 &&
                    e.txInhibit;
         }},
        {2, [](const ChannelEntry& e) { return e.decKind == kToneDcs && e.decDcs == 7 && e.encCtcss == 9; }},
        {3, [](const ChannelEntry& e) { return e.powerSaveRx && e.powerSaveTx; }},
        {4, [](const ChannelEntry& e) { return e.power == 1; }},
        {5, [](const ChannelEntry& e) { return e.scan == 3; }},
        {6, [](const ChannelEntry& e) { return e.vts == 1; }},
        {7, [](const ChannelEntry& e) { return e.tot == 0; }},
        {8, [](const ChannelEntry& e) { return e.lockOut == 2; }},
        {9, [](const ChannelEntry& e) { return e.squelch == 11; }},
        {10, [](const ChannelEntry& e) { return e.ani == 1; }},
        {11, [](const ChannelEntry& e) { return e.encryption == 1; }},
        {12, [](const ChannelEntry& e) { return e.pageNumber == 5 && e.pagePresent; }},
        {13, [](const ChannelEntry& e) { return e.prox == 1; }},
        {14, [](const ChannelEntry& e) { return e.twoToneP == 2 && e.twoToneS; }},
    };
    for (const Case& c : cases) {
        ImageModel m = Prepared();
        ChannelEntry& s = m.channels.at(2);
        s = ChannelEntry{146.52, 147.12, 1, 1, 0, 0, 1,  1, 1, 2, 9, 0, 0, 7, 1,
                         1,      0,      1, 1, 2, 2, 11, 1, 2, 3, 1, 1, 5, 1};
        const ChannelEntry before = m.channels.at(4);
        ColumnItemValues items{};
        items[static_cast<std::size_t>(c.item)] = 1;
        CopyChannel(m, 2, 4, items);
        const ChannelEntry& d = m.channels.at(4);
        QVERIFY2(c.copied(d), qPrintable(QString("item %1").arg(c.item)));
        // Nothing else moved (the in-use flag is the same on both sides here).
        for (const Case& other : cases)
            if (other.item != c.item && other.copied(before) != other.copied(d))
                QFAIL(qPrintable(QString("item %1 also copied item %2").arg(c.item).arg(other.item)));
    }
}

void EditPasteTest::copyChannelInUseAndType() {
    ImageModel m = Prepared();
    m.channels.at(9).narrow = 1;
    const ColumnItemValues all{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    CopyChannel(m, 9, 0, all); // into channel 1: stays in use
    QCOMPARE(m.channels.at(0).inUse, 1);
    QCOMPARE(m.channels.at(0).narrow, 1);
    CopyChannel(m, 9, 1, all); // into channel 2: switched off
    QCOMPARE(m.channels.at(1).inUse, 0);
    QCOMPARE(m.channels.at(1).channelType, 1);
    CopyChannel(m, 2, 9, ColumnItemValues{}); // no item visible: only the in-use flag
    QCOMPARE(m.channels.at(9).inUse, 1);
    QCOMPARE(m.channels.at(9).narrow, 1);

    // An INI value other than 1 counts as hidden; copied frequencies are snapped again.
    m.channels.at(2).rxFrequency = 146.52;
    ColumnItemValues odd = all;
    odd[1] = 2;
    CopyChannel(m, 2, 5, odd);
    QCOMPARE(m.channels.at(5).rxFrequency, 150.0);
    m.channels.at(2).rxFrequency = 146.00625;
    m.channels.at(2).rxAltStep = 0;
    CopyChannel(m, 2, 5, all);
    QCOMPARE(m.channels.at(5).rxAltStep, 1);
}

QTEST_MAIN(EditPasteTest)
#include "edit_paste_test.moc"
