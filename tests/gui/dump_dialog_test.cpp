// The "File Data" dialog shows the image and its trailer byte for byte under the right headings.
#include "image/document.h"
#include "image/model.h"
#include "link/dump_dialog.h"

#include <QTableWidget>
#include <QTest>

#include <cstring>

using namespace rt62;

namespace {
class SilentPrompter : public Prompter {
public:
    Answer show(int, Buttons, Icon, const std::vector<std::string>& = {}) override { return Answer::Ok; }
};
}  // namespace

class DumpDialogTest : public QObject {
    Q_OBJECT
private slots:
    void headings();
    void bytesAndTrailer_data();
    void bytesAndTrailer();
    void lastRowHasSixCells();
    void readOnly();
};

void DumpDialogTest::headings() {
    SilentPrompter p;
    CRT62MDoc doc(p);
    DumpDialog dialog(doc);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("File Data"));
    QCOMPARE(dialog.cellText(0, 0), QString());
    QCOMPARE(dialog.cellText(0, 1), QStringLiteral("00"));
    QCOMPARE(dialog.cellText(0, 11), QStringLiteral("0a"));
    QCOMPARE(dialog.cellText(0, 16), QStringLiteral("0f"));
    QCOMPARE(dialog.cellText(1, 0), QStringLiteral("00000h"));
    QCOMPARE(dialog.cellText(16, 0), QStringLiteral("000f0h"));
    QCOMPARE(dialog.cellText(17, 0), QStringLiteral("00100h"));
    QCOMPARE(dialog.table()->rowCount() + 1, 18);
    QCOMPARE(dialog.table()->columnCount() + 1, 17);
    QCOMPARE(dialog.table()->columnWidth(0), 400 / 15);
}

void DumpDialogTest::bytesAndTrailer_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("first byte") << 0x00 << 1 << 1;
    QTest::newRow("channel 1 record") << 0x1E << 2 << 15;
    QTest::newRow("option byte") << 0xBE << 12 << 15;
    QTest::newRow("checksum low byte") << 0xFD << 16 << 14;
}

void DumpDialogTest::bytesAndTrailer() {
    QFETCH(int, offset);
    QFETCH(int, row);
    QFETCH(int, column);
    SilentPrompter p;
    CRT62MDoc doc(p);
    doc.Model() = MakeFactoryImage(2);
    doc.Image()[static_cast<std::size_t>(offset)] = 0xA7;
    DumpDialog dialog(doc);
    QCOMPARE(dialog.cellText(row, column), QStringLiteral("a7"));
    // Every image byte is there in lower-case hex.
    for (int a = 0; a < 254; ++a)
        QCOMPARE(dialog.cellText(a / 16 + 1, a % 16 + 1),
                 QString::asprintf("%02x", doc.Image()[static_cast<std::size_t>(a)]));
}

void DumpDialogTest::lastRowHasSixCells() {
    SilentPrompter p;
    CRT62MDoc doc(p);
    doc.SetDefaultSplit(-4.6);
    DumpDialog dialog(doc);
    // Offsets 254-261: the Default Split as it is stored in a data file (little-endian double).
    double split = -4.6;
    unsigned char raw[8];
    std::memcpy(raw, &split, 8);
    QCOMPARE(dialog.cellText(16, 15), QString::asprintf("%02x", raw[0]));
    QCOMPARE(dialog.cellText(16, 16), QString::asprintf("%02x", raw[1]));
    for (int c = 1; c <= 6; ++c)
        QCOMPARE(dialog.cellText(17, c), QString::asprintf("%02x", raw[c + 1]));
    for (int c = 7; c <= 16; ++c)
        QCOMPARE(dialog.cellText(17, c), QString());
}

void DumpDialogTest::readOnly() {
    SilentPrompter p;
    CRT62MDoc doc(p);
    doc.Model() = MakeFactoryImage(0);
    const RadioImage before = doc.Image();
    DumpDialog dialog(doc);
    QTableWidget* table = dialog.table();
    QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!(table->item(0, 0)->flags() & Qt::ItemIsEditable));
    dialog.accept();
    QVERIFY(doc.Image() == before);
}

QTEST_MAIN(DumpDialogTest)
#include "dump_dialog_test.moc"
