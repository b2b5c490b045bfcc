#include "core/app/transfer.h"

#include <ctime>

namespace rt62 {

JobOutcome RunTransferJob(const Transfer& transfer, CancelToken& cancel, ProgressSink& progress,
                          Prompter& prompter) {
    JobOutcome outcome;
    if (!transfer.Ready()) return outcome;
    JobEnvironment env{cancel, progress, prompter, transfer.giveUpAfter};
    const BackupSettings& backup = transfer.backup;
    env.onRadioImage = [&prompter, &backup](const RadioImage& read) {
        return BackUpRadioImage(prompter, backup, read, std::time(nullptr));
    };
    if (transfer.kind == TransferKind::Download) {
        DownloadJobResult r = RunDownloadJob(*transfer.port, env, transfer.current, transfer.options);
        outcome = {r.status, std::move(r.image), r.clearMarketingMark};
    } else {
        UploadJobResult r =
            RunUploadJob(*transfer.port, env, transfer.current, transfer.documentModified, transfer.keep);
        outcome = {r.status, std::move(r.image), false};
    }
    return outcome;
}

} // namespace rt62
