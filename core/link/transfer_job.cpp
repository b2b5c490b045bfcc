#include "core/link/transfer_job.h"

namespace rt62 {
namespace {

JobStatus StatusOf(LinkResult r) {
    switch (r) {
    case LinkResult::Ok:
        return JobStatus::Completed;
    case LinkResult::Cancelled:
        return JobStatus::Cancelled;
    case LinkResult::Failed:
        break;
    }
    return JobStatus::Failed;
}

} // namespace

bool ConfirmOverwrite(Prompter& prompter, bool documentModified) {
    if (!documentModified) return true;
    return prompter.show(kStrOverwrite, Buttons::YesNo, Icon::Question) == Answer::Yes;
}

UploadJobResult RunUploadJob(SerialPort& port, const JobEnvironment& env, const RadioImage& current,
                             bool documentModified, const KeepUploadedImage& keep) {
    UploadJobResult result;
    if (!OpenCloneLink(port)) {
        ShowPortProblem(env.prompter, &port);
        return result;
    }
    env.progress.SetTitle(kStrUploadTitle);
    env.progress.SetRange(kUploadSteps);
    RadioImage scratch = current;
    CloneSession session(port, env.cancel, env.progress, env.prompter);
    session.SetGiveUpAfter(env.giveUpAfter);
    result.status = StatusOf(session.UploadImage(scratch));
    if (result.status != JobStatus::Completed) return result;
    if (env.onRadioImage && !env.onRadioImage(scratch)) {
        result.status = JobStatus::Cancelled;
        return result;
    }
    if (!ConfirmOverwrite(env.prompter, documentModified)) {
        result.status = JobStatus::Declined;
        return result;
    }
    // "Upload is completed" only once the image is safe where it goes.
    if (keep && !keep(scratch)) {
        result.status = JobStatus::Failed;
        return result;
    }
    result.image = scratch;
    env.prompter.show(kStrUploadDone, Buttons::Ok, Icon::Information);
    return result;
}

DownloadJobResult RunDownloadJob(SerialPort& port, const JobEnvironment& env, const RadioImage& current,
                                 const DownloadOptions& options) {
    DownloadJobResult result;
    if (!OpenCloneLink(port)) {
        ShowPortProblem(env.prompter, &port);
        return result;
    }
    env.progress.SetTitle(kStrDownloadTitle);
    env.progress.SetRange(kDownloadSteps);
    RadioImage image = current;
    RadioImage scratch = current;
    CloneSession session(port, env.cancel, env.progress, env.prompter);
    session.SetGiveUpAfter(env.giveUpAfter);
    DownloadState state;
    DownloadOptions withHook = options;
    if (!withHook.radioImageRead) withHook.radioImageRead = env.onRadioImage;
    result.status = StatusOf(session.DownloadImage(image, scratch, withHook, state));
    if (state.merged) result.image = image;
    result.clearMarketingMark = state.keptEditedMarketing && result.status == JobStatus::Completed;
    if (result.status == JobStatus::Completed)
        env.prompter.show(kStrDownloadDone, Buttons::Ok, Icon::Information);
    return result;
}

} // namespace rt62
