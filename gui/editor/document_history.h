// Undo and redo of every change to the document: each step keeps the whole document state from before
// and after it, so that undo puts back exactly what was there, bytes and sections alike.
#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <string>

#include "core/image/model.h"

namespace rt62 {

class CRT62MDoc;

// Everything a change can touch: the image model (image, Default Split, sections, two-tone format), the
// marketing-changed mark, and the path and file-loaded flag that an Upload or a band change replace.
struct DocumentState {
    ImageModel model;
    bool marketingChanged = false;
    std::string path;
    bool fileLoaded = false;
};

DocumentState CaptureState(const CRT62MDoc& doc);
// The same document as a file, the radio and the views would see it: both normalized and decoded, then
// compared. Bits nothing owns and the low digits of a decoded frequency do not make a step.
bool SameContent(const DocumentState& a, const DocumentState& b);

// How a step relates to the saved state.
enum class StepKind {
    Edit,           // an ordinary change: the document differs from what was saved
    StartsHistory,  // Upload: older steps go, and the new contents count as saved (they are the radio's)
    KeepsSavedMark, // Download's merge of the radio's own bytes: saved stays saved
};

class DocumentHistory : public QObject {
    Q_OBJECT
  public:
    explicit DocumentHistory(CRT62MDoc& doc, QObject* parent = nullptr);

    QUndoStack* stack() { return &stack_; }

    // Runs change; when the document's content differs afterwards, that becomes one step named by what
    // change returns. Otherwise the modified mark is put back as it was (a dialog that changed a list and
    // then was cancelled leaves nothing to save). True when a step was made.
    bool record(const std::function<QString()>& change, StepKind kind = StepKind::Edit);
    bool record(const QString& text, const std::function<void()>& change, StepKind kind = StepKind::Edit);

    // New contents (New, Open): no steps, and the document counts as saved.
    void reset();
    // The document was written to its file.
    void markSaved();

  signals:
    // Undo or redo put a state back; the views must show it.
    void stateRestored();
    // The modified mark changed with the history.
    void modifiedChanged(bool modified);

  private:
    friend class StateStep;
    void restore(const DocumentState& state, bool withPath);
    void syncModified();

    CRT62MDoc& doc_;
    QUndoStack stack_;
    bool recording_ = false;
};

} // namespace rt62
