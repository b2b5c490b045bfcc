#include "gui/dialogs/signaling_ani_dialog.h"
#include "gui/common/qt_prompter.h"

#include "gui/dialogs/dialog_values.h"
#include "gui/dialogs/input_controls.h"
#include "gui/dialogs/signaling_values.h"
#include "core/image/document.h"
#include "core/image/text_rules.h"

#include <QFormLayout>
#include <QVBoxLayout>

namespace rt62 {

AniDialog::AniDialog(CRT62MDoc& doc, QWidget* parent) : ParamDialog(kResourceId, false, parent), doc_(doc) {
    setWindowTitle(TableText(4991));
    ani_.Decode(doc_.Image());

    auto* form = new QFormLayout;
    const char* paths[] = {"ani.ani_transmit", "ani.dtmf_delay", "ani.dtmf_speed"};
    const int labels[] = {5090, 5091, 5092};
    const int values[] = {ani_.aniTransmit, ani_.dtmfDelay, ani_.dtmfSpeed};
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        lists_[i] = makeCombo(kTransmit + static_cast<int>(i), DialogListTexts(paths[i]));
        SelectListValue(lists_[i], values[i]);
        addRow(form, TableText(labels[i]), lists_[i]);
    }

    code_ = makeFilterEdit(kCode, kFilterDtmf, kCodeLength);
    code_->setUpperCase(true);
    // Enter finishes the edit but must never press OK from here.
    code_->setConsumeEnter(true);
    code_->setFont(SignalingFixedFont());
    code_->setText(QString::fromStdString(ani_.dtmfCode));
    code_->setAvailable(true);
    code_->setModified(false);
    addRow(form, TableText(5093), code_);
    body()->addLayout(form);
}

void AniDialog::CommitField(int id, FilterEdit* /*edit*/) {
    if (id == kCode) codeCommitted_ = true;
}

void AniDialog::StoreOnOk() {
    int* fields[] = {&ani_.aniTransmit, &ani_.dtmfDelay, &ani_.dtmfSpeed};
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        const int selected = lists_[i]->currentIndex();
        if (selected < 0 || selected == *fields[i]) continue;
        *fields[i] = selected;
        doc_.SetModifiedFlag();
    }
    ani_.Encode(doc_.Image());
    // A field still being edited when OK acts (no focus change on the way) counts as finished.
    if (codeCommitted_ || !code_->isDisplayState()) {
        const std::string code = DtmfFieldText(code_->text(), kCodeLength);
        if (code != ani_.dtmfCode) {
            ani_.dtmfCode = code;
            StoreAniCode(doc_.Image(), code);
            doc_.SetModifiedFlag();
        }
    }
}

}  // namespace rt62
