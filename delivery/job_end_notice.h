// What the desktop is told when a long job ends while the parent is in another window: which job
// ended and how. Only the jobs a parent waits for (an install, a system update or reset, a
// backup, a restore) are announced, and a job the parent stopped himself is not.
#pragma once

#include <optional>
#include <string>

#include "delivery/download_job.h"

namespace torvane {

// Numbered in this order: the notices' words are looked up by it.
enum class AnnouncedJob { None, Install, Update, Backup, Restore };

AnnouncedJob AnnouncedJobOf(const JobKind& kind);

struct JobEndNotice {
    std::string summary;  // what ended
    std::string body;     // how
};

std::optional<JobEndNotice> NoticeOfJobEnd(AnnouncedJob job, const JobOutcome& outcome);

}  // namespace torvane
