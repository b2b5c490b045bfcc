#include "gui/dialogs/signaling_twotone_dialogs.h"
#include "gui/common/qt_prompter.h"

#include "core/app/setting_forms.h"
#include "core/grid/cell_speech.h"
#include "core/image/strings.h"

#include "gui/dialogs/dialog_values.h"
#include "gui/dialogs/signaling_tone_browser.h"
#include "gui/dialogs/signaling_values.h"
#include "core/image/document.h"
#include "core/image/fields.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace rt62 {

// ---- 2-Tone Parameters -----------------------------------------------------------------------

TwoToneParametersDialog::TwoToneParametersDialog(CRT62MDoc& doc, QWidget* parent)
    : ParamDialog(kResourceId, false, parent), doc_(doc) {
    setWindowTitle(TableText(4994));
    settings_.Decode(doc_.Image(), doc_.Model().twoToneFormat);

    const char* paths[] = {"two_tone.primary_group_call", "two_tone.secondary_group_call",
                           "two_tone.sencondary_page_pair", "two_tone.tone_format",
                           "two_tone.ctcss_dcs_complement", "two_tone.duty"};
    const int labels[] = {5097, 5098, 5099, 5100, 5101, 5102};
    const int values[] = {settings_.primaryGroupCall, settings_.secondaryGroupCall, settings_.secondaryPagePair,
                          static_cast<int>(settings_.toneFormat), settings_.ctcssDcsComplement, settings_.duty};
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        lists_[i] = makeCombo(kPrimaryGroupCall + static_cast<int>(i), DialogListTexts(paths[i]));
        SelectListValue(lists_[i], values[i]);
        addRow(form, TableText(labels[i]), lists_[i]);
    }
    body()->addLayout(form);

    list(kComplement)->setEnabled(SettingOpen("two_tone.ctcss_dcs_complement", doc_.Model(), false));
    list(kDuty)->setEnabled(SettingOpen("two_tone.duty", doc_.Model(), false));
}

void TwoToneParametersDialog::StoreOnOk() {
    int* fields[] = {&settings_.primaryGroupCall, &settings_.secondaryGroupCall, &settings_.secondaryPagePair,
                     nullptr, &settings_.ctcssDcsComplement, &settings_.duty};
    bool formatChanged = false;
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        const int selected = lists_[i]->currentIndex();
        if (selected < 0) continue;  // a stored value the list has no item for stays
        if (!fields[i]) {
            const auto format = static_cast<TwoToneFormat>(selected);
            if (format == settings_.toneFormat) continue;
            settings_.toneFormat = format;
            formatChanged = true;
        } else {
            if (selected == *fields[i]) continue;
            *fields[i] = selected;
        }
        doc_.SetModifiedFlag();
    }
    if (formatChanged) {
        // Pairs of one format mean nothing in the other: all six start again as off.
        doc_.Model().twoToneFormat = settings_.toneFormat;
        EncodePairs(doc_.Image(), PairEntries{}, settings_.toneFormat);
    }
    settings_.Encode(doc_.Image());
}

// ---- tone box --------------------------------------------------------------------------------

ToneBox::ToneBox(QWidget* parent) : ColorEdit(parent) {
    setReadOnly(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    setFont(SignalingFixedFont());
}

void ToneBox::setAvailable(bool on) {
    ColorEdit::setAvailable(on);
    // The tones come from the browser only; the box never takes typing.
    setReadOnly(true);
}

void ToneBox::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        if (isEnabled()) emit browseRequested();
        e->accept();  // never the dialog's default button
        return;
    }
    ColorEdit::keyPressEvent(e);
}

void ToneBox::mouseDoubleClickEvent(QMouseEvent* e) {
    ColorEdit::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton && isEnabled()) emit browseRequested();
}

void ToneBox::focusInEvent(QFocusEvent* e) {
    ColorEdit::focusInEvent(e);
    emit focusEntered();
}

// ---- 2-Tone Table Parameters -----------------------------------------------------------------

TwoToneTableDialog::TwoToneTableDialog(CRT62MDoc& doc, QWidget* parent)
    : ParamDialog(kResourceId, false, parent), doc_(doc) {
    setWindowTitle(TableText(4995));
    // Reading may find a pair that mixes groups and switch the whole program to the Custom format.
    pairs_ = DecodePairs(doc_.Image(), doc_.Model().twoToneFormat);
    format_ = doc_.Model().twoToneFormat;

    QStringList groups;
    if (custom()) {
        groups << TableText(TwoToneGroupText(0)) << TableText(TwoToneGroupText(kCustomGroup));
    } else {
        for (int g = 0; g <= kTwoToneGroupCount; ++g) groups << TableText(TwoToneGroupText(g));
    }

    auto* grid = new QGridLayout;
    const QString columnTitles[3] = {TableText(5103), TableText(5104), TableText(5105)};
    grid->addWidget(new QLabel(columnTitles[0]), 0, 0);
    grid->addWidget(new QLabel(columnTitles[1]), 0, 2);
    grid->addWidget(new QLabel(columnTitles[2]), 0, 3);
    // A table of fields: each is named by its row's pair and its column's title.
    auto named = [](const QString& a, const QString& b) {
        return QString::fromStdString(FormatString(kStrSpeechCaption, {a.toStdString(), b.toStdString()}));
    };
    for (int k = 1; k <= kPairCount; ++k) {
        Row& row = rows_[index(k)];
        const PairEntry& p = pairs_[index(k)];
        const int groupId = kFirstControl + 3 * (k - 1);

        row.group = makeCombo(groupId, groups);
        row.group->setFont(SignalingFixedFont());
        row.groupPosition = custom() ? (p.group != 0 ? 1 : 0) : p.group;
        row.group->setCurrentIndex(row.groupPosition);
        if (p.group != 0) row.value = {p.first, p.second};

        auto* label = new QLabel(QStringLiteral(" &%1").arg(k));
        label->setBuddy(row.group);
        const QString pair = named(columnTitles[0], QString::number(k));
        row.group->setAccessibleName(pair);
        grid->addWidget(label, k, 0);
        grid->addWidget(row.group, k, 1);
        for (int t = 0; t < 2; ++t) {
            const int id = groupId + 1 + t;
            auto* box = new ToneBox(this);
            box->setObjectName(ControlName(id));
            box->setAccessibleName(named(pair, columnTitles[1 + t]));
            box->setAccessibleDescription(HelpDescription(id));
            box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("MMMMMMMMMMM")));
            connect(box, &ToneBox::focusEntered, this, [this, id] { ShowHelpLine(id); });
            connect(box, &ToneBox::browseRequested, this, [this, k, t] { browse(k, t); });
            row.tone[static_cast<std::size_t>(t)] = box;
            grid->addWidget(box, k, 2 + t);
        }
        showRow(k);
    }
    body()->addLayout(grid);
}

QString TwoToneTableDialog::toneText(const Row& row, int tone) const {
    const int value = row.value[static_cast<std::size_t>(tone)];
    // Codes or indexes without a tone (only from a foreign image) show "???", never beyond the table.
    if (custom()) return TableText(TwoToneCodeText(value));
    return TableText(TwoToneIndexText(row.groupPosition, value));
}

void TwoToneTableDialog::showRow(int pair) {
    Row& row = rows_[index(pair)];
    const bool on = row.groupPosition > 0;
    for (int t = 0; t < 2; ++t) {
        ToneBox* box = row.tone[static_cast<std::size_t>(t)];
        box->setText(on ? toneText(row, t) : QString());
        box->setAvailable(on);
    }
}

PairEntry TwoToneTableDialog::pendingPair(int pair) const {
    const Row& row = rows_[index(pair)];
    if (row.groupPosition <= 0) return {};
    return {custom() ? kCustomGroup : row.groupPosition, row.value[0], row.value[1]};
}

void TwoToneTableDialog::SelectionChanged(int id, int position) {
    const int offset = id - kFirstControl;
    if (offset < 0 || offset % 3 != 0 || offset / 3 >= kPairCount || position < 0) return;
    const int pair = offset / 3 + 1;
    Row& row = rows_[index(pair)];
    // Picking the group already shown keeps the pair's tones.
    if (position == row.groupPosition) return;
    row.groupPosition = position;
    // A new group starts on its first entry; in the custom list that is code 0.
    row.value = {0, 0};
    showRow(pair);
}

std::optional<TwoToneTableDialog::ToneChoice> TwoToneTableDialog::runBrowser(int mode, int pair, int tone,
                                                                             int position) {
    if (browser_) return browser_(mode, pair, tone, position);
    TwoToneBrowserDialog dialog(mode, pair, tone == 0 ? TwoToneBrowserDialog::First : TwoToneBrowserDialog::Second,
                                position, this);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenPosition() < 0) return std::nullopt;
    return ToneChoice{dialog.chosenPosition(), dialog.chosenText()};
}

void TwoToneTableDialog::browse(int pair, int tone) {
    if (pair < 1 || pair > kPairCount || tone < 0 || tone > 1) return;
    Row& row = rows_[index(pair)];
    if (row.groupPosition <= 0) return;
    const std::size_t t = static_cast<std::size_t>(tone);
    const int mode = custom() ? kCustomGroup : row.groupPosition;
    const int position = custom() ? CodeToCustomPosition(row.value[t]) : row.value[t];
    const auto choice = runBrowser(mode, pair, tone, position);
    if (!choice || choice->position < 0) return;
    if (custom()) {
        const int code = CustomPositionToCode(choice->position);
        if (code < 0) return;
        row.value[t] = code;
    } else {
        if (choice->position >= TwoToneGroupInfo(row.groupPosition).offered) return;
        row.value[t] = choice->position;
    }
    row.tone[t]->setText(toneText(row, tone));
}

void TwoToneTableDialog::StoreOnOk() {
    PairEntries out{};
    for (int k = 1; k <= kPairCount; ++k) {
        const PairEntry& old = pairs_[index(k)];
        const PairEntry now = pendingPair(k);
        // Off and on, the group, and the tones: any difference is an edit.
        if (now != old) doc_.SetModifiedFlag();
        out[index(k)] = now;
        if (now.group == 0) {
            // No channel may keep calling a pair that is off.
            if (doc_.Model().channels.ClearPairReferences(k, doc_.Image()) > 0) doc_.SetModifiedFlag();
        }
    }
    pairs_ = out;
    EncodePairs(doc_.Image(), pairs_, format_);
}

}  // namespace rt62
