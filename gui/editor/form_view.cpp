// The form view: info panel above, channel grid below.
#include "gui/editor/form_view.h"
#include "gui/common/qt_prompter.h"

#include "gui/common/app_settings.h"
#include "gui/common/contrast.h"
#include "gui/common/fixed_font.h"
#include "gui/editor/channel_grid_model.h"
#include "gui/editor/grid_editing.h"
#include "gui/editor/grid_header.h"
#include "core/grid/cell_speech.h"
#include "core/grid/columns.h"
#include "core/image/document.h"
#include "core/image/fields.h"
#include "core/image/strings.h"
#include "gui/report/dump_dialog.h"

#include <QAccessible>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>

#include <algorithm>
#include <array>

namespace rt62 {

namespace {

// Label and value controls of the info panel, in panel order: column by column, two rows each.
constexpr std::array<int, 6> kLabelIds = {1003, 1004, 1005, 1006, 1055, 1060};
constexpr std::array<int, 6> kValueIds = {1007, 1008, 1009, 1010, 1059, 1061};
constexpr std::array<int, 6> kLabelTexts = { // string ids
    5031, 5032, 5033, 5034, 5035, 5036};

// The radio has a single product type; its list has two entries that read the same.
constexpr std::array<const char*, 2> kProductTypeNames = {"KT-905", "KT-905"};

constexpr int kStrPortNotPresent = 4304; // " (not present)"

// Pixel geometry of the form; the right and bottom gaps and the panel columns follow the window.
constexpr int kFrameLeft = 8;
constexpr int kFrameTop = 8;
constexpr int kRightGap = 15;
constexpr int kBottomGap = 15;
constexpr int kFirstLabelLeft = 20;
constexpr int kValueGapBeforeNextColumn = 10;

QString FromTable(int id) { return QString::fromStdString(std::string(StringText(id))); }

// The current cell is painted in the palette's selection colours; a theme whose pair is too close keeps
// its highlight and gets a text colour that reads on it.
class ReadableCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            option->palette.setColor(g, QPalette::HighlightedText,
                                     ReadableOn(option->palette.color(g, QPalette::HighlightedText),
                                                option->palette.color(g, QPalette::Highlight)));
    }
};

}  // namespace

CRT62MView::CRT62MView(CRT62MDoc& doc, AppSettings& settings, QWidget* parent)
    : QWidget(parent), doc_(doc), settings_(settings) {
    setFont(SystemFixedFont());

    infoFrame_ = new QGroupBox(this);
    for (std::size_t i = 0; i < kLabelIds.size(); ++i) {
        labels_[i] = new QLabel(TableText(kLabelTexts[i]), this);
        labels_[i]->setObjectName(QStringLiteral("label%1").arg(kLabelIds[i]));
        values_[i] = new QLabel(this);
        values_[i]->setObjectName(QStringLiteral("value%1").arg(kValueIds[i]));
        values_[i]->setTextFormat(Qt::PlainText);
    }

    gridFrame_ = new QFrame(this);
    gridFrame_->setFrameShape(QFrame::StyledPanel);
    gridFrame_->setFrameShadow(QFrame::Sunken);

    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("channelGrid"));
    model_ = new ChannelGridModel(doc_, this);
    header_ = new TwoRowHeader(grid_);
    grid_->setHorizontalHeader(header_);
    grid_->setModel(model_);
    grid_->verticalHeader()->hide();
    grid_->setAccessibleName(FromTable(kStrSpeechTable));
    grid_->setItemDelegate(new ReadableCellDelegate(grid_));
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(QFontMetrics(grid_->font()).height() + 4);
    grid_->setWordWrap(false);
    grid_->setTextElideMode(Qt::ElideNone);
    grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setTabKeyNavigation(false);
    grid_->setFocusPolicy(Qt::StrongFocus);
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    grid_->installEventFilter(this);
    setFocusProxy(grid_);

    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this, &CRT62MView::onCurrentChanged);
    connect(model_, &QAbstractItemModel::dataChanged, this, &CRT62MView::announceChanges);
    connect(grid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QPoint global = grid_->viewport()->mapToGlobal(pos);
        emit editMenuRequested(global);
        if (editMenu_)
            editMenu_->popup(global);
    });

    editing_ = new GridEditing(*this, doc_, settings_);

    applyColumnWidths();
    setMinimumSize(300, 200);
    Layout(width(), height());
}

CRT62MView::~CRT62MView() {
    // The editing object goes first: the editor's focus loss while QWidget deletes the children would
    // otherwise call back into a view that is already gone (and into a document that may be). Closing
    // asks the save question first, and the editor is committed when the question takes the focus.
    delete editing_;
    editing_ = nullptr;
}

void CRT62MView::FullRefresh() {
    const bool wasEnabled = grid_->updatesEnabled();
    grid_->setUpdatesEnabled(false);
    model_->setPalette(grid_->palette());
    model_->renderAll();
    columnWidths_.clear();
    applyColumnWidths();
    RefreshInfoPanel();
    doc_.Model().channels.currentChannel = 0;
    doc_.Model().channels.currentChannelNumber = 1;
    grid_->setCurrentIndex(model_->index(0, kColChannel));
    grid_->setUpdatesEnabled(wasEnabled);
}

void CRT62MView::RebuildGrid() {
    const QModelIndex before = grid_->currentIndex();
    const int row = before.isValid() ? before.row() : 0;
    int column = before.isValid() ? before.column() : kColChannel;
    FullRefresh();
    // A column the rebuild hid (the Visible dialog) cannot stay current: Space would edit it unseen.
    if (grid_->isColumnHidden(column)) column = kColChannel;
    if (row < model_->rowCount() && (row != 0 || column != kColChannel))
        grid_->setCurrentIndex(model_->index(row, column));
}

void CRT62MView::RefreshInfoPanel() {
    const ImageModel& m = doc_.Model();
    const int code = m.hardware.bandStepCode;
    const char* band = (code == 0 || code == 1) ? "VHF" : (code == 2 || code == 3) ? "UHF" : "???";
    const int product = m.hardware.productType;
    const char* productName =
        (product >= 0 && product < static_cast<int>(kProductTypeNames.size())) ? kProductTypeNames[product] : "???";
    QString port = QString::asprintf("COM%d", settings_.comPort);
    if (settings_.portDevice == QLatin1String("sim:"))
        port = TableText(5027);
    else if (settings_.portDevice == QLatin1String("sim:fleet"))
        port = TableText(5026);
    else if (!settings_.portDevice.isEmpty())
        port = settings_.portDevice;
    if (settings_.portMissing) port += QString::fromStdString(FormatString(kStrPortNotPresent));

    values_[0]->setText(QString::asprintf("%-8s", m.marketing.serialNumber.c_str()));
    values_[1]->setText(QString::asprintf("%-13s", band));
    values_[2]->setText(QString::asprintf("%-13s", productName));
    values_[3]->setText(QString::fromStdString(FormatFirmwareVersion(m.marketing.firmwareVersion)));
    values_[4]->setText(port);
    values_[5]->setText(settings_.printerName);
    // A screen reader reads each value with its caption ("Serial No 0C010001"), not as a lone label.
    for (std::size_t i = 0; i < kValueIds.size(); ++i)
        values_[i]->setAccessibleName(QString::fromStdString(
            FormatString(kStrSpeechCaption, {TableText(kLabelTexts[i]).toStdString(),
                                             values_[i]->text().trimmed().toStdString()})));
}

void CRT62MView::RenderRow(int channel) {
    model_->renderRow(channel);
    if (channel >= 0 && channel < model_->rowCount())
        grid_->setCurrentIndex(model_->index(channel, kColChannel));
}

void CRT62MView::RenderCell(int channel, int column) {
    model_->renderCell(channel, column);
}

int CRT62MView::gridColumnWidth(int column) const {
    if (column < 0 || column >= ChannelGridModel::kColumnCount) return 0;
    if (columnWidths_.empty()) measureColumns();
    return columnWidths_[static_cast<std::size_t>(column)];
}

void CRT62MView::measureColumns() const {
    // Room for the widest text a column can show in the grid's font: its lower header text, every cell
    // it shows now and two digits (the numbered columns show "-" or up to two), plus the cell margins.
    const QFontMetrics fm(grid_->font());
    const QFontMetrics hm(header_->font());
    const int margin = 2 * grid_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid_) +
                       fm.averageCharWidth() + 2;
    columnWidths_.assign(ChannelGridModel::kColumnCount, 0);
    for (int c = 0; c < ChannelGridModel::kColumnCount; ++c) {
        int text = std::max(fm.horizontalAdvance(QStringLiteral("00")),
                            hm.horizontalAdvance(model_->headerData(c, Qt::Horizontal).toString()));
        for (int r = 0; r < model_->rowCount(); ++r)
            text = std::max(text, fm.horizontalAdvance(model_->index(r, c).data().toString()));
        columnWidths_[static_cast<std::size_t>(c)] = text + margin;
    }
    // An upper header text spans its run of columns ("Pwr Save" over RX and TX); widen the run evenly
    // when the columns below are narrower than it.
    for (int first = 0; first < ChannelGridModel::kColumnCount;) {
        const QString top = model_->headerData(first, Qt::Horizontal, ChannelGridModel::kTopHeaderRole).toString();
        int last = first;
        while (last + 1 < ChannelGridModel::kColumnCount &&
               model_->headerData(last + 1, Qt::Horizontal, ChannelGridModel::kTopHeaderRole).toString() == top)
            ++last;
        if (!top.isEmpty()) {
            int sum = 0;
            for (int c = first; c <= last; ++c) sum += columnWidths_[static_cast<std::size_t>(c)];
            const int missing = hm.horizontalAdvance(top) + margin - sum;
            const int count = last - first + 1;
            for (int c = first; missing > 0 && c <= last; ++c)
                columnWidths_[static_cast<std::size_t>(c)] += (missing + count - 1) / count;
        }
        first = last + 1;
    }
}

void CRT62MView::announceChanges(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                 const QList<int>& roles) {
    if (!QAccessible::isActive()) return;
    if (!roles.isEmpty() && !roles.contains(Qt::DisplayRole) && !roles.contains(Qt::AccessibleTextRole)) return;
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid_);
    if (!table || !table->tableInterface()) return;
    // The changed cells say their new names, so the value just edited is read out.
    for (int r = topLeft.row(); r <= bottomRight.row(); ++r) {
        for (int c = topLeft.column(); c <= bottomRight.column(); ++c) {
            if (grid_->isColumnHidden(c)) continue;
            if (QAccessibleInterface* cell = table->tableInterface()->cellAt(r, c)) {
                QAccessibleEvent event(cell, QAccessible::NameChanged);
                QAccessible::updateAccessibility(&event);
            }
        }
    }
}

void CRT62MView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (!grid_) return; // still being built
    // A new theme or font: the grid's colours and its column widths follow.
    if (event->type() == QEvent::PaletteChange) model_->setPalette(grid_->palette());
    if (event->type() == QEvent::FontChange) {
        columnWidths_.clear();
        applyColumnWidths();
    }
}

void CRT62MView::applyColumnWidths() {
    for (int c = 0; c < ChannelGridModel::kColumnCount; ++c) {
        const int item = ColumnItemOfColumn(c);
        // Only 1 shows an item; other INI values hide it although the menu shows them checked.
        const bool shown = item < 0 || (item < static_cast<int>(settings_.items.size()) &&
                                        settings_.items[static_cast<std::size_t>(item)] == 1);
        grid_->setColumnWidth(c, gridColumnWidth(c));
        // A hidden column keeps its place with width 0.
        grid_->setColumnHidden(c, !shown);
    }
}

void CRT62MView::Layout(int width, int height) {
    const QFontMetrics fm(font());
    const int rowHeight = fm.height() + 4;
    // As wide as the longest caption in the language in use.
    int labelWidth = 0;
    for (int text : kLabelTexts)
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(TableText(text)) + 8);
    const int panelHeight = 2 * rowHeight + 26;
    const int a = std::max(0, (width - 30) / 3);

    infoFrame_->setGeometry(kFrameLeft, kFrameTop, std::max(0, width - kRightGap - kFrameLeft), panelHeight);
    const int firstRowTop = kFrameTop + 10;
    const int valueLeft = kFirstLabelLeft + labelWidth + 6;
    const int valueWidth = std::max(0, kFirstLabelLeft + a - kValueGapBeforeNextColumn - valueLeft);
    for (int i = 0; i < 6; ++i) {
        const int column = i / 2;
        const int top = firstRowTop + (i % 2) * (rowHeight + 4);
        labels_[i]->setGeometry(kFirstLabelLeft + column * a, top, labelWidth, rowHeight);
        values_[i]->setGeometry(valueLeft + column * a, top, valueWidth, rowHeight);
    }

    const int gridTop = kFrameTop + panelHeight + 6;
    const QRect gridRect(kFrameLeft, gridTop, std::max(0, width - kRightGap - kFrameLeft),
                         std::max(0, height - kBottomGap - gridTop));
    gridFrame_->setGeometry(gridRect);
    grid_->setGeometry(gridRect.adjusted(2, 2, -2, -2));
}

int CRT62MView::infoColumnLeft(int column) const {
    return labels_[std::clamp(column, 0, 2) * 2]->x();
}

QString CRT62MView::infoValue(int controlId) const {
    for (std::size_t i = 0; i < kValueIds.size(); ++i)
        if (kValueIds[i] == controlId)
            return values_[i]->text();
    return {};
}

int CRT62MView::helpContext() const {
    const QModelIndex current = grid_->currentIndex();
    return 300 + (current.isValid() ? current.column() : 0);
}

void CRT62MView::onCurrentChanged() {
    const QModelIndex current = grid_->currentIndex();
    if (!current.isValid())
        return;
    // The row's channel number is the one in column 0.
    bool ok = false;
    const int number = model_->index(current.row(), kColChannel).data().toString().trimmed().toInt(&ok);
    if (!ok)
        return;
    auto& channels = doc_.Model().channels;
    const int before = channels.currentChannel;
    channels.currentChannel = number - 1;
    channels.currentChannelNumber = number;
    if (before != channels.currentChannel)
        emit currentChannelChanged(channels.currentChannel);
}

void CRT62MView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout(width(), height());
}

bool CRT62MView::handleServiceKey(QKeyEvent* event) {
    if (event->key() != Qt::Key_F9 || event->modifiers() != Qt::ShiftModifier)
        return false;
    // The dump is a service view; outside service mode the key means nothing here.
    if (!settings_.serviceMode)
        return false;
    DumpDialog dialog(doc_, this);
    dialog.exec();
    return true;
}

bool CRT62MView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && event->type() == QEvent::KeyPress) {
        if (handleServiceKey(static_cast<QKeyEvent*>(event)))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CRT62MView::keyPressEvent(QKeyEvent* event) {
    if (handleServiceKey(event))
        return;
    QWidget::keyPressEvent(event);
}

}  // namespace rt62
