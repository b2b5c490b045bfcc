// The window's side of the undo history: the session's history (core/app/history.h) with Qt signals
// for the undo and redo entries and the views.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "core/app/history.h"

namespace rt62 {

class DocumentHistory : public QObject {
    Q_OBJECT
  public:
    explicit DocumentHistory(UndoHistory& history, QObject* parent = nullptr);
    ~DocumentHistory() override;

    UndoHistory& steps() { return history_; }

    // As UndoHistory::Record, with the step's name as the window has it.
    bool record(const std::function<QString()>& change, StepKind kind = StepKind::Edit);
    bool record(const QString& text, const std::function<void()>& change, StepKind kind = StepKind::Edit);

    void reset() { history_.Reset(); }
    void markSaved() { history_.MarkSaved(); }
    void undo() { history_.Undo(); }
    void redo() { history_.Redo(); }
    bool canUndo() const { return history_.CanUndo(); }
    bool canRedo() const { return history_.CanRedo(); }
    QString undoText() const { return QString::fromStdString(history_.UndoName()); }
    QString redoText() const { return QString::fromStdString(history_.RedoName()); }
    int count() const { return history_.Count(); }
    QString text(int step) const { return QString::fromStdString(history_.StepName(step)); }

  signals:
    // Undo or redo put a state back; the views must show it.
    void stateRestored();
    // The modified mark changed with the history.
    void modifiedChanged(bool modified);
    // The steps, or where undo and redo stand among them, changed.
    void stepsChanged();

  private:
    UndoHistory& history_;
};

} // namespace rt62
