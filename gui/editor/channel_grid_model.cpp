// Cell texts and colours of the channel grid, computed from the ChannelTable on every request.
#include "gui/editor/channel_grid_model.h"

#include "gui/common/contrast.h"
#include "core/grid/cell_speech.h"
#include "core/image/document.h"

namespace rt62 {

ChannelGridModel::ChannelGridModel(CRT62MDoc& doc, QObject* parent) : QAbstractTableModel(parent), doc_(doc) {}

int ChannelGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(doc_.Model().channels.entries.size());
}

int ChannelGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant ChannelGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumnCount)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(ChannelCellText(doc_.Model(), index.row(), index.column()));
    case Qt::AccessibleTextRole:
        return QString::fromStdString(ChannelCellSpeech(doc_.Model(), index.row(), index.column()));
    case Qt::BackgroundRole:
        if (marks_.count({index.row(), index.column()}))
            return palette_.color(QPalette::Active, QPalette::ToolTipBase);
        return {};
    case Qt::ForegroundRole: {
        // Every colour is the palette's, moved only as far as it takes to stay readable on its field.
        if (marks_.count({index.row(), index.column()}))
            return ReadableOn(palette_.color(QPalette::Active, QPalette::ToolTipText),
                              palette_.color(QPalette::Active, QPalette::ToolTipBase));
        const QColor base = palette_.color(QPalette::Active, QPalette::Base);
        // A channel that is not in use keeps showing its values, only dimmed.
        return doc_.Model().channels.at(index.row()).inUse != 0
                   ? ReadableOn(palette_.color(QPalette::Active, QPalette::Text), base)
                   : ReadableOn(palette_.color(QPalette::Disabled, QPalette::Text), base);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignHCenter | Qt::AlignTop));
    default:
        return {};
    }
}

QVariant ChannelGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole || role == kTopHeaderRole) {
        const std::string_view text = HeaderText(role == kTopHeaderRole ? 0 : 1, section);
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    if (role == Qt::AccessibleTextRole)
        return QString::fromStdString(ColumnHeaderSpeech(section));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

Qt::ItemFlags ChannelGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void ChannelGridModel::setPalette(const QPalette& palette) {
    palette_ = palette;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1), {Qt::ForegroundRole});
}

void ChannelGridModel::setMarks(std::set<std::pair<int, int>> cells) {
    clearMarks();
    marks_ = std::move(cells);
    for (const auto& [row, column] : marks_)
        emit dataChanged(index(row, column), index(row, column), {Qt::BackgroundRole, Qt::ForegroundRole});
}

void ChannelGridModel::clearMarks() {
    const std::set<std::pair<int, int>> old = std::move(marks_);
    marks_.clear();
    for (const auto& [row, column] : old)
        emit dataChanged(index(row, column), index(row, column), {Qt::BackgroundRole, Qt::ForegroundRole});
}

void ChannelGridModel::renderAll() {
    marks_.clear(); // the reset repaints everything
    beginResetModel();
    endResetModel();
}

void ChannelGridModel::renderRow(int channel) {
    if (channel < 0 || channel >= rowCount())
        return;
    clearMarks();
    emit dataChanged(index(channel, 0), index(channel, kColumnCount - 1));
}

void ChannelGridModel::renderCell(int channel, int column) {
    if (channel < 0 || channel >= rowCount())
        return;
    clearMarks();
    if (column == kColChannel) {
        // The in-use flag changed: the colour of the row and its spoken names, no text.
        emit dataChanged(index(channel, 0), index(channel, kColumnCount - 1),
                         {Qt::ForegroundRole, Qt::AccessibleTextRole});
        return;
    }
    for (int c : ColumnsChangedBy(column))
        emit dataChanged(index(channel, c), index(channel, c));
}

}  // namespace rt62
