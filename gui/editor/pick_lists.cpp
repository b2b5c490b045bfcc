// Pick-list dialogs and their item rules.
#include "gui/editor/pick_lists.h"

#include <algorithm>

#include "gui/common/help_window.h"
#include "gui/editor/cell_paste.h"
#include "core/image/fields.h"
#include "core/image/tones.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace rt62 {

namespace {

constexpr int kValueListId = 1193;
constexpr int kToneListId = 1064;
constexpr int kValueColumnWidth = 85;
constexpr int kCtcssColumnWidth = 100;
constexpr int kDcsColumnWidth = 50;
constexpr int kHelpColumnBase = 300;
constexpr int kHighestSquelchItem = 12;

std::string Decimal(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", v);
    return buf;
}

// How many DCS codes the radio's firmware knows: without "224" before 2.08.
int DcsListSize(int firmwareVersion) {
    return firmwareVersion >= kFirmwareWithDcs224 ? kDcsCount : kDcsCount - 1;
}

} // namespace

std::string ValueListTitle(int mode) {
    switch (mode) {
    case kValueModeSquelch:
        return "Squelch Level";
    case kValueModePage:
        return "Paging Code";
    case kValueModePair:
        return "Primary Pair Position";
    default:
        return {};
    }
}

PickList ValueListItems(int mode, int current, const PagesInUse& pages, const PairsOn& pairs) {
    PickList list;
    if (mode == kValueModeSquelch) {
        for (int level = 0; level <= kHighestSquelchItem; ++level)
            list.items.push_back(Decimal(level));
        if (current >= 0 && current <= kHighestSquelchItem) list.selected = current;
        return list;
    }
    if (mode != kValueModePage && mode != kValueModePair) return list;

    // A number whose code or pair is empty selects the nearest lower item in use, or "Off".
    list.items.push_back("Off");
    if (current == 0) list.selected = 0;
    const int count =
        mode == kValueModePage ? static_cast<int>(pages.size()) : static_cast<int>(pairs.size());
    for (int k = 1; k <= count; ++k) {
        const bool used = mode == kValueModePage ? pages[static_cast<std::size_t>(k - 1)]
                                                 : pairs[static_cast<std::size_t>(k - 1)];
        if (used) list.items.push_back(mode == kValueModePage ? Decimal(k) : "Pair #" + Decimal(k));
        if (k == current) list.selected = static_cast<int>(list.items.size()) - 1;
    }
    return list;
}

int ValueOfListPosition(int mode, const std::vector<std::string>& items, int position) {
    if (position < 0 || position >= static_cast<int>(items.size())) position = 0;
    if (mode == kValueModeSquelch) return position;
    if (position == 0) return 0;
    const std::string& text = items[static_cast<std::size_t>(position)];
    // "Pair #3": the number is the two characters from the seventh on.
    if (mode == kValueModePair) return text.size() > 6 ? ReadWholeNumber(text.substr(6, 2)) : 0;
    return ReadWholeNumber(text);
}

std::string ToneListTitle(bool dcs) {
    return dcs ? "DCS Frequency" : "CTCSS Frequency";
}

int TonePositionOfIndex(bool dcs, int firmwareVersion, int index) {
    if (!dcs) return index >= 0 && index < kCtcssCount ? index : -1;
    if (index < 0 || index >= kDcsCount) return -1;
    if (firmwareVersion < kFirmwareWithDcs224) return index < DcsListSize(firmwareVersion) ? index : -1;
    if (index == kDcsCount - 1) return kDcs224Position;
    return index < kDcs224Position ? index : index + 1;
}

int ToneIndexOfPosition(bool dcs, int firmwareVersion, int position) {
    if (!dcs) return position >= 0 && position < kCtcssCount ? position : -1;
    if (position < 0 || position >= DcsListSize(firmwareVersion)) return -1;
    if (firmwareVersion < kFirmwareWithDcs224 || position < kDcs224Position) return position;
    return position == kDcs224Position ? kDcsCount - 1 : position - 1;
}

PickList ToneListItems(bool dcs, int firmwareVersion, int currentIndex) {
    PickList list;
    const int size = dcs ? DcsListSize(firmwareVersion) : kCtcssCount;
    for (int p = 0; p < size; ++p) {
        const int index = ToneIndexOfPosition(dcs, firmwareVersion, p);
        list.items.emplace_back(dcs ? DcsText(index) : CtcssText(index));
    }
    list.selected = TonePositionOfIndex(dcs, firmwareVersion, currentIndex);
    return list;
}

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
    ok_ = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("okButton"));
    ok_->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
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
    PagesInUse pages{};
    PairsOn pairs{};
    for (int k = 1; k <= static_cast<int>(pages.size()); ++k)
        pages[static_cast<std::size_t>(k - 1)] = PageCodeInUse(model.image, k);
    for (int k = 1; k <= static_cast<int>(pairs.size()); ++k)
        pairs[static_cast<std::size_t>(k - 1)] = TwoTonePairOn(model.image, model.twoToneFormat, k);
    ValueListDialog dialog(mode, current, pages, pairs, parent);
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
