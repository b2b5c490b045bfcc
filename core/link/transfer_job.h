// Upload and Download as whole jobs: open the link, run the protocol on a copy, say what to take over.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "core/image/prompter.h"
#include "core/image/radio_image.h"
#include "core/link/clone_protocol.h"
#include "core/link/serial_port.h"

namespace rt62 {

// A job may run on a worker thread: it touches nothing but its arguments, and reports through the
// sink and the prompter (which the caller marshals to its own thread when it must).
struct JobEnvironment {
    CancelToken& cancel;
    ProgressSink& progress;
    Prompter& prompter;
    std::chrono::milliseconds giveUpAfter{0}; // zero: wait for the radio without limit
    // Sees every image read from the radio first: the upload's, and the download's verifying read.
    RadioImageHook onRadioImage = {};
};

enum class JobStatus {
    Completed, // the image went over
    Failed,    // the port or the protocol failed; the message was shown
    Declined,  // upload: "Overwrite original data" answered No
    Cancelled, // cancel request; no message
};

struct UploadJobResult {
    JobStatus status = JobStatus::Failed;
    std::optional<RadioImage> image; // the radio's image, to become the document's (modified flag cleared)
};

struct DownloadJobResult {
    JobStatus status = JobStatus::Failed;
    // The image after the merge of the radio's bytes. Present whenever the merge happened, also when
    // the write failed or was cancelled afterwards: the document keeps it either way.
    std::optional<RadioImage> image;
    // True when the edited marketing data reached the radio: the document's marketing-changed mark
    // is then cleared. A failed write keeps the mark, so the edit is not lost to the next download.
    bool clearMarketingMark = false;
};

// The question before an uploaded image replaces a modified document; true when it may.
bool ConfirmOverwrite(Prompter& prompter, bool documentModified);

// Where an uploaded image is kept before the upload counts as done (a data file, for the command
// line); false when it could not be kept, after it has shown why.
using KeepUploadedImage = std::function<bool(const RadioImage&)>;

// Opens the link if needed, reads the radio's image, asks ConfirmOverwrite, keeps the image (when
// keep is given; Failed, without the completion message, when that fails) and reports
// "Upload is completed". current only seeds the scratch buffer.
UploadJobResult RunUploadJob(SerialPort& port, const JobEnvironment& env, const RadioImage& current,
                             bool documentModified, const KeepUploadedImage& keep = {});

// Opens the link if needed and runs the Download on a copy of current; "Download is completed".
DownloadJobResult RunDownloadJob(SerialPort& port, const JobEnvironment& env, const RadioImage& current,
                                 const DownloadOptions& options);

} // namespace rt62
