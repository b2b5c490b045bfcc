// The main window's steps around an Upload or Download: the worker reads and writes a copy of the
// image behind the modal progress dialog; the document is touched only before and after it.
#include "gui/link/transfer.h"
#include "gui/common/file_paths.h"

#include "gui/common/app_settings.h"
#include "gui/common/qt_prompter.h"
#include "gui/editor/form_view.h"
#include "core/image/document.h"
#include "core/image/model.h"
#include "core/link/radio_backup.h"
#include "gui/link/transfer_dialog.h"
#include "core/link/transfer_job.h"

#include <QThread>

#include <ctime>

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

TransferResult ToResult(JobStatus status) {
    switch (status) {
    case JobStatus::Completed: return TransferResult::Completed;
    case JobStatus::Declined: return TransferResult::Declined;
    case JobStatus::Cancelled: return TransferResult::Cancelled;
    case JobStatus::Failed: break;
    }
    return TransferResult::Failed;
}

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

// readInto: an Upload that only reads, for a comparison.
TransferResult RunTransfer(TransferKind kind, TransferContext& ctx, RadioImage* readInto = nullptr) {
    CRT62MDoc& doc = ctx.doc;
    const bool portPerTransfer = ctx.settings.portType == 1;

    // The interface needs its own port for each transfer; a direct cable uses the application's port,
    // made here if start-up could not make one.
    if (portPerTransfer || !ctx.port)
        ctx.port = CreateSerialPort(ctx.settings.portName().toStdString());

    NormalizeImage(doc.Model());

    TransferResult result = TransferResult::Failed;
    if (!ctx.port) {
        // The configured name is not a port at all: the same message as a port that will not open.
        ShowMessage(ctx.prompter, kStrPortProblem, Buttons::Ok, Icon::Stop);
    } else {
        SerialPort& port = *ctx.port;
        const RadioImage current = doc.Image();
        // A read for a comparison replaces nothing of the document, so there is nothing to confirm.
        const bool modified = doc.IsModified() && !readInto;
        DownloadOptions options;
        options.serviceMode = ctx.settings.serviceMode;
        options.marketingChanged = doc.IsMarketingChanged();
        // The backup carries the document's Default Split, so opening it gives back this document's image.
        const BackupSettings backup{true, NativePath(ctx.settings.backupFolder), doc.TrailerBytes()};

        CancelToken cancel;
        UploadJobResult upload;
        DownloadJobResult download;
        std::unique_ptr<DialogProgress> progress;
        std::unique_ptr<GuiThreadPrompter> prompter;

        TransferDialog dialog(
            kind,
            [&] {
                JobEnvironment env{cancel, *progress, *prompter};
                env.onRadioImage = [&](const RadioImage& read) {
                    return BackUpRadioImage(*prompter, backup, read, std::time(nullptr));
                };
                if (kind == TransferKind::Upload)
                    upload = RunUploadJob(port, env, current, modified);
                else
                    download = RunDownloadJob(port, env, current, options);
            },
            [&cancel] { cancel.Request(); }, ctx.parent);
        // The worker starts only when the dialog is shown, so these are in place before it runs.
        progress = std::make_unique<DialogProgress>(dialog);
        prompter = std::make_unique<GuiThreadPrompter>(ctx.prompter, dialog);
        {
            ParentOverride over(ctx.prompter, &dialog);
            dialog.exec();
        }

        // The worker has ended: only now does the document take over what it brought back.
        if (kind == TransferKind::Upload) {
            result = ToResult(upload.status);
            if (upload.status == JobStatus::Completed && upload.image && readInto) {
                *readInto = *upload.image;
            } else if (upload.status == JobStatus::Completed && upload.image) {
                // The path becomes "<none>" only because the image really came from the radio.
                doc.TakeUploadedImage(*upload.image);
                doc.SetModifiedFlag(false);
            }
        } else {
            result = ToResult(download.status);
            if (download.image)
                doc.Image() = *download.image;
            if (download.clearMarketingMark)
                doc.SetMarketingChanged(false);
        }
    }

    DecodeImage(doc.Model());
    // An Upload brings new contents; a Download leaves the channels as they were, and the user where
    // they were in the grid.
    if (ctx.view) {
        if (kind == TransferKind::Upload)
            ctx.view->FullRefresh();
        else
            ctx.view->RebuildGrid();
    }
    if (portPerTransfer)
        ctx.port.reset();
    return result;
}

}  // namespace

TransferResult RunUpload(TransferContext& ctx) { return RunTransfer(TransferKind::Upload, ctx); }
TransferResult RunDownload(TransferContext& ctx) { return RunTransfer(TransferKind::Download, ctx); }
TransferResult ReadRadioImage(TransferContext& ctx, RadioImage& image) {
    return RunTransfer(TransferKind::Upload, ctx, &image);
}

}  // namespace rt62
