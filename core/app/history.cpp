#include "core/app/history.h"

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

bool UndoHistory::Record(const std::function<std::string()>& change, StepKind kind) {
    if (recording_) {
        change();
        return false;
    }
    recording_ = true;
    const DocumentState before = CaptureState(doc_);
    const bool modifiedBefore = doc_.IsModified();
    std::string name = change();
    recording_ = false;
    DocumentState after = CaptureState(doc_);
    if (SameContent(before, after)) {
        doc_.SetModifiedFlag(modifiedBefore);
        if (listener_.modifiedChanged) listener_.modifiedChanged(modifiedBefore);
        return false;
    }
    const bool wasClean = IsClean();
    if (kind == StepKind::StartsHistory) {
        steps_.clear();
        index_ = clean_ = 0;
    }
    // The undone steps go; a saved place among them can never be reached again.
    if (clean_ > index_) clean_ = -1;
    steps_.resize(static_cast<std::size_t>(index_));
    const bool withPath = before.path != after.path || before.fileLoaded != after.fileLoaded;
    steps_.push_back({std::move(name), before, std::move(after), withPath});
    ++index_;
    if (kind == StepKind::StartsHistory || (kind == StepKind::KeepsSavedMark && wasClean)) clean_ = index_;
    Changed();
    return true;
}

bool UndoHistory::Record(const std::string& name, const std::function<void()>& change, StepKind kind) {
    return Record(
        [&] {
            change();
            return name;
        },
        kind);
}

void UndoHistory::Reset() {
    steps_.clear();
    index_ = clean_ = 0;
    Changed();
}

void UndoHistory::MarkSaved() {
    clean_ = index_;
    Changed();
}

bool UndoHistory::Undo() {
    if (!CanUndo()) return false;
    const Step& step = steps_[static_cast<std::size_t>(index_ - 1)];
    Restore(step.before, step.withPath);
    --index_;
    Changed();
    return true;
}

bool UndoHistory::Redo() {
    if (!CanRedo()) return false;
    const Step& step = steps_[static_cast<std::size_t>(index_)];
    Restore(step.after, step.withPath);
    ++index_;
    Changed();
    return true;
}

void UndoHistory::Restore(const DocumentState& state, bool withPath) {
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
    if (listener_.restored) listener_.restored();
}

void UndoHistory::Changed() {
    const bool modified = !IsClean();
    doc_.SetModifiedFlag(modified);
    if (listener_.modifiedChanged) listener_.modifiedChanged(modified);
    if (listener_.stepsChanged) listener_.stepsChanged();
}

} // namespace rt62
