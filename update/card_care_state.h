// The card care tab's state without a window: the last check or repair, the rows its findings
// make, the sentence on the card's state, whether a job is running, and what the end of each job
// changes. The desktop view draws this state and forwards its clicks; tests drive it directly.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "delivery/card_care.h"
#include "delivery/download_job.h"

namespace torvane {

// The file a backup is written to: the chosen path, with ".tvbackup" added unless it ends so in
// any letter case, since the file manager opens only those with Torvane. Empty (the parent
// changed his mind) stays empty.
std::string BackupArchivePath(std::string chosen);

class CardCareState {
  public:
    // One row of the findings: where, what is wrong, and after a repair what was done.
    struct FindingRow {
        std::string where;
        std::string problem;
        std::string result;  // empty after a check
        bool operator==(const FindingRow&) const = default;
    };

    // The last check or repair; none before the first.
    const std::optional<CareReport>& Report() const { return report_; }
    // One sentence on the card's state for the page's box.
    std::string Summary() const;
    // The findings in the report's order: a repair lists what it did about each problem.
    std::vector<FindingRow> FindingRows() const;
    void ShowReport(CareReport report) { report_ = std::move(report); }

    // One job at a time: false when one is running.
    bool BeginJob();
    void EndJob() { running_ = false; }
    bool Running() const { return running_; }

    // After a check or a repair: the report is shown only when the job ran to its end. True when
    // it was.
    bool AfterCheck(const JobOutcome& outcome, CareReport report);
    // After a restore that ran to its end, what the last check found is no longer the card's
    // state. True when the findings changed.
    bool AfterRestore(const JobOutcome& outcome);

  private:
    std::optional<CareReport> report_;
    bool running_ = false;
};

}  // namespace torvane
