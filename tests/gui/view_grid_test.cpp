// The form view against crafted images: cell texts, colours, header, widths, current cell, info panel.
#include "app/app_settings.h"
#include "editor/channel_grid_model.h"
#include "editor/form_view.h"
#include "editor/grid_header.h"
#include "image/document.h"
#include "image/model.h"
#include "link/dump_dialog.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace rt62;

namespace {

class SilentPrompter : public Prompter {
public:
    Answer show(int id, Buttons, Icon, const std::vector<std::string>& = {}) override {
        shown.push_back(id);
        return Answer::Ok;
    }
    std::vector<int> shown;
};

// A VHF factory image with a few channels made different from the defaults, pushed through the image
// so the grid shows what a loaded file would show.
using Craft = std::function<void(ImageModel&)>;

struct Fixture {
    SilentPrompter prompter;
    CRT62MDoc doc{prompter};
    AppSettings settings;
    CRT62MView view{doc, settings};

    explicit Fixture(const Craft& craftEntries = {}, const Craft& craftBytes = {}) {
        doc.Model() = MakeFactoryImage(0);
        if (craftEntries) {
            craftEntries(doc.Model());
            NormalizeImage(doc.Model());
        }
        if (craftBytes)
            craftBytes(doc.Model());
        DecodeImage(doc.Model());
        view.resize(900, 500);
        view.FullRefresh();
    }
    QString cell(int channel, int column) const {
        return view.gridModel()->index(channel, column).data().toString();
    }
};

void SetPagingOption(ImageModel& m, bool on) {
    if (on)
        m.image[0xBE] |= 0x40;
    else
        m.image[0xBE] &= static_cast<std::uint8_t>(~0x40);
}

void CraftChannels(ImageModel& m) {
    auto& c = m.channels;
    c.at(0).rxFrequency = 151.625;
    c.at(0).txFrequency = 156.0;
    c.at(0).narrow = 1;
    c.at(0).power = 1;
    c.at(1).txInhibit = 1;
    c.at(1).rxFrequency = 152.5;
    c.at(2).scan = 2;
    c.at(3).scan = 3;
    c.at(4).pagePresent = 1;
    c.at(4).pageNumber = 3;
    c.at(5).encKind = 1;
    c.at(5).encCtcss = 0;
    c.at(5).decKind = 2;
    c.at(5).decDcs = 0;
    c.at(6).lockOut = 2;
    c.at(6).squelch = 9;
    c.at(7).twoToneP = 4;
    c.at(7).twoToneS = 1;
    c.at(8).inUse = 0;
    c.at(8).rxFrequency = 150.5;
}

}  // namespace

class ViewGridTest : public QObject {
    Q_OBJECT
private slots:
    void cellTexts_data();
    void cellTexts();
    void pageColumnFollowsPagingOption();
    void rowColours();
    void headerRowsAndMerging();
    void columnWidthsAndHiddenItems();
    void allColumnsHidden();
    void currentCellAfterRefreshAndCurrentChannel();
    void renderCellAnnouncesDependentCells_data();
    void renderCellAnnouncesDependentCells();
    void infoPanel_data();
    void infoPanel();
    void infoPanelColumnsFollowWidth();
    void contextMenuRequest();
    void shiftF9OpensDumpOnlyInServiceMode();
};

void ViewGridTest::cellTexts_data() {
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");
    QTest::newRow("channel number") << 0 << 0 << "  1";
    QTest::newRow("channel 16 number") << 15 << 0 << " 16";
    QTest::newRow("narrow") << 0 << 1 << "N";
    QTest::newRow("receive") << 0 << 2 << "151.62500";
    QTest::newRow("transmit") << 0 << 3 << "156.00000";
    QTest::newRow("low power") << 0 << 8 << "L";
    QTest::newRow("tx inhibit dashes") << 1 << 3 << "---.-----";
    QTest::newRow("tx inhibit keeps receive") << 1 << 2 << "152.50000";
    QTest::newRow("scan 2") << 2 << 9 << "-";
    QTest::newRow("scan 3") << 3 << 9 << "v";
    QTest::newRow("ctcss encode") << 5 << 5 << "C- 67.0";
    QTest::newRow("dcs decode") << 5 << 4 << "D-023  ";
    QTest::newRow("no tone") << 0 << 4 << "-------";
    QTest::newRow("lock out BT") << 6 << 12 << "BT";
    QTest::newRow("squelch") << 6 << 13 << " 9";
    QTest::newRow("two-tone P") << 7 << 18 << " 4";
    QTest::newRow("two-tone S") << 7 << 19 << "v";
    QTest::newRow("two-tone none") << 0 << 18 << "-";
    QTest::newRow("unused channel still shows values") << 8 << 2 << "150.50000";
}

void ViewGridTest::cellTexts() {
    QFETCH(int, channel);
    QFETCH(int, column);
    QFETCH(QString, expected);
    Fixture f(CraftChannels);
    QCOMPARE(f.cell(channel, column), expected);
    QCOMPARE(f.view.grid()->model()->index(channel, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::Alignment(Qt::AlignHCenter | Qt::AlignTop));
}

void ViewGridTest::pageColumnFollowsPagingOption() {
    Fixture f([](ImageModel& m) {
        SetPagingOption(m, true);
        CraftChannels(m);
    });
    QCOMPARE(f.cell(4, 16), QStringLiteral(" 3"));
    QCOMPARE(f.cell(3, 16), QStringLiteral("-"));

    // The Option dialog clears the bit in the image: the column shows "-", the entry keeps its page.
    SetPagingOption(f.doc.Model(), false);
    f.view.FullRefresh();
    QCOMPARE(f.cell(4, 16), QStringLiteral("-"));
    QCOMPARE(f.doc.Model().channels.at(4).pageNumber, 3);

    SetPagingOption(f.doc.Model(), true);
    f.view.FullRefresh();
    QCOMPARE(f.cell(4, 16), QStringLiteral(" 3"));
}

void ViewGridTest::rowColours() {
    Fixture f(CraftChannels);
    const QPalette pal = f.view.grid()->palette();
    const QColor inUse = pal.color(QPalette::Active, QPalette::WindowText);
    const QColor unused = pal.color(QPalette::Disabled, QPalette::Text);
    QVERIFY2(inUse != unused, "the palette must tell the two colours apart for this test");
    auto colour = [&](int ch, int col) {
        return f.view.gridModel()->index(ch, col).data(Qt::ForegroundRole).value<QColor>();
    };
    for (int col = 0; col < ChannelGridModel::kColumnCount; ++col) {
        QCOMPARE(colour(0, col), inUse);
        QCOMPARE(colour(8, col), unused);
    }

    // Switching the channel on recolours the whole row and rewrites no text.
    QSignalSpy spy(f.view.gridModel(), &QAbstractItemModel::dataChanged);
    f.doc.Model().channels.at(8).inUse = 1;
    f.view.RenderCell(8, 0);
    QCOMPARE(spy.count(), 1);
    const auto args = spy.takeFirst();
    QCOMPARE(args.at(0).toModelIndex(), f.view.gridModel()->index(8, 0));
    QCOMPARE(args.at(1).toModelIndex(), f.view.gridModel()->index(8, 19));
    QCOMPARE(args.at(2).value<QList<int>>(), QList<int>{Qt::ForegroundRole});
    QCOMPARE(colour(8, 5), inUse);
}

void ViewGridTest::headerRowsAndMerging() {
    Fixture f;
    const QStringList top = {"", "", "Frequency", "Frequency", "SUB AUDIO", "SUB AUDIO", "Pwr Save", "Pwr Save",
                             "Pwr", "", "", "", "Lock", "", "", "", "", "", "2-Tone", "2-Tone"};
    const QStringList bottom = {"Type", "W/N", "Receive", "Transmit", "Dec", "Enc", "RX", "TX", "H/L", "Scan",
                                "VTS", "TOT", "out", "SQ", "ANI", "Encr", "Page", "PROX", "P", "S"};
    auto* model = f.view.gridModel();
    for (int c = 0; c < 20; ++c) {
        QCOMPARE(model->headerData(c, Qt::Horizontal, ChannelGridModel::kTopHeaderRole).toString(), top[c]);
        QCOMPARE(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), bottom[c]);
    }
    const TwoRowHeader* header = f.view.gridHeader();
    QCOMPARE(header->mergedSpan(0, 3), std::make_pair(2, 3));
    QCOMPARE(header->mergedSpan(0, 4), std::make_pair(4, 5));
    QCOMPARE(header->mergedSpan(0, 7), std::make_pair(6, 7));
    QCOMPARE(header->mergedSpan(0, 18), std::make_pair(18, 19));
    QCOMPARE(header->mergedSpan(0, 8), std::make_pair(8, 8));    // "Pwr" differs from "Pwr Save"
    QCOMPARE(header->mergedSpan(0, 10), std::make_pair(10, 10)); // empty cells stay apart
    QCOMPARE(header->mergedSpan(1, 2), std::make_pair(2, 2));
    // Both header rows stay visible above the channels.
    QVERIFY(header->sizeHint().height() >= 2 * header->fontMetrics().height());
}

void ViewGridTest::columnWidthsAndHiddenItems() {
    Fixture f;
    const int widthsTwips[20] = {480, 480, 1080, 1080, 960, 960, 480, 480, 480, 480,
                                 480, 480, 480,  480,  480, 480, 480, 480, 480, 480};
    for (int c = 0; c < 20; ++c)
        QCOMPARE(f.view.grid()->columnWidth(c), widthsTwips[c] / 15);

    // Hiding the "Sub Audio" item zeroes both of its columns and nothing else.
    const int item = ChannelGridModel::columnItem(4);
    QCOMPARE(ChannelGridModel::columnItem(5), item);
    f.settings.items[static_cast<std::size_t>(item)] = 0;
    f.view.FullRefresh();
    for (int c = 0; c < 20; ++c)
        QCOMPARE(f.view.grid()->columnWidth(c), (c == 4 || c == 5) ? 0 : widthsTwips[c] / 15);
    QCOMPARE(f.view.gridHeader()->mergedSpan(0, 2), std::make_pair(2, 3));
}

void ViewGridTest::allColumnsHidden() {
    Fixture f;
    f.settings.items.fill(0);
    f.view.FullRefresh();
    QCOMPARE(f.view.grid()->columnWidth(0), 32);
    for (int c = 1; c < 20; ++c)
        QCOMPARE(f.view.grid()->columnWidth(c), 0);
    QCOMPARE(f.view.gridModel()->rowCount(), 16);
    QCOMPARE(f.cell(0, 0), QStringLiteral("  1"));
    QCOMPARE(f.cell(15, 0), QStringLiteral(" 16"));
    QCOMPARE(f.view.gridHeader()->mergedSpan(0, 0), std::make_pair(0, 0));
}

void ViewGridTest::currentCellAfterRefreshAndCurrentChannel() {
    Fixture f;
    QTableView* grid = f.view.grid();
    QSignalSpy moved(&f.view, &CRT62MView::currentChannelChanged);
    grid->setCurrentIndex(grid->model()->index(6, 7));
    QCOMPARE(f.doc.Model().channels.currentChannel, 6);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.takeFirst().at(0).toInt(), 6);
    QCOMPARE(f.view.helpContext(), 307);

    // Moving along the row keeps the channel.
    grid->setCurrentIndex(grid->model()->index(6, 19));
    QCOMPARE(f.doc.Model().channels.currentChannel, 6);
    QCOMPARE(f.view.helpContext(), 319);
    QCOMPARE(moved.count(), 0);

    f.view.FullRefresh();
    QCOMPARE(grid->currentIndex().row(), 0);
    QCOMPARE(grid->currentIndex().column(), 0);
    QCOMPARE(f.doc.Model().channels.currentChannel, 0);
    QCOMPARE(f.view.helpContext(), 300);

    // A row redrawn by a channel copy becomes the current row, in column 0.
    f.view.RenderRow(11);
    QCOMPARE(grid->currentIndex(), grid->model()->index(11, 0));
    QCOMPARE(f.doc.Model().channels.currentChannel, 11);

    // Keyboard navigation is followed as well.
    f.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.view));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(f.doc.Model().channels.currentChannel, 12);
}

void ViewGridTest::renderCellAnnouncesDependentCells_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QList<int>>("changed");
    QTest::newRow("W/N") << 1 << QList<int>{1};
    QTest::newRow("receive sets transmit") << 2 << QList<int>{2, 3};
    QTest::newRow("transmit") << 3 << QList<int>{3};
    QTest::newRow("decode tone clears PROX") << 4 << QList<int>{4, 5, 17};
    QTest::newRow("encode tone clears PROX") << 5 << QList<int>{4, 5, 17};
    QTest::newRow("squelch") << 13 << QList<int>{13};
    QTest::newRow("two-tone P") << 18 << QList<int>{18, 19};
    QTest::newRow("two-tone S") << 19 << QList<int>{19};
}

void ViewGridTest::renderCellAnnouncesDependentCells() {
    QFETCH(int, column);
    QFETCH(QList<int>, changed);
    Fixture f;
    QSignalSpy spy(f.view.gridModel(), &QAbstractItemModel::dataChanged);
    f.view.RenderCell(3, column);
    QList<int> seen;
    for (const auto& args : spy) {
        const QModelIndex from = args.at(0).toModelIndex();
        const QModelIndex to = args.at(1).toModelIndex();
        QCOMPARE(from.row(), 3);
        QCOMPARE(to.row(), 3);
        for (int c = from.column(); c <= to.column(); ++c)
            seen.append(c);
    }
    std::sort(seen.begin(), seen.end());
    QCOMPARE(seen, changed);
}

void ViewGridTest::infoPanel_data() {
    QTest::addColumn<int>("fwHigh");
    QTest::addColumn<int>("fwLow");
    QTest::addColumn<int>("band");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<QString>("bandText");
    QTest::newRow("2.08 VHF") << 0x02 << 0x08 << 0 << "2.08" << "VHF          ";
    QTest::newRow("1.00 UHF") << 0x01 << 0x00 << 2 << "1.00" << "UHF          ";
    QTest::newRow("12.34 UHF alt step") << 0x12 << 0x34 << 3 << "12.34" << "UHF          ";
}

void ViewGridTest::infoPanel() {
    QFETCH(int, fwHigh);
    QFETCH(int, fwLow);
    QFETCH(int, band);
    QFETCH(QString, firmware);
    QFETCH(QString, bandText);
    SilentPrompter prompter;
    CRT62MDoc doc(prompter);
    doc.Model() = MakeFactoryImage(band);
    doc.Model().image[0] = static_cast<std::uint8_t>(fwHigh);
    doc.Model().image[1] = static_cast<std::uint8_t>(fwLow);
    DecodeImage(doc.Model());
    AppSettings settings;
    settings.comPort = 7;
    settings.printerName = QStringLiteral("Office Laser");
    CRT62MView view(doc, settings);
    view.FullRefresh();
    QCOMPARE(view.infoValue(1010), firmware);
    QCOMPARE(view.infoValue(1008), bandText);
    QCOMPARE(view.infoValue(1009), QStringLiteral("KT-905       "));
    QCOMPARE(view.infoValue(1007).size(), 8);
    QCOMPARE(view.infoValue(1007), QString::fromStdString(doc.Model().marketing.serialNumber));
    QCOMPARE(view.infoValue(1059), QStringLiteral("COM7"));
    QCOMPARE(view.infoValue(1061), QStringLiteral("Office Laser"));

    // The panel is rewritten on its own after a configuration change.
    settings.comPort = 12;
    view.RefreshInfoPanel();
    QCOMPARE(view.infoValue(1059), QStringLiteral("COM12"));
}

void ViewGridTest::infoPanelColumnsFollowWidth() {
    Fixture f;
    for (int width : {330, 600, 1200}) {
        f.view.Layout(width, 400);
        const int a = (width - 30) / 3;
        QCOMPARE(f.view.infoColumnLeft(0), 20);
        QCOMPARE(f.view.infoColumnLeft(1) - f.view.infoColumnLeft(0), a);
        QCOMPARE(f.view.infoColumnLeft(2) - f.view.infoColumnLeft(1), a);
        // The grid reaches to 15 px from the right and bottom edges.
        QVERIFY(f.view.grid()->geometry().right() < width - 15);
        QVERIFY(f.view.grid()->geometry().right() >= width - 15 - 4);
    }
}

void ViewGridTest::contextMenuRequest() {
    Fixture f;
    QSignalSpy spy(&f.view, &CRT62MView::editMenuRequested);
    emit f.view.grid()->customContextMenuRequested(QPoint(10, 10));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.takeFirst().at(0).toPoint(), f.view.grid()->viewport()->mapToGlobal(QPoint(10, 10)));
}

void ViewGridTest::shiftF9OpensDumpOnlyInServiceMode() {
    Fixture f;
    f.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.view));

    f.settings.serviceMode = false;
    QTest::keyClick(f.view.grid(), Qt::Key_F9, Qt::ShiftModifier);
    QVERIFY(QApplication::activeModalWidget() == nullptr);

    f.settings.serviceMode = true;
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<DumpDialog*>(QApplication::activeModalWidget())) {
            opened = dialog->windowTitle() == QLatin1String("File Data");
            dialog->accept();
        }
    });
    QTest::keyClick(f.view.grid(), Qt::Key_F9, Qt::ShiftModifier);
    QVERIFY(opened);
}

QTEST_MAIN(ViewGridTest)
#include "view_grid_test.moc"
