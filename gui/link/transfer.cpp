// The window's steps around a transfer: the worker reads and writes a copy of the image behind the
// modal progress dialog; the session's document is touched only before and after it.
#include "gui/link/transfer.h"

#include "core/app/session.h"
#include "gui/common/qt_prompter.h"
#include "gui/link/transfer_dialog.h"

#include <QThread>

namespace rt62 {

Answer GuiThreadPrompter::show(int stringId, Buttons buttons, Icon icon, const std::vector<std::string>& args) {
    if (QThread::currentThread() == gui_.thread())
        return target_.show(stringId, buttons, icon, args);
    Answer answer = Answer::Cancel;
    QMetaObject::invokeMethod(
        &gui_, [&] { answer = target_.show(stringId, buttons, icon, args); }, Qt::BlockingQueuedConnection);
    return answer;
}

namespace {

// Progress of the worker, queued to the dialog.
class DialogProgress : public ProgressSink {
public:
    explicit DialogProgress(TransferDialog& dialog) : dialog_(dialog) {}
    void SetRange(int maximum) override { dialog_.postRange(maximum); }
    void SetPosition(int position) override { dialog_.postPosition(position); }
    // The dialog's status texts have their placeholder emptied ("Retry %1" shows as "Retry ").
    void SetStatus(int stringId, const std::vector<std::string>&) override { dialog_.postStatus(stringId); }
    void SetTitle(int stringId) override { dialog_.postTitle(stringId); }

private:
    TransferDialog& dialog_;
};

// Message boxes of a window prompter go over the progress dialog while it is open.
class ParentOverride {
public:
    ParentOverride(Prompter& prompter, QWidget* parent) : qt_(dynamic_cast<QtPrompter*>(&prompter)) {
        if (qt_) {
            saved_ = qt_->parent();
            qt_->setParent(parent);
        }
    }
    ~ParentOverride() {
        if (qt_)
            qt_->setParent(saved_);
    }
    ParentOverride(const ParentOverride&) = delete;
    ParentOverride& operator=(const ParentOverride&) = delete;

private:
    QtPrompter* qt_;
    QWidget* saved_ = nullptr;
};

}  // namespace

TransferEnd RunTransfer(TransferKind kind, Session& session, Prompter& prompter, QWidget* parent) {
    const Transfer transfer = session.PrepareTransfer(kind);
    JobOutcome job;
    if (transfer.Ready()) {
        CancelToken cancel;
        std::unique_ptr<DialogProgress> progress;
        std::unique_ptr<GuiThreadPrompter> workerPrompter;
        TransferDialog dialog(
            kind, [&] { job = RunTransferJob(transfer, cancel, *progress, *workerPrompter); },
            [&cancel] { cancel.Request(); }, parent);
        // The worker starts only when the dialog is shown, so these are in place before it runs.
        progress = std::make_unique<DialogProgress>(dialog);
        workerPrompter = std::make_unique<GuiThreadPrompter>(prompter, dialog);
        ParentOverride over(prompter, &dialog);
        dialog.exec();
    }
    return session.FinishTransfer(transfer, job);
}

}  // namespace rt62
