// Pick-list dialogs over the grid's pick-list rules.
#include "gui/editor/pick_list_dialogs.h"
#include "gui/common/qt_prompter.h"

#include <algorithm>

#include "gui/common/help_window.h"
#include "core/image/fields.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace rt62 {

namespace {

constexpr int kValueListId = 1193;
constexpr int kToneListId = 1064;
constexpr int kValueColumnWidth = 85;
constexpr int kCtcssColumnWidth = 100;
constexpr int kDcsColumnWidth = 50;
constexpr int kHelpColumnBase = 300;

} // namespace

// ---------------- dialogs ----------------

PickListDialog::PickListDialog(const std::string& title, const PickList& content, int columnWidth, int listId,
                               int helpTopic, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QString::fromStdString(title));

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("list%1").arg(listId));
    list_->setAccessibleName(windowTitle()); // until setSubject says which cell it picks for
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Several columns: items run down a column and continue in the next one.
    list_->setFlow(QListView::TopToBottom);
    list_->setWrapping(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setUniformItemSizes(true);
    // The columns are as wide as the design asks, or as the longest item needs in a larger font.
    const QFontMetrics fm = list_->fontMetrics();
    const int rowHeight = fm.height() + 2;
    for (const std::string& item : content.items) {
        const QString text = QString::fromStdString(item);
        list_->addItem(text);
        columnWidth = std::max(columnWidth, fm.horizontalAdvance(text) + 2 * fm.averageCharWidth() + 8);
    }
    list_->setGridSize(QSize(columnWidth, rowHeight));
    if (content.selected >= 0 && content.selected < list_->count()) {
        list_->setCurrentRow(content.selected);
        list_->scrollToItem(list_->currentItem());
    }
    list_->setMinimumSize(columnWidth * 4 + 4, rowHeight * 8 + 4);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(TableText(kStrOk), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("okButton"));
    ok_->setDefault(true);
    QPushButton* cancel = buttons->addButton(TableText(kStrCancel), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);

    InstallHelpKey(this, helpTopic);
    list_->setFocus();
}

void PickListDialog::setSubject(const QString& subject) {
    list_->setAccessibleName(subject);
    list_->setAccessibleDescription(windowTitle());
}

int PickListDialog::selectedPosition() const {
    const QModelIndexList selected = list_->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
}

ValueListDialog::ValueListDialog(int mode, int current, const PagesInUse& pages, const PairsOn& pairs,
                                 QWidget* parent)
    : PickListDialog(ValueListTitle(mode), ValueListItems(mode, current, pages, pairs), kValueColumnWidth,
                     kValueListId, kHelpColumnBase + mode, parent),
      mode_(mode), items_(ValueListItems(mode, current, pages, pairs).items) {}

int ValueListDialog::value() const {
    return ValueOfListPosition(mode_, items_, selectedPosition());
}

ToneListDialog::ToneListDialog(bool dcs, int column, int currentIndex, int firmwareVersion, QWidget* parent)
    : PickListDialog(ToneListTitle(dcs), ToneListItems(dcs, firmwareVersion, currentIndex),
                     dcs ? kDcsColumnWidth : kCtcssColumnWidth, kToneListId, kHelpColumnBase + column,
                     parent),
      dcs_(dcs), firmware_(firmwareVersion) {}

std::optional<int> ToneListDialog::index() const {
    const int position = selectedPosition();
    if (position < 0) return std::nullopt;
    const int index = ToneIndexOfPosition(dcs_, firmware_, position);
    return index < 0 ? std::nullopt : std::optional<int>(index);
}

std::optional<int> RunValueList(QWidget* parent, const ImageModel& model, int mode, int current,
                                const QString& subject) {
    ValueListDialog dialog(mode, current, PagesInUseOf(model), PairsOnOf(model), parent);
    if (!subject.isEmpty()) dialog.setSubject(subject);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.value();
}

std::optional<int> RunToneList(QWidget* parent, const ImageModel& model, int column, bool dcs,
                               int currentIndex, const QString& subject) {
    ToneListDialog dialog(dcs, column, currentIndex, ReadFirmwareVersion(model.image), parent);
    if (!subject.isEmpty()) dialog.setSubject(subject);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.index();
}

} // namespace rt62
