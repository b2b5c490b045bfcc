#include "gui/dialogs/signaling_tone_browser.h"
#include "gui/common/qt_prompter.h"

#include "gui/dialogs/param_dialog.h"
#include "gui/dialogs/signaling_values.h"
#include "core/image/twotone.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace rt62 {

QStringList TwoToneBrowserDialog::Items(int mode) {
    QStringList items;
    if (mode == kCustomGroup) {
        for (int p = 0; p < kCustomListSize; ++p) items << TableText(TwoToneCodeText(CustomPositionToCode(p)));
    } else if (mode >= 1 && mode <= kTwoToneGroupCount) {
        // Entries without a tone are never offered; they only ever trail a group.
        const TwoToneGroup& g = TwoToneGroupInfo(mode);
        for (int i = 0; i < g.offered; ++i) items << TableText(TwoToneIndexText(mode, i));
    }
    return items;
}

QString TwoToneBrowserDialog::Title(int mode, int pair, Tone tone) {
    // "Pair#%1 1st Tone %2", "Pair#%1 2nd Tone %2"
    return TableText(tone == First ? 5106 : 5107,
                     {std::to_string(pair), TableText(TwoToneGroupText(mode)).toStdString()});
}

TwoToneBrowserDialog::TwoToneBrowserDialog(int mode, int pair, Tone tone, int position, QWidget* parent)
    : QDialog(parent), mode_(mode) {
    setObjectName(QStringLiteral("dlg%1").arg(kResourceId));
    setModal(true);
    setWindowTitle(Title(mode, pair, tone));

    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setObjectName(ControlName(kListId));
    list_->setAccessibleName(windowTitle()); // the list has no label: the title says what it picks
    list_->setFont(SignalingFixedFont());
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->addItems(Items(mode));
    layout->addWidget(list_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(TableText(kStrOk), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(TableText(5012), QDialogButtonBox::RejectRole);
    ok->setObjectName(ControlName(kIdOk));
    cancel->setObjectName(ControlName(kIdCancel));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TwoToneBrowserDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TwoToneBrowserDialog::reject);
    layout->addWidget(buttons);

    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });

    if (position >= 0 && position < list_->count()) {
        list_->setCurrentRow(position);
        list_->scrollToItem(list_->item(position), QAbstractItemView::PositionAtCenter);
    } else {
        list_->setCurrentRow(-1);
        list_->clearSelection();
    }
    list_->setFocus();

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [this] {
        if (ParamDialog::HelpHook()) ParamDialog::HelpHook()(helpTopic());
    });
}

void TwoToneBrowserDialog::accept() {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) {
        chosen_ = -1;
        chosenText_.clear();
    } else {
        chosen_ = list_->row(selected.front());
        chosenText_ = selected.front()->text();
    }
    QDialog::accept();
}

}  // namespace rt62
