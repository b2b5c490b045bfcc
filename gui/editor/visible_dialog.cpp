// The "Visible" dialog.
#include "gui/editor/visible_dialog.h"
#include "gui/common/qt_prompter.h"

#include "gui/common/help_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace rt62 {

namespace {

// The check boxes' texts (string ids), in item order.
constexpr std::array<int, kColumnItemCount> kCheckTexts = {5108, 5109, 5110, 5111, 5112, 5113, 5114, 5115,
                                                           5116, 5117, 5118, 5119, 5120, 5121, 5122};
constexpr int kLeftColumnItems = 8; // items 0-7 on the left, 8-14 on the right

} // namespace

VisibleDialog::VisibleDialog(std::array<int, kColumnItemCount>& items, QWidget* parent)
    : QDialog(parent), items_(items) {
    setWindowTitle(TableText(4975));
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));

    auto* frame = new QGroupBox(this);
    auto* grid = new QGridLayout(frame);
    for (int i = 0; i < kColumnItemCount; ++i) {
        auto* box = new QCheckBox(TableText(kCheckTexts[static_cast<std::size_t>(i)]), frame);
        box->setObjectName(QStringLiteral("check%1").arg(kFirstCheckId + i));
        // The menu shows any non-zero value as checked; the box agrees with it.
        box->setChecked(items_[static_cast<std::size_t>(i)] != 0);
        checks_[static_cast<std::size_t>(i)] = box;
        grid->addWidget(box, i % kLeftColumnItems, i / kLeftColumnItems);
    }

    ok_ = new QPushButton(TableText(kStrOk), this);
    ok_->setObjectName(QStringLiteral("okButton"));
    cancel_ = new QPushButton(TableText(kStrCancel), this);
    cancel_->setObjectName(QStringLiteral("cancelButton"));
    // No default button: Enter on a check box switches that box instead of closing.
    ok_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &VisibleDialog::onOk);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    InstallHelpKey(this, kHelpDialogBase + kDialogId);
    checks_[0]->setFocus();
}

void VisibleDialog::onOk() {
    for (int i = 0; i < kColumnItemCount; ++i)
        items_[static_cast<std::size_t>(i)] = checks_[static_cast<std::size_t>(i)]->isChecked() ? 1 : 0;
    accept();
}

void VisibleDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    QWidget* focus = focusWidget();
    if (auto* box = qobject_cast<QCheckBox*>(focus)) {
        box->toggle();
        return;
    }
    if (focus == ok_)
        onOk();
    else if (focus == cancel_)
        reject();
}

bool RunVisibleDialog(AppSettings& settings, QWidget* parent) {
    VisibleDialog dialog(settings.items, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace rt62
