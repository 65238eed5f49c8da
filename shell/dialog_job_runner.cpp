#include "shell/dialog_job_runner.h"

#include "delivery/download_dialog.h"

namespace torvane {

JobOutcome DialogJobRunner::Run(DownloadJob job) {
    CDownloadDlg dialog(std::move(job), session_, messages_, parent_);
    dialog.ShowBanner(bannerImagePath_);
    dialog.exec();
    if (dialog.Outcome().cardChanged && cardWritten_) cardWritten_();
    return dialog.Outcome();
}

}  // namespace torvane
