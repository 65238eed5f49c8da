#include "delivery/job_end_notice.h"

#include "common/messages.h"

namespace torvane {

AnnouncedJob AnnouncedJobOf(const JobKind& kind) {
    if (std::holds_alternative<ContentInstallJob>(kind)) return AnnouncedJob::Install;
    if (std::holds_alternative<UpdatePackageJob>(kind) ||
        std::holds_alternative<ResetPackageJob>(kind))
        return AnnouncedJob::Update;
    if (const auto* care = std::get_if<CardCareJob>(&kind)) {
        if (care->action == CardCareJob::Action::Backup) return AnnouncedJob::Backup;
        if (care->action == CardCareJob::Action::Restore) return AnnouncedJob::Restore;
    }
    return AnnouncedJob::None;
}

std::optional<JobEndNotice> NoticeOfJobEnd(AnnouncedJob job, const JobOutcome& outcome) {
    if (job == AnnouncedJob::None || outcome.status.kind() == OutcomeKind::Cancelled)
        return std::nullopt;
    // In the order of AnnouncedJob.
    constexpr std::string_view kSummaries[] = {
        {}, kNoticeInstallEnded, kNoticeUpdateEnded, kNoticeBackupEnded, kNoticeRestoreEnded};
    // Only an install is made of parts, its contents: one that went through them all but left
    // one out ended partly.
    std::string_view body = kNoticeJobFailed;
    if (outcome.status.ok())
        body = kNoticeJobDone;
    else if (job == AnnouncedJob::Install && outcome.Completed())
        body = kNoticeJobPartly;
    return JobEndNotice{std::string(kSummaries[static_cast<int>(job)]), std::string(body)};
}

}  // namespace torvane
