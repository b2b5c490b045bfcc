// The undo history's rules: where undo and redo stand, which place counts as saved, and the modified
// mark that follows it, for scripts of edits, saves, undos and redos.
#include <gtest/gtest.h>

#include "core/app/history.h"
#include "core/image/document.h"
#include "tests/core/link/link_test_support.h"

namespace rt62 {
namespace {

struct HistoryBench {
    test::RecordingPrompter prompter;
    CRT62MDoc doc{prompter};
    UndoHistory history{doc};
    int edits = 0;

    HistoryBench() {
        doc.Model() = MakeFactoryImage(0);
        NormalizeImage(doc.Model());
    }
    // A change of channel 1 to a frequency of its own, recorded as kind.
    bool Edit(StepKind kind = StepKind::Edit) {
        const double mhz = 146.0 + 0.025 * ++edits;
        return history.Record("Edit " + std::to_string(edits), [&] {
            doc.Model().channels.at(0).rxFrequency = doc.Model().channels.at(0).txFrequency = mhz;
            doc.SetModifiedFlag(true);
        }, kind);
    }
    // e edit, U Upload's step, D Download's step, s save, u undo, r redo, n a change that changes nothing.
    void Run(const std::string& script) {
        for (char c : script) {
            switch (c) {
            case 'e': Edit(); break;
            case 'U': Edit(StepKind::StartsHistory); break;
            case 'D': Edit(StepKind::KeepsSavedMark); break;
            case 's': history.MarkSaved(); break;
            case 'u': history.Undo(); break;
            case 'r': history.Redo(); break;
            case 'n': history.Record("Nothing", [&] { doc.SetModifiedFlag(true); }); break;
            }
        }
    }
};

TEST(UndoHistory, SavedPlaceAndModifiedMark) {
    const struct {
        const char* script;
        int count, index, clean;
        bool modified;
    } rows[] = {
        {"ee", 2, 2, 0, true},
        {"eesu", 2, 1, 2, true},
        {"eesur", 2, 2, 2, false},
        {"esu", 1, 0, 1, true},
        // A step after undoing past the saved place drops it: no place is saved any more.
        {"esue", 1, 1, -1, true},
        {"esueu", 1, 0, -1, true},
        {"eeuse", 2, 2, 1, true},
        {"eeuseu", 2, 1, 1, false},
        // An Upload starts the history as saved; a Download keeps the saved mark only where it was.
        {"eeU", 1, 1, 1, false},
        {"D", 1, 1, 1, false},
        {"eD", 2, 2, 0, true},
        {"eDu", 2, 1, 0, true},
        // A change that changes nothing makes no step and leaves the mark as it was.
        {"n", 0, 0, 0, false},
        {"esn", 1, 1, 1, false},
        {"en", 1, 1, 0, true},
    };
    for (const auto& r : rows) {
        HistoryBench b;
        b.Run(r.script);
        EXPECT_EQ(b.history.Count(), r.count) << r.script;
        EXPECT_EQ(b.history.Index(), r.index) << r.script;
        EXPECT_EQ(b.history.CleanIndex(), r.clean) << r.script;
        EXPECT_EQ(b.doc.IsModified(), r.modified) << r.script;
    }
}

TEST(UndoHistory, StepsGiveBackTheirStatesAndNest) {
    HistoryBench b;
    const ImageModel start = b.doc.Model();
    b.doc.Model().channels.currentChannel = 5; // where the user is in the grid, not the document
    b.doc.Model().channels.currentChannelNumber = 6;
    int restored = 0, stepsChanged = 0;
    b.history.SetListener({[&] { ++restored; }, [&] { ++stepsChanged; }, {}});
    // A change recorded inside another belongs to that one step; a change that changes nothing is none.
    bool inner = true;
    EXPECT_TRUE(b.history.Record("Outer", [&] { inner = b.Edit(); }));
    EXPECT_FALSE(inner);
    EXPECT_FALSE(b.history.Record("Nothing", [] {}));
    EXPECT_EQ(b.history.Count(), 1);
    EXPECT_EQ(b.history.UndoName(), "Outer");
    EXPECT_TRUE(b.history.Undo());
    EXPECT_TRUE(SameContent(CaptureState(b.doc), {start, false, b.doc.CurrentPath(), b.doc.IsFileLoaded()}));
    EXPECT_EQ(b.doc.Model().channels.currentChannel, 5);
    EXPECT_EQ(b.doc.Model().channels.currentChannelNumber, 6);
    EXPECT_EQ(b.history.RedoName(), "Outer");
    EXPECT_FALSE(b.history.Undo());
    EXPECT_TRUE(b.history.Redo());
    EXPECT_FALSE(b.history.Redo());
    EXPECT_EQ(restored, 2);
    EXPECT_EQ(stepsChanged, 3);
    // Only a step that changed the path puts one back: a Save As after an edit stays.
    b.doc.SetCurrentPath("/radios/later.r62");
    EXPECT_TRUE(b.history.Undo());
    EXPECT_EQ(b.doc.CurrentPath(), "/radios/later.r62");
    b.history.Reset();
    EXPECT_FALSE(b.history.CanUndo() || b.history.CanRedo() || b.doc.IsModified());
}

} // namespace
} // namespace rt62
