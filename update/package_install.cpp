#include "update/package_install.h"

#include "base/messages.h"
#include "delivery/folder_tree.h"
#include "update/kept_recordings.h"

namespace torvane {

std::string PackageSavedName(const UpdateFile& file) {
    if (IsPlainComponent(file.name)) return file.name;
    std::string tail = file.fileUrl.substr(0, file.fileUrl.find_first_of("?#"));
    tail = tail.substr(tail.find_last_of('/') + 1);
    return IsPlainComponent(tail) ? tail : "package.zip";
}

JobOutcome InstallPackage(const UpdateFile& file, PackageKind kind, const std::string& drive,
                          IJobRunner& runner, IMessageSink& messages, KeptRecordings* keep) {
    if (kind == PackageKind::Reset &&
        !messages.Ask(MessageKind::Exclamation, ResetQuestion(drive))) {
        JobOutcome refused;
        refused.result = JobOutcome::Result::Cancelled;
        return refused;
    }
    if (kind != PackageKind::Reset) keep = nullptr;
    if (keep != nullptr) {
        if (const Status kept = keep->Keep(drive); !kept.ok()) {
            messages.Show(MessageKind::Error, kept.message());
            JobOutcome stopped;
            stopped.lastError = kept.message();
            return stopped;
        }
    }
    SystemPackage package;
    package.package.savedName = PackageSavedName(file);
    package.package.fileUrl = file.fileUrl;
    package.package.size = file.size;
    package.targetDrive = drive;
    DownloadJob job;
    if (kind == PackageKind::Reset)
        job.kind = ResetPackageJob{std::move(package)};
    else
        job.kind = UpdatePackageJob{std::move(package)};
    JobOutcome outcome = runner.Run(std::move(job));
    // Put back whenever the wipe happened, even when the unpacking stopped half-way.
    if (keep != nullptr && (outcome.Completed() || !keep->StillOnCard(drive))) {
        std::vector<std::string> notes;
        const Status put = keep->PutBack(drive, notes);
        for (const std::string& note : notes) messages.Show(MessageKind::Information, note);
        if (put.ok()) {
            messages.Show(MessageKind::Information,
                          RecordingsPutBack(keep->recordingCount(), keep->hasNameVoice()));
        } else {
            messages.Show(MessageKind::Error, put.message());
            if (outcome.lastError.empty()) outcome.lastError = put.message();
        }
    }
    if (outcome.Completed() && outcome.lastError.empty() && kind == PackageKind::Update) {
        messages.Show(MessageKind::Information, kMsgUpdateDone);
    }
    return outcome;
}

}  // namespace torvane
