// A transfer as three steps: the session prepares it, a job runs it (on a worker thread, inline, or
// wherever a front-end runs work), and the session finishes it by taking over what the job brought.
#pragma once

#include <chrono>
#include <optional>

#include "core/app/refresh.h"
#include "core/image/prompter.h"
#include "core/image/radio_image.h"
#include "core/link/radio_backup.h"
#include "core/link/transfer_job.h"

namespace rt62 {

class SerialPort;

enum class TransferKind {
    Upload = 0,
    Download = 1,
    ReadRadio = 2, // an Upload for a comparison: the document keeps its own image
};

// Everything the job needs, copied from the session: the job touches nothing else.
struct Transfer {
    TransferKind kind = TransferKind::Upload;
    SerialPort* port = nullptr; // null: there is no port (the message was shown); nothing to run
    RadioImage current{};       // the document's image, normalized
    bool documentModified = false;
    DownloadOptions options;
    BackupSettings backup;
    std::chrono::milliseconds giveUpAfter{0};
    // Upload: where the image is kept before the upload counts as done (rt62m's output file).
    KeepUploadedImage keep;

    bool Ready() const { return port != nullptr; }
};

// What the job brought back.
struct JobOutcome {
    JobStatus status = JobStatus::Failed;
    std::optional<RadioImage> image; // Upload: the radio's image; Download: the image after the merge
    bool clearMarketingMark = false;
};

// Runs the prepared transfer: every image read from the radio goes to the backups first. Messages and
// questions go to prompter, progress to progress; cancel stops it.
JobOutcome RunTransferJob(const Transfer& transfer, CancelToken& cancel, ProgressSink& progress,
                          Prompter& prompter);

// How the transfer ended, and what the views must show again.
struct TransferEnd {
    JobStatus status = JobStatus::Failed;
    RefreshKind refresh = RefreshKind::None;
    std::optional<RadioImage> radioImage; // ReadRadio, completed: what the radio holds
};

} // namespace rt62
