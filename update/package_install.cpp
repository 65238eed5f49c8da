#include "update/package_install.h"

#include "common/messages.h"
#include "delivery/folder_tree.h"
#include "store/card.h"

namespace torvane {

std::string PackageSavedName(const UpdateFile& file) {
    if (IsPlainComponent(file.name)) return file.name;
    std::string tail = file.fileUrl.substr(0, file.fileUrl.find_first_of("?#"));
    tail = tail.substr(tail.find_last_of('/') + 1);
    return IsPlainComponent(tail) ? tail : "package.zip";
}

std::optional<std::string> PackageConfirmation(PackageKind kind, const Card& card,
                                               bool keepsRecordings) {
    if (kind != PackageKind::Reset) return std::nullopt;
    return ResetQuestion(card.root(), keepsRecordings);
}

JobOutcome InstallConfirmedPackage(const UpdateFile& file, PackageKind kind,
                                   std::shared_ptr<Card> card, IJobRunner& runner,
                                   IWipeKeeper* keep) {
    if (card == nullptr) return JobOutcome{};
    SystemPackage package;
    package.package.savedName = PackageSavedName(file);
    package.package.fileUrl = file.fileUrl;
    package.package.size = file.size;
    package.card = std::move(card);
    DownloadJob job;
    if (kind == PackageKind::Reset)
        job.kind = ResetPackageJob{{std::move(package)}, keep};
    else
        job.kind = UpdatePackageJob{std::move(package)};
    return runner.Run(std::move(job));
}

}  // namespace torvane
