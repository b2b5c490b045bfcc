// Printing the report: one page, every line in place, the font fitted to the paper.
#include "app/app_settings.h"
#include "editor/form_view.h"
#include "image/document.h"
#include "image/model.h"
#include "report/report_printer.h"

#include <QApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace rt62;

namespace {

class SilentPrompter : public Prompter {
  public:
    Answer show(int, Buttons, Icon, const std::vector<std::string>& = {}) override { return Answer::Ok; }
};

// An image whose painter keeps the text drawn and where, instead of setting pixels.
class TextRecorder : public QImage, public QPaintEngine {
  public:
    TextRecorder(int width, int height, int dpi)
        : QImage(width, height, QImage::Format_RGB32), QPaintEngine(AllFeatures) {
        setDotsPerMeterX(qRound(dpi / 0.0254));
        setDotsPerMeterY(qRound(dpi / 0.0254));
    }
    QPaintEngine* paintEngine() const override { return const_cast<TextRecorder*>(this); }
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override { items.push_back({p, item.text()}); }
    Type type() const override { return User; }
    std::vector<std::pair<QPointF, QString>> items;
};

std::vector<std::string> FactoryReport(int band, bool allChannelsPrinted) {
    static SilentPrompter prompter;
    CRT62MDoc doc(prompter);
    doc.Model() = MakeFactoryImage(band);
    for (auto& e : doc.Model().channels.entries) {
        e.inUse = allChannelsPrinted ? 1 : 0;
        e.rxFrequency = band >= 2 ? 450.0 : 150.0;
        e.txFrequency = e.rxFrequency;
    }
    return ReportLinesFor(doc);
}

} // namespace

class PrintReportTest : public QObject {
    Q_OBJECT
  private slots:
    void fontFitsThePaper();
    void linesDrawnInOrderAtTheIndent();
    void printsExactlyOnePage();
    void previewNamesThePrinterInTheInfoPanel();
};

void PrintReportTest::fontFitsThePaper() {
    const std::pair<QPageSize::PageSizeId, QPageLayout::Orientation> papers[] = {
        {QPageSize::A4, QPageLayout::Portrait},
        {QPageSize::Letter, QPageLayout::Portrait},
        {QPageSize::A4, QPageLayout::Landscape},
        {QPageSize::A5, QPageLayout::Portrait},
        {QPageSize::A6, QPageLayout::Landscape}};
    const auto lines = FactoryReport(2, true);
    const std::size_t widest = std::max_element(lines.begin(), lines.end(), [](auto& a, auto& b) {
                                   return a.size() < b.size();
                               })->size();
    for (const auto& [size, orientation] : papers) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(size));
        printer.setPageOrientation(orientation);
        const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
        const QRectF area(0, 0, page.width(), page.height());
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

void PrintReportTest::linesDrawnInOrderAtTheIndent() {
    TextRecorder device(1240, 1754, 150); // A4 at 150 dpi
    const auto lines = FactoryReport(0, true);
    const QRectF area(0, 0, device.width(), device.height());
    const ReportPageLayout layout = FitReportFont(&device, area, lines);
    {
        QPainter painter(&device);
        DrawReportLines(painter, area, layout, lines);
    }
    QCOMPARE(static_cast<int>(lines.size()), kFullReportLines);
    std::size_t k = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) continue; // kept in place, never drawn
        QVERIFY(k < device.items.size());
        const auto& item = device.items[k++];
        QCOMPARE(item.second, QString::fromStdString(lines[i]));
        QVERIFY(qAbs(item.first.x() - 5 * layout.charWidth) < 0.5);
        QVERIFY(qAbs(item.first.y() - (layout.ascent + static_cast<qreal>(i) * layout.lineHeight)) < 0.5);
    }
    QCOMPARE(k, device.items.size());
    // The last channel line sits wholly inside the page.
    QVERIFY(device.items.back().first.y() + layout.lineHeight - layout.ascent <= area.bottom());
}

void PrintReportTest::printsExactlyOnePage() {
    for (bool allChannels : {true, false}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("report.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setFromTo(1, 3); // whatever range was asked for, the report is one page
        QVERIFY(PrintReportLines(printer, FactoryReport(1, allChannels)));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(file.readAll())
                     .count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))),
                 1);
    }
}

void PrintReportTest::previewNamesThePrinterInTheInfoPanel() {
    SilentPrompter prompter;
    CRT62MDoc doc(prompter);
    doc.Model() = MakeFactoryImage(0);
    DecodeImage(doc.Model());
    AppSettings settings;
    CRT62MView view(doc, settings);
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("preview.pdf")));

    bool previewShown = false;
    QTimer::singleShot(0, [&] {
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
            previewShown = true;
            preview->reject();
        }
    });
    RunPrintPreview(nullptr, printer, doc, settings, &view);
    QVERIFY(previewShown);
    QCOMPARE(settings.printerName, PrinterDisplayName(printer));
    QCOMPARE(view.infoValue(1061), PrinterDisplayName(printer));
}

QTEST_MAIN(PrintReportTest)
#include "print_report_test.moc"
