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
    if (job == AnnouncedJob::None || outcome.result == JobOutcome::Result::Cancelled)
        return std::nullopt;
    // In the order of AnnouncedJob.
    constexpr std::string_view kSummaries[] = {
        {}, kNoticeInstallEnded, kNoticeUpdateEnded, kNoticeBackupEnded, kNoticeRestoreEnded};
    std::string_view body = kNoticeJobFailed;
    if (outcome.Completed()) body = outcome.lastError.empty() ? kNoticeJobDone : kNoticeJobPartly;
    return JobEndNotice{std::string(kSummaries[static_cast<int>(job)]), std::string(body)};
}

}  // namespace torvane
