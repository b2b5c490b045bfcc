// The window at 200 % with a large font and under a dark theme: no label, button or grid cell narrower
// than its text, and every text of the grid and of the edit fields readable (contrast of at least 4.5:1)
// in the colours actually painted. Run with RT62_TEST_LANGUAGE set (the pseudo-language, whose texts are
// 40 % longer), the same at 150 % in that language.
#include "tests/gui/dialog_catalogue.h"

#include "core/image/language.h"
#include "core/image/tones.h"
#include "core/link/sim_port.h"
#include "gui/common/accessible_names.h"
#include "gui/common/contrast.h"
#include "gui/dialogs/input_controls.h"
#include "gui/editor/channel_grid_model.h"
#include "gui/editor/form_view.h"
#include "gui/editor/grid_header.h"
#include "gui/link/fleet_dialog.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTableView>
#include <QtTest>

#include <map>

using namespace rt62;
using namespace rt62::test;

namespace {

// The contrast of a painted area: its commonest colour is the background, the text is the pixel that
// stands out most from it (antialiased edges only lie between the two).
double PaintedContrast(const QImage& image, const QRect& area) {
    std::map<QRgb, int> count;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) ++count[image.pixel(x, y)];
    QRgb background = 0;
    int most = 0;
    for (const auto& [rgb, n] : count)
        if (n > most) most = n, background = rgb;
    double best = 1.0;
    for (const auto& [rgb, n] : count) best = std::max(best, ContrastRatio(QColor(rgb), QColor(background)));
    return best;
}

// A cell's painted area in image pixels, inside the grid lines and the focus frame.
QRect CellArea(QTableView* grid, int row, int column, qreal ratio) {
    const QRect r = grid->visualRect(grid->model()->index(row, column)).adjusted(3, 3, -3, -3);
    return QRect((r.topLeft() * ratio), (r.bottomRight() * ratio));
}

QPalette DarkPalette() {
    // A common dark theme, including its usual slips: white tool tips under white text, dim greys.
    QPalette p;
    p.setColor(QPalette::Window, QColor(53, 53, 53));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(42, 42, 42));
    p.setColor(QPalette::AlternateBase, QColor(66, 66, 66));
    p.setColor(QPalette::ToolTipBase, Qt::white);
    p.setColor(QPalette::ToolTipText, Qt::white);
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, QColor(53, 53, 53));
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, QColor(230, 230, 230));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(100, 100, 100));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(100, 100, 100));
    return p;
}

// Labels, buttons and list items of a window that show less than their whole text.
QStringList Clipped(QWidget* window) {
    QStringList out;
    for (QLabel* l : window->findChildren<QLabel*>()) {
        // The dialogs' help line is cut with an ellipsis on purpose (the whole line is its tool tip).
        if (!l->isVisible() || l->text().isEmpty() || l->wordWrap() || qobject_cast<QStatusBar*>(l->parent()) ||
            Qt::mightBeRichText(l->text()))
            continue;
        for (const QString& line : l->text().split('\n'))
            if (l->contentsRect().width() < l->fontMetrics().horizontalAdvance(l->buddy() ? WithoutMnemonic(line) : line))
                out << QStringLiteral("label '%1'").arg(line);
    }
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (b->isVisible() && !b->text().isEmpty() && b->width() < b->sizeHint().width())
            out << QStringLiteral("button '%1'").arg(b->text());
    for (QGroupBox* box : window->findChildren<QGroupBox*>())
        if (box->isVisible() &&
            box->width() < box->fontMetrics().horizontalAdvance(WithoutMnemonic(box->title())))
            out << QStringLiteral("group '%1'").arg(box->title());
    for (QHeaderView* header : window->findChildren<QHeaderView*>()) {
        if (!header->isVisible() || header->orientation() != Qt::Horizontal) continue;
        for (int i = 0; i < header->count(); ++i) {
            const QString text = header->model()->headerData(i, Qt::Horizontal).toString();
            if (!header->isSectionHidden(i) &&
                header->sectionSize(i) < header->fontMetrics().horizontalAdvance(text))
                out << QStringLiteral("header '%1'").arg(text);
        }
    }
    for (QListWidget* list : window->findChildren<QListWidget*>())
        for (int i = 0; i < list->count(); ++i)
            if (list->visualItemRect(list->item(i)).width() < list->fontMetrics().horizontalAdvance(list->item(i)->text()))
                out << QStringLiteral("item '%1'").arg(list->item(i)->text());
    return out;
}

struct View {
    ScriptedPrompter prompter;
    CRT62MDoc doc{prompter};
    AppSettings settings;
    CRT62MView view{doc, settings};
    View() {
        doc.Model() = MakeFactoryImage(0);
        auto& c = doc.Model().channels;
        c.at(1).inUse = 0;
        c.at(2).decKind = kToneCtcss, c.at(2).decCtcss = 20, c.at(2).encKind = kToneDcs;
        c.at(3).twoToneP = 6, c.at(3).lockOut = 2, c.at(3).squelch = 12;
        doc.Model().image[0xBE] |= 0x40;
        c.at(4).pagePresent = 1, c.at(4).pageNumber = 10;
        view.resize(1000, 600);
        view.FullRefresh();
    }
};

// The language of the run: English at 200 %, or the one named by RT62_TEST_LANGUAGE at 150 %.
const Language* TestLanguage() {
    const QByteArray code = qgetenv("RT62_TEST_LANGUAGE");
    return code.isEmpty() ? nullptr : FindLanguage(code.toStdString());
}

} // namespace

class A11yDisplayTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void dialogsShowWholeTexts();
    void gridColumnsFitTheirTexts();
    void statesReadableInADarkTheme();
    void coloursMovedOnlyAsFarAsNeeded();
};

void A11yDisplayTest::initTestCase() {
    if (TestLanguage()) {
        SetLanguage(*TestLanguage());
        QCOMPARE(qApp->devicePixelRatio(), 1.5);
        return;
    }
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    // A large system font as well: one and a half times the usual size.
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    QApplication::setFont(font);
}

void A11yDisplayTest::dialogsShowWholeTexts() {
    DialogWorld world;
    SimulatedSerialPort port(std::make_shared<SimulatedFleet>(), SimulatedSerialPort::Clock::Virtual, false);
    QList<DialogMaker> makers = AllDialogs();
    makers.append({"Fleet", [&](DialogWorld& w) -> std::unique_ptr<QDialog> {
                       FleetRequest base;
                       base.templateImage = w.doc.Image();
                       return std::make_unique<FleetDialog>(port, base, w.prompter);
                   }});
    makers.append({"CommonProblems", [](DialogWorld&) -> std::unique_ptr<QDialog> {
                       return std::make_unique<GuideDialog>(GuideMode::CommonProblems);
                   }});
    for (const DialogMaker& maker : makers) {
        std::unique_ptr<QDialog> dialog = maker.make(world);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get(), kWindowWait));
        const QStringList clipped = Clipped(dialog.get());
        QVERIFY2(clipped.isEmpty(), qPrintable(QStringLiteral("%1: %2").arg(maker.name, clipped.join(", "))));
    }
}

void A11yDisplayTest::gridColumnsFitTheirTexts() {
    View v;
    v.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v.view, kWindowWait));
    QTableView* grid = v.view.grid();
    const QFontMetrics fm(grid->font());
    for (int c = 0; c < ChannelGridModel::kColumnCount; ++c) {
        int widest = v.view.gridHeader()->fontMetrics().horizontalAdvance(
            v.view.gridModel()->headerData(c, Qt::Horizontal).toString());
        for (int r = 0; r < v.view.gridModel()->rowCount(); ++r)
            widest = std::max(widest, fm.horizontalAdvance(v.view.gridModel()->index(r, c).data().toString()));
        QVERIFY2(grid->columnWidth(c) > widest, qPrintable(QString::number(c)));
    }
    QVERIFY(grid->rowHeight(0) >= fm.height());
    QVERIFY(v.view.gridHeader()->sizeHint().height() >= 2 * v.view.gridHeader()->fontMetrics().height());
    // The upper header texts fit across the columns they span.
    for (int c : {kColReceive, kColDec, kColPowerSaveRx, kColLockOut, kColTwoToneP}) {
        const auto [first, last] = v.view.gridHeader()->mergedSpan(0, c);
        int width = 0;
        for (int k = first; k <= last; ++k) width += grid->columnWidth(k);
        const QString top = v.view.gridModel()->headerData(c, Qt::Horizontal, ChannelGridModel::kTopHeaderRole).toString();
        QVERIFY2(width > v.view.gridHeader()->fontMetrics().horizontalAdvance(top), qPrintable(top));
    }
    const QStringList clipped = Clipped(&v.view);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(", ")));
}

void A11yDisplayTest::statesReadableInADarkTheme() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(DarkPalette());
    View v;
    QTableView* grid = v.view.grid();
    v.view.gridModel()->setMarks({{6, kColReceive}});
    v.view.show();
    QVERIFY(QTest::qWaitForWindowActive(&v.view, kWindowWait));
    grid->setFocus();
    grid->setCurrentIndex(v.view.gridModel()->index(5, kColReceive));
    const QImage shot = grid->viewport()->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    struct State {
        const char* name;
        int row;
    };
    for (const State& s : {State{"in use", 0}, State{"not in use", 1}, State{"current cell", 5},
                           State{"differing-cell mark", 6}}) {
        const double contrast = PaintedContrast(shot, CellArea(grid, s.row, kColReceive, ratio));
        QVERIFY2(contrast >= kMinTextContrast, qPrintable(QStringLiteral("%1: %2").arg(s.name).arg(contrast)));
    }
    // The two kinds of row still look different.
    QVERIFY(v.view.gridModel()->index(0, kColReceive).data(Qt::ForegroundRole) !=
            v.view.gridModel()->index(1, kColReceive).data(Qt::ForegroundRole));
    // The edit fields: shown, being edited, unavailable.
    for (int state = 0; state < 3; ++state) {
        FilterEdit edit;
        edit.setText(QStringLiteral("146.52000"));
        if (state == 1) edit.setEditable(true);
        if (state == 2) edit.setAvailable(false);
        edit.resize(edit.sizeHint());
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit, kWindowWait));
        const QImage shot = edit.grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        const QRect area = edit.rect().adjusted(4, 4, -4, -4);
        const double contrast = PaintedContrast(shot, QRect(area.topLeft() * ratio, area.bottomRight() * ratio));
        QVERIFY2(contrast >= kMinTextContrast, qPrintable(QStringLiteral("state %1: %2").arg(state).arg(contrast)));
    }
    QApplication::setPalette(QApplication::style()->standardPalette());
}

// Every grey and a few hues on light, dark and middling backgrounds: a colour that already reads is
// kept as it is, however close to the limit; one that does not is moved towards black on a light
// background, white on a dark one, just past the target.
void A11yDisplayTest::coloursMovedOnlyAsFarAsNeeded() {
    const QColor backgrounds[] = {Qt::white, QColor(42, 42, 42), QColor(150, 150, 150), QColor(255, 255, 160)};
    std::vector<QColor> texts;
    for (int v = 0; v < 256; ++v) texts.push_back(QColor(v, v, v));
    for (int v = 0; v < 256; v += 15) texts.insert(texts.end(), {QColor(v, 0, 0), QColor(0, v, 255 - v)});
    int kept = 0, moved = 0;
    for (const QColor& bg : backgrounds) {
        const bool lightBackground = RelativeLuminance(bg) > 0.179;
        for (const QColor& text : texts) {
            const QColor got = ReadableOn(text, bg);
            const double before = ContrastRatio(text, bg), after = ContrastRatio(got, bg);
            const QString what = QStringLiteral("%1 on %2: %3 -> %4").arg(text.name(), bg.name()).arg(before).arg(after);
            if (before >= kMinTextContrast) {
                QVERIFY2(got == text, qPrintable(what));
                ++kept;
                continue;
            }
            ++moved;
            QVERIFY2(after >= kTargetTextContrast && after < kTargetTextContrast + 0.3, qPrintable(what));
            QVERIFY2(lightBackground == (RelativeLuminance(got) < RelativeLuminance(text)), qPrintable(what));
        }
    }
    QVERIFY(kept > 100 && moved > 100);
    // Asked for more, it goes further.
    QVERIFY(ContrastRatio(ReadableOn(QColor(150, 150, 150), Qt::white, 7.0), Qt::white) >= 7.0);
}

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", TestLanguage() ? "1.5" : "2");
    QApplication app(argc, argv);
    A11yDisplayTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "a11y_display_test.moc"
