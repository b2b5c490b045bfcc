// The form view against crafted images (cell texts, colours, header spans, hidden columns, current
// cell, info panel), the "File Data" dump it opens in service mode, and the printed report.
#include "gui/common/app_settings.h"
#include "gui/common/contrast.h"
#include "gui/editor/channel_grid_model.h"
#include "gui/editor/form_view.h"
#include "gui/editor/grid_header.h"
#include "core/image/document.h"
#include "core/image/language.h"
#include "core/image/model.h"
#include "core/image/strings.h"
#include "gui/report/dump_dialog.h"
#include "gui/report/report_printer.h"

#include "tests/gui/window_test_support.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <functional>

using namespace rt62;

namespace {

void CraftChannels(ImageModel& m) {
    auto& c = m.channels;
    c.at(0).rxFrequency = 151.625, c.at(0).txFrequency = 156.0, c.at(0).narrow = 1;
    c.at(1).txInhibit = 1, c.at(1).rxFrequency = 152.5;
    c.at(8).inUse = 0, c.at(8).rxFrequency = 150.5;
}

// A VHF factory image with crafted channels pushed through the image bytes, so the grid shows what
// a loaded file would show.
struct Fixture {
    test::ScriptedPrompter prompter;
    CRT62MDoc doc{prompter};
    AppSettings settings;
    CRT62MView view{doc, settings};

    explicit Fixture(const std::function<void(ImageModel&)>& craft = CraftChannels, int band = 0) {
        doc.Model() = MakeFactoryImage(band);
        craft(doc.Model());
        NormalizeImage(doc.Model());
        DecodeImage(doc.Model());
        view.resize(900, 500);
        view.FullRefresh();
    }
    QString cell(int channel, int column) const {
        return view.gridModel()->index(channel, column).data().toString();
    }
};

std::vector<std::string> FactoryReport(int band, bool allChannelsPrinted) {
    Fixture f(
        [&](ImageModel& m) {
            for (auto& e : m.channels.entries)
                e.inUse = allChannelsPrinted, e.rxFrequency = e.txFrequency = band >= 2 ? 450.0 : 150.0;
        },
        band);
    return ReportLinesFor(f.doc);
}

} // namespace

class ViewGridTest : public QObject {
    Q_OBJECT
  private slots:
    void cellTexts();
    void rowColours();
    void headerMergingAndHiddenItems();
    void currentCellContextMenuAndShiftF9();
    void infoPanel();
    void dumpShowsImageAndTrailer();
    void reportFitsThePaperOnOnePage();
    void previewNamesThePrinterInTheInfoPanel();
};

void ViewGridTest::cellTexts() {
    struct Row {
        int channel, column;
        const char* text;
    };
    // Each row and column reaches its own cell; the texts themselves are the cells' own (core tests).
    const Row rows[] = {{0, 0, "  1"},       {15, 0, " 16"},       {0, 1, "N"},         {0, 2, "151.62500"},
                        {0, 3, "156.00000"}, {1, 3, "---.-----"}, {1, 2, "152.50000"}, // TX inhibit
                        {8, 2, "150.50000"}}; // an unused channel shows values
    Fixture f;
    for (const Row& r : rows) {
        const QString at = QString("%1,%2: ").arg(r.channel).arg(r.column);
        QCOMPARE(at + f.cell(r.channel, r.column), at + r.text);
    }
}

void ViewGridTest::rowColours() {
    Fixture f;
    const QPalette pal = f.view.grid()->palette();
    // The palette's colours, moved only where they would read too faintly on the cells' field.
    const QColor base = pal.color(QPalette::Active, QPalette::Base);
    const QColor inUse = ReadableOn(pal.color(QPalette::Active, QPalette::Text), base);
    const QColor unused = ReadableOn(pal.color(QPalette::Disabled, QPalette::Text), base);
    QVERIFY2(inUse != unused, "the palette must tell the two colours apart for this test");
    auto colour = [&](int ch, int col) {
        return f.view.gridModel()->index(ch, col).data(Qt::ForegroundRole).value<QColor>();
    };
    for (int col = 0; col < ChannelGridModel::kColumnCount; ++col)
        QVERIFY(colour(0, col) == inUse && colour(8, col) == unused);
    // Switching the channel on recolours the whole row and rewrites no text.
    QSignalSpy spy(f.view.gridModel(), &QAbstractItemModel::dataChanged);
    f.doc.Model().channels.at(8).inUse = 1;
    f.view.RenderCell(8, 0);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(1).toModelIndex(), f.view.gridModel()->index(8, 19));
    QCOMPARE(spy.at(0).at(2).value<QList<int>>(), (QList<int>{Qt::ForegroundRole, Qt::AccessibleTextRole}));
    QCOMPARE(colour(8, 5), inUse);
}

void ViewGridTest::headerMergingAndHiddenItems() {
    Fixture f;
    const QList<QPair<int, std::pair<int, int>>> spans = {
        {3, {2, 3}},   {4, {4, 5}}, {7, {6, 7}}, {18, {18, 19}}, {8, {8, 8}}, // "Pwr" differs from "Pwr Save"
        {10, {10, 10}}                                                        // empty cells stay apart
    };
    for (const auto& [column, span] : spans)
        QCOMPARE(f.view.gridHeader()->mergedSpan(0, column), span);

    // Hiding the "Sub Audio" item zeroes both of its columns and nothing else.
    auto widths = [&] {
        QList<int> w;
        for (int c = 0; c < 20; ++c)
            w << f.view.grid()->columnWidth(c);
        return w;
    };
    QList<int> want = widths();
    want[4] = want[5] = 0;
    f.settings.items[static_cast<std::size_t>(ColumnItemOfColumn(4))] = 0;
    f.view.FullRefresh();
    QCOMPARE(widths(), want);
    // With every item hidden only the channel numbers remain.
    f.settings.items.fill(0);
    f.view.FullRefresh();
    QVERIFY(widths()[0] > 0 && widths().mid(1) == QList<int>(19, 0));
    QCOMPARE(f.view.gridHeader()->mergedSpan(0, 0), std::make_pair(0, 0));

    // No grid lines in the header rows: across the empty top cells of Scan, VTS and TOT every pixel is
    // the same.
    f.settings.items.fill(1);
    f.view.FullRefresh();
    TwoRowHeader* header = f.view.gridHeader();
    header->resize(header->sizeHint().width(), header->sizeHint().height());
    const QImage shot = header->grab().toImage();
    const int y = header->sizeHint().height() / 4;
    const int left = header->sectionViewportPosition(9) + 1;
    const int right = header->sectionViewportPosition(11) + header->sectionSize(11) - 2;
    QVERIFY(right > left && right < shot.width());
    for (int x = left; x <= right; ++x)
        QVERIFY2(shot.pixelColor(x, y) == shot.pixelColor(left, y), qPrintable(QString::number(x)));
}

void ViewGridTest::currentCellContextMenuAndShiftF9() {
    Fixture f;
    QTableView* grid = f.view.grid();
    auto current = [&] { return f.doc.Model().channels.currentChannel; };
    QSignalSpy moved(&f.view, &CRT62MView::currentChannelChanged);
    grid->setCurrentIndex(grid->model()->index(6, 7));
    QVERIFY(current() == 6 && moved.count() == 1 && f.view.helpContext() == 307);
    // Moving along the row keeps the channel.
    grid->setCurrentIndex(grid->model()->index(6, 19));
    QVERIFY(moved.count() == 1 && f.view.helpContext() == 319);

    f.view.FullRefresh();
    QVERIFY(grid->currentIndex() == grid->model()->index(0, 0) && current() == 0);
    // A rebuild of the same document (after a dialog, undo, redo) leaves the current cell alone.
    grid->setCurrentIndex(grid->model()->index(9, 12));
    f.view.RebuildGrid();
    QVERIFY(grid->currentIndex() == grid->model()->index(9, 12) && current() == 9);
    f.view.FullRefresh();
    // A row redrawn by a channel copy becomes the current row, in column 0.
    f.view.RenderRow(11);
    QVERIFY(grid->currentIndex() == grid->model()->index(11, 0) && current() == 11);
    // Keyboard navigation is followed as well.
    f.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.view, kWindowWait));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(current(), 12);

    QSignalSpy spy(&f.view, &CRT62MView::editMenuRequested);
    emit grid->customContextMenuRequested(QPoint(10, 10));
    QCOMPARE(spy.value(0).value(0).toPoint(), grid->viewport()->mapToGlobal(QPoint(10, 10)));
    // Shift+F9 opens the dump only in service mode.
    QTest::keyClick(grid, Qt::Key_F9, Qt::ShiftModifier);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    f.settings.serviceMode = true;
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<DumpDialog*>(QApplication::activeModalWidget())) {
            opened = dialog->windowTitle() == QLatin1String("File Data");
            dialog->accept();
        }
    });
    QTest::keyClick(grid, Qt::Key_F9, Qt::ShiftModifier);
    QVERIFY(opened);
}

void ViewGridTest::infoPanel() {
    const QList<std::tuple<int, int, int, QString, QString>> rows = {
        {0x02, 0x08, 0, "2.08", "VHF          "}, {0x12, 0x34, 3, "12.34", "UHF          "}};
    for (const auto& [fwHigh, fwLow, band, firmware, bandText] : rows) {
        Fixture f(
            [&](ImageModel& m) {
                m.image[0] = static_cast<std::uint8_t>(fwHigh);
                m.image[1] = static_cast<std::uint8_t>(fwLow);
            },
            band);
        f.settings.comPort = 7;
        f.view.RefreshInfoPanel();
        QCOMPARE(f.view.infoValue(1010), firmware);
        QCOMPARE(f.view.infoValue(1008), bandText);
        QCOMPARE(f.view.infoValue(1007), QString::fromStdString(f.doc.Model().marketing.serialNumber));
        QCOMPARE(f.view.infoValue(1059), QStringLiteral("COM7"));
    }
}

void ViewGridTest::dumpShowsImageAndTrailer() {
    Fixture f([](ImageModel&) {}, 2);
    f.doc.Image()[0xFD] = 0xA7; // the checksum's low byte: row 000f0h, column 0d
    f.doc.SetDefaultSplit(-4.6);
    const RadioImage before = f.doc.Image();
    DumpDialog dialog(f.doc);
    const QList<std::tuple<int, int, QString>> cells = {
        {0, 0, ""},       {0, 1, "00"},      {0, 11, "0a"},     {0, 16, "0f"},      {1, 0, "00000h"},
        {16, 0, "000f0h"}, {17, 0, "00100h"}, {16, 14, "a7"},    {17, 7, ""},        {17, 16, ""}};
    for (const auto& [row, column, text] : cells)
        QCOMPARE(dialog.cellText(row, column), text);
    // Offsets 0-253 the image, 254-261 the Default Split as a data file stores it.
    double split = -4.6;
    unsigned char raw[8];
    std::memcpy(raw, &split, 8);
    for (int a = 0; a < 262; ++a)
        QCOMPARE(dialog.cellText(a / 16 + 1, a % 16 + 1),
                 QString::asprintf("%02x", a < 254 ? before[static_cast<std::size_t>(a)] : raw[a - 254]));
    // Read-only: no cell can be edited and closing changes nothing.
    QVERIFY(dialog.table()->editTriggers() == QAbstractItemView::NoEditTriggers &&
            !(dialog.table()->item(1, 1)->flags() & Qt::ItemIsEditable));
    dialog.accept();
    QVERIFY(f.doc.Image() == before);
}

void ViewGridTest::reportFitsThePaperOnOnePage() {
    const std::pair<QPageSize::PageSizeId, QPageLayout::Orientation> papers[] = {
        {QPageSize::A4, QPageLayout::Portrait},  {QPageSize::Letter, QPageLayout::Portrait},
        {QPageSize::A4, QPageLayout::Landscape}, {QPageSize::A5, QPageLayout::Portrait},
        {QPageSize::A6, QPageLayout::Landscape}};
    // The widest language and the one of wide characters as well as English.
    for (const char* code : {"en", "fr", "zh_CN"}) {
        SetLanguage(*FindLanguage(code));
        const auto lines = FactoryReport(2, true);
        std::size_t widest = 0;
        for (const std::string& line : lines)
            widest = std::max(widest, static_cast<std::size_t>(DisplayColumns(line)));
        for (const auto& [size, orientation] : papers) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setPageSize(QPageSize(size));
            printer.setPageOrientation(orientation);
            const QRectF area(QPointF(), printer.pageLayout().paintRectPixels(printer.resolution()).size());
            const ReportPageLayout layout = FitReportFont(&printer, area, lines);
            // Columns line up only if every character is as wide as any other.
            const QFontMetricsF fm(layout.font, &printer);
            QCOMPARE(fm.horizontalAdvance(QLatin1Char('i')), fm.horizontalAdvance(QLatin1Char('M')));
            const qreal usedWidth = layout.charWidth * static_cast<qreal>(widest + kReportIndentChars);
            const qreal usedHeight = layout.lineHeight * kFullReportLines;
            QVERIFY2(usedWidth <= area.width(), "the widest line runs off the right edge");
            QVERIFY2(usedHeight <= area.height(), "channel lines drop off the bottom of the page");
            // The text uses the paper: one of the two directions is nearly full (unless the size cap applies).
            const bool capped = layout.font.pointSizeF() >= 12.0 - 1e-6;
            QVERIFY2(capped || usedWidth > 0.85 * area.width() || usedHeight > 0.85 * area.height(),
                     "the font is much smaller than the paper allows");
        }
    }
    for (const auto& [code, allChannels] : {std::pair("en", true), std::pair("en", false), std::pair("zh_CN", true)}) {
        SetLanguage(*FindLanguage(code));
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("report.pdf"));
        printer.setFromTo(1, 3); // whatever range was asked for, the report is one page
        QVERIFY(PrintReportLines(printer, FactoryReport(1, allChannels)));
        QFile file(printer.outputFileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(file.readAll()).count(QRegularExpression("/Type\\s*/Page(?!s)")), 1);
    }
    SetLanguage(EnglishLanguage());
}

void ViewGridTest::previewNamesThePrinterInTheInfoPanel() {
    Fixture f;
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("preview.pdf"));
    bool previewShown = false;
    QTimer::singleShot(0, [&] {
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
            previewShown = true;
            preview->reject();
        }
    });
    RunPrintPreview(nullptr, printer, f.doc, f.settings);
    f.view.RefreshInfoPanel();
    QVERIFY(previewShown && f.settings.printerName == PrinterDisplayName(printer));
    QCOMPARE(f.view.infoValue(1061), PrinterDisplayName(printer));
}

QTEST_MAIN(ViewGridTest)
#include "view_grid_test.moc"
