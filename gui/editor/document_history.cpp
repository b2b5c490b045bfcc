#include "gui/editor/document_history.h"

#include "core/image/document.h"

namespace rt62 {

namespace {

// What a save would write, with the two-tone format the pairs settle on as the image is normalized.
ImageModel Normalized(const ImageModel& model) {
    ImageModel copy = model;
    NormalizeImage(copy);
    return copy;
}

} // namespace

// One step: the states on both sides of it. The change itself has already happened when the step is
// pushed, so its first redo does nothing.
class StateStep : public QUndoCommand {
  public:
    StateStep(DocumentHistory& history, const QString& text, DocumentState before, DocumentState after)
        : QUndoCommand(text), history_(history), before_(std::move(before)), after_(std::move(after)),
          withPath_(before_.path != after_.path || before_.fileLoaded != after_.fileLoaded) {}

    void undo() override { history_.restore(before_, withPath_); }
    void redo() override {
        if (pushed_) history_.restore(after_, withPath_);
        pushed_ = true;
    }

  private:
    DocumentHistory& history_;
    DocumentState before_;
    DocumentState after_;
    bool withPath_; // only a step that changed the path puts one back; a later Save As stays
    bool pushed_ = false;
};

DocumentState CaptureState(const CRT62MDoc& doc) {
    return {doc.Model(), doc.IsMarketingChanged(), doc.CurrentPath(), doc.IsFileLoaded()};
}

bool SameContent(const DocumentState& a, const DocumentState& b) {
    if (a.marketingChanged != b.marketingChanged || a.path != b.path || a.fileLoaded != b.fileLoaded ||
        DefaultSplitBytes(a.model.defaultSplit) != DefaultSplitBytes(b.model.defaultSplit))
        return false;
    // A dialog normalizes the image before it opens, which may settle the format of a file's pairs
    // (a file from elsewhere): that alone is no change of the user's.
    const ImageModel na = Normalized(a.model);
    const ImageModel nb = Normalized(b.model);
    return na.twoToneFormat == nb.twoToneFormat && na.image == nb.image;
}

DocumentHistory::DocumentHistory(CRT62MDoc& doc, QObject* parent) : QObject(parent), doc_(doc) {
    connect(&stack_, &QUndoStack::cleanChanged, this, &DocumentHistory::syncModified);
    connect(&stack_, &QUndoStack::indexChanged, this, &DocumentHistory::syncModified);
}

bool DocumentHistory::record(const std::function<QString()>& change, StepKind kind) {
    // A change made while another is being recorded belongs to that one step.
    if (recording_) {
        change();
        return false;
    }
    recording_ = true;
    const DocumentState before = CaptureState(doc_);
    const bool modifiedBefore = doc_.IsModified();
    const QString text = change();
    recording_ = false;
    DocumentState after = CaptureState(doc_);
    if (SameContent(before, after)) {
        doc_.SetModifiedFlag(modifiedBefore);
        emit modifiedChanged(modifiedBefore);
        return false;
    }
    const bool wasClean = stack_.isClean();
    if (kind == StepKind::StartsHistory) stack_.clear();
    stack_.push(new StateStep(*this, text, before, std::move(after)));
    if (kind == StepKind::StartsHistory || (kind == StepKind::KeepsSavedMark && wasClean)) stack_.setClean();
    syncModified();
    return true;
}

bool DocumentHistory::record(const QString& text, const std::function<void()>& change, StepKind kind) {
    return record(
        [&] {
            change();
            return text;
        },
        kind);
}

void DocumentHistory::reset() {
    stack_.clear();
    syncModified();
}

void DocumentHistory::markSaved() {
    stack_.setClean();
    syncModified();
}

void DocumentHistory::restore(const DocumentState& state, bool withPath) {
    ImageModel& live = doc_.Model();
    // The grid's current cell is where the user is, not part of the document.
    const int current = live.channels.currentChannel;
    const int currentNumber = live.channels.currentChannelNumber;
    live = state.model;
    live.channels.currentChannel = current;
    live.channels.currentChannelNumber = currentNumber;
    doc_.SetMarketingChanged(state.marketingChanged);
    if (withPath) {
        doc_.SetCurrentPath(state.path);
        doc_.SetFileLoaded(state.fileLoaded);
    }
    emit stateRestored();
}

void DocumentHistory::syncModified() {
    const bool modified = !stack_.isClean();
    doc_.SetModifiedFlag(modified);
    emit modifiedChanged(modified);
}

} // namespace rt62
