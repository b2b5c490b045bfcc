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
    void headingsBytesAndTrailer();
    void readOnly();
};

void DumpDialogTest::headingsBytesAndTrailer() {
    SilentPrompter p;
    CRT62MDoc doc(p);
    doc.Model() = MakeFactoryImage(2);
    doc.Image()[0xFD] = 0xA7;  // the checksum's low byte: row 000f0h, column 0d
    doc.SetDefaultSplit(-4.6);
    DumpDialog dialog(doc);

    QCOMPARE(dialog.windowTitle(), QStringLiteral("File Data"));
    const QStringList headings = {"", "00", "0a", "0f", "00000h", "000f0h", "00100h"};
    const QList<QPair<int, int>> at = {{0, 0}, {0, 1}, {0, 11}, {0, 16}, {1, 0}, {16, 0}, {17, 0}};
    for (int i = 0; i < headings.size(); ++i)
        QCOMPARE(dialog.cellText(at[i].first, at[i].second), headings[i]);
    QCOMPARE(dialog.cellText(16, 14), QStringLiteral("a7"));

    for (int a = 0; a < 254; ++a)
        QCOMPARE(dialog.cellText(a / 16 + 1, a % 16 + 1),
                 QString::asprintf("%02x", doc.Image()[static_cast<std::size_t>(a)]));
    // Offsets 254-261: the Default Split as a data file stores it; nothing after that.
    double split = -4.6;
    unsigned char raw[8];
    std::memcpy(raw, &split, 8);
    for (int k = 0; k < 8; ++k)
        QCOMPARE(dialog.cellText((254 + k) / 16 + 1, (254 + k) % 16 + 1), QString::asprintf("%02x", raw[k]));
    for (int c = 7; c <= 16; ++c)
        QCOMPARE(dialog.cellText(17, c), QString());
    QCOMPARE(dialog.table()->columnWidth(0), 400 / 15);
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
