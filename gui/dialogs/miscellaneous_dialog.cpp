#include "gui/dialogs/miscellaneous_dialog.h"
#include "gui/common/qt_prompter.h"

#include "gui/dialogs/dialog_values.h"
#include "core/image/text_rules.h"
#include "gui/dialogs/input_controls.h"
#include "core/image/document.h"

#include <QFormLayout>
#include <QVBoxLayout>

namespace rt62 {
namespace {

// Squelch Tail Elim: 2 is a second code for "Rev. Burst ", listed only while it is the stored value.
constexpr int kTailRevBurstOld = 2;
constexpr int kTailRevBurst = 3;

}  // namespace

MiscellaneousDialog::MiscellaneousDialog(CRT62MDoc& doc, QWidget* parent)
    : ParamDialog(kResourceId, true, parent), doc_(doc) {
    setWindowTitle(TableText(4990));
    common_.Decode(doc_.Image());
    savedSplit_ = doc_.DefaultSplit();

    const char* paths[] = {
        "miscellaneous.beep",          "miscellaneous.call_times", "miscellaneous.squelch_tail_elim",
        "miscellaneous.bell",          "miscellaneous.lamp_mode",  "miscellaneous.set_to_set_clone",
        "miscellaneous.external_jack", "miscellaneous.auto_reset_time",
    };
    const int labels[] = {5066, 5067, 5068, 5069, 5070, 5071, 5072, 5073};

    split_ = makeFilterEdit(kDefaultSplit, kFilterSignedDecimal, 5);
    auto* form = new QFormLayout;
    addRow(form, TableText(5074), split_);
    for (int i = 0; i < 8; ++i) {
        const int id = kBeep + i;
        EnterCombo* l = makeCombo(id, id == kSquelchTail ? QStringList() : DialogListTexts(paths[i]));
        lists_[static_cast<std::size_t>(i)] = l;
        addRow(form, TableText(labels[i]), l);
        if (id != kSquelchTail) SelectListValue(l, *field(id));
    }
    body()->addLayout(form);
    fillSquelchTail();
    showSplit();
}

int* MiscellaneousDialog::field(int id) {
    switch (id) {
    case kBeep: return &common_.beep;
    case kCallTimes: return &common_.callTimes;
    case kSquelchTail: return &common_.squelchTailElim;
    case kBell: return &common_.bell;
    case kLampMode: return &common_.lampMode;
    case kSetToSetClone: return &common_.setToSetClone;
    case kExternalJack: return &common_.externalJack;
    case kAutoReset: return &common_.autoResetTime;
    default: return nullptr;
    }
}

void MiscellaneousDialog::fillSquelchTail() {
    EnterCombo* l = list(kSquelchTail);
    l->clear();
    const QStringList texts = DialogListTexts("miscellaneous.squelch_tail_elim");
    l->addItems(texts);
    const int value = common_.squelchTailElim;
    if (value == kTailRevBurstOld) l->addItem(texts.back());
    SelectListValue(l, value == kTailRevBurst ? 2 : value);
}

void MiscellaneousDialog::showSplit() { split_->setText(QString::asprintf("%-5.1f MHz", doc_.DefaultSplit())); }

void MiscellaneousDialog::SelectionChanged(int id, int index) {
    if (index < 0) return;
    if (id == kSquelchTail) {
        int& value = common_.squelchTailElim;
        if (value == kTailRevBurstOld && index != 2) {
            value = index;
            fillSquelchTail();
        }
        if (value != kTailRevBurstOld) value = index == 2 ? kTailRevBurst : index;
    } else if (int* f = field(id)) {
        *f = index;
    } else {
        return;
    }
    doc_.SetModifiedFlag();
}

void MiscellaneousDialog::CommitField(int, FilterEdit*) {
    double value = ParseLeadingNumber(split_->text());
    if (value < -kSplitLimitMHz) value = -kSplitLimitMHz;
    if (value > kSplitLimitMHz) value = kSplitLimitMHz;
    doc_.SetDefaultSplit(value);
    doc_.SetModifiedFlag();
    showSplit();
}

void MiscellaneousDialog::StoreOnOk() { common_.Encode(doc_.Image()); }

void MiscellaneousDialog::RestoreOnCancel() { doc_.SetDefaultSplit(savedSplit_); }

}  // namespace rt62
