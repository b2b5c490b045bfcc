#include "gui/dialogs/key_function_dialog.h"
#include "gui/common/qt_prompter.h"

#include "gui/dialogs/dialog_values.h"
#include "gui/dialogs/input_controls.h"
#include "core/image/document.h"

#include <QFormLayout>
#include <QVBoxLayout>

namespace rt62 {

KeyFunctionDialog::KeyFunctionDialog(CRT62MDoc& doc, QWidget* parent)
    : ParamDialog(kResourceId, false, parent), doc_(doc) {
    setWindowTitle(TableText(4988));
    keys_.Decode(doc_.Image());
    press_ = makeCombo(kPress);
    hold_ = makeCombo(kHold);
    auto* form = new QFormLayout;
    addRow(form, TableText(5062), press_);
    addRow(form, TableText(5063), hold_);
    body()->addLayout(form);
    buildLists();
}

bool KeyFunctionDialog::inUse(int code) const {
    return code >= 1 && code <= static_cast<int>(keys_.inUse.size()) && keys_.inUse[static_cast<std::size_t>(code - 1)];
}

void KeyFunctionDialog::buildList(EnterCombo* list, int own) {
    const QStringList& texts = KeyFunctionTexts();
    list->clear();
    for (int j = 0; j < texts.size(); ++j) {
        if (j == kFollowMeDw) continue;
        if (j == 0 || !inUse(j) || j == own) list->addItem(texts[j]);
    }
    // A code without a text here (7, or beyond the table) shows no selection and stays as it is.
    list->setCurrentIndex(own >= 0 && own < texts.size() ? list->findText(texts[own], Qt::MatchExactly) : -1);
}

void KeyFunctionDialog::buildLists() {
    setUpdatesEnabled(false);
    buildList(press_, keys_.accKeyPress);
    buildList(hold_, keys_.accKeyHold);
    setUpdatesEnabled(true);
}

void KeyFunctionDialog::DroppingDown(int) { buildLists(); }

void KeyFunctionDialog::SelectionChanged(int id, int index) {
    EnterCombo* list = id == kPress ? press_ : id == kHold ? hold_ : nullptr;
    if (!list || index < 0) return;
    const int code = static_cast<int>(KeyFunctionTexts().indexOf(list->itemText(index)));
    if (code < 0) return;
    int& key = id == kPress ? keys_.accKeyPress : keys_.accKeyHold;
    if (inUse(key)) keys_.inUse[static_cast<std::size_t>(key - 1)] = false;
    key = code;
    if (code != 0) keys_.inUse[static_cast<std::size_t>(code - 1)] = true;
    doc_.SetModifiedFlag();
    // The lists follow at once, so a choice made with the arrow keys (no drop-down) cannot give the
    // other key the same function.
    buildLists();
}

void KeyFunctionDialog::StoreOnOk() { keys_.Encode(doc_.Image()); }

}  // namespace rt62
