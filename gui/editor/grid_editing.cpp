// Editing the channel grid in place.
#include "gui/editor/grid_editing.h"

#include "gui/common/app_settings.h"
#include "gui/common/qt_prompter.h"
#include "gui/editor/channel_grid_model.h"
#include "gui/editor/document_history.h"
#include "gui/editor/form_view.h"
#include "gui/editor/grid_cell_edit.h"
#include "gui/editor/pick_list_dialogs.h"
#include "core/grid/cell_input.h"
#include "core/app/session.h"
#include "core/grid/cell_speech.h"
#include "core/grid/columns.h"
#include "core/image/document.h"
#include "core/image/model.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>

namespace rt62 {

namespace {

QString StepText(GridStep step, int channel, int column) {
    return QString::fromStdString(GridStepName(step, channel, column));
}

} // namespace

void GridEditing::change(const std::function<QString()>& edit) {
    if (DocumentHistory* history = view_.history())
        history->record(edit);
    else
        edit();
}

QString GridEditing::subject(int channel, int column) {
    return QString::fromStdString(ChannelColumnSubject(channel, column));
}

GridEditing::GridEditing(CRT62MView& view, CRT62MDoc& doc, AppSettings& settings)
    : QObject(&view), view_(view), doc_(doc), settings_(settings), grid_(view.grid()) {
    setObjectName(QStringLiteral("gridEditing"));
    beep = [] { QApplication::beep(); };
    // A value list's mode is the grid column it serves.
    pickValue = [this](int mode, int current) {
        return RunValueList(&view_, doc_.Model(), mode, current, subject(currentChannel(), mode));
    };
    pickTone = [this](int column, bool dcs, int index) {
        return RunToneList(&view_, doc_.Model(), column, dcs, index, subject(currentChannel(), column));
    };

    edit_ = new GridCellEdit(&view_);
    connect(edit_, &GridCellEdit::enterPressed, this, [this] { grid_->setFocus(Qt::OtherFocusReason); });
    connect(edit_, &GridCellEdit::escapePressed, this, &GridEditing::AbandonEditor);
    connect(edit_, &GridCellEdit::focusLost, this, &GridEditing::onEditorFocusLost);

    grid_->installEventFilter(this);
    grid_->viewport()->installEventFilter(this);
    grid_->horizontalHeader()->viewport()->installEventFilter(this);
    connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, &GridEditing::onGridScrolled);
    connect(grid_->horizontalScrollBar(), &QScrollBar::valueChanged, this, &GridEditing::onGridScrolled);
    // A rebuilt grid belongs to new contents: a pending edit must not land in them.
    connect(view.gridModel(), &QAbstractItemModel::modelAboutToBeReset, this, &GridEditing::AbandonEditor);
}

int GridEditing::currentChannel() const {
    return doc_.Model().channels.currentChannel;
}

int GridEditing::currentColumn() const {
    const QModelIndex current = grid_->currentIndex();
    return current.isValid() ? current.column() : -1;
}

QString GridEditing::cellText(int channel, int column) const {
    return view_.gridModel()->index(channel, column).data().toString();
}

// ---------------- keys and mouse ----------------

bool GridEditing::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && event->type() == QEvent::KeyPress) return gridKey(static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == grid_->viewport()) return gridDoubleClick(static_cast<QMouseEvent*>(event));
        // The header rows have no editing function (and must not resize columns to their contents).
        if (watched == grid_->horizontalHeader()->viewport()) return true;
    }
    return QObject::eventFilter(watched, event);
}

bool GridEditing::gridKey(QKeyEvent* event) {
    if (editing_) return false;
    const int column = currentColumn();
    if (column < 0) return false;
    const bool chord = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);

    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (chord) return false;
        if (IsFrequencyColumn(column))
            OpenEditor(cellText(currentChannel(), column), false);
        else if (IsToneColumn(column))
            ToneChoice(column);
        else
            grid_->viewport()->update(grid_->visualRect(grid_->currentIndex()));
        return true;
    case Qt::Key_Space:
        if (chord) return false;
        SpaceAction(column);
        // The blank also reaches the Receive cell as a typed character.
        if (column == kColReceive) OpenEditor(QStringLiteral(" "), true);
        return true;
    case Qt::Key_F3:
        if (event->modifiers() != Qt::NoModifier || !IsToneColumn(column)) return false;
        DcsComplement(column);
        return true;
    default:
        break;
    }

    if (chord) return false;
    const QString text = event->text();
    if (text.size() != 1 || !text.at(0).isPrint()) return false;
    if (IsFrequencyColumn(column) && CellEditAccepts(text.at(0).unicode())) OpenEditor(text, true);
    // Other characters do nothing; the table's type-ahead search would move the current cell.
    return true;
}

bool GridEditing::gridDoubleClick(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return false;
    const QModelIndex index = grid_->indexAt(event->position().toPoint());
    if (!index.isValid()) return true;
    if (index != grid_->currentIndex()) grid_->setCurrentIndex(index);
    const int column = index.column();
    if (IsFrequencyColumn(column))
        OpenEditor(cellText(currentChannel(), column), false);
    else if (IsToneColumn(column))
        ToneChoice(column);
    else
        SpaceAction(column);
    return true;
}

// ---------------- Space, tones, DCS complement ----------------

void GridEditing::SpaceAction(int column) {
    const int n = currentChannel();
    CellUi ui;
    ui.pickValue = [this](int mode, int current, int) -> std::optional<int> {
        return pickValue ? pickValue(mode, current) : std::nullopt;
    };
    ui.beep = [this] {
        if (beep) beep();
    };
    change([&] {
        if (EditCell(doc_.Model(), n, column, ui)) {
            doc_.SetModifiedFlag(true);
            view_.RenderCell(n, column);
        }
        return StepText(GridStep::Edit, n, column);
    });
}

void GridEditing::ToneChoice(int column) {
    if (!IsToneColumn(column)) return;
    const int n = currentChannel();
    CellUi ui;
    ui.beep = [this] {
        if (beep) beep();
    };
    ui.pickTone = [this, column](bool dcs, int index, int) -> std::optional<int> {
        return pickTone ? pickTone(column, dcs, index) : std::nullopt;
    };
    change([&] {
        if (doc_.Model().channels.PickTone(n, column, ui)) doc_.SetModifiedFlag(true);
        view_.RenderCell(n, column);
        return StepText(GridStep::Edit, n, column);
    });
}

void GridEditing::DcsComplement(int column) {
    if (!IsToneColumn(column)) return;
    const int n = currentChannel();
    change([&] {
        if (doc_.Model().channels.ComplementDcs(n, column)) doc_.SetModifiedFlag(true);
        view_.RenderCell(n, column);
        return StepText(GridStep::Complement, n, column);
    });
}

// ---------------- the in-place editor ----------------

bool GridEditing::OpenEditor(const QString& seed, bool typed) {
    if (editing_) return false;
    const int n = currentChannel();
    const int column = currentColumn();
    const std::optional<std::string> cellSeed = CellEditSeed(doc_.Model(), n, column);
    if (!cellSeed) return false;
    const QString text = typed ? seed : QString::fromStdString(*cellSeed);

    const QModelIndex index = grid_->currentIndex();
    grid_->scrollTo(index);
    const QRect cell = grid_->visualRect(index);
    const QPoint topLeft = grid_->viewport()->mapTo(&view_, cell.topLeft());
    edit_->setGeometry(topLeft.x() - 1, topLeft.y() - 1, cell.width() + 2, cell.height() + 2);
    edit_->setMaxLength(kCellEditMaxChars);
    edit_->setText(text);
    edit_->setAccessibleName(subject(n, column));

    editChannel_ = n;
    editColumn_ = column;
    editing_ = true;
    edit_->raise();
    edit_->show();
    edit_->setFocus(Qt::OtherFocusReason);
    edit_->end(false);
    edit_->selectAll();
    if (typed) {
        edit_->deselect();
        edit_->end(false);
    }
    return true;
}

void GridEditing::CommitEditor() {
    if (!editing_) return;
    editing_ = false;
    change([&] {
        SetFrequencyText(doc_.Model(), editChannel_, editColumn_, edit_->text().toStdString());
        doc_.SetModifiedFlag(true);
        view_.RenderCell(editChannel_, editColumn_);
        return StepText(GridStep::Edit, editChannel_, editColumn_);
    });
    edit_->hide();
}

void GridEditing::AbandonEditor() {
    if (!editing_) return;
    editing_ = false;
    edit_->setText(cellText(editChannel_, editColumn_));
    grid_->setFocus(Qt::OtherFocusReason);
    edit_->hide();
}

void GridEditing::onEditorFocusLost() {
    if (!editing_) return;
    CommitEditor();
    returnFocusToGrid();
}

void GridEditing::onGridScrolled() {
    if (!editing_) return;
    grid_->setFocus(Qt::OtherFocusReason);
    CommitEditor(); // when the editor did not hold the focus, setting it elsewhere committed nothing
}

void GridEditing::returnFocusToGrid() {
    // Only take the focus back from the editor itself (or from nobody); a click on another control
    // or the menu bar keeps the focus it took.
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus == edit_ || !view_.window()->isActiveWindow()) grid_->setFocus(Qt::OtherFocusReason);
}

// ---------------- clipboard ----------------

QString GridEditing::SelectionText() const {
    QModelIndexList selected = grid_->selectionModel()->selectedIndexes();
    if (selected.isEmpty()) {
        if (!grid_->currentIndex().isValid()) return {};
        selected.append(grid_->currentIndex());
    }
    int top = selected.front().row(), bottom = top;
    int left = selected.front().column(), right = left;
    for (const QModelIndex& i : selected) {
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
        left = std::min(left, i.column());
        right = std::max(right, i.column());
    }
    QStringList rows;
    for (int r = top; r <= bottom; ++r) {
        QStringList cells;
        for (int c = left; c <= right; ++c)
            cells.append(cellText(r, c));
        rows.append(cells.join(QLatin1Char('\t')));
    }
    return rows.join(QLatin1Char('\r'));
}

bool GridEditing::PasteText(const std::string& text) {
    const int n = currentChannel();
    const int column = currentColumn();
    DocumentHistory* history = view_.history();
    const PasteResult result =
        PasteIntoDocument(doc_, history ? &history->steps() : nullptr, n, column, text, settings_.items);
    switch (result.outcome) {
    case PasteOutcome::Refused:
        if (beep) beep();
        return false;
    case PasteOutcome::Stored:
        view_.RenderCell(n, column);
        break;
    case PasteOutcome::CopyConfirmed:
        view_.RenderRow(result.sourceChannel);
        view_.RenderRow(n);
        view_.RenderCell(n, kColChannel);
        break;
    case PasteOutcome::CopyDeclined:
        break;
    }
    return true;
}

bool GridEditing::Copy() {
    QWidget* focus = QApplication::focusWidget();
    if (editing_ && focus == edit_) {
        edit_->copy();
        return true;
    }
    if (focus != grid_) return false;
    QGuiApplication::clipboard()->setText(SelectionText());
    return true;
}

bool GridEditing::Paste() {
    QWidget* focus = QApplication::focusWidget();
    if (editing_ && focus == edit_) {
        edit_->paste(); // the 9-character limit holds; the key filter does not
        return true;
    }
    if (focus != grid_) return false;
    PasteText(QGuiApplication::clipboard()->text().toStdString());
    return true;
}

// ---------------- column items ----------------

void GridEditing::ToggleColumnItem(int item) {
    if (item < 0 || item >= static_cast<int>(settings_.items.size())) return;
    int& value = settings_.items[static_cast<std::size_t>(item)];
    // Anything but 1 counts as hidden, so the first switch of an odd INI value shows the columns.
    const bool show = value != 1;
    for (int c : ColumnsOfItem(item)) {
        grid_->setColumnHidden(c, !show);
        if (show) grid_->setColumnWidth(c, view_.gridColumnWidth(c));
    }
    value = show ? 1 : 0;
}

} // namespace rt62
