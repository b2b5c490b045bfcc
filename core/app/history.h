// Undo and redo of every change to the document: each step keeps the whole document state from before
// and after it, so that undo puts back exactly what was there, bytes and sections alike.
#pragma once

#include <functional>
#include <string>
#include <vector>

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

// The steps in order, where undo and redo stand among them and which of those places was saved. A new
// step drops the steps that were undone; when the saved place was among them, no place is saved any more.
class UndoHistory {
  public:
    // What a front-end follows: a step was restored (the views show the document again), the steps or
    // the saved place changed (the undo and redo entries), the modified mark changed.
    struct Listener {
        std::function<void()> restored;
        std::function<void()> stepsChanged;
        std::function<void(bool modified)> modifiedChanged;
    };

    explicit UndoHistory(CRT62MDoc& doc) : doc_(doc) {}
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    void SetListener(Listener listener) { listener_ = std::move(listener); }

    // Runs change; when the document's content differs afterwards, that becomes one step named by what
    // change returns. Otherwise the modified mark is put back as it was (a dialog that changed a list and
    // then was cancelled leaves nothing to save). True when a step was made. A change made while another
    // is being recorded belongs to that one step.
    bool Record(const std::function<std::string()>& change, StepKind kind = StepKind::Edit);
    bool Record(const std::string& name, const std::function<void()>& change, StepKind kind = StepKind::Edit);

    // New contents (New, Open): no steps, and the document counts as saved.
    void Reset();
    // The document was written to its file.
    void MarkSaved();

    bool Undo();
    bool Redo();
    bool CanUndo() const { return index_ > 0; }
    bool CanRedo() const { return index_ < Count(); }
    // The names of the steps undo and redo would take; empty when there is none.
    std::string UndoName() const { return CanUndo() ? steps_[index_ - 1].name : std::string(); }
    std::string RedoName() const { return CanRedo() ? steps_[index_].name : std::string(); }

    int Count() const { return static_cast<int>(steps_.size()); }
    const std::string& StepName(int i) const { return steps_.at(static_cast<std::size_t>(i)).name; }
    // How many steps are done; the saved place as such a count, or -1 when it was dropped.
    int Index() const { return index_; }
    int CleanIndex() const { return clean_; }
    bool IsClean() const { return index_ == clean_; }

  private:
    struct Step {
        std::string name;
        DocumentState before;
        DocumentState after;
        bool withPath; // only a step that changed the path puts one back; a later Save As stays
    };

    void Restore(const DocumentState& state, bool withPath);
    void Changed();

    CRT62MDoc& doc_;
    Listener listener_;
    std::vector<Step> steps_;
    int index_ = 0;
    int clean_ = 0;
    bool recording_ = false;
};

} // namespace rt62
