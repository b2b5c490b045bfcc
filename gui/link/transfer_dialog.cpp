// The progress dialog of a transfer and the worker thread it owns.
#include "gui/link/transfer_dialog.h"

#include "gui/common/qt_prompter.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace rt62 {

TransferDialog::TransferDialog(TransferKind kind, std::function<void()> work, std::function<void()> requestCancel,
                               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      kind_(kind),
      work_(std::move(work)),
      requestCancel_(std::move(requestCancel)) {
    setWindowTitle(TableText(4983));
    setModal(true);

    status_ = new QLabel(this);
    status_->setMinimumWidth(status_->fontMetrics().averageCharWidth() * 52);
    bar_ = new QProgressBar(this);
    bar_->setTextVisible(false);
    bar_->setVisible(false);  // appears with the first range, as the worker announces its work
    // Read as "Access Gauge" (later the transfer's title) with its value; the status line is the
    // dialog's description and is announced as it changes.
    bar_->setAccessibleName(windowTitle());
    status_->setObjectName(QStringLiteral("statusLine"));
    cancel_ = new QPushButton(TableText(kStrCancel), this);
    cancel_->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addSpacing(12);
    layout->addWidget(bar_);
    layout->addWidget(cancel_, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cancel_, &QPushButton::clicked, this, &TransferDialog::reject);

    thread_ = QThread::create([this] {
        if (work_)
            work_();
    });
    connect(thread_, &QThread::finished, this, [this] {
        if (!cancelling_)
            accept();
    });
}

TransferDialog::~TransferDialog() {
    // No worker outlives its dialog, whatever way the dialog went.
    if (thread_->isRunning()) {
        cancelling_ = true;
        if (requestCancel_)
            requestCancel_();
        thread_->wait();
    }
    delete thread_;
}

void TransferDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        thread_->start();
    }
}

void TransferDialog::postRange(int maximum) {
    QMetaObject::invokeMethod(this, [this, maximum] { applyRange(maximum); }, Qt::QueuedConnection);
}

void TransferDialog::postPosition(int position) {
    QMetaObject::invokeMethod(this, [this, position] { applyPosition(position); }, Qt::QueuedConnection);
}

void TransferDialog::postStatus(int stringId) {
    QMetaObject::invokeMethod(this, [this, stringId] { applyStatus(TableText(stringId, {""})); },
                              Qt::QueuedConnection);
}

void TransferDialog::postTitle(int stringId) {
    QMetaObject::invokeMethod(this,
                              [this, stringId] {
                                  setWindowTitle(TableText(stringId, {""}));
                                  bar_->setAccessibleName(windowTitle());
                              },
                              Qt::QueuedConnection);
}

void TransferDialog::applyStatus(const QString& text) {
    status_->setText(text);
    setAccessibleDescription(text);
    bar_->setAccessibleDescription(text);
    // A screen reader speaks a changed status line even while the focus stays on Cancel.
    if (QAccessible::isActive()) {
        QAccessibleEvent event(status_, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void TransferDialog::applyRange(int maximum) {
    bar_->setRange(0, maximum);
    bar_->setValue(0);
    bar_->setVisible(true);
}

void TransferDialog::applyPosition(int position) {
    // After a restart the count runs past the range: the bar then stays full instead of ignoring it.
    bar_->setValue(std::clamp(position, bar_->minimum(), bar_->maximum()));
}

void TransferDialog::reject() {
    if (cancelling_)
        return;
    if (!started_ || !thread_->isRunning()) {
        if (started_ && thread_->isFinished())
            return;  // the worker's end has already been queued as Accepted
        QDialog::reject();
        return;
    }
    cancelling_ = true;
    cancel_->setEnabled(false);
    if (requestCancel_)
        requestCancel_();
    waitForWorker();
    QDialog::reject();
}

void TransferDialog::closeEvent(QCloseEvent* event) {
    // Closing the window means Cancel; the worker is always waited for.
    event->ignore();
    reject();
}

void TransferDialog::waitForWorker() {
    if (thread_->isFinished())
        return;
    QEventLoop loop;
    connect(thread_, &QThread::finished, &loop, &QEventLoop::quit);
    if (thread_->isRunning())
        loop.exec();
}

}  // namespace rt62
