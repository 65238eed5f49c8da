#include "update/card_care_state.h"

#include <string_view>
#include <utility>

#include "common/messages.h"
#include "common/text_codec.h"

namespace torvane {

std::string BackupArchivePath(std::string chosen) {
    constexpr std::string_view kExtension = ".tvbackup";
    if (!chosen.empty() && !ToLowerAscii(chosen).ends_with(kExtension)) chosen += kExtension;
    return chosen;
}

std::string CardCareState::Summary() const {
    return report_ ? report_->Summary() : std::string(kMsgCardNotChecked);
}

std::vector<CardCareState::FindingRow> CardCareState::FindingRows() const {
    std::vector<FindingRow> rows;
    if (!report_) return rows;
    const auto row = [](const CardProblem& problem, std::string_view result) {
        return FindingRow{problem.where, std::string(CardProblemSentence(problem.kind)),
                          std::string(result)};
    };
    if (report_->repairs) {
        for (const RepairStep& step : *report_->repairs)
            rows.push_back(row(step.problem, step.mended ? kLabelMended : kLabelLeftAsItWas));
    } else {
        for (const CardProblem& problem : report_->problems) rows.push_back(row(problem, {}));
    }
    return rows;
}

bool CardCareState::BeginJob() {
    if (running_) return false;
    running_ = true;
    return true;
}

bool CardCareState::AfterCheck(const JobOutcome& outcome, CareReport report) {
    if (!outcome.Completed()) return false;
    report_ = std::move(report);
    return true;
}

bool CardCareState::AfterRestore(const JobOutcome& outcome) {
    if (!outcome.Completed()) return false;
    report_.reset();
    return true;
}

}  // namespace torvane
