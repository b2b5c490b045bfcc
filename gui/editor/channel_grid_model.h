// The channel grid's table model: cell texts, colours and header texts read from the ChannelTable.
#pragma once

#include <QAbstractTableModel>
#include <QPalette>

#include <set>
#include <utility>

#include "core/grid/columns.h"

namespace rt62 {

class CRT62MDoc;

class ChannelGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumnCount = kGridColumnCount;
    // headerData role that carries the upper header row ("Frequency", "SUB AUDIO", ...);
    // Qt::DisplayRole carries the lower one ("Type", "W/N", "Receive", ...).
    static constexpr int kTopHeaderRole = Qt::UserRole + 1;

    explicit ChannelGridModel(CRT62MDoc& doc, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Colours of in-use and unused rows come from this palette (the view passes its own).
    void setPalette(const QPalette& palette);

    // Cells (channel, column) shown in the palette's tool-tip colours: the differences of a comparison.
    // Any later render of changed contents clears them, so they never outlive the next edit.
    void setMarks(std::set<std::pair<int, int>> cells);
    const std::set<std::pair<int, int>>& marks() const { return marks_; }

    // Everything may have changed (new image, new channel count).
    void renderAll();
    // All cells of one channel (0-based) changed.
    void renderRow(int channel);
    // One column of a channel was edited: announce the cells that depend on it (ColumnsChangedBy).
    void renderCell(int channel, int column);

private:
    void clearMarks();

    CRT62MDoc& doc_;
    QPalette palette_;
    std::set<std::pair<int, int>> marks_;
};

}  // namespace rt62
