// The modal "Access Gauge" dialog: status line, progress bar and Cancel while a worker thread transfers.
#pragma once

#include <QDialog>

#include <functional>

#include "core/app/transfer.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QThread;

namespace rt62 {

class TransferDialog : public QDialog {
    Q_OBJECT
public:
    // `work` runs on a worker thread as soon as the dialog is shown; when it returns the dialog closes
    // with Accepted. `requestCancel` is called on the GUI thread for Cancel, Escape or a close request;
    // the dialog then waits for `work` to return (keeping the event loop running, so message boxes of
    // the worker stay usable) and closes with Rejected.
    TransferDialog(TransferKind kind, std::function<void()> work, std::function<void()> requestCancel,
                   QWidget* parent = nullptr);
    ~TransferDialog() override;

    TransferKind kind() const { return kind_; }
    bool cancelRequested() const { return cancelling_; }

    QProgressBar* progressBar() const { return bar_; }
    QLabel* statusLine() const { return status_; }
    QPushButton* cancelButton() const { return cancel_; }

    // Safe to call from any thread: the change is queued to the dialog.
    void postRange(int maximum);
    void postPosition(int position);
    void postStatus(int stringId);
    void postTitle(int stringId);

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void applyStatus(const QString& text);
    void applyRange(int maximum);
    void applyPosition(int position);
    void waitForWorker();

    TransferKind kind_;
    std::function<void()> work_;
    std::function<void()> requestCancel_;
    QThread* thread_ = nullptr;
    bool started_ = false;
    bool cancelling_ = false;
    QLabel* status_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace rt62
