#include "gui/editor/document_history.h"

namespace rt62 {

DocumentHistory::DocumentHistory(UndoHistory& history, QObject* parent) : QObject(parent), history_(history) {
    history_.SetListener({[this] { emit stateRestored(); }, [this] { emit stepsChanged(); },
                          [this](bool modified) { emit modifiedChanged(modified); }});
}

DocumentHistory::~DocumentHistory() {
    history_.SetListener({});
}

bool DocumentHistory::record(const std::function<QString()>& change, StepKind kind) {
    return history_.Record([&] { return change().toStdString(); }, kind);
}

bool DocumentHistory::record(const QString& text, const std::function<void()>& change, StepKind kind) {
    return history_.Record(text.toStdString(), change, kind);
}

} // namespace rt62
