// The "File Data" dialog: filled once from the document when it opens, never written back.
#include "gui/report/dump_dialog.h"
#include "gui/common/qt_prompter.h"

#include "gui/common/fixed_font.h"
#include "core/image/document.h"
#include "core/report/image_dump.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace rt62 {

namespace {
constexpr int kTwipsPerPixel = 15;
constexpr int kHeadingWidthTwips = 1000;
constexpr int kByteWidthTwips = 400;

QString Text(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

DumpDialog::DumpDialog(const CRT62MDoc& doc, QWidget* parent) : QDialog(parent) {
    setWindowTitle(TableText(4981));
    setModal(true);

    const DumpCells cells = ImageDumpCells(doc.Image(), doc.TrailerBytes());

    table_ = new QTableWidget(kRows - 1, kColumns - 1, this);
    table_->setAccessibleName(windowTitle());
    table_->setTabKeyNavigation(false); // Tab leaves the table for the buttons; the arrows move in it
    const QFont fixed = SystemFixedFont();
    table_->setFont(fixed);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->setTextElideMode(Qt::ElideNone);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->horizontalHeader()->setMinimumSectionSize(0);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(QFontMetrics(fixed).height() + 4);
    table_->verticalHeader()->setFixedWidth(kHeadingWidthTwips / kTwipsPerPixel);
    table_->verticalHeader()->setDefaultAlignment(Qt::AlignHCenter | Qt::AlignTop);
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignHCenter | Qt::AlignTop);

    // The headings are the table's headers, so they stay put while the bytes scroll.
    for (int c = 1; c < kColumns; ++c) {
        table_->setHorizontalHeaderItem(c - 1, new QTableWidgetItem(Text(cells[0][static_cast<std::size_t>(c)])));
        table_->setColumnWidth(c - 1, kByteWidthTwips / kTwipsPerPixel);
    }
    for (int r = 1; r < kRows; ++r) {
        const auto& row = cells[static_cast<std::size_t>(r)];
        table_->setVerticalHeaderItem(r - 1, new QTableWidgetItem(Text(row[0])));
        for (int c = 1; c < kColumns; ++c) {
            auto* item = new QTableWidgetItem(Text(row[static_cast<std::size_t>(c)]));
            item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            table_->setItem(r - 1, c - 1, item);
        }
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);

    const int tableWidth = kHeadingWidthTwips / kTwipsPerPixel + (kColumns - 1) * kByteWidthTwips / kTwipsPerPixel +
                           table_->frameWidth() * 2 + table_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    table_->setMinimumWidth(tableWidth);
    // All 17 rows at once: the whole file fits on one screen.
    table_->setMinimumHeight(table_->horizontalHeader()->sizeHint().height() +
                             (kRows - 1) * table_->verticalHeader()->defaultSectionSize() + table_->frameWidth() * 2);
}

QString DumpDialog::cellText(int row, int column) const {
    if (row < 0 || row >= kRows || column < 0 || column >= kColumns)
        return {};
    if (row == 0 && column == 0)
        return {};
    if (row == 0) {
        const auto* item = table_->horizontalHeaderItem(column - 1);
        return item ? item->text() : QString();
    }
    if (column == 0) {
        const auto* item = table_->verticalHeaderItem(row - 1);
        return item ? item->text() : QString();
    }
    const auto* item = table_->item(row - 1, column - 1);
    return item ? item->text() : QString();
}

}  // namespace rt62
