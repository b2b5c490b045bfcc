// The main window's form: the info panel (which radio, which port, which printer) and the channel grid.
#pragma once

#include <QWidget>

#include <vector>

class QLabel;
class QFrame;
class QMenu;
class QTableView;

namespace rt62 {

class CRT62MDoc;
class DocumentHistory;
struct AppSettings;
class ChannelGridModel;
class GridEditing;
class TwoRowHeader;

class CRT62MView : public QWidget {
    Q_OBJECT
public:
    CRT62MView(CRT62MDoc& doc, AppSettings& settings, QWidget* parent = nullptr);
    ~CRT62MView() override;

    // Rebuild the grid from the ChannelTable and rewrite the info panel; current cell channel 1, column 0.
    // For new contents (start-up, New, Open, Upload, a band change).
    void FullRefresh();
    // The same rebuild for the same document changed (a dialog's OK, undo, redo): the current cell stays
    // where the user left it, so the next key acts where it did before.
    void RebuildGrid();
    // Rewrite the six info-panel values.
    void RefreshInfoPanel();
    // Redraw one channel's row (0-based channel) / the cells that depend on an edited column.
    void RenderRow(int channel);
    void RenderCell(int channel, int column);
    // Place the panel and the grid for a client area of this size (also done on every resize).
    void Layout(int width, int height);

    // Width of a shown grid column: its widest text in the grid's font, with the cell margins.
    int gridColumnWidth(int column) const;

    // Help topic of the main window: 300 + the grid's current column.
    int helpContext() const;

    QTableView* grid() const { return grid_; }
    ChannelGridModel* gridModel() const { return model_; }
    TwoRowHeader* gridHeader() const { return header_; }
    // In-place editing, pick lists, clipboard and column switches of the grid.
    GridEditing* editing() const { return editing_; }
    // Where the grid's edits become undo steps; without one they only set the modified mark.
    void setHistory(DocumentHistory* history) { history_ = history; }
    DocumentHistory* history() const { return history_; }

    // The Edit menu shown on a right-click in the grid; its actions belong to the main window.
    // Without one, only editMenuRequested is emitted.
    void setEditMenu(QMenu* menu) { editMenu_ = menu; }

    // Info-panel values by their control ids: 1007 Serial No, 1008 Freq Band, 1009 ProductType,
    // 1010 FW Version, 1059 COM Port, 1061 Printer.
    QString infoValue(int controlId) const;
    // Left edge (view coordinates) of the labels of info-panel column 0, 1 or 2.
    int infoColumnLeft(int column) const;

signals:
    void editMenuRequested(const QPoint& globalPos);
    // The grid's current row moved to another channel (0-based), after CurrentChannel was updated.
    void currentChannelChanged(int channel);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onCurrentChanged();
    void applyColumnWidths();
    void measureColumns() const;
    void announceChanges(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles);
    bool handleServiceKey(QKeyEvent* event);

    CRT62MDoc& doc_;
    AppSettings& settings_;
    QWidget* infoFrame_ = nullptr;
    QLabel* labels_[6] = {};
    QLabel* values_[6] = {};
    QFrame* gridFrame_ = nullptr;
    QTableView* grid_ = nullptr;
    TwoRowHeader* header_ = nullptr;
    ChannelGridModel* model_ = nullptr;
    QMenu* editMenu_ = nullptr;
    GridEditing* editing_ = nullptr;
    DocumentHistory* history_ = nullptr;
    mutable std::vector<int> columnWidths_;
};

}  // namespace rt62
