// Editing the channel grid: keys and mouse, Space actions, the in-place editor, pick lists, DCS
// complement, copy and paste, and the column-item switches of the View menu.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QKeyEvent;
class QMouseEvent;
class QTableView;

namespace rt62 {

class CRT62MDoc;
class CRT62MView;
class GridCellEdit;
struct AppSettings;

class GridEditing : public QObject {
    Q_OBJECT
  public:
    // Watches view's grid; edits act on the ChannelTable's CurrentChannel and the grid's current column.
    GridEditing(CRT62MView& view, CRT62MDoc& doc, AppSettings& settings);

    // The dialogs and the beep, replaceable so tests can answer them. Defaults: the real pick lists and
    // the platform beep.
    std::function<void()> beep;
    std::function<std::optional<int>(int mode, int current)> pickValue;
    std::function<std::optional<int>(int column, bool dcs, int currentIndex)> pickTone;

    GridCellEdit* cellEdit() const { return edit_; }
    bool isEditing() const { return editing_; }
    // The cell the open editor writes into (0-based channel, column 2 or 3).
    int editChannel() const { return editChannel_; }
    int editColumn() const { return editColumn_; }

    // Operations on the current cell.
    void SpaceAction(int column);
    // typed: seed is the character typed; otherwise the editor opens with the cell's value (CellEditSeed).
    bool OpenEditor(const QString& seed, bool typed);
    void CommitEditor();
    void AbandonEditor();
    void ToneChoice(int column);
    void DcsComplement(int column);
    // Parses text into the current cell; beeps and returns false when refused.
    bool PasteText(const std::string& text);

    // Copy and Paste commands: true when the grid or the editor has the focus and handled them.
    bool Copy();
    bool Paste();
    // The grid's selection: cells joined by TAB, rows by CR.
    QString SelectionText() const;

    // View > Item entry: hides or shows the item's columns (width 0 keeps their contents).
    void ToggleColumnItem(int item);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // What an editor or pick list works on, as a screen reader names it: "Channel 3 Receive".
    static QString subject(int channel, int column);
    // Runs an edit as one undo step (when the view has a history); edit returns the step's name.
    void change(const std::function<QString()>& edit);
    bool gridKey(QKeyEvent* event);
    bool gridDoubleClick(QMouseEvent* event);
    void onEditorFocusLost();
    void onGridScrolled();
    void returnFocusToGrid();
    int currentChannel() const;
    int currentColumn() const;
    QString cellText(int channel, int column) const;

    CRT62MView& view_;
    CRT62MDoc& doc_;
    AppSettings& settings_;
    QTableView* grid_;
    GridCellEdit* edit_;
    bool editing_ = false;
    int editChannel_ = -1;
    int editColumn_ = -1;
};

} // namespace rt62
