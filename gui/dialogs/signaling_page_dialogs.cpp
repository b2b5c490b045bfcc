#include "gui/dialogs/signaling_page_dialogs.h"
#include "gui/common/qt_prompter.h"

#include "gui/common/accessible_names.h"
#include "core/app/setting_forms.h"
#include "core/grid/cell_speech.h"
#include "core/image/strings.h"

#include "gui/dialogs/dialog_values.h"
#include "core/image/text_rules.h"
#include "gui/dialogs/input_controls.h"
#include "gui/dialogs/signaling_values.h"
#include "core/image/document.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace rt62 {

// ---- Page Setting Parameters -----------------------------------------------------------------

PageSettingDialog::PageSettingDialog(CRT62MDoc& doc, QWidget* parent)
    : ParamDialog(kResourceId, true, parent), doc_(doc) {
    setWindowTitle(TableText(4992));
    settings_.Decode(doc_.Image());

    auto* form = new QFormLayout;
    lists_[0] = makeCombo(kDtmfSpeed, DialogListTexts("paging.dtmf_speed"));
    lists_[1] = makeCombo(kAnswerBack, DialogListTexts("paging.answer_back"));
    SelectListValue(lists_[0], settings_.pagingDtmfSpeed);
    SelectListValue(lists_[1], settings_.answerBack);
    addRow(form, TableText(5092), lists_[0]);
    addRow(form, TableText(5094), lists_[1]);
    body()->addLayout(form);

    // Without the paging board the radio ignores these settings.
    lists_[0]->setEnabled(SettingOpen("paging.dtmf_speed", doc_.Model(), false));
    lists_[1]->setEnabled(SettingOpen("paging.answer_back", doc_.Model(), false));
}

void PageSettingDialog::StoreOnOk() {
    int* fields[] = {&settings_.pagingDtmfSpeed, &settings_.answerBack};
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        const int selected = lists_[i]->currentIndex();
        if (selected < 0 || selected == *fields[i]) continue;
        *fields[i] = selected;
        doc_.SetModifiedFlag();
    }
    settings_.Encode(doc_.Image());
}

// ---- Paging Code -----------------------------------------------------------------------------

PagingCodeDialog::PagingCodeDialog(CRT62MDoc& doc, QWidget* parent)
    : ParamDialog(kResourceId, false, parent), doc_(doc) {
    setWindowTitle(TableText(4993));
    pages_.Decode(doc_.Image());
    const bool paging = pages_.boardPaging != 0;

    auto* grid = new QGridLayout;
    for (int k = 1; k <= kCodeCount; ++k) {
        const std::size_t i = static_cast<std::size_t>(k - 1);
        FilterEdit* code = makeFilterEdit(kFirstCode + k - 1, kFilterDtmf, kCodeLength);
        code->setUpperCase(true);
        code->setConsumeEnter(true);
        code->setFont(SignalingFixedFont());
        code->setText(QString::fromStdString(pages_.codes[i]));
        code->setAvailable(true);
        code->setModified(false);
        // Enter, double-click and focus loss all end here; the row follows the field's text.
        connect(code, &ToggleEdit::commitCheck, this, [this, k] { applyRowRule(k); });
        codes_[i] = code;

        EnterCombo* sel = makeCombo(kFirstSelector + k - 1, DialogListTexts("paging.page_1_decode"));
        SelectListValue(sel, pages_.selectors[i]);
        selectors_[i] = sel;

        const QString title = k < 10 ? TableText(5095, {std::to_string(k)}) : TableText(5096);
        auto* label = new QLabel(title);
        label->setBuddy(code);
        // The row's label names both of its controls; the list is the page's decode switch.
        sel->setAccessibleName(
            QString::fromStdString(FormatString(kStrSpeechPageDecode, {WithoutMnemonic(title).toStdString()})));
        grid->addWidget(label, k - 1, 0);
        grid->addWidget(code, k - 1, 1);
        grid->addWidget(sel, k - 1, 2);
        applyRowRule(k);
    }
    body()->addLayout(grid);

    // Page codes mean nothing without the paging board.
    if (!paging) {
        for (FilterEdit* c : codes_) c->setAvailable(false);
        for (EnterCombo* s : selectors_) s->setEnabled(false);
    }
}

void PagingCodeDialog::applyRowRule(int k) {
    const std::size_t i = static_cast<std::size_t>(k - 1);
    EnterCombo* sel = selectors_[i];
    if (!sel) return;
    const bool empty = codes_[i]->text().trimmed().isEmpty();
    if (empty) sel->setCurrentIndex(0);
    sel->setEnabled(!empty && pages_.boardPaging != 0);
}

void PagingCodeDialog::StoreOnOk() {
    for (int k = 1; k <= kCodeCount; ++k) {
        const std::size_t i = static_cast<std::size_t>(k - 1);
        std::string code = DtmfFieldText(codes_[i]->text(), kCodeLength);
        if (!code.empty()) code.resize(kCodeLength, '0');  // "12" is the code "120"
        if (code != pages_.codes[i]) {
            // A deleted code takes its page number away from every channel that called it.
            if (code.empty()) doc_.Model().channels.ClearPageReferences(k, doc_.Image());
            pages_.codes[i] = code;
            doc_.SetModifiedFlag();
        }
        const int selected = selectors_[i]->currentIndex();
        if (selected >= 0 && selected != pages_.selectors[i]) {
            pages_.selectors[i] = selected;
            doc_.SetModifiedFlag();
        }
    }
    pages_.Encode(doc_.Image());
}

}  // namespace rt62
